#include "wordList.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <set>
#include <string>

namespace {

const unsigned char* bytesOf(const std::string& word) {
    return reinterpret_cast<const unsigned char*>(word.c_str());
}

// The index against a set of the words added, and the scan of the slots
// against it now and then (a scan of all the slots every time would cost a
// second).
TEST(WordList, IndexAgreesWithTheScanOfTheSlots) {
    auto list = std::make_unique<WordList>();
    clearWordList(list.get());
    std::set<std::string> added;
    std::mt19937 generator(7);
    std::string letters = "abcd\xC3";  // few letters: many repeats and near-collisions
    for (int attempt = 0; attempt < 60000; ++attempt) {
        std::string word;
        int length = 2 + static_cast<int>(generator() % 6);
        for (int i = 0; i < length; ++i) word += letters[generator() % letters.size()];
        const bool known = added.count(word) > 0;
        ASSERT_EQ(wordListContains(list.get(), bytesOf(word)), known) << word;
        if (attempt % 97 == 0) {
            ASSERT_EQ(containsWord(list->slots, list->count, bytesOf(word)), known) << word;
        }
        if (!known && list->count < static_cast<std::uint64_t>(WORD_LIST_CAPACITY)) {
            appendWord(list.get(), bytesOf(word), length);
            added.insert(word);
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
