// zarnoGlotDecode through the real executable, and round trips through both
// programs.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "programCases.h"
#include "testSupport.h"
#include "testVocabulary.h"

namespace {

const char* const USAGE =
    "zarnoGlotDecode (version: 26.245) Decode vocabulary words to binary.\n"
    "zarnoGlotDecode vocabulary < hugeGlotFile > binaryFile\n"
    "Option:\n"
    "  -h print version, usage and exit.\n";

class DecodeCli : public ::testing::Test {
protected:
    void SetUp() override {
        folder = makeTempDirectory();
        words = makeTestVocabulary(9);
        // A name outside every single-byte code page: the decoder opens any
        // name its system allows.
        vocabulary = writeVocabularyFile(folder, "W\xC3\xB6rter \xE6\x97\xA5\xE6\x9C\xAC.vcb", words);
    }
    void TearDown() override { removeTree(folder); }
    ProgramResult decode(const std::vector<std::string>& arguments, const std::string& input) {
        return runProgram(programPath("zarnoGlotDecode"), arguments, input);
    }
    ProgramResult encode(const std::string& path, const std::string& input) {
        return runProgram(programPath("zarnoGlotEncode"), {path}, input);
    }
    std::string folder;
    std::vector<std::string> words;
    std::string vocabulary;
};

TEST_F(DecodeCli, PrintsUsageForAnyArgumentCountButOneAndForH) {
    expectProgramCases(programPath("zarnoGlotDecode"), usageCases(USAGE, vocabulary, ""));
}

TEST_F(DecodeCli, RefusesBadVocabulariesBeforeReadingInput) {
    std::vector<std::string> shortList(words.begin(), words.end() - 1);
    std::vector<std::string> longList = words;
    longList.push_back("extrax");
    std::vector<std::string> repeated = words;
    repeated[4000] = words[3];
    std::vector<std::string> tooLong = words;
    tooLong[7] = "abcdefgh";
    expectVocabularyRefusals(programPath("zarnoGlotDecode"), folder, words[0] + " " + words[1], {
        {"4607 words", vocabularyText(shortList, "\n", true),
         "zarnoGlotDecode: dictionary must contain 4608 words\n"},
        {"4609 words", vocabularyText(longList, "\n", true), "zarnoGlotDecode: too many dictionary words\n"},
        {"an empty line", "\n" + vocabularyText(shortList, "\n", true),
         "zarnoGlotDecode: invalid dictionary word\n"},
        {"an 8-byte word", vocabularyText(tooLong, "\n", true), "zarnoGlotDecode: invalid dictionary word\n"},
        {"an 8-byte word, CR LF", vocabularyText(tooLong, "\r\n", true),
         "zarnoGlotDecode: invalid dictionary word\n"},
        {"a word twice", vocabularyText(repeated, "\n", true), "zarnoGlotDecode: duplicate dictionary word\n"},
    });
    ProgramResult result = decode({joinPath(folder, "missing.vcb")}, "");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(unixLineEnds(result.err), "zarnoGlotDecode: cannot open dictionary\n");
}

TEST_F(DecodeCli, ReportsTextErrorsAndKeepsTheBytesBeforeThem) {
    const std::string pair = words[0x414] + " " + words[0x243] + ". ";
    struct Case {
        const char* name;
        std::string text;
        std::string out;
        std::string err;
    } cases[] = {
        {"unknown word", pair + "Qqqqx " + pair, "ABC", "zarnoGlotDecode: unknown word: Qqqqx\n"},
        {"word too long", pair + "abcdefghij", "ABC", "zarnoGlotDecode: input word too long\n"},
        {"incomplete pair", pair + words[7], "ABC", "zarnoGlotDecode: incomplete 12-bit pair\n"},
        {"after leftover", words[4096 + 'D'] + " " + pair, "D",
         "zarnoGlotDecode: invalid word after leftover byte\n"},
        {"final leftover sequence", words[4096 + 'D'] + " " + words[1], "D",
         "zarnoGlotDecode: invalid final leftover sequence\n"},
        {"second without first", pair + words[4352], "ABC",
         "zarnoGlotDecode: second leftover byte without first\n"},
        {"leftover after incomplete block", pair + words[1] + " " + words[4096], "ABC",
         "zarnoGlotDecode: leftover byte after incomplete block\n"},
        {"separators only", " ,.\n\n0123", "", ""},
    };
    for (const Case& c : cases) {
        ProgramResult result = decode({vocabulary}, c.text);
        EXPECT_EQ(result.status, c.err.empty() ? 0 : 1) << c.name;
        EXPECT_EQ(unixLineEnds(result.err), c.err) << c.name;
        EXPECT_EQ(result.out, c.out) << c.name;
    }
}

TEST_F(DecodeCli, RoundTripsThroughBothPrograms) {
    std::vector<std::string> mixed = makeTestVocabulary(10);
    mixed[4351] = "q";   // 1-byte words at the leftover ends
    mixed[4607] = "Q";
    std::string mixedPath = joinPath(folder, "mixed.vcb");
    writeFile(mixedPath, vocabularyText(mixed, "\r\n", false));
    std::mt19937 random(3);
    std::vector<std::string> inputs = {"", "\xFF", "\xFF\xFF", "ABC", "ABCD", "ABCDE", std::string(7, '\0')};
    for (std::size_t size : {std::size_t(65535), std::size_t(65537), std::size_t(300000)}) {
        std::string bytes;
        for (std::size_t i = 0; i < size; ++i) bytes += static_cast<char>(random());
        inputs.push_back(bytes);
    }
    for (const std::string& path : {vocabulary, mixedPath}) {
        for (const std::string& input : inputs) {
            ProgramResult text = encode(path, input);
            ASSERT_EQ(text.status, 0) << unixLineEnds(text.err);
            ProgramResult back = decode({path}, text.out);
            ASSERT_EQ(back.status, 0) << unixLineEnds(back.err);
            EXPECT_EQ(back.out, input) << input.size();
        }
    }
}

TEST_F(DecodeCli, ReflowedAndCapitalisedTextDecodesTheSame) {
    // zux has no capital form of its own, Bax and bax are both words.
    words[100] = "zux";
    words[101] = "bax";
    words[102] = "Bax";
    vocabulary = writeVocabularyFile(folder, "v.vcb", words);
    std::string text = "Zux,bax\n\nBax 42 zux";
    ProgramResult result = decode({vocabulary}, text);
    EXPECT_EQ(result.status, 0) << unixLineEnds(result.err);
    EXPECT_EQ(result.out, std::string("\x06\x40\x65\x06\x60\x64", 6));
}

#ifndef _WIN32
TEST_F(DecodeCli, ReportsWriteAndReadErrors) {
    std::string input = joinPath(folder, "input");
    writeFile(input, words[0x414] + " " + words[0x243]);
    ProgramResult full = runProgramWithFiles(programPath("zarnoGlotDecode"), {vocabulary}, input, "/dev/full");
    EXPECT_EQ(full.status, 1);
    EXPECT_EQ(unixLineEnds(full.err), "zarnoGlotDecode: write error\n");

    std::string output = joinPath(folder, "output");
    ProgramResult unreadable = runProgramWithFiles(programPath("zarnoGlotDecode"), {vocabulary}, folder, output);
    EXPECT_EQ(unreadable.status, 1);
    EXPECT_EQ(unixLineEnds(unreadable.err), "zarnoGlotDecode: input read error\n");
}
#endif

}  // namespace
