// The word bytes of 64 bytes of text as one mask, bit k for bytes[k]: the
// block-wise decoder cuts text into words with it. SSE2 where the compiler
// has it, else eight bytes at a time in plain integers. In line, since the
// decoder asks once per block.
#pragma once

#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "bitScan.h"

#if defined(__SSE2__)
// Bit k set when bytes[k] is a word byte, for 16 bytes.
static inline std::uint64_t wordByteMask16(const unsigned char* bytes) {
    __m128i text = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
    __m128i folded = _mm_or_si128(text, _mm_set1_epi8(0x20));
    __m128i letters = _mm_and_si128(_mm_cmpgt_epi8(folded, _mm_set1_epi8(0x60)),
                                    _mm_cmplt_epi8(folded, _mm_set1_epi8(0x7B)));
    // Bytes 0x80..0xFF are negative here: the letter test fails for them and
    // their own high bit marks them.
    return static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_or_si128(letters, text)));
}

static inline std::uint64_t wordByteMask64(const unsigned char* bytes) {
    return wordByteMask16(bytes) | (wordByteMask16(bytes + 16) << 16) |
           (wordByteMask16(bytes + 32) << 32) | (wordByteMask16(bytes + 48) << 48);
}
#else
// The high bit of each byte of the eight is set when that byte is a word byte.
static inline std::uint64_t wordByteFlags(std::uint64_t bytes) {
    // The low seven bits of each byte with ASCII letters folded to small ones;
    // adding to a byte below 0x80 cannot carry into the next byte.
    std::uint64_t folded = (bytes & ~HIGH_BITS) | (0x20 * EVERY_BYTE);
    std::uint64_t atLeastSmallA = folded + (0x80 - 'a') * EVERY_BYTE;
    std::uint64_t beyondSmallZ = folded + (0x80 - 'z' - 1) * EVERY_BYTE;
    return ((atLeastSmallA & ~beyondSmallZ) | bytes) & HIGH_BITS;
}

static inline std::uint64_t wordByteMask64(const unsigned char* bytes) {
    std::uint64_t mask = 0;
    for (int eight = 0; eight < 8; ++eight) {
        std::uint64_t flags = wordByteFlags(loadEight(bytes + 8 * eight));
        mask |= static_cast<std::uint64_t>(highBitsToMask(flags)) << (8 * eight);
    }
    return mask;
}
#endif
