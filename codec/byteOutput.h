// Output through one large buffer that is handed to a block writer when it
// fills up, so that a program makes one write call per 256 KiB rather than
// one per byte or word. The writer is a plain function, so that tests can
// collect the bytes or make writes fail.
#pragma once

#include <cstddef>
#include <cstdio>
#include <cstring>

constexpr std::size_t OUTPUT_BUFFER_BYTES = 256 * 1024;

// Writes all count bytes; returns false when that fails.
typedef bool (*BlockWriter)(void* target, const unsigned char* bytes, std::size_t count);

struct OutputBuffer {
    unsigned char bytes[OUTPUT_BUFFER_BYTES];
    std::size_t used;
    BlockWriter writer;
    void* target;
    bool failed;  // a block could not be written; nothing more is tried
};

void openOutputBuffer(OutputBuffer* output, BlockWriter writer, void* target);

// Writes to a C stream (fwrite, then fflush); the target is the FILE*.
bool writeBlockToStream(void* target, const unsigned char* bytes, std::size_t count);

// Hands the buffered bytes to the writer. False when this or an earlier
// write failed.
bool flushOutput(OutputBuffer* output);

// Makes room for count bytes (count <= OUTPUT_BUFFER_BYTES) and returns
// where they go, or nullptr when a write failed. The caller then adds
// count to used.
inline unsigned char* reserveOutput(OutputBuffer* output, std::size_t count) {
    if (output->used + count > OUTPUT_BUFFER_BYTES && !flushOutput(output)) return nullptr;
    if (output->failed) return nullptr;
    return output->bytes + output->used;
}

inline bool putBytes(OutputBuffer* output, const void* bytes, std::size_t count) {
    unsigned char* place = reserveOutput(output, count);
    if (place == nullptr) return false;
    std::memcpy(place, bytes, count);
    output->used += count;
    return true;
}
