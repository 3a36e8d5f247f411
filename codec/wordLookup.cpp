#include "wordLookup.h"

static_assert(WORD_LOOKUP_BUCKETS == 1 << (64 - WORD_LOOKUP_SHIFT), "the hash keeps the top bits");

std::uint64_t wordKey(const unsigned char* bytes, std::size_t length) {
    std::uint64_t key = 0;
    for (std::size_t i = 0; i < length && i < WORD_SLOT_BYTES; ++i) {
        key |= static_cast<std::uint64_t>(bytes[i]) << (8 * i);
    }
    return key;
}

static_assert(sizeof(WordBucket) == 64, "a bucket fills one cache line");

void clearWordLookup(WordLookup* lookup) {
    std::memset(lookup->buckets, 0, sizeof lookup->buckets);
}

int addWord(WordLookup* lookup, std::uint64_t key, int index) {
    int existing = lookupWord(*lookup, key);
    if (existing >= 0) return existing;
    // The first free place from the key's own bucket on. The tables hold at
    // most two keys per vocabulary word, far fewer than their places.
    std::uint32_t bucketNumber = wordBucket(key);
    for (int tried = 0; tried < WORD_LOOKUP_BUCKETS; ++tried) {
        WordBucket& bucket = lookup->buckets[bucketNumber];
        for (int k = 0; k < WORD_BUCKET_KEYS; ++k) {
            if (bucket.keys[k] == 0) {
                bucket.keys[k] = key;
                bucket.indices[k] = static_cast<std::uint16_t>(index);
                return -1;
            }
        }
        bucketNumber = (bucketNumber + 1) & (WORD_LOOKUP_BUCKETS - 1);
    }
    return -1;
}
