// Bit tricks for reading text eight or 64 bytes at a time, with portable
// forms where the compiler has no builtins.
#pragma once

#include <cstdint>
#include <cstring>

constexpr std::uint64_t EVERY_BYTE = 0x0101010101010101ULL;
constexpr std::uint64_t HIGH_BITS = 0x8080808080808080ULL;

// The number of the lowest set bit of a value that is not 0.
inline unsigned lowestBit(std::uint64_t bits) {
#if defined(__GNUC__)
    return static_cast<unsigned>(__builtin_ctzll(bits));
#else
    unsigned number = 0;
    while ((bits & 1) == 0) {
        bits >>= 1;
        ++number;
    }
    return number;
#endif
}

// Eight bytes as one number, the first byte lowest (the machine's order on
// the little-endian machines that the block scans run on).
inline std::uint64_t loadEight(const unsigned char* bytes) {
    std::uint64_t value;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

// The high bits of eight bytes gathered into bits 0..7, byte k to bit k.
inline unsigned highBitsToMask(std::uint64_t highBits) {
    return static_cast<unsigned>((((highBits >> 7) & EVERY_BYTE) * 0x0102040810204080ULL) >> 56);
}
