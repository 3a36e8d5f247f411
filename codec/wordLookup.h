// Finds a word of at most MAX_WORD_BYTES bytes among the words of a table
// in constant time. A word is keyed on its 8-byte table slot (its bytes,
// then zeros) read as one 64-bit number, first byte lowest; no word is
// empty, so no key is 0. Keys are hashed into buckets of one cache line,
// each holding up to six keys with their word indices, so that a lookup
// costs one memory access and compares the six keys at once. A full bucket
// spills into the next one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "bitScan.h"
#include "codecConstants.h"

constexpr int WORD_BUCKET_KEYS = 6;
constexpr int WORD_LOOKUP_BUCKETS = 4096;  // a power of two: room for two keys per word
constexpr int WORD_LOOKUP_SHIFT = 52;      // 64 - log2(WORD_LOOKUP_BUCKETS)

struct alignas(64) WordBucket {
    std::uint64_t keys[WORD_BUCKET_KEYS];      // filled from the front; 0 for an empty place
    std::uint16_t indices[WORD_BUCKET_KEYS];   // the word index of each key
    std::uint16_t unused[2];
};

struct WordLookup {
    WordBucket buckets[WORD_LOOKUP_BUCKETS];
};

// The key of a word of 0..MAX_WORD_BYTES bytes.
std::uint64_t wordKey(const unsigned char* bytes, std::size_t length);

// The key of a whole zero-padded 8-byte slot.
inline std::uint64_t slotKey(const unsigned char* slot) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    std::uint64_t key;
    std::memcpy(&key, slot, sizeof key);
    return key;
#else
    return wordKey(slot, WORD_SLOT_BYTES);
#endif
}

// Writes the key back as its zero-padded 8-byte slot.
inline void keyToSlot(std::uint64_t key, unsigned char* slot) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    std::memcpy(slot, &key, sizeof key);
#else
    for (int i = 0; i < WORD_SLOT_BYTES; ++i) slot[i] = static_cast<unsigned char>(key >> (8 * i));
#endif
}

void clearWordLookup(WordLookup* lookup);

// Stores the word (key not 0) under the index. Returns the index of an equal
// word that is already stored (the word is then not stored), or -1.
int addWord(WordLookup* lookup, std::uint64_t key, int index);

inline std::uint32_t wordBucket(std::uint64_t key) {
    return static_cast<std::uint32_t>((key * 0x9E3779B97F4A7C15ULL) >> WORD_LOOKUP_SHIFT);
}

#if defined(__SSE2__)
// Bit 2k set when the bucket's key k equals the key (and no bit of an odd
// number). SSE2 compares 32-bit halves: key k matches where both of its
// halves do, that is where bits 2k and 2k + 1 of the halves' mask are set.
inline unsigned matchingKeys(const WordBucket& bucket, std::uint64_t key) {
    static_assert(WORD_BUCKET_KEYS == 6, "three compares of two keys each");
    __m128i wanted = _mm_set1_epi64x(static_cast<long long>(key));
    const __m128i* stored = reinterpret_cast<const __m128i*>(bucket.keys);
    __m128i keys0to3 = _mm_packs_epi32(_mm_cmpeq_epi32(stored[0], wanted), _mm_cmpeq_epi32(stored[1], wanted));
    __m128i keys4to5 = _mm_packs_epi32(_mm_cmpeq_epi32(stored[2], wanted), _mm_setzero_si128());
    unsigned halves = static_cast<unsigned>(_mm_movemask_epi8(_mm_packs_epi16(keys0to3, keys4to5)));
    return halves & (halves >> 1) & 0x555;
}

// The index of the key that matchingKeys found.
inline int matchingIndex(const WordBucket& bucket, unsigned matches) {
    // Bit 2k for key k: the byte offset of its 16-bit index.
    std::uint16_t index;
    std::memcpy(&index, reinterpret_cast<const unsigned char*>(bucket.indices) + lowestBit(matches),
                sizeof index);
    return index;
}
#endif

// The index stored for the key (not 0) in the bucket, or -1.
inline int lookupInBucket(const WordBucket& bucket, std::uint64_t key) {
#if defined(__SSE2__)
    unsigned matches = matchingKeys(bucket, key);
    return matches != 0 ? matchingIndex(bucket, matches) : -1;
#else
    for (int k = 0; k < WORD_BUCKET_KEYS; ++k) {
        if (bucket.keys[k] == key) return bucket.indices[k];
    }
    return -1;
#endif
}

// The index stored for the key (not 0), or -1.
inline int lookupWord(const WordLookup& lookup, std::uint64_t key) {
    std::uint32_t bucketNumber = wordBucket(key);
    for (;;) {
        const WordBucket& bucket = lookup.buckets[bucketNumber];
        int index = lookupInBucket(bucket, key);
        if (index >= 0) return index;
        // A bucket that is not full has spilled nothing into the next one.
        if (bucket.keys[WORD_BUCKET_KEYS - 1] == 0) return -1;
        bucketNumber = (bucketNumber + 1) & (WORD_LOOKUP_BUCKETS - 1);
    }
}
