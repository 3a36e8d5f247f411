#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "keyDerivation.h"
#include "md5.h"
#include "programCases.h"
#include "shuffler.h"
#include "seedingVectors.h"
#include "testSupport.h"
#include "testVocabulary.h"

namespace {

const std::string NEWLINE = platformLineEnds("\n");

const std::string USAGE =
    "zarnoGlotShuffle (version: 26.343) vocabulary shuffler\n"
    "zarnoGlotShuffle [-m] passphrase|-i < base.barn > shuffled.vcb\n"
    "Options:\n"
    "  -h print version, usage and exit.\n"
    "  -t run MD5 self-test and exit.\n"
    "  -i read the passphrase from standard input's first line, before the word list (an argument can be seen by "
    "other users of the machine).\n"
    "  -r no passphrase: seed with 16 random bytes from the system (the strongest vocabulary: nobody can guess it).\n"
    "  -m seed with MD5 of the passphrase as earlier versions did (fast to guess: only to make such a vocabulary "
    "again).\n";

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

const std::vector<std::string> WORDS = generatedWords(4700);
const std::string TOO_FEW = "zarnoGlotShuffle: 0 words found; 4608 required minimum\n";

class ShuffleProgramRows : public testing::TestWithParam<ProgramCase> {};

TEST_P(ShuffleProgramRows, OptionsAndRefusals) {
    expectProgramCase(programPath("zarnoGlotShuffle"), GetParam());
}

std::vector<ProgramCase> optionsAndRefusals() {
    std::vector<std::string> tooMany = generatedWords(10001);
    std::vector<std::string> repeatAfterFull = generatedWords(10000);
    repeatAfterFull.push_back(repeatAfterFull[0]);
    return {
        {"no argument", {}, "", "", USAGE, -1},
        {"-h", {"-h"}, "", "", USAGE, -1},
        {"two arguments", {"-t", "x"}, "", "", USAGE, -1},
        {"-m alone", {"-m"}, "", "", USAGE, -1},
        {"-m before an option", {"-m", "-t"}, "", "", USAGE, -1},
        {"-r with a passphrase", {"-r", "x"}, "", "", USAGE, -1},
        {"-i before -m", {"-i", "-m"}, "", "", USAGE, -1},
        {"self-test", {"-t"}, "", "MD5 self-test PASSED (6 test vectors)\n", "", 0},
        // Only the whole argument "-t" or "-h" is an option; anything longer is a passphrase.
        {"-t as a prefix", {"-tx"}, "", "", TOO_FEW, 1},
        {"-h as a prefix", {"-help"}, "", "", TOO_FEW, 1},
        {"one-byte line", {"pass"}, lines(WORDS) + "x\n", "", "zarnoGlotShuffle: invalid word length\n", 1},
        {"eight-byte line", {"pass"}, "abcdefgh\n" + lines(WORDS), "", "zarnoGlotShuffle: invalid word length\n", 1},
        {"thirty-byte line", {"pass"}, std::string(30, 'q') + "\n" + lines(WORDS), "",
         "zarnoGlotShuffle: invalid word length\n", 1},
        {"duplicate", {"pass"}, lines(WORDS) + "wbaa\n", "", "zarnoGlotShuffle: duplicate word: wbaa\n", 1},
        {"first bad line wins", {"pass"}, "wbaa\nwbaa\nx\n", "", "zarnoGlotShuffle: duplicate word: wbaa\n", 1},
        {"zero byte", {"pass"}, lines(WORDS) + std::string("ab\0cd\n", 6), "", "zarnoGlotShuffle: zero byte in word\n", 1},
        {"an overlong form", {"pass"}, "wbaa\r\n\nab\xC1\xA1\n" + lines(WORDS), "",
         "zarnoGlotShuffle: word on line 3 is not well-formed UTF-8\n", 1},
        {"a cut-short sequence", {"pass"}, lines(WORDS) + "ab\xC3\n", "",
         "zarnoGlotShuffle: word on line 4701 is not well-formed UTF-8\n", 1},
        {"10001 words", {"pass"}, lines(tooMany), "", "zarnoGlotShuffle: too many words\n", 1},
        {"10001st repeats a word", {"pass"}, lines(repeatAfterFull), "", "zarnoGlotShuffle: too many words\n", 1},
        {"10001st holds a zero byte", {"pass"}, lines(generatedWords(10000)) + std::string("ab\0cd\n", 6), "",
         "zarnoGlotShuffle: too many words\n", 1},
        {"4607 words", {"pass"}, lines(generatedWords(4607)), "",
         "zarnoGlotShuffle: 4607 words found; 4608 required minimum\n", 1},
        {"empty input", {"pass"}, "", "", TOO_FEW, 1},
        // -i: the first line is the passphrase, the word list follows.
        {"-i, the passphrase's line alone", {"-i"}, "pass\n", "", TOO_FEW, 1},
        {"-i, a word list without a passphrase line", {"-i"}, "wbaa", "",
         "zarnoGlotShuffle: standard input ends before the passphrase's line does (-i: the passphrase's line, then "
         "the word list)\n", 1},
        {"-i, a passphrase of 1025 bytes", {"-i"}, std::string(1025, 'p') + "\n" + lines(WORDS), "",
         "zarnoGlotShuffle: the passphrase (-i: the first line of standard input) is longer than 1024 bytes\n", 1},
        {"-i, the first line is no word", {"-i"}, "wbaa\nx\n" + lines(WORDS), "",
         "zarnoGlotShuffle: invalid word length\n", 1},
        {"-m -i, the passphrase's line alone", {"-m", "-i"}, "pass\r\n", "", TOO_FEW, 1},
        {"-r, no words", {"-r"}, "", "", TOO_FEW, 1},
    };
}

INSTANTIATE_TEST_SUITE_P(Rows, ShuffleProgramRows, testing::ValuesIn(optionsAndRefusals()), RowName());

#ifndef _WIN32
TEST(ShuffleProgram, ASelfTestLineThatCannotBeWrittenIsAFailure) {
    ProgramResult result = runProgramWithFiles(programPath("zarnoGlotShuffle"), {"-t"}, "/dev/null", "/dev/full");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "zarnoGlotShuffle: write error\n");
}

// While it waits for the passphrase's line (-i) the shuffler holds no
// secret yet, but it has turned core dumps off: a program that has not
// (the harvester) shows that this system would write one.
TEST(ShuffleProgram, WritesNoCoreDump) {
    if (!leavesCoreDumpWhileReading(programPath("zarnoGlotHarvest"), {})) GTEST_SKIP() << "this system writes no core dumps";
    EXPECT_FALSE(leavesCoreDumpWhileReading(programPath("zarnoGlotShuffle"), {"-i"}));
    EXPECT_FALSE(leavesCoreDumpWhileReading(programPath("zarnoGlotPack"), {"-d", "sample.vcb"}));
}
#endif

// The sorted list as the shuffler reads it from the text, and the bytes the
// seeding's salt is taken from.
std::string saltInputOf(const std::string& text) {
    static WordList list;
    std::FILE* input = std::tmpfile();
    EXPECT_NE(input, nullptr);
    std::fwrite(text.data(), 1, text.size(), input);
    std::rewind(input);
    EXPECT_TRUE(readWordList(input, &list, stderr));
    std::fclose(input);
    sortWords(list.slots, list.count);
    static unsigned char bytes[WORD_LIST_CAPACITY * WORD_SLOT_BYTES];
    return std::string(reinterpret_cast<char*>(bytes), seedingSaltInput(&list, bytes));
}

// The order of the lines, blank lines and line ends change neither the
// sorted list nor the salt the passphrase's seeding takes from it, and so
// not the vocabulary: the salt's bytes here, and the program with the
// earlier seeding (-m), without a key derivation.
TEST(ShuffleProgram, LineOrderBlankLinesAndLineEndsDoNotChangeTheVocabulary) {
    std::vector<std::string> words = generatedWords(6000);
    std::vector<std::string> reordered(words.rbegin(), words.rend());
    std::rotate(reordered.begin(), reordered.begin() + 1234, reordered.end());
    std::string messy = "\n\r\n" + lines(reordered, "\r\n") + "\n\n";
    messy.insert(messy.find("\n", 5000) + 1, "\n\n\r\n");
    EXPECT_TRUE(saltInputOf(messy) == saltInputOf(lines(words)));

    const ProgramResult legacy = shuffle({"-m", "my passphrase"}, lines(words));
    ASSERT_EQ(legacy.status, 0);
    EXPECT_EQ(legacy.err, platformLineEnds("zarnoGlotShuffle: vocabulary of 4608 words written.\n"));
    EXPECT_EQ(outputLines(legacy.out).size(), 4608u);
    EXPECT_EQ(shuffle({"-m", "my passphrase"}, messy).out, legacy.out);
    std::string lastLineWithoutLineEnd = lines(reordered);
    lastLineWithoutLineEnd.pop_back();
    EXPECT_EQ(shuffle({"-m", "my passphrase"}, lastLineWithoutLineEnd).out, legacy.out);
    EXPECT_NE(shuffle({"-m", "my passphrase."}, lines(words)).out, legacy.out);
    ProgramResult empty = shuffle({"-m", ""}, lines(words));
    EXPECT_EQ(empty.status, 0);
    EXPECT_NE(empty.out, legacy.out);
}

TEST(ShuffleProgram, FourThousandSixHundredEightWordsAreAllKeptAndALoneCarriageReturnStays) {
    std::vector<std::string> words = generatedWords(4607);
    std::string input = lines(words) + "zz\r";  // last line: a CR without a line feed
    words.push_back("zz\r");
    ProgramResult result = shuffle({"-r"}, input);
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
    ProgramResult result = shuffle({"-r"}, lines(generatedWords(10000)));
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(outputLines(result.out).size(), 4608u);
}

// The bundled vocabulary is a stored contract: the word list beside it and
// the passphrase in data/README.md must rebuild it byte for byte, with the
// seeding of the version that made it (-m).
TEST(ShuffleProgram, RebuildsTheBundledSampleVocabulary) {
    std::string wordList = readFile(joinPath(binaryDirectory(), "sample.barn"));
    std::string expected = readFile(joinPath(binaryDirectory(), "sample.vcb"));
    ASSERT_FALSE(wordList.empty());
    ASSERT_EQ(std::count(expected.begin(), expected.end(), '\n'), 4608);
    ProgramResult result = shuffle({"-m", "ZarnoGlot sample vocabulary"}, wordList);
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, platformLineEnds(expected));
}

std::string sha256Hex(const std::string& bytes) {
    unsigned char digest[SHA256_BYTES];
    EXPECT_TRUE(sha256Digest(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), digest));
    return hexOf(digest, sizeof digest);
}

std::string md5Hex(const std::string& bytes) {
    unsigned char digest[MD5_DIGEST_BYTES];
    md5Digest(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), digest);
    return hexOf(digest, sizeof digest);
}

// The passphrase is its UTF-8 bytes on every system: a passphrase of any
// script gives on Windows the vocabulary the Linux build made (its MD5 here,
// with LF line ends), and the page gives the same. This is the seeding of
// earlier versions (-m), which remakes their vocabularies byte for byte,
// from the argument and from standard input's first line (LF or CR LF)
// alike: the passphrase reaches either seeding so.
TEST(ShuffleProgram, APassphraseOfAnyScriptGivesOneLegacyVocabularyEverywhere) {
    const std::string passphrase =
        "Gro\xC3\x9Fmutters \xD0\xBF\xD0\xB0\xD1\x80\xD0\xBE\xD0\xBB\xD1\x8C \xE6\x97\xA5\xE6\x9C\xAC";
    const std::string wordList = readFile(joinPath(binaryDirectory(), "sample.barn"));
    for (const ProgramResult& result : {shuffle({"-m", passphrase}, wordList),
                                        shuffle({"-m", "-i"}, passphrase + "\n" + wordList),
                                        shuffle({"-m", "-i"}, passphrase + "\r\n" + wordList)}) {
        ASSERT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(md5Hex(unixLineEnds(result.out)), "e233b085ac80859a35c59b1bca4a2135");
    }
}

// The passphrase's seeding through the program, with one Argon2id: the
// vocabulary of a shared vector whose passphrase is neither ASCII nor in one
// code page, on standard input's first line with CR LF (SeedingVectors
// checks every vector's vocabulary from its seed without a derivation, and
// the passphrase's forms reach the seeding as the legacy test shows).
TEST(ShuffleProgram, SeedsWithArgon2idAsTheSharedVectorSays) {
    for (const SeedingVector& vector : seedingVectors()) {
        if (vector.name != "japanese") continue;
        const std::string wordList = readFile(joinPath(binaryDirectory(), vector.wordList));
        const ProgramResult result = shuffle({"-i"}, vector.passphrase + "\r\n" + wordList);
        ASSERT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(sha256Hex(unixLineEnds(result.out)), vector.vocabulary);
        return;
    }
    FAIL() << "no vector japanese in seedingVectors.txt";
}

// Two random vocabularies of one word list differ, and each is a valid one:
// 4608 distinct words of the list.
TEST(ShuffleProgram, RandomVocabulariesDifferAndHoldWordsOfTheList) {
    std::vector<std::string> words = generatedWords(5000);
    const ProgramResult first = shuffle({"-r"}, lines(words));
    const ProgramResult second = shuffle({"-r"}, lines(words));
    ASSERT_EQ(first.status, 0) << first.err;
    ASSERT_EQ(second.status, 0) << second.err;
    EXPECT_NE(first.out, second.out);
    std::sort(words.begin(), words.end());
    for (const ProgramResult& result : {first, second}) {
        std::vector<std::string> vocabulary = outputLines(result.out);
        ASSERT_EQ(vocabulary.size(), 4608u);
        std::sort(vocabulary.begin(), vocabulary.end());
        EXPECT_EQ(std::adjacent_find(vocabulary.begin(), vocabulary.end()), vocabulary.end());
        EXPECT_TRUE(std::includes(words.begin(), words.end(), vocabulary.begin(), vocabulary.end()));
    }
}

}  // namespace
