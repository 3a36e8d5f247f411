#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "md5.h"
#include "programCases.h"
#include "testSupport.h"
#include "testVocabulary.h"

namespace {

const std::string NEWLINE = platformLineEnds("\n");

const std::string USAGE =
    "zarnoGlotShuffle (version: 26.247) vocabulary shuffler\n"
    "zarnoGlotShuffle passphrase < base.barn > shuffled.vcb\n"
    "Options:\n"
    "  -h print version, usage and exit.\n"
    "  -t run MD5 self-test and exit.\n";

std::vector<std::string> generatedWords(int count) {
    std::vector<std::string> words;
    for (int i = 0; i < count; ++i) words.push_back(generatedWord(i));
    return words;
}

std::string lines(const std::vector<std::string>& words, const std::string& lineEnd = "\n") {
    std::string text;
    for (const std::string& word : words) text += word + lineEnd;
    return text;
}

std::vector<std::string> outputLines(const std::string& output) {
    std::vector<std::string> result;
    std::size_t start = 0;
    for (std::size_t end; (end = output.find(NEWLINE, start)) != std::string::npos; start = end + NEWLINE.size()) {
        result.push_back(output.substr(start, end - start));
    }
    EXPECT_EQ(start, output.size()) << "the output ends with a line end";
    return result;
}

ProgramResult shuffle(const std::vector<std::string>& arguments, const std::string& input) {
    return runProgram(programPath("zarnoGlotShuffle"), arguments, input);
}

TEST(ShuffleProgram, OptionsAndRefusals) {
    std::vector<std::string> words = generatedWords(4700);
    std::vector<std::string> tooMany = generatedWords(10001);
    std::vector<std::string> repeatAfterFull = generatedWords(10000);
    repeatAfterFull.push_back(repeatAfterFull[0]);
    expectProgramCases(programPath("zarnoGlotShuffle"), {
        {"no argument", {}, "", "", USAGE, -1},
        {"-h", {"-h"}, "", "", USAGE, -1},
        {"two arguments", {"-t", "x"}, "", "", USAGE, -1},
        {"self-test", {"-t"}, "", "MD5 self-test PASSED (6 test vectors)\n", "", 0},
        // Only the whole argument "-t" or "-h" is an option; anything longer is a passphrase.
        {"-t as a prefix", {"-tx"}, "", "", "zarnoGlotShuffle: 0 words found; 4608 required minimum\n", 1},
        {"-h as a prefix", {"-help"}, "", "", "zarnoGlotShuffle: 0 words found; 4608 required minimum\n", 1},
        {"one-byte line", {"pass"}, lines(words) + "x\n", "", "zarnoGlotShuffle: invalid word length\n", 1},
        {"eight-byte line", {"pass"}, "abcdefgh\n" + lines(words), "", "zarnoGlotShuffle: invalid word length\n", 1},
        {"thirty-byte line", {"pass"}, std::string(30, 'q') + "\n" + lines(words), "",
         "zarnoGlotShuffle: invalid word length\n", 1},
        {"duplicate", {"pass"}, lines(words) + "wbaa\n", "", "zarnoGlotShuffle: duplicate word: wbaa\n", 1},
        {"first bad line wins", {"pass"}, "wbaa\nwbaa\nx\n", "", "zarnoGlotShuffle: duplicate word: wbaa\n", 1},
        {"zero byte", {"pass"}, lines(words) + std::string("ab\0cd\n", 6), "", "zarnoGlotShuffle: zero byte in word\n", 1},
        {"an overlong form", {"pass"}, "wbaa\r\n\nab\xC1\xA1\n" + lines(words), "",
         "zarnoGlotShuffle: word on line 3 is not well-formed UTF-8\n", 1},
        {"a cut-short sequence", {"pass"}, lines(words) + "ab\xC3\n", "",
         "zarnoGlotShuffle: word on line 4701 is not well-formed UTF-8\n", 1},
        {"10001 words", {"pass"}, lines(tooMany), "", "zarnoGlotShuffle: too many words\n", 1},
        {"10001st repeats a word", {"pass"}, lines(repeatAfterFull), "", "zarnoGlotShuffle: too many words\n", 1},
        {"10001st holds a zero byte", {"pass"}, lines(generatedWords(10000)) + std::string("ab\0cd\n", 6), "",
         "zarnoGlotShuffle: too many words\n", 1},
        {"4607 words", {"pass"}, lines(generatedWords(4607)), "",
         "zarnoGlotShuffle: 4607 words found; 4608 required minimum\n", 1},
        {"empty input", {"pass"}, "", "", "zarnoGlotShuffle: 0 words found; 4608 required minimum\n", 1},
    });
}

#ifndef _WIN32
TEST(ShuffleProgram, ASelfTestLineThatCannotBeWrittenIsAFailure) {
    ProgramResult result = runProgramWithFiles(programPath("zarnoGlotShuffle"), {"-t"}, "/dev/null", "/dev/full");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "zarnoGlotShuffle: write error\n");
}
#endif

TEST(ShuffleProgram, LineOrderBlankLinesAndLineEndsDoNotChangeTheVocabulary) {
    std::vector<std::string> words = generatedWords(6000);
    ProgramResult original = shuffle({"my passphrase"}, lines(words));
    ASSERT_EQ(original.status, 0);
    EXPECT_EQ(original.err, platformLineEnds("zarnoGlotShuffle: vocabulary of 4608 words written.\n"));
    EXPECT_EQ(outputLines(original.out).size(), 4608u);

    std::vector<std::string> reordered(words.rbegin(), words.rend());
    std::rotate(reordered.begin(), reordered.begin() + 1234, reordered.end());
    std::string messy = "\n\r\n" + lines(reordered, "\r\n") + "\n\n";
    messy.insert(messy.find("\n", 5000) + 1, "\n\n\r\n");
    EXPECT_EQ(shuffle({"my passphrase"}, messy).out, original.out);
    std::string lastLineWithoutLineEnd = lines(reordered);
    lastLineWithoutLineEnd.pop_back();
    EXPECT_EQ(shuffle({"my passphrase"}, lastLineWithoutLineEnd).out, original.out);

    EXPECT_NE(shuffle({"my passphrase."}, lines(words)).out, original.out);
    ProgramResult empty = shuffle({""}, lines(words));
    EXPECT_EQ(empty.status, 0);
    EXPECT_NE(empty.out, original.out);
}

TEST(ShuffleProgram, FourThousandSixHundredEightWordsAreAllKeptAndALoneCarriageReturnStays) {
    std::vector<std::string> words = generatedWords(4607);
    std::string input = lines(words) + "zz\r";  // last line: a CR without a line feed
    words.push_back("zz\r");
    ProgramResult result = shuffle({"x"}, input);
    ASSERT_EQ(result.status, 0) << result.err;
    std::vector<std::string> vocabulary = outputLines(result.out);
    EXPECT_NE(vocabulary, words);
    std::sort(words.begin(), words.end());
    std::sort(vocabulary.begin(), vocabulary.end());
#ifdef _WIN32
    // The text stream writes the word's CR and then CR LF for its line feed.
    for (std::string& word : vocabulary) {
        if (word == "zz\r\r") word = "zz\r";
    }
#endif
    EXPECT_EQ(vocabulary, words);
}

TEST(ShuffleProgram, TenThousandWordsAreAccepted) {
    ProgramResult result = shuffle({"x"}, lines(generatedWords(10000)));
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(outputLines(result.out).size(), 4608u);
}

// The bundled vocabulary is a stored contract: the word list beside it and
// the passphrase in data/README.md must rebuild it byte for byte.
TEST(ShuffleProgram, RebuildsTheBundledSampleVocabulary) {
    std::string wordList = readFile(joinPath(binaryDirectory(), "sample.barn"));
    std::string expected = readFile(joinPath(binaryDirectory(), "sample.vcb"));
    ASSERT_FALSE(wordList.empty());
    ASSERT_EQ(std::count(expected.begin(), expected.end(), '\n'), 4608);
    ProgramResult result = shuffle({"ZarnoGlot sample vocabulary"}, wordList);
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, platformLineEnds(expected));
}

// The passphrase is its UTF-8 bytes on every system: a passphrase of any
// script gives on Windows the vocabulary the Linux build made (its MD5 here,
// with LF line ends), and the page gives the same.
TEST(ShuffleProgram, APassphraseOfAnyScriptGivesOneVocabularyEverywhere) {
    const struct { const char* passphrase; const char* linuxDigest; } cases[] = {
        {"Gro\xC3\x9Fmutters \xD0\xBF\xD0\xB0\xD1\x80\xD0\xBE\xD0\xBB\xD1\x8C \xE6\x97\xA5\xE6\x9C\xAC",
         "e233b085ac80859a35c59b1bca4a2135"},
    };
    const std::string wordList = readFile(joinPath(binaryDirectory(), "sample.barn"));
    for (const auto& c : cases) {
        ProgramResult result = shuffle({c.passphrase}, wordList);
        ASSERT_EQ(result.status, 0) << result.err;
        const std::string vocabulary = unixLineEnds(result.out);
        unsigned char digest[MD5_DIGEST_BYTES];
        md5Digest(reinterpret_cast<const unsigned char*>(vocabulary.data()), vocabulary.size(), digest);
        char hex[2 * MD5_DIGEST_BYTES + 1];
        for (int i = 0; i < MD5_DIGEST_BYTES; ++i) std::snprintf(hex + 2 * i, 3, "%02x", digest[i]);
        EXPECT_STREQ(hex, c.linuxDigest);
    }
}

}  // namespace
