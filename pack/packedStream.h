// The packed bytes beneath the packer's program and its sealing: heap
// blocks, whole streams read and written, packing in the zlib format
// (deflate at the best compression level, Adler-32 check) and the bounded
// way back, and what every outcome is called.
#pragma once

#include <cstddef>
#include <cstdio>

// A growable heap block of bytes; freeByteBlock releases it.
struct ByteBlock {
    unsigned char* data;
    size_t length;
    size_t capacity;
};

enum PackStatus {
    PACK_OK = 0,
    PACK_NO_MEMORY,
    PACK_READ_ERROR,
    PACK_WRITE_ERROR,
    PACK_DEFLATE_FAILED,
    PACK_DAMAGED,         // not a zlib stream, or its check does not match
    PACK_TRUNCATED,       // the stream ends before its end marker and check
    PACK_TRAILING_DATA,   // bytes follow the end of the stream
    PACK_TOO_LARGE,       // the stream unpacks to more than MAX_UNPACKED_BYTES allow
    PACK_NEEDS_VOCABULARY,  // a sealed text, and no vocabulary to open it
    PACK_WRONG_VOCABULARY,  // sealed with another vocabulary
    PACK_ALTERED,           // a sealed text that was cut, damaged or changed
    PACK_NO_RANDOM,         // the system's random source failed
    PACK_CRYPTO_FAILED,     // the cryptographic library failed
    PACK_NOTHING_TO_READ,   // -d with an empty input (a text with no words)
    PACK_NOT_SEALED,        // -d with a vocabulary and without -u: a text that is not sealed
};

// Wipes and frees the block.
void freeByteBlock(ByteBlock* block);

// Reads the stream to its end into a new block.
PackStatus readWholeStream(std::FILE* stream, ByteBlock* block);
// Writes the bytes and flushes the stream.
PackStatus writeWholeBlock(std::FILE* stream, const unsigned char* data, size_t length);

// Unpacking never gives more than this many times the packed bytes (plus the
// few bytes of a tiny stream): the editor sizes the unpacked output by it.
const size_t MAX_UNPACK_EXPANSION = 7;

// Packs the bytes into a new block (a complete zlib stream, also for no bytes),
// at the best compression level unless that would shrink them more than
// MAX_UNPACK_EXPANSION times; then the bytes are stored uncompressed.
PackStatus packBytes(const unsigned char* data, size_t length, ByteBlock* packed);
// "-d" reads what packBytes writes, so it refuses a stream that would unpack
// to more than 8 times its own size plus 1 KiB, before it takes the memory:
// a small hostile stream could otherwise unpack to gigabytes.
const size_t MAX_UNPACK_RATIO = 8;
const size_t UNPACK_ALLOWANCE_BYTES = 1024;
size_t maxUnpackedBytes(size_t packedLength);

// Unpacks the one complete zlib stream at the start of the input, to at
// most mostBytes bytes; *streamLength receives the length of the stream,
// which bytes may follow.
PackStatus unpackLeadingStream(const unsigned char* data, size_t length, size_t mostBytes, ByteBlock* plain,
                               size_t* streamLength, const char** detail = nullptr);

// Unpacks exactly one complete zlib stream that fills the whole input and
// unpacks to at most maxUnpackedBytes of it.
// On damaged input, detail (when given) receives zlib's description or null.
PackStatus unpackBytes(const unsigned char* data, size_t length, ByteBlock* plain,
                       const char** detail);

// The one-line description that follows "zarnoGlotPack: ".
const char* packStatusText(PackStatus status);
