#include "wordList.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>

namespace {

const unsigned char* bytesOf(const std::string& word) {
    return reinterpret_cast<const unsigned char*>(word.c_str());
}

TEST(WordList, IndexAgreesWithTheScanOfTheSlots) {
    auto list = std::make_unique<WordList>();
    clearWordList(list.get());
    std::mt19937 generator(7);
    std::string letters = "abcd\xC3";  // few letters: many repeats and near-collisions
    for (int attempt = 0; attempt < 60000; ++attempt) {
        std::string word;
        int length = 2 + static_cast<int>(generator() % 6);
        for (int i = 0; i < length; ++i) word += letters[generator() % letters.size()];
        bool scanned = containsWord(list->slots, list->count, bytesOf(word));
        ASSERT_EQ(wordListContains(list.get(), bytesOf(word)), scanned) << word;
        if (!scanned && list->count < static_cast<std::uint64_t>(WORD_LIST_CAPACITY)) {
            appendWord(list.get(), bytesOf(word), length);
        }
    }
    EXPECT_EQ(list->count, static_cast<std::uint64_t>(WORD_LIST_CAPACITY));
    EXPECT_FALSE(wordListContains(list.get(), bytesOf("abababab")));
    EXPECT_FALSE(wordListContains(list.get(), bytesOf("")));
}

TEST(WordList, WordsDifferingInCaseOrAccentAreDistinct) {
    auto list = std::make_unique<WordList>();
    clearWordList(list.get());
    appendWord(list.get(), bytesOf("zug"), 3);
    EXPECT_TRUE(containsWord(list->slots, list->count, bytesOf("zug")));
    for (const char* other : {"Zug", "zu", "zugg", "z\xC3\xBCg"}) {
        EXPECT_FALSE(containsWord(list->slots, list->count, bytesOf(other))) << other;
        EXPECT_FALSE(wordListContains(list.get(), bytesOf(other))) << other;
    }
}

}  // namespace
