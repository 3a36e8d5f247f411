// zarnoGlotEncode through the real executable.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "programCases.h"
#include "testSupport.h"
#include "testVocabulary.h"

namespace {

const char* const USAGE =
    "zarnoGlotEncode (version: 26.245) Encode binary to vocabulary words.\n"
    "zarnoGlotEncode vocabulary < binaryFile > zarnoGlotFile\n"
    "Option:\n"
    "  -h print version, usage and exit.\n";

class EncodeCli : public ::testing::Test {
protected:
    void SetUp() override {
        folder = makeTempDirectory();
        words = makeTestVocabulary(5);
    }
    void TearDown() override { removeTree(folder); }
    ProgramResult encode(const std::vector<std::string>& arguments, const std::string& input) {
        return runProgram(programPath("zarnoGlotEncode"), arguments, input);
    }
    std::string folder;
    std::vector<std::string> words;
};

class EncodeUsage : public ::testing::TestWithParam<ProgramCase> {};

TEST_P(EncodeUsage, ForAnyArgumentCountButOneAndForH) {
    expectProgramCase(programPath("zarnoGlotEncode"), GetParam());
}

INSTANTIATE_TEST_SUITE_P(Rows, EncodeUsage,
                         ::testing::ValuesIn(usageCases(USAGE, joinPath(binaryDirectory(), "sample.vcb"), "abc")),
                         RowName());

class EncodeRefusals : public EncodeCli, public ::testing::WithParamInterface<VocabularyChange> {};

TEST_P(EncodeRefusals, ABadVocabularyBeforeReadingInput) {
    expectVocabularyRefusal(programPath("zarnoGlotEncode"), folder, "some input", GetParam().text(words),
                            GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(Rows, EncodeRefusals, ::testing::Values(
    VocabularyChange{"4607 words", [](std::vector<std::string> w) { w.pop_back(); return vocabularyText(w, "\n", true); },
                     "zarnoGlotEncode: vocabulary has 4607 entries; 4608 required\n"},
    VocabularyChange{"4609 words", [](std::vector<std::string> w) { w.push_back("extrax"); return vocabularyText(w, "\n", true); },
                     "zarnoGlotEncode: vocabulary has more than 4608 entries\n"},
    VocabularyChange{"empty line at the end", [](std::vector<std::string> w) { return vocabularyText(w, "\n", true) + "\n"; },
                     "zarnoGlotEncode: empty vocabulary entry\n"},
    VocabularyChange{"empty line inside",
                     [](std::vector<std::string> w) { w.pop_back(); return "\n" + vocabularyText(w, "\n", true); },
                     "zarnoGlotEncode: empty vocabulary entry\n"},
    VocabularyChange{"a 255-byte line is two entries",
                     [](std::vector<std::string> w) { return std::string(255, 'k') + "\n" + vocabularyText(w, "\n", true); },
                     "zarnoGlotEncode: empty vocabulary entry\n"},
    VocabularyChange{"blob over 65535 bytes",
                     [](std::vector<std::string> w) {
                         for (std::string& word : w) word += std::string(15, 'x');
                         return vocabularyText(w, "\n", true);
                     },
                     "zarnoGlotEncode: vocabulary blob is too large?\n"},
    VocabularyChange{"a word twice",
                     [](std::vector<std::string> w) { w[2000] = w[17]; return vocabularyText(w, "\r\n", true); },
                     "zarnoGlotEncode: vocabulary word 2001 repeats an earlier word\n"},
    VocabularyChange{"an 8-byte word", withWord(99, "abcdefgh"), "zarnoGlotEncode: vocabulary word 100 cannot be read back\n"},
    VocabularyChange{"a 7-byte word and a 1-byte one are words",
                     [](std::vector<std::string> w) {
                         w[99] = "abcdefx";
                         w[100] = "q";
                         w[101] = w[101] + "-";
                         return vocabularyText(w, "\n", true);
                     },
                     "zarnoGlotEncode: vocabulary word 102 cannot be read back\n"},
    VocabularyChange{"a byte that separates words",
                     [](std::vector<std::string> w) { w[4607] = "ab-cd"; return vocabularyText(w, "\n", false); },
                     "zarnoGlotEncode: vocabulary word 4608 cannot be read back\n"},
    VocabularyChange{"two CRs before the LF: the decoder keeps one",
                     [](std::vector<std::string> w) { w[299] += "\r"; return vocabularyText(w, "\r\n", true); },
                     "zarnoGlotEncode: vocabulary word 300 cannot be read back\n"},
    VocabularyChange{"empty file", [](std::vector<std::string>) { return std::string(); },
                     "zarnoGlotEncode: vocabulary has 0 entries; 4608 required\n"},
    VocabularyChange{"an overlong form", withWord(41, "ab\xC1\xA1"),
                     "zarnoGlotEncode: vocabulary word 42 is not well-formed UTF-8\n"},
    VocabularyChange{"a surrogate", withWord(4000, "\xED\xA0\x80x", "\r\n"),
                     "zarnoGlotEncode: vocabulary word 4001 is not well-formed UTF-8\n"},
    VocabularyChange{"a byte-order mark",
                     [](std::vector<std::string> w) { w[0] = "\xEF\xBB\xBF" + w[0]; return vocabularyText(w, "\r\n", true); },
                     "zarnoGlotEncode: the vocabulary begins with a byte-order mark: save it as UTF-8 without one\n"}),
    RowName());

TEST_F(EncodeCli, RefusesAMissingVocabularyByItsName) {
    std::string missing = joinPath(folder, "missing.vcb");
    ProgramResult result = encode({missing}, "x");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(unixLineEnds(result.err), "zarnoGlotEncode: cannot open vocabulary \"" + missing + "\"\n");
}

// A row of the words written: the input and the words, first letters made
// small (a sentence's first word comes capitalised).
struct WordsCase {
    const char* name;
    std::string input;
    std::vector<std::string> words;
};

void PrintTo(const WordsCase& row, std::ostream* out) {
    *out << row.name;
}

class EncodeWords : public EncodeCli, public ::testing::WithParamInterface<WordsCase> {};

TEST_P(EncodeWords, AreTheWordsOfTheBytes) {
    words[1044] = "waz";
    words[579] = "wbz";
    words[4164] = "wcz";
    words[4421] = "wdz";
    // A name outside every single-byte code page: the encoder opens any name
    // its system allows.
    std::string vocabulary = writeVocabularyFile(folder, "W\xC3\xB6rter \xE6\x97\xA5\xE6\x9C\xAC.vcb", words);
    ProgramResult result = encode({vocabulary}, GetParam().input);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(unixLineEnds(result.err), "");
    std::vector<std::string> written;
    std::string word;
    for (char byte : result.out + " ") {
        if (byte >= 'a' && byte <= 'z') {
            word += byte;
        } else if (byte >= 'A' && byte <= 'Z') {
            word += static_cast<char>(byte + 0x20);
        } else if (!word.empty()) {
            written.push_back(word);
            word.clear();
        }
    }
    EXPECT_EQ(written, GetParam().words);
    if (!GetParam().words.empty()) {
        EXPECT_EQ(result.out[0], 'W');
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, EncodeWords, ::testing::Values(
    WordsCase{"nothing", "", {}},
    WordsCase{"one leftover byte", "D", {"wcz"}},
    WordsCase{"two leftover bytes", "DE", {"wcz", "wdz"}},
    WordsCase{"a group", "ABC", {"waz", "wbz"}},
    WordsCase{"a group and two leftover bytes", "ABCDE", {"waz", "wbz", "wcz", "wdz"}}),
    RowName());

#ifndef _WIN32
TEST_F(EncodeCli, ReportsWriteAndReadErrors) {
    std::string vocabulary = writeVocabularyFile(folder, "v.vcb", words);
    std::string input = joinPath(folder, "input");
    writeFile(input, std::string(100000, 'a'));
    ProgramResult full = runProgramWithFiles(programPath("zarnoGlotEncode"), {vocabulary}, input, "/dev/full");
    EXPECT_EQ(full.status, 1);
    EXPECT_EQ(unixLineEnds(full.err), "zarnoGlotEncode: write error\n");
    writeFile(input, "");
    full = runProgramWithFiles(programPath("zarnoGlotEncode"), {vocabulary}, input, "/dev/full");
    EXPECT_EQ(full.status, 0) << "nothing to write, nothing fails";

    std::string output = joinPath(folder, "output");
    ProgramResult unreadable = runProgramWithFiles(programPath("zarnoGlotEncode"), {vocabulary}, folder, output);
    EXPECT_EQ(unreadable.status, 1);
    EXPECT_EQ(unixLineEnds(unreadable.err), "zarnoGlotEncode: read error\n");
    EXPECT_EQ(unreadable.out, "");
}
#endif

}  // namespace
