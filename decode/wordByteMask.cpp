#include "wordByteMask.h"

#include "bitScan.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#if defined(__SSE2__)
// Letters fold to small ones with 0x20; adding 0x1F then moves 'a'..'z' to
// the lowest 26 signed byte values, so that one compare finds them. Bytes
// 0x80..0xFF miss that range and are marked by their own high bit.
constexpr char FOLD = 0x20;
constexpr char MOVE = 0x80 - 'a';
constexpr char BEYOND_Z = -128 + 26;

static inline std::uint64_t wordByteMask16(const unsigned char* bytes) {
    __m128i text = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
    __m128i moved = _mm_add_epi8(_mm_or_si128(text, _mm_set1_epi8(FOLD)), _mm_set1_epi8(MOVE));
    __m128i letters = _mm_cmpgt_epi8(_mm_set1_epi8(BEYOND_Z), moved);
    return static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_or_si128(letters, text)));
}

void wordByteMasks(const unsigned char* bytes, std::size_t count, std::size_t stride, std::uint64_t* masks) {
    for (std::size_t k = 0; k < count; ++k, bytes += stride) {
        masks[k] = wordByteMask16(bytes) | (wordByteMask16(bytes + 16) << 16) |
                   (wordByteMask16(bytes + 32) << 32) | (wordByteMask16(bytes + 48) << 48);
    }
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

void wordByteMasks(const unsigned char* bytes, std::size_t count, std::size_t stride, std::uint64_t* masks) {
    for (std::size_t k = 0; k < count; ++k, bytes += stride) {
        std::uint64_t mask = 0;
        for (int eight = 0; eight < 8; ++eight) {
            std::uint64_t flags = wordByteFlags(loadEight(bytes + 8 * eight));
            mask |= static_cast<std::uint64_t>(highBitsToMask(flags)) << (8 * eight);
        }
        masks[k] = mask;
    }
}
#endif
