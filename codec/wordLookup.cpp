#include "wordLookup.h"

static_assert(WORD_LOOKUP_BUCKETS == 1 << (64 - WORD_LOOKUP_SHIFT), "the hash keeps the top bits");

std::uint64_t wordKey(const unsigned char* bytes, std::size_t length) {
    std::uint64_t key = 0;
    for (std::size_t i = 0; i < length && i < WORD_SLOT_BYTES; ++i) {
        key |= static_cast<std::uint64_t>(bytes[i]) << (8 * i);
    }
    return key;
}

void keyToSlot(std::uint64_t key, unsigned char* slot) {
    for (int i = 0; i < WORD_SLOT_BYTES; ++i) slot[i] = static_cast<unsigned char>(key >> (8 * i));
}

void clearWordLookup(WordLookup* lookup) {
    std::memset(lookup->bucketKeys, 0, sizeof lookup->bucketKeys);
}

int addWord(WordLookup* lookup, std::uint64_t key, int index) {
    int existing = lookupWord(*lookup, key);
    if (existing >= 0) return existing;
    std::uint32_t bucket = wordBucket(key);
    while (lookup->bucketKeys[bucket] != 0) bucket = (bucket + 1) & (WORD_LOOKUP_BUCKETS - 1);
    lookup->bucketKeys[bucket] = key;
    lookup->bucketIndices[bucket] = static_cast<std::uint16_t>(index);
    return -1;
}
