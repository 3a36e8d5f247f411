#include "sealedShape.h"

#include <cstdint>
#include <cstring>

bool isSealedText(const unsigned char* data, std::size_t length) {
    return length > 0 && data[0] != ZLIB_FIRST_BYTE;
}

bool takesSalt(const unsigned char salt[SALT_BYTES]) {
    return salt[0] != ZLIB_FIRST_BYTE;
}

PackStatus openingStep(const unsigned char* data, std::size_t length, bool* sealed) {
    *sealed = isSealedText(data, length);
    // Nothing the packer writes is empty: an empty input is a text that
    // held no words, which says more than a truncated stream would.
    if (length == 0) return PACK_NOTHING_TO_READ;
    if (*sealed && length < SEALED_OVERHEAD_BYTES) return PACK_ALTERED;
    return PACK_OK;
}

void writeSealedHeader(const unsigned char salt[SALT_BYTES], const unsigned char derived[DERIVED_BYTES],
                       unsigned char header[HEADER_BYTES]) {
    std::memcpy(header, salt, SALT_BYTES);
    std::memcpy(header + SALT_BYTES, derived + KEY_BYTES, CHECK_BYTES);
}

bool checkMatches(const unsigned char derived[DERIVED_BYTES], const unsigned char* sealed) {
    return std::memcmp(derived + KEY_BYTES, sealed + SALT_BYTES, CHECK_BYTES) == 0;
}

std::size_t paddedLength(std::size_t length) {
    if (length < 2) return length;
    int exponent = 0;  // floor(log2 length)
    while ((length >> (exponent + 1)) != 0) ++exponent;
    int bitsOfExponent = 0;  // floor(log2 exponent) + 1
    while ((exponent >> bitsOfExponent) != 0) ++bitsOfExponent;
    std::size_t step = static_cast<std::size_t>(1) << (exponent - bitsOfExponent);
    return (length + step - 1) & ~(step - 1);
}

static bool onlyZeros(const unsigned char* bytes, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i) {
        if (bytes[i] != 0) return false;
    }
    return true;
}

PackStatus sealedPayloadStatus(PackStatus unpacked, const unsigned char* payload, std::size_t length,
                               std::size_t streamLength) {
    // A sealed stream is followed only by its padding, to exactly its
    // padded length; anything else was not written by a packer.
    if (unpacked == PACK_OK &&
        (paddedLength(streamLength) != length || !onlyZeros(payload + streamLength, length - streamLength))) {
        return PACK_ALTERED;
    }
    if (unpacked == PACK_OK || unpacked == PACK_TOO_LARGE || unpacked == PACK_NO_MEMORY) return unpacked;
    return PACK_ALTERED;
}

PackStatus wholeStreamStatus(PackStatus unpacked, std::size_t length, std::size_t streamLength) {
    return unpacked == PACK_OK && streamLength != length ? PACK_TRAILING_DATA : unpacked;
}

bool hasPackedShape(const unsigned char* bytes, std::size_t length) {
    if (length >= 2 && bytes[0] == ZLIB_FIRST_BYTE) {
        // The header check (RFC 1950), and no preset dictionary.
        return ((ZLIB_FIRST_BYTE << 8) | bytes[1]) % 31 == 0 && (bytes[1] & 0x20) == 0;
    }
    if (length < SEALED_OVERHEAD_BYTES) return false;
    std::size_t payload = length - SEALED_OVERHEAD_BYTES;
    return paddedLength(payload) == payload;
}

bool storesUncompressed(std::size_t plainLength, std::size_t deflatedLength) {
    return deflatedLength < plainLength / MAX_UNPACK_EXPANSION;
}

std::size_t maxUnpackedBytes(std::size_t packedLength) {
    if (packedLength > (SIZE_MAX - 1 - UNPACK_ALLOWANCE_BYTES) / MAX_UNPACK_RATIO) return SIZE_MAX - 1;
    return packedLength * MAX_UNPACK_RATIO + UNPACK_ALLOWANCE_BYTES;
}
