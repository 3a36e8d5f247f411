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
    unsigned position = wordHashPosition(key);
    while (list->hashKeys[position] != 0) position = (position + 1) & (WORD_HASH_SIZE - 1);
    list->hashKeys[position] = key;
}
