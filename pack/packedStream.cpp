#include "packedStream.h"

#define ZLIB_CONST
#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform.h"

// zlib counts in 32-bit units, so big blocks go through it in slices.
static const size_t SLICE_BYTES = (size_t)1 << 30;
static const size_t READ_CHUNK_BYTES = 65536;
static const size_t MINIMUM_SPARE_BYTES = 65536;

void freeByteBlock(ByteBlock* block) {
    // The bytes may be a document: nothing of it stays behind in the heap.
    if (block->data != nullptr) wipeBytes(block->data, block->capacity);
    std::free(block->data);
    block->data = nullptr;
    block->length = 0;
    block->capacity = 0;
}

// Makes room for at least spare more bytes after the current length,
// growing the block to at most `most` bytes (when that is enough).
static bool reserveSpareUpTo(ByteBlock* block, size_t spare, size_t most) {
    if (block->capacity - block->length >= spare) return true;
    size_t wanted = block->capacity < 4096 ? 4096 : block->capacity;
    while (wanted - block->length < spare) {
        if (wanted > SIZE_MAX / 2) return false;
        wanted *= 2;
    }
    if (wanted > most && most - block->length >= spare) wanted = most;
    unsigned char* grown = (unsigned char*)std::realloc(block->data, wanted);
    if (grown == nullptr) return false;
    block->data = grown;
    block->capacity = wanted;
    return true;
}

static bool reserveSpare(ByteBlock* block, size_t spare) {
    return reserveSpareUpTo(block, spare, SIZE_MAX);
}

static size_t spareSlice(const ByteBlock* block) {
    size_t spare = block->capacity - block->length;
    return spare < SLICE_BYTES ? spare : SLICE_BYTES;
}

PackStatus readWholeStream(std::FILE* stream, ByteBlock* block) {
    *block = ByteBlock{nullptr, 0, 0};
    for (;;) {
        if (!reserveSpare(block, READ_CHUNK_BYTES)) {
            freeByteBlock(block);
            return PACK_NO_MEMORY;
        }
        size_t count = std::fread(block->data + block->length, 1, READ_CHUNK_BYTES, stream);
        block->length += count;
        if (count < READ_CHUNK_BYTES) break;
    }
    if (std::ferror(stream)) {
        freeByteBlock(block);
        return PACK_READ_ERROR;
    }
    return PACK_OK;
}

PackStatus writeWholeBlock(std::FILE* stream, const unsigned char* data, size_t length) {
    if (length > 0 && std::fwrite(data, 1, length, stream) != length) return PACK_WRITE_ERROR;
    if (std::fflush(stream) != 0 || std::ferror(stream)) return PACK_WRITE_ERROR;
    return PACK_OK;
}

// Hands zlib the next slice of the input once it has used up the last one.
static void feedNextSlice(z_stream* zlib, const unsigned char* data, size_t length,
                          size_t* handedOver) {
    if (zlib->avail_in != 0 || *handedOver == length) return;
    size_t slice = length - *handedOver;
    if (slice > SLICE_BYTES) slice = SLICE_BYTES;
    zlib->next_in = data + *handedOver;
    zlib->avail_in = (uInt)slice;
    *handedOver += slice;
}

static PackStatus packBytesAtLevel(const unsigned char* data, size_t length, int level,
                                   ByteBlock* packed) {
    *packed = ByteBlock{nullptr, 0, 0};
    z_stream zlib;
    std::memset(&zlib, 0, sizeof zlib);
    if (deflateInit(&zlib, level) != Z_OK) return PACK_NO_MEMORY;
    size_t handedOver = 0;
    PackStatus status = PACK_OK;
    for (;;) {
        feedNextSlice(&zlib, data, length, &handedOver);
        if (!reserveSpare(packed, MINIMUM_SPARE_BYTES)) {
            status = PACK_NO_MEMORY;
            break;
        }
        zlib.next_out = packed->data + packed->length;
        zlib.avail_out = (uInt)spareSlice(packed);
        uInt offered = zlib.avail_out;
        bool lastSlice = handedOver == length;
        int code = deflate(&zlib, lastSlice ? Z_FINISH : Z_NO_FLUSH);
        packed->length += offered - zlib.avail_out;
        if (code == Z_STREAM_END) break;
        if (code != Z_OK && code != Z_BUF_ERROR) {
            status = PACK_DEFLATE_FAILED;
            break;
        }
    }
    deflateEnd(&zlib);
    if (status != PACK_OK) freeByteBlock(packed);
    return status;
}

PackStatus packBytes(const unsigned char* data, size_t length, ByteBlock* packed) {
    PackStatus status = packBytesAtLevel(data, length, Z_BEST_COMPRESSION, packed);
    if (status != PACK_OK || !storesUncompressed(length, packed->length)) return status;
    // The editor gives "-d" room for only about seven and a half times its
    // input, so text that deflates better than that (long repeats) is stored
    // uncompressed instead; it is still an ordinary zlib stream.
    freeByteBlock(packed);
    return packBytesAtLevel(data, length, Z_NO_COMPRESSION, packed);
}

PackStatus unpackLeadingStream(const unsigned char* data, size_t length, size_t mostBytes, ByteBlock* plain,
                               size_t* streamLength, const char** detail) {
    *plain = ByteBlock{nullptr, 0, 0};
    *streamLength = 0;
    if (detail != nullptr) *detail = nullptr;
    z_stream zlib;
    std::memset(&zlib, 0, sizeof zlib);
    if (inflateInit(&zlib) != Z_OK) return PACK_NO_MEMORY;
    // Room for one byte beyond the limit shows a stream that goes beyond it.
    size_t most = mostBytes + 1;
    size_t handedOver = 0;
    PackStatus status = PACK_OK;
    for (;;) {
        feedNextSlice(&zlib, data, length, &handedOver);
        if (plain->length == most) {
            status = PACK_TOO_LARGE;
            break;
        }
        size_t room = most - plain->length;
        if (!reserveSpareUpTo(plain, room < MINIMUM_SPARE_BYTES ? room : MINIMUM_SPARE_BYTES, most)) {
            status = PACK_NO_MEMORY;
            break;
        }
        zlib.next_out = plain->data + plain->length;
        zlib.avail_out = (uInt)(spareSlice(plain) < room ? spareSlice(plain) : room);
        uInt offered = zlib.avail_out;
        int code = inflate(&zlib, Z_NO_FLUSH);
        plain->length += offered - zlib.avail_out;
        if (code == Z_STREAM_END) {
            if (plain->length == most) status = PACK_TOO_LARGE;
            *streamLength = handedOver - zlib.avail_in;
            break;
        }
        if (code == Z_OK) continue;
        // With fresh output room, no progress means the input has run out.
        if (code == Z_BUF_ERROR && zlib.avail_in == 0 && handedOver == length) {
            status = PACK_TRUNCATED;
            break;
        }
        if (code == Z_BUF_ERROR) continue;
        if (code == Z_MEM_ERROR) {
            status = PACK_NO_MEMORY;
            break;
        }
        if (detail != nullptr) *detail = zlib.msg;
        status = PACK_DAMAGED;
        break;
    }
    inflateEnd(&zlib);
    if (status != PACK_OK) freeByteBlock(plain);
    return status;
}

PackStatus unpackBytes(const unsigned char* data, size_t length, ByteBlock* plain,
                       const char** detail) {
    size_t streamLength = 0;
    PackStatus status = unpackLeadingStream(data, length, maxUnpackedBytes(length), plain, &streamLength, detail);
    status = wholeStreamStatus(status, length, streamLength);
    if (status != PACK_OK) freeByteBlock(plain);
    return status;
}
