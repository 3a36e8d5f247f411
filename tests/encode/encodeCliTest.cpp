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

TEST_F(EncodeCli, PrintsUsageForAnyArgumentCountButOneAndForH) {
    std::string vocabulary = writeVocabularyFile(folder, "v.vcb", words);
    expectProgramCases(programPath("zarnoGlotEncode"), usageCases(USAGE, vocabulary, "abc"));
}

TEST_F(EncodeCli, RefusesBadVocabulariesBeforeReadingInput) {
    std::vector<std::string> shortList(words.begin(), words.end() - 1);
    std::vector<std::string> longList = words;
    longList.push_back("extrax");
    std::vector<std::string> repeated = words;
    repeated[2000] = words[17];
    std::vector<std::string> tooLong = words;
    tooLong[99] = "abcdefgh";
    std::vector<std::string> notWordBytes = words;
    notWordBytes[4607] = "ab-cd";
    std::vector<std::string> twoCarriageReturns = words;
    twoCarriageReturns[299] += "\r";
    std::vector<std::string> tooLarge;
    for (std::size_t i = 0; i < words.size(); ++i) tooLarge.push_back(words[i] + std::string(15, 'x'));
    std::vector<std::string> overlong = words;
    overlong[41] = "ab\xC1\xA1";
    std::vector<std::string> surrogate = words;
    surrogate[4000] = "\xED\xA0\x80x";
    std::vector<std::string> markedFirst = words;
    markedFirst[0] = "\xEF\xBB\xBF" + words[0];
    std::string longLine = vocabularyText(words, "\n", true);
    longLine.insert(0, std::string(255, 'k') + "\n");

    expectVocabularyRefusals(programPath("zarnoGlotEncode"), folder, "some input", {
        {"4607 words", vocabularyText(shortList, "\n", true),
         "zarnoGlotEncode: vocabulary has 4607 entries; 4608 required\n"},
        {"4609 words", vocabularyText(longList, "\n", true),
         "zarnoGlotEncode: vocabulary has more than 4608 entries\n"},
        {"empty line at the end", vocabularyText(words, "\n", true) + "\n",
         "zarnoGlotEncode: empty vocabulary entry\n"},
        {"empty line inside", "\n" + vocabularyText(shortList, "\n", true),
         "zarnoGlotEncode: empty vocabulary entry\n"},
        {"a 255-byte line is two entries", longLine, "zarnoGlotEncode: empty vocabulary entry\n"},
        {"blob over 65535 bytes", vocabularyText(tooLarge, "\n", true),
         "zarnoGlotEncode: vocabulary blob is too large?\n"},
        {"a word twice", vocabularyText(repeated, "\r\n", true),
         "zarnoGlotEncode: vocabulary word 2001 repeats an earlier word\n"},
        {"an 8-byte word", vocabularyText(tooLong, "\n", true),
         "zarnoGlotEncode: vocabulary word 100 cannot be read back\n"},
        {"a byte that separates words", vocabularyText(notWordBytes, "\n", false),
         "zarnoGlotEncode: vocabulary word 4608 cannot be read back\n"},
        {"two CRs before the LF: the decoder keeps one", vocabularyText(twoCarriageReturns, "\r\n", true),
         "zarnoGlotEncode: vocabulary word 300 cannot be read back\n"},
        {"empty file", "", "zarnoGlotEncode: vocabulary has 0 entries; 4608 required\n"},
        {"an overlong form", vocabularyText(overlong, "\n", true),
         "zarnoGlotEncode: vocabulary word 42 is not well-formed UTF-8\n"},
        {"a surrogate", vocabularyText(surrogate, "\r\n", true),
         "zarnoGlotEncode: vocabulary word 4001 is not well-formed UTF-8\n"},
        {"a byte-order mark", vocabularyText(markedFirst, "\r\n", true),
         "zarnoGlotEncode: the vocabulary begins with a byte-order mark: save it as UTF-8 without one\n"},
    });
    std::string missing = joinPath(folder, "missing.vcb");
    ProgramResult result = encode({missing}, "x");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(unixLineEnds(result.err), "zarnoGlotEncode: cannot open vocabulary \"" + missing + "\"\n");
}

TEST_F(EncodeCli, WritesTheWordsOfTheBytes) {
    words[1044] = "waz";
    words[579] = "wbz";
    words[4164] = "wcz";
    words[4421] = "wdz";
    // A name outside every single-byte code page: the encoder opens any name
    // its system allows.
    std::string vocabulary = writeVocabularyFile(folder, "W\xC3\xB6rter \xE6\x97\xA5\xE6\x9C\xAC.vcb", words);
    struct Case {
        std::string input;
        std::vector<std::string> words;
    } cases[] = {
        {"", {}},
        {"D", {"wcz"}},
        {"DE", {"wcz", "wdz"}},
        {"ABC", {"waz", "wbz"}},
        {"ABCDE", {"waz", "wbz", "wcz", "wdz"}},
    };
    for (const Case& c : cases) {
        ProgramResult result = encode({vocabulary}, c.input);
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(unixLineEnds(result.err), "");
        // Split into words; sentence starts come capitalised.
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
        EXPECT_EQ(written, c.words) << c.input;
        if (!c.words.empty()) {
            EXPECT_EQ(result.out[0], 'W');
        }
    }
}

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
