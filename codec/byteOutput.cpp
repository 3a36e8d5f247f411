#include "byteOutput.h"

void openOutputBuffer(OutputBuffer* output, BlockWriter writer, void* target) {
    output->used = 0;
    output->writer = writer;
    output->target = target;
    output->failed = false;
}

bool writeBlockToStream(void* target, const unsigned char* bytes, std::size_t count) {
    std::FILE* stream = static_cast<std::FILE*>(target);
    if (std::fwrite(bytes, 1, count, stream) != count) return false;
    return std::fflush(stream) == 0;
}

bool flushOutput(OutputBuffer* output) {
    if (output->failed) return false;
    if (output->used == 0) return true;
    bool written = output->writer(output->target, output->bytes, output->used);
    output->used = 0;
    output->failed = !written;
    return written;
}
