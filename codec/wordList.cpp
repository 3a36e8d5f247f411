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

std::uint64_t wordKey(const unsigned char* word, int length) {
    unsigned char slot[WORD_SLOT_BYTES] = {};
    std::memcpy(slot, word, static_cast<std::size_t>(length));
    std::uint64_t key = 0;
    std::memcpy(&key, slot, sizeof key);
    return key;
}

static unsigned hashPosition(std::uint64_t key) {
    // Fibonacci hashing: the top bits of the product mix every byte of the key.
    return static_cast<unsigned>((key * 0x9E3779B97F4A7C15ULL) >> 50) & (WORD_HASH_SIZE - 1);
}

bool wordListContainsKey(const WordList* list, std::uint64_t key) {
    for (unsigned position = hashPosition(key);; position = (position + 1) & (WORD_HASH_SIZE - 1)) {
        std::uint64_t stored = list->hashKeys[position];
        if (stored == 0) return false;
        if (stored == key) return true;
    }
}

bool wordListContains(const WordList* list, const unsigned char* word) {
    std::size_t length = std::strlen(reinterpret_cast<const char*>(word));
    // No stored word is empty or longer than a slot holds.
    if (length == 0 || length > static_cast<std::size_t>(MAX_WORD_BYTES)) return false;
    return wordListContainsKey(list, wordKey(word, static_cast<int>(length)));
}

void appendWord(WordList* list, const unsigned char* word, int length) {
    WordSlot& slot = list->slots[list->count];
    std::memset(slot.bytes, 0, sizeof slot.bytes);
    std::memcpy(slot.bytes, word, static_cast<std::size_t>(length));
    ++list->count;
    std::uint64_t key = wordKey(word, length);
    unsigned position = hashPosition(key);
    while (list->hashKeys[position] != 0) position = (position + 1) & (WORD_HASH_SIZE - 1);
    list->hashKeys[position] = key;
}
