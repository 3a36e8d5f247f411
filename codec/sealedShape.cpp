#include "sealedShape.h"

std::size_t paddedLength(std::size_t length) {
    if (length < 2) return length;
    int exponent = 0;  // floor(log2 length)
    while ((length >> (exponent + 1)) != 0) ++exponent;
    int bitsOfExponent = 0;  // floor(log2 exponent) + 1
    while ((exponent >> bitsOfExponent) != 0) ++bitsOfExponent;
    std::size_t step = static_cast<std::size_t>(1) << (exponent - bitsOfExponent);
    return (length + step - 1) & ~(step - 1);
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
