#include "letterCase.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <string>

namespace {

TEST(CasePairTable, RowsAscendAndNoCodePointRepeats) {
    for (int i = 1; i < CASE_PAIR_COUNT; ++i) {
        EXPECT_LT(CasePairTable[i - 1].capital, CasePairTable[i].capital);
    }
    for (int i = 0; i < CASE_PAIR_COUNT; ++i) {
        for (int j = 0; j < CASE_PAIR_COUNT; ++j) {
            EXPECT_NE(CasePairTable[i].capital, CasePairTable[j].lowercase);
            if (i != j) {
                EXPECT_NE(CasePairTable[i].lowercase, CasePairTable[j].lowercase);
            }
        }
    }
}

// The table is exactly these runs of capitals, each with its lowercase.
TEST(CasePairTable, HoldsExactlyTheRunsOfLatinCapitals) {
    struct Run {
        std::uint32_t first, last, step;
        int lowercaseOffset;  // 0: the fixed lowercase below
        std::uint32_t fixedLowercase;
    } runs[] = {
        {0xC0, 0xD6, 1, 0x20, 0},    {0xD8, 0xDE, 1, 0x20, 0},    {0x100, 0x12E, 2, 1, 0},
        {0x130, 0x130, 1, 0, 0x69},  {0x132, 0x136, 2, 1, 0},     {0x139, 0x147, 2, 1, 0},
        {0x14A, 0x176, 2, 1, 0},     {0x178, 0x178, 1, 0, 0xFF},  {0x179, 0x17D, 2, 1, 0},
    };
    int row = 0;
    for (const Run& run : runs) {
        for (std::uint32_t capital = run.first; capital <= run.last; capital += run.step) {
            ASSERT_LT(row, CASE_PAIR_COUNT);
            EXPECT_EQ(CasePairTable[row].capital, capital) << row;
            std::uint32_t lowercase = run.lowercaseOffset ? capital + run.lowercaseOffset : run.fixedLowercase;
            EXPECT_EQ(CasePairTable[row].lowercase, lowercase) << row;
            ++row;
        }
    }
    EXPECT_EQ(row, CASE_PAIR_COUNT);
}

TEST(LetterCase, LowercaseMappingsIncludingTheIrregularRows) {
    EXPECT_EQ(toLowercaseLetter(0x130), 0x69u);
    EXPECT_EQ(toLowercaseLetter(0x178), 0xFFu);
    EXPECT_EQ(toLowercaseLetter(0x41), 0x61u);
    EXPECT_EQ(toLowercaseLetter(0x17D), 0x17Eu);
    EXPECT_EQ(toLowercaseLetter(0x139), 0x13Au);  // after the parity change at U+0138
    EXPECT_EQ(toLowercaseLetter(0x14A), 0x14Bu);  // after the parity change at U+0149
    for (std::uint32_t unchanged : {0xDFu, 0x61u, 0xE9u, 0x30u, 0xD7u, 0x17Fu}) {
        EXPECT_EQ(toLowercaseLetter(unchanged), unchanged) << std::hex << unchanged;
    }
}

TEST(LetterCase, CapitalsAndWordLetters) {
    for (std::uint32_t capital : {0x41u, 0x5Au, 0xC0u, 0xDEu, 0x178u, 0x130u, 0x17Du}) {
        EXPECT_TRUE(isCapitalLetter(capital)) << std::hex << capital;
    }
    for (std::uint32_t other : {0xDFu, 0xD7u, 0x61u, 0xE9u, 0xFFu, 0x131u, 0x40u, 0x5Bu}) {
        EXPECT_FALSE(isCapitalLetter(other)) << std::hex << other;
    }
    for (std::uint32_t letter : {0xDFu, 0x69u, 0xFFu, 0x17Eu, 0x41u, 0x7Au, 0xC0u}) {
        EXPECT_TRUE(isWordLetter(letter)) << std::hex << letter;
    }
    for (std::uint32_t other : {0xD7u, 0xF7u, 0x131u, 0x138u, 0x149u, 0x17Fu, 0x30u, 0x27u, 0x2Du, 0x180u, 0x1F600u,
                                0x40u, 0x5Bu, 0x60u, 0x7Bu}) {
        EXPECT_FALSE(isWordLetter(other)) << std::hex << other;
    }
}

struct DecodeCase {
    const char* name;
    const char* bytes;
    std::uint64_t available;
    Utf8Width width;
    bool succeeds;
    std::uint32_t codePoint;
    int length;
};

void PrintTo(const DecodeCase& row, std::ostream* out) {
    *out << row.name;
}

std::string rowNameOf(const char* name) {
    std::string shown = name;
    for (char& c : shown) {
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) c = '_';
    }
    return shown;
}

class Utf8Decode : public testing::TestWithParam<DecodeCase> {};

TEST_P(Utf8Decode, ReadsOneCharacterOrLeavesItsOutputs) {
    const DecodeCase& c = GetParam();
    std::uint32_t codePoint = 12345;
    int length = 99;
    bool ok = decodeUtf8Char(reinterpret_cast<const unsigned char*>(c.bytes), c.available, c.width, &codePoint, &length);
    ASSERT_EQ(ok, c.succeeds);
    if (ok) {
        EXPECT_EQ(codePoint, c.codePoint);
        EXPECT_EQ(length, c.length);
    } else {
        EXPECT_EQ(codePoint, 12345u);  // outputs untouched on failure
        EXPECT_EQ(length, 99);
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, Utf8Decode, testing::Values(
    DecodeCase{"nothing", "", 0, UTF8_UP_TO_3_BYTES, false, 0, 0},
    DecodeCase{"a lone continuation byte", "\x80", 1, UTF8_UP_TO_3_BYTES, false, 0, 0},
    DecodeCase{"two bytes with one available", "\xC3\xA9", 1, UTF8_UP_TO_3_BYTES, false, 0, 0},
    DecodeCase{"no continuation", "\xC3\x28", 2, UTF8_UP_TO_3_BYTES, false, 0, 0},
    DecodeCase{"three bytes with two available", "\xE2\x82\xAC", 2, UTF8_UP_TO_3_BYTES, false, 0, 0},
    DecodeCase{"three bytes", "\xE2\x82\xAC", 3, UTF8_UP_TO_3_BYTES, true, 0x20AC, 3},
    DecodeCase{"four bytes where three are the most", "\xF0\x9F\x98\x80", 4, UTF8_UP_TO_3_BYTES, false, 0, 0},
    DecodeCase{"four bytes", "\xF0\x9F\x98\x80", 4, UTF8_UP_TO_4_BYTES, true, 0x1F600, 4},
    DecodeCase{"four bytes with three available", "\xF0\x9F\x98\x80", 3, UTF8_UP_TO_4_BYTES, false, 0, 0},
    DecodeCase{"five bytes", "\xF8\x88\x80\x80\x80", 5, UTF8_UP_TO_3_BYTES, false, 0, 0},
    DecodeCase{"five bytes where four are the most", "\xF8\x88\x80\x80\x80", 5, UTF8_UP_TO_4_BYTES, false, 0, 0},
    DecodeCase{"an overlong form decodes", "\xC0\x80", 2, UTF8_UP_TO_3_BYTES, true, 0, 2},
    DecodeCase{"a surrogate decodes", "\xED\xA0\x80", 3, UTF8_UP_TO_3_BYTES, true, 0xD800, 3},
    DecodeCase{"beyond Unicode decodes", "\xF4\x90\x80\x80", 4, UTF8_UP_TO_4_BYTES, true, 0x110000, 4},
    DecodeCase{"one ASCII byte of more", "A\xFF", 1, UTF8_UP_TO_3_BYTES, true, 0x41, 1}),
    [](const testing::TestParamInfo<DecodeCase>& info) { return rowNameOf(info.param.name); });

TEST(Utf8, EncodeTableAndRoundTrip) {
    unsigned char out[4] = {0, 0, 0, 0};
    ASSERT_EQ(encodeUtf8Char(0xE9, out, UTF8_UP_TO_3_BYTES), 2);
    EXPECT_EQ(std::memcmp(out, "\xC3\xA9", 2), 0);
    ASSERT_EQ(encodeUtf8Char(0x20AC, out, UTF8_UP_TO_3_BYTES), 3);
    EXPECT_EQ(std::memcmp(out, "\xE2\x82\xAC", 3), 0);
    unsigned char untouched[4] = {1, 2, 3, 4};
    EXPECT_EQ(encodeUtf8Char(0x10000, untouched, UTF8_UP_TO_3_BYTES), 0);
    EXPECT_EQ(untouched[0], 1);
    ASSERT_EQ(encodeUtf8Char(0x10000, out, UTF8_UP_TO_4_BYTES), 4);
    EXPECT_EQ(std::memcmp(out, "\xF0\x90\x80\x80", 4), 0);
    EXPECT_EQ(encodeUtf8Char(0x110000, untouched, UTF8_UP_TO_4_BYTES), 0);
    EXPECT_EQ(untouched[0], 1);

    for (std::uint32_t codePoint = 0; codePoint <= 0x10FFFF; codePoint += 97) {
        int length = encodeUtf8Char(codePoint, out, UTF8_UP_TO_4_BYTES);
        std::uint32_t decoded = 0;
        int decodedLength = 0;
        ASSERT_TRUE(decodeUtf8Char(out, static_cast<std::uint64_t>(length), UTF8_UP_TO_4_BYTES,
                                   &decoded, &decodedLength));
        ASSERT_EQ(decoded, codePoint);
        ASSERT_EQ(decodedLength, length);
    }
}

struct WellFormedCase {
    const char* name;
    const char* bytes;
    bool wellFormed;
};

void PrintTo(const WellFormedCase& row, std::ostream* out) {
    *out << row.name;
}

class Utf8WellFormed : public testing::TestWithParam<WellFormedCase> {};

TEST_P(Utf8WellFormed, OnlyInTheShortestFormAndWithinUnicode) {
    const WellFormedCase& c = GetParam();
    EXPECT_EQ(isWellFormedUtf8(reinterpret_cast<const unsigned char*>(c.bytes), std::strlen(c.bytes)), c.wellFormed);
}

INSTANTIATE_TEST_SUITE_P(Rows, Utf8WellFormed, testing::Values(
    WellFormedCase{"nothing", "", true},
    WellFormedCase{"one to four bytes", "abc \xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80 \xF4\x8F\xBF\xBF", true},
    WellFormedCase{"a byte-order mark", "\xEF\xBB\xBF" "ab", true},
    WellFormedCase{"a in two bytes", "ab\xC1\xA1", false},
    WellFormedCase{"a full stop in two bytes", "\xC0\xAE", false},
    WellFormedCase{"a in three bytes", "\xE0\x81\xA1", false},
    WellFormedCase{"a in four bytes", "\xF0\x80\x81\xA1", false},
    WellFormedCase{"U+FFFF in four bytes", "\xF0\x8F\xBF\xBF", false},
    WellFormedCase{"U+10000, the first of four bytes", "\xF0\x90\x80\x80", true},
    WellFormedCase{"U+D7FF before the surrogates", "\xED\x9F\xBF", true},
    WellFormedCase{"the first surrogate", "\xED\xA0\x80", false},
    WellFormedCase{"the last surrogate", "\xED\xBF\xBF", false},
    WellFormedCase{"U+E000 after the surrogates", "\xEE\x80\x80", true},
    WellFormedCase{"beyond U+10FFFF", "\xF4\x90\x80\x80", false},
    WellFormedCase{"a lead byte beyond Unicode", "\xF5\x80\x80\x80", false},
    WellFormedCase{"cut short", "\xC3", false},
    WellFormedCase{"no continuation", "\xC3\x28", false},
    WellFormedCase{"a lone continuation first", "\x80" "ab", false},
    WellFormedCase{"a byte that starts nothing", "ab\xFF", false}),
    [](const testing::TestParamInfo<WellFormedCase>& info) { return rowNameOf(info.param.name); });

static std::string lowered(std::string word, Utf8Width width, bool* changed) {
    *changed = lowercaseFirstLetter(reinterpret_cast<unsigned char*>(&word[0]), word.size(), width);
    return word;
}

TEST(LetterCase, LowercaseFirstLetterOnlyWhenTheLengthStays) {
    bool changed = false;
    EXPECT_EQ(lowered("\xC3\x84rger", UTF8_UP_TO_3_BYTES, &changed), "\xC3\xA4rger");
    EXPECT_TRUE(changed);
    EXPECT_EQ(lowered("Zug", UTF8_UP_TO_4_BYTES, &changed), "zug");
    EXPECT_TRUE(changed);
    for (const char* unchanged : {"\xC4\xB0zmir", "zug", "9zug", "\xC1\x81" "b", "\x80" "ab", ""}) {
        EXPECT_EQ(lowered(unchanged, UTF8_UP_TO_3_BYTES, &changed), unchanged);
        EXPECT_FALSE(changed) << unchanged;
    }
    // Only the first character changes.
    EXPECT_EQ(lowered("ZUG", UTF8_UP_TO_3_BYTES, &changed), "zUG");
}

}  // namespace
