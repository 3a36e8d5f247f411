#include "wordList.h"

#include <cstring>

void clearWordList(WordList* list) {
    std::memset(list->slots, 0, sizeof list->slots);
    std::memset(list->hashKeys, 0, sizeof list->hashKeys);
    list->count = 0;
}

bool containsWord(const WordSlot* slots, std::uint64_t count, const unsigned char* word) {
    for (std::uint64_t i = 0; i < count; ++i) {
        if (std::strcmp(reinterpret_cast<const char*>(slots[i].bytes),
                        reinterpret_cast<const char*>(word)) == 0) {
            return true;
        }
    }
    return false;
}

// The zero-terminated word as its zero-padded 8-byte slot, read as a number.
static std::uint64_t packWord(const unsigned char* word) {
    unsigned char slot[WORD_SLOT_BYTES] = {};
    for (int i = 0; i < WORD_SLOT_BYTES - 1 && word[i] != 0; ++i) slot[i] = word[i];
    std::uint64_t key = 0;
    std::memcpy(&key, slot, sizeof key);
    return key;
}

static unsigned hashPosition(std::uint64_t key) {
    // Fibonacci hashing: the top bits of the product mix every byte of the key.
    return static_cast<unsigned>((key * 0x9E3779B97F4A7C15ULL) >> 50) & (WORD_HASH_SIZE - 1);
}

bool wordListContains(const WordList* list, const unsigned char* word) {
    // A word longer than a slot holds can never be stored.
    if (std::strlen(reinterpret_cast<const char*>(word)) > static_cast<std::size_t>(MAX_WORD_BYTES)) {
        return false;
    }
    std::uint64_t key = packWord(word);
    if (key == 0) return containsWord(list->slots, list->count, word);
    for (unsigned position = hashPosition(key);; position = (position + 1) & (WORD_HASH_SIZE - 1)) {
        std::uint64_t stored = list->hashKeys[position];
        if (stored == 0) return false;
        if (stored == key) return true;
    }
}

void appendWord(WordList* list, const unsigned char* word, int length) {
    WordSlot& slot = list->slots[list->count];
    std::memset(slot.bytes, 0, sizeof slot.bytes);
    std::memcpy(slot.bytes, word, static_cast<std::size_t>(length));
    ++list->count;
    std::uint64_t key = 0;
    std::memcpy(&key, slot.bytes, sizeof key);
    unsigned position = hashPosition(key);
    while (list->hashKeys[position] != 0) position = (position + 1) & (WORD_HASH_SIZE - 1);
    list->hashKeys[position] = key;
}
