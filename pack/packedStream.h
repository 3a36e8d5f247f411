// The packed bytes beneath the packer's program and its sealing: heap
// blocks, whole streams read and written, packing in the zlib format
// (deflate at the best compression level, Adler-32 check) and the bounded
// way back; every outcome is a PackStatus (packStatus.h).
#pragma once

#include <cstddef>
#include <cstdio>

#include "packStatus.h"
#include "sealedShape.h"

// A growable heap block of bytes; freeByteBlock releases it.
struct ByteBlock {
    unsigned char* data;
    size_t length;
    size_t capacity;
};

// Wipes and frees the block.
void freeByteBlock(ByteBlock* block);

// Reads the stream to its end into a new block.
PackStatus readWholeStream(std::FILE* stream, ByteBlock* block);
// Writes the bytes and flushes the stream.
PackStatus writeWholeBlock(std::FILE* stream, const unsigned char* data, size_t length);

// Packs the bytes into a new block (a complete zlib stream, also for no bytes),
// at the best compression level unless that would shrink them more than
// MAX_UNPACK_EXPANSION times (storesUncompressed, sealedShape.h); then the
// bytes are stored uncompressed.
PackStatus packBytes(const unsigned char* data, size_t length, ByteBlock* packed);

// Unpacks the one complete zlib stream at the start of the input, to at
// most mostBytes bytes; *streamLength receives the length of the stream,
// which bytes may follow.
PackStatus unpackLeadingStream(const unsigned char* data, size_t length, size_t mostBytes, ByteBlock* plain,
                               size_t* streamLength, const char** detail = nullptr);

// Unpacks exactly one complete zlib stream that fills the whole input and
// unpacks to at most maxUnpackedBytes of it (sealedShape.h).
// On damaged input, detail (when given) receives zlib's description or null.
PackStatus unpackBytes(const unsigned char* data, size_t length, ByteBlock* plain,
                       const char** detail);
