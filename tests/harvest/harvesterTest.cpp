#include "harvester.h"
#include "programCases.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

std::vector<std::string> storedWords(const Harvester& harvester) {
    std::vector<std::string> words;
    for (std::uint64_t i = 0; i < harvester.words.count; ++i) {
        words.push_back(reinterpret_cast<const char*>(harvester.words.slots[i].bytes));
    }
    return words;
}

// Runs the tokenizer over the input in pieces of `pieceSize` bytes.
std::vector<std::string> harvest(const std::string& input, std::size_t pieceSize) {
    auto harvester = std::make_unique<Harvester>();
    startHarvest(harvester.get());
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(input.data());
    for (std::size_t offset = 0; offset < input.size(); offset += pieceSize) {
        harvestBytes(harvester.get(), bytes + offset, std::min(pieceSize, input.size() - offset));
    }
    finishHarvest(harvester.get());
    return storedWords(*harvester);
}

// Distinct four-letter lowercase words.
std::string fourLetterWord(int number) {
    std::string word;
    for (int i = 0; i < 4; ++i) {
        word.insert(word.begin(), static_cast<char>('a' + number % 26));
        number /= 26;
    }
    return word;
}

struct TokenizerCase {
    const char* name;
    std::string input;
    std::vector<std::string> words;
};

const TokenizerCase TOKENIZER_CASES[] = {
    {"repeated sentence start is lowercased and a duplicate", "The cat sat. The Dog ran!",
     {"the", "cat", "sat", "Dog", "ran"}},
    {"capitals after the first letter reject the word", "Paris is big. iPhone McDonald ABC Ok",
     {"paris", "is", "big", "Ok"}},
    {"long runs are dropped whole and use up the sentence start", "Wonderful day. Extraordinary Ok",
     {"day", "Ok"}},
    {"digits and blanks keep a pending sentence start", "12 Apples. 3 Pears", {"apples", "pears"}},
    {"one-byte words dropped, two-byte letters kept", "a I \xC3\xA9 \xC3\x9F don't",
     {"\xC3\xA9", "\xC3\x9F", "don"}},
    {"dotted capital I stays at a sentence start", "\xC4\xB0zmir is. \xC4\xB0zmir",
     {"\xC4\xB0zmir", "is"}},
    {"byte order mark keeps the sentence start", "\xEF\xBB\xBFHello there", {"hello", "there"}},
    {"stray continuation byte ends the run only", "Hello\x80World", {"hello", "World"}},
    {"lead byte swallows the next byte", "x\xC3(Ab", {"Ab"}},
    {"partial sequence at the end is dropped", "end\xC3", {"end"}},
    {"partial three-byte sequence at the end", "end \xE2\x82", {"end"}},
    {"CR LF, CR and LF each end a sentence", "One\r\nTwo Three\rFour\nFive Six",
     {"one", "two", "Three", "four", "five", "Six"}},
    {"seven bytes fit, eight do not", "abcde\xC3\xA9 abcdef\xC3\xA9 \xC3\xA9\xC3\xA9\xC3\xA9 x",
     {"abcde\xC3\xA9", "\xC3\xA9\xC3\xA9\xC3\xA9"}},
    {"a capital beyond ASCII inside a word rejects it", "ab\xC3\x89 no \xC3\x89t\xC3\xA9",
     {"no", "\xC3\x89t\xC3\xA9"}},
    {"sharp s and accented letters are letters", "stra\xC3\x9F" "e na\xC3\xAFve",
     {"stra\xC3\x9F" "e", "na\xC3\xAFve"}},
    {"non-letters beyond Latin Extended-A split words", "ab\xF0\x9F\x98\x80" "cd ef\xC3\x97gh",
     {"ab", "cd", "ef", "gh"}},
    {"digits, apostrophes and hyphens split words", "ab1cd ef-gh ij'kl", {"ab", "cd", "ef", "gh", "ij", "kl"}},
    {"invalid continuation fails the sequence and keeps the flag", "Go. \xE2\x28\x41 Xy",
     {"go", "xy"}},
    {"bytes F8..FF cannot start a character", "ab\xF8" "cd\xFF" "ef", {"ab", "cd", "ef"}},
    {"a letter in an overlong form ends the run", "ab\xC1\xA1" "cd xy", {"ab", "cd", "xy"}},
    {"an overlong capital ends the run too", "ab\xC1\x81 xy", {"ab", "xy"}},
    {"overlong three- and four-byte forms, a surrogate, beyond U+10FFFF",
     "ab\xE0\x81\xA1" "cd\xF0\x80\x81\xA1" "ef\xED\xA0\x80" "gh\xF4\x90\x80\x80" "ij", {"ab", "cd", "ef", "gh", "ij"}},
    {"an overlong full stop neither ends a sentence nor a word's case", "Ab\xC0\xAE" "Cd", {"ab", "Cd"}},
    {"question and exclamation marks end sentences", "Zz? Yy! Xx", {"zz", "yy", "xx"}},
    {"question and exclamation marks end sentences in long ASCII lines",
     "Which tests here? Yes they are! Fine words", {"which", "tests", "here", "yes", "they", "are", "fine", "words"}},
    {"a comma does not end a sentence", "Zz, Yy", {"zz", "Yy"}},
    {"too-long runs of every length from 8 to 40 between words",
     "Aa bbbbbbbb cc ddddddddddddddddd ee fffffffffffffffffffffffffffffff gg hhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhhh ii "
     "jjjjjjjjj\xC3\xA9kkkkkkkkkkkkkkkkkkkkk ll mmmmmmmmmmmmmmmm. Nn",
     {"aa", "cc", "ee", "gg", "ii", "ll", "nn"}},
    {"ASCII runs that go on past 16 bytes or into a two-byte letter",
     "Aa bb. Cccccccccccccccccc dd Eeeeee\xC3\xA9 oo\xC3\xA9 ff.\n\nGg", {"aa", "bb", "dd", "oo\xC3\xA9", "ff", "gg"}},
};

void PrintTo(const TokenizerCase& row, std::ostream* out) {
    *out << row.name;
}

class HarvestTokenizer : public ::testing::TestWithParam<TokenizerCase> {};

TEST_P(HarvestTokenizer, WorkedExamplesInAnyPieceSize) {
    // Every piece size up to 64 puts a boundary at every place of a run; the
    // last one takes the input whole.
    std::vector<std::size_t> pieceSizes;
    for (std::size_t size = 1; size <= 64; ++size) pieceSizes.push_back(size);
    pieceSizes.push_back(1 << 16);
    for (std::size_t pieceSize : pieceSizes) {
        EXPECT_EQ(harvest(GetParam().input, pieceSize), GetParam().words) << "pieces of " << pieceSize;
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, HarvestTokenizer, ::testing::ValuesIn(TOKENIZER_CASES), RowName());

TEST(HarvestTokenizer, StopsReadingAtTheByteAfterTheRunThatFilledTheList) {
    std::string input;
    for (int i = 0; i < WORD_LIST_CAPACITY; ++i) input += fourLetterWord(i) + " ";
    std::size_t afterFillingRun = input.size();  // the blank that ended the 10000th word
    input += "more words here";
    auto harvester = std::make_unique<Harvester>();
    startHarvest(harvester.get());
    std::size_t consumed =
        harvestBytes(harvester.get(), reinterpret_cast<const unsigned char*>(input.data()), input.size());
    EXPECT_EQ(consumed, afterFillingRun + 1);
    EXPECT_TRUE(harvester->finished);
    EXPECT_EQ(harvestBytes(harvester.get(), reinterpret_cast<const unsigned char*>("zz "), 3), 0u);
    finishHarvest(harvester.get());
    std::vector<std::string> words = storedWords(*harvester);
    ASSERT_EQ(words.size(), static_cast<std::size_t>(WORD_LIST_CAPACITY));
    EXPECT_EQ(words.back(), fourLetterWord(WORD_LIST_CAPACITY - 1));
}

TEST(HarvestTokenizer, TheLastWordAtEndOfInputCanFillTheList) {
    std::string input;
    for (int i = 0; i < WORD_LIST_CAPACITY; ++i) input += (i ? " " : "") + fourLetterWord(i);
    EXPECT_EQ(harvest(input, 1 << 16).size(), static_cast<std::size_t>(WORD_LIST_CAPACITY));
    input += " extra";
    std::vector<std::string> words = harvest(input, 1000);
    ASSERT_EQ(words.size(), static_cast<std::size_t>(WORD_LIST_CAPACITY));
    EXPECT_EQ(words.back(), fourLetterWord(WORD_LIST_CAPACITY - 1));
}

struct AddWordCase {
    std::string word;
    bool sentenceStart;
    bool added;
    std::string stored;
};

// One list, the rows added in order (the fourth is a duplicate of the
// third as stored).
TEST(HarvestAddWord, LengthCaseAndDuplicateRules) {
    const AddWordCase cases[] = {
        {"a", false, false, ""},
        {"ab", false, true, "ab"},
        {"abcdefg", false, true, "abcdefg"},
        {"abcdefgh", false, false, ""},
        {"Abc", true, true, "abc"},
        {"abc", false, false, ""},  // duplicate of the lowercased word
        {"Abc", false, true, "Abc"},
        {"\xC3\x84rger", true, true, "\xC3\xA4rger"},
        {"\xC4\xB0zmir", true, true, "\xC4\xB0zmir"},
        {"aB", true, false, ""},
        {"\xC3\xA9", false, true, "\xC3\xA9"},
    };
    auto list = std::make_unique<WordList>();
    clearWordList(list.get());
    for (const AddWordCase& testCase : cases) {
        unsigned char word[16] = {};
        std::memcpy(word, testCase.word.data(), testCase.word.size());
        std::uint64_t before = list->count;
        EXPECT_EQ(addWord(list.get(), word, static_cast<int>(testCase.word.size()), testCase.sentenceStart),
                  testCase.added)
            << testCase.word;
        if (testCase.added) {
            ASSERT_EQ(list->count, before + 1);
            EXPECT_EQ(reinterpret_cast<const char*>(list->slots[before].bytes), testCase.stored);
        }
    }
}

}  // namespace
