#include "md5.h"
#include "shuffler.h"
#include "xorshift128.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

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

TEST(Xorshift128, SeedIsTheDigestsLittleEndianWords) {
    GeneratorState state;
    seedGenerator("", &state);  // d41d8cd9 8f00b204 e9800998 ecf8427e
    EXPECT_EQ(state.x, 0xd98c1dd4u);
    EXPECT_EQ(state.y, 0x04b2008fu);
    EXPECT_EQ(state.z, 0x980980e9u);
    EXPECT_EQ(state.w, 0x7e42f8ecu);
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

}  // namespace
