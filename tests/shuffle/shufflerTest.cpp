#include "keyDerivation.h"
#include "md5.h"
#include "programCases.h"
#include "seedingVectors.h"
#include "shuffleProgram.h"
#include "shuffler.h"
#include "xorshift128.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::string hexDigest(const std::string& message) {
    unsigned char digest[MD5_DIGEST_BYTES];
    md5Digest(reinterpret_cast<const unsigned char*>(message.data()), message.size(), digest);
    static const char DIGITS[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char byte : digest) {
        hex += DIGITS[byte >> 4];
        hex += DIGITS[byte & 0x0F];
    }
    return hex;
}

TEST(Md5, Rfc1321TestSuiteAndBlockBoundaries) {
    const struct {
        std::string message;
        const char* digest;
    } vectors[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
         "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
        // Tails of 55, 56 and 64 bytes: one padding block, two, and a full block.
        {std::string(55, 'x'), "04364420e25c512fd958a70738aa8f72"},
        {std::string(56, 'x'), "668a72d5ba17f08e62dabcafad6db14b"},
        {std::string(64, 'x'), "c1bb4f81d892b2d57947682aeb252456"},
    };
    for (const auto& vector : vectors) {
        EXPECT_EQ(hexDigest(vector.message), vector.digest) << vector.message.size() << " bytes";
    }
}

TEST(Md5, SelfTestPassesOnTheOutputStream) {
    std::FILE* output = std::tmpfile();
    std::FILE* errors = std::tmpfile();
    ASSERT_TRUE(output && errors);
    EXPECT_TRUE(runMd5SelfTest(output, errors));
    EXPECT_EQ(std::ftell(errors), 0);
    std::rewind(output);
    char line[100] = {};
    ASSERT_TRUE(std::fgets(line, sizeof line, output));
    EXPECT_STREQ(line, "MD5 self-test PASSED (6 test vectors)\n");
    std::fclose(output);
    std::fclose(errors);
}

TEST(Xorshift128, KnownSequences) {
    GeneratorState marsaglia = {123456789, 362436069, 521288629, 88675123};
    EXPECT_EQ(nextRandom(&marsaglia), 3701687786u);
    EXPECT_EQ(nextRandom(&marsaglia), 458299110u);
    EXPECT_EQ(nextRandom(&marsaglia), 2500872618u);
    GeneratorState fallback = {1, 0, 0, 0};
    for (int i = 0; i < 3; ++i) EXPECT_EQ(nextRandom(&fallback), 2057u);
}

TEST(Xorshift128, SeedIsTheSeedsLittleEndianWordsAndNeverAllZero) {
    GeneratorState state;
    unsigned char seed[SEED_BYTES];
    legacySeed(reinterpret_cast<const unsigned char*>(""), 0, seed);  // MD5: d41d8cd9 8f00b204 e9800998 ecf8427e
    seedGenerator(seed, &state);
    EXPECT_EQ(state.x, 0xd98c1dd4u);
    EXPECT_EQ(state.y, 0x04b2008fu);
    EXPECT_EQ(state.z, 0x980980e9u);
    EXPECT_EQ(state.w, 0x7e42f8ecu);
    const unsigned char zeros[SEED_BYTES] = {};
    seedGenerator(zeros, &state);
    EXPECT_EQ(state.x, 1u);
    EXPECT_EQ(state.y | state.z | state.w, 0u);
}

std::string slotText(const WordSlot& slot) {
    return reinterpret_cast<const char*>(slot.bytes);
}

void fillSlots(WordSlot* slots, std::initializer_list<const char*> words) {
    int i = 0;
    for (const char* word : words) {
        std::memset(slots[i].bytes, 0, sizeof slots[i].bytes);
        std::strcpy(reinterpret_cast<char*>(slots[i].bytes), word);
        ++i;
    }
}

TEST(Shuffle, SortsAsUnsignedBytesAndShufflesFromTheEnd) {
    WordSlot slots[4];
    fillSlots(slots, {"\xC3\xA9t\xC3\xA9", "zz", "abc", "ab"});
    sortWords(slots, 4);
    EXPECT_EQ(slotText(slots[0]), "ab");
    EXPECT_EQ(slotText(slots[1]), "abc");
    EXPECT_EQ(slotText(slots[2]), "zz");
    EXPECT_EQ(slotText(slots[3]), "\xC3\xA9t\xC3\xA9");

    // 3701687786 % 3 = 2 swaps slot 2 with itself; 458299110 % 2 = 0 swaps slots 1 and 0.
    fillSlots(slots, {"aa", "bb", "cc"});
    GeneratorState state = {123456789, 362436069, 521288629, 88675123};
    shuffleWords(slots, 3, &state);
    EXPECT_EQ(slotText(slots[0]), "bb");
    EXPECT_EQ(slotText(slots[1]), "aa");
    EXPECT_EQ(slotText(slots[2]), "cc");

    GeneratorState untouched = {1, 2, 3, 4};
    shuffleWords(slots, 1, &untouched);
    EXPECT_EQ(untouched.x, 1u);  // one word: no number drawn
}

TEST(Seeding, SaltInputIsTheSortedWordsEachFollowedByALineFeed) {
    static WordList list;
    clearWordList(&list);
    for (const char* word : {"b\xC3\xA9", "abc", "ab"}) {
        appendWord(&list, reinterpret_cast<const unsigned char*>(word), static_cast<int>(std::strlen(word)));
    }
    sortWords(list.slots, list.count);
    unsigned char bytes[3 * WORD_SLOT_BYTES];
    const size_t length = seedingSaltInput(&list, bytes);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes), length), "ab\nabc\nb\xC3\xA9\n");
}

// The seeding's salt and the vocabulary its seed gives, against the shared
// vectors; the derivation itself is checked through the program
// (ShuffleProgram), one Argon2id a vector.
class SeedingVectors : public testing::TestWithParam<SeedingVector> {};

TEST_P(SeedingVectors, SaltAndVocabularyOfTheSeed) {
    const SeedingVector& vector = GetParam();
    static WordList list;
    std::FILE* words = std::fopen(joinPath(binaryDirectory(), vector.wordList).c_str(), "rb");
    ASSERT_NE(words, nullptr) << vector.wordList;
    ASSERT_TRUE(readWordList(words, &list, stderr));
    std::fclose(words);
    sortWords(list.slots, list.count);
    static unsigned char saltInput[WORD_LIST_CAPACITY * WORD_SLOT_BYTES];
    unsigned char salt[SHA256_BYTES];
    ASSERT_TRUE(sha256Digest(saltInput, seedingSaltInput(&list, saltInput), salt));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(salt), sizeof salt), vector.salt);

    std::FILE* output = std::tmpfile();
    std::FILE* summary = std::tmpfile();
    ASSERT_TRUE(output && summary);
    ASSERT_EQ(writeShuffledVocabulary(&list, reinterpret_cast<const unsigned char*>(vector.seed.data()), output,
                                      summary), 0);
    std::string vocabulary(static_cast<size_t>(std::ftell(output)), '\0');
    std::rewind(output);
    ASSERT_EQ(std::fread(&vocabulary[0], 1, vocabulary.size(), output), vocabulary.size());
    std::fclose(output);
    std::fclose(summary);
    unsigned char digest[SHA256_BYTES];
    ASSERT_TRUE(sha256Digest(reinterpret_cast<const unsigned char*>(vocabulary.data()), vocabulary.size(), digest));
    EXPECT_EQ(hexOf(digest, sizeof digest), vector.vocabulary);
}

INSTANTIATE_TEST_SUITE_P(Shared, SeedingVectors, testing::ValuesIn(seedingVectors()), RowName());

TEST(Seeding, TheSharedVectorsAreThere) {
    EXPECT_EQ(seedingVectors().size(), 3u);
}

struct PassphraseLineCase {
    const char* name;
    std::string input;
    bool read;
    std::string passphrase;  // what it reads, or the one line it writes on errors
    std::string rest;        // what stays on the input for the word list
};

void PrintTo(const PassphraseLineCase& row, std::ostream* out) {
    *out << row.name;
}

class PassphraseLine : public testing::TestWithParam<PassphraseLineCase> {};

TEST_P(PassphraseLine, IsTheFirstLineWithoutItsLineEnd) {
    const PassphraseLineCase& row = GetParam();
    std::FILE* input = std::tmpfile();
    std::FILE* errors = std::tmpfile();
    ASSERT_TRUE(input && errors);
    std::fwrite(row.input.data(), 1, row.input.size(), input);
    std::rewind(input);
    unsigned char passphrase[MAX_PASSPHRASE_BYTES + 2];
    size_t length = 0;
    const bool read = readPassphraseLine(input, passphrase, &length, errors);
    EXPECT_EQ(read, row.read);
    std::string message(static_cast<size_t>(std::ftell(errors)), '\0');
    std::rewind(errors);
    EXPECT_EQ(std::fread(&message[0], 1, message.size(), errors), message.size());
    if (row.read) {
        EXPECT_EQ(std::string(reinterpret_cast<char*>(passphrase), length), row.passphrase);
        EXPECT_EQ(message, "");
        std::string rest;
        for (int c; (c = std::fgetc(input)) != EOF;) rest += static_cast<char>(c);
        EXPECT_EQ(rest, row.rest);
    } else {
        EXPECT_EQ(message, row.passphrase);
    }
    std::fclose(input);
    std::fclose(errors);
}

const std::string LONGEST(MAX_PASSPHRASE_BYTES, 'p');
const std::string TOO_LONG = "zarnoGlotShuffle: the passphrase (-i: the first line of standard input) is longer than "
                             "1024 bytes\n";
const std::string ENDS_EARLY = "zarnoGlotShuffle: standard input ends before the passphrase's line does (-i: the "
                               "passphrase's line, then the word list)\n";

INSTANTIATE_TEST_SUITE_P(Rows, PassphraseLine, testing::Values(
    PassphraseLineCase{"line feed", "pass\nwords\n", true, "pass", "words\n"},
    PassphraseLineCase{"CR LF", "pass\r\nwords\r\n", true, "pass", "words\r\n"},
    PassphraseLineCase{"only one CR removed", "pass\r\r\nw", true, "pass\r", "w"},
    PassphraseLineCase{"CR inside stays", "pa\rss\nw", true, "pa\rss", "w"},
    PassphraseLineCase{"blanks stay", " pass \t\n", true, " pass \t", ""},
    PassphraseLineCase{"empty line", "\nwords", true, "", "words"},
    PassphraseLineCase{"CR alone", "\r\nwords", true, "", "words"},
    PassphraseLineCase{"UTF-8 whole", "\xD0\xBF\xE6\x97\xA5\n", true, "\xD0\xBF\xE6\x97\xA5", ""},
    PassphraseLineCase{"longest", LONGEST + "\nw", true, LONGEST, "w"},
    PassphraseLineCase{"longest with CR LF", LONGEST + "\r\nw", true, LONGEST, "w"},
    PassphraseLineCase{"a byte too long", LONGEST + "p\nw", false, TOO_LONG, ""},
    PassphraseLineCase{"a byte too long before CR LF", LONGEST + "p\r\nw", false, TOO_LONG, ""},
    PassphraseLineCase{"far too long without line end", LONGEST + LONGEST, false, TOO_LONG, ""},
    PassphraseLineCase{"no line feed", "pass", false, ENDS_EARLY, ""},
    PassphraseLineCase{"empty input", "", false, ENDS_EARLY, ""},
    PassphraseLineCase{"zero byte", std::string("pa\0ss\nw", 7), false,
                       "zarnoGlotShuffle: the passphrase holds a zero byte\n", ""}),
    RowName());

struct ShuffleArgumentsCase {
    const char* name;
    std::vector<std::string> arguments;
    ShuffleMode mode;
    const char* passphrase;  // or none: -i, -r, -t and the usage
};

void PrintTo(const ShuffleArgumentsCase& row, std::ostream* out) {
    *out << row.name;
}

class ShuffleArguments : public testing::TestWithParam<ShuffleArgumentsCase> {};

TEST_P(ShuffleArguments, NoOptionIsAPassphrase) {
    const ShuffleArgumentsCase& row = GetParam();
    std::vector<std::string> arguments = row.arguments;
    std::vector<char*> pointers;
    for (std::string& argument : arguments) pointers.push_back(&argument[0]);
    const ShuffleCommand command = parseShuffleArguments(static_cast<int>(pointers.size()), pointers.data());
    EXPECT_EQ(command.mode, row.mode);
    EXPECT_EQ(std::string(command.passphrase ? command.passphrase : "(none)"),
              std::string(row.passphrase ? row.passphrase : "(none)"));
}

INSTANTIATE_TEST_SUITE_P(Rows, ShuffleArguments, testing::Values(
    ShuffleArgumentsCase{"none", {}, SHUFFLE_USAGE, nullptr},
    ShuffleArgumentsCase{"h", {"-h"}, SHUFFLE_USAGE, nullptr},
    ShuffleArgumentsCase{"t", {"-t"}, SHUFFLE_SELF_TEST, nullptr},
    ShuffleArgumentsCase{"passphrase", {"pass"}, SHUFFLE_PASSPHRASE, "pass"},
    ShuffleArgumentsCase{"empty passphrase", {""}, SHUFFLE_PASSPHRASE, ""},
    ShuffleArgumentsCase{"t as a prefix", {"-tx"}, SHUFFLE_PASSPHRASE, "-tx"},
    ShuffleArgumentsCase{"i", {"-i"}, SHUFFLE_PASSPHRASE, nullptr},
    ShuffleArgumentsCase{"r", {"-r"}, SHUFFLE_RANDOM, nullptr},
    ShuffleArgumentsCase{"m alone", {"-m"}, SHUFFLE_USAGE, nullptr},
    ShuffleArgumentsCase{"m passphrase", {"-m", "pass"}, SHUFFLE_LEGACY, "pass"},
    ShuffleArgumentsCase{"m i", {"-m", "-i"}, SHUFFLE_LEGACY, nullptr},
    ShuffleArgumentsCase{"m i as a prefix", {"-m", "-ix"}, SHUFFLE_LEGACY, "-ix"},
    ShuffleArgumentsCase{"m t", {"-m", "-t"}, SHUFFLE_USAGE, nullptr},
    ShuffleArgumentsCase{"m h", {"-m", "-h"}, SHUFFLE_USAGE, nullptr},
    ShuffleArgumentsCase{"m r", {"-m", "-r"}, SHUFFLE_USAGE, nullptr},
    ShuffleArgumentsCase{"m m", {"-m", "-m"}, SHUFFLE_USAGE, nullptr},
    ShuffleArgumentsCase{"i m", {"-i", "-m"}, SHUFFLE_USAGE, nullptr},
    ShuffleArgumentsCase{"r with a passphrase", {"-r", "pass"}, SHUFFLE_USAGE, nullptr},
    ShuffleArgumentsCase{"two passphrases", {"a", "b"}, SHUFFLE_USAGE, nullptr},
    ShuffleArgumentsCase{"m and two", {"-m", "a", "b"}, SHUFFLE_USAGE, nullptr}),
    RowName());

}  // namespace
