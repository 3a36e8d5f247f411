// Finds a word of at most MAX_WORD_BYTES bytes among the 4608 words of a
// vocabulary in constant time. A word is keyed on its 8-byte table slot (its
// bytes, then zeros) read as one 64-bit number, first byte lowest; no word is
// empty, so no key is 0. Keys are hashed into an open addressing table with
// linear probing that holds the keys themselves, so that a probe costs one
// memory access.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "codecConstants.h"

constexpr int WORD_LOOKUP_BUCKETS = 16384;  // a power of two, over three times VOCABULARY_SIZE
constexpr int WORD_LOOKUP_SHIFT = 50;       // 64 - log2(WORD_LOOKUP_BUCKETS)

struct WordLookup {
    std::uint64_t bucketKeys[WORD_LOOKUP_BUCKETS];     // 0 for an empty bucket
    std::uint16_t bucketIndices[WORD_LOOKUP_BUCKETS];  // the word index of each key
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
void keyToSlot(std::uint64_t key, unsigned char* slot);

void clearWordLookup(WordLookup* lookup);

// Stores the word (key not 0) under the index. Returns the index of an equal
// word that is already stored (the word is then not stored), or -1.
int addWord(WordLookup* lookup, std::uint64_t key, int index);

inline std::uint32_t wordBucket(std::uint64_t key) {
    return static_cast<std::uint32_t>((key * 0x9E3779B97F4A7C15ULL) >> WORD_LOOKUP_SHIFT);
}

// The index stored for the key, or -1.
inline int lookupWord(const WordLookup& lookup, std::uint64_t key) {
    std::uint32_t bucket = wordBucket(key);
    for (;;) {
        std::uint64_t stored = lookup.bucketKeys[bucket];
        if (stored == key) return lookup.bucketIndices[bucket];
        if (stored == 0) return -1;
        bucket = (bucket + 1) & (WORD_LOOKUP_BUCKETS - 1);
    }
}
