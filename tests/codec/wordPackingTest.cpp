#include "byteOutput.h"
#include "wordLookup.h"
#include "wordPacking.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

static std::vector<int> pack(const std::vector<unsigned char>& bytes) {
    std::vector<WordIndex> indices(packedIndexCount(bytes.size()) + 1);
    std::size_t count = packBytes(bytes.data(), bytes.size(), indices.data());
    EXPECT_EQ(count, packedIndexCount(bytes.size()));
    return std::vector<int>(indices.begin(), indices.begin() + static_cast<long>(count));
}

struct PackingCase {
    const char* name;
    std::vector<unsigned char> bytes;
    std::vector<int> indices;
};

static void PrintTo(const PackingCase& row, std::ostream* out) {
    *out << row.name;
}

class WordPackingRows : public testing::TestWithParam<PackingCase> {};

TEST_P(WordPackingRows, PackGroupsAndLeftoversAndUnpackBack) {
    const PackingCase& c = GetParam();
    EXPECT_EQ(pack(c.bytes), c.indices);
    std::vector<WordIndex> indices(c.indices.begin(), c.indices.end());
    std::vector<unsigned char> bytes(2 * indices.size() + 1);
    long long count = unpackIndices(indices.data(), indices.size(), bytes.data());
    ASSERT_EQ(count, static_cast<long long>(c.bytes.size()));
    bytes.resize(static_cast<std::size_t>(count));
    EXPECT_EQ(bytes, c.bytes);
}

INSTANTIATE_TEST_SUITE_P(Rows, WordPackingRows, testing::Values(
    PackingCase{"nothing", {}, {}},
    PackingCase{"a group", {0x41, 0x42, 0x43}, {1044, 579}},
    PackingCase{"a group and a leftover", {0x41, 0x42, 0x43, 0x44}, {1044, 579, 4164}},
    PackingCase{"a group and two leftovers", {0x41, 0x42, 0x43, 0x44, 0x45}, {1044, 579, 4164, 4421}},
    PackingCase{"two leftovers", {0x44, 0x45}, {4164, 4421}},
    PackingCase{"zeros", {0x00, 0x00, 0x00}, {0, 0}},
    PackingCase{"ones", {0xFF, 0xFF, 0xFF}, {4095, 4095}},
    PackingCase{"the last first leftover", {0xFF}, {4351}},
    PackingCase{"the last second leftover", {0xFF, 0xFF}, {4351, 4607}},
    PackingCase{"the first first leftover", {0x00}, {4096}},
    PackingCase{"the first second leftover", {0x00, 0x00}, {4096, 4352}},
    PackingCase{"two groups", {0x12, 0x34, 0x56, 0xAB, 0xCD, 0xEF}, {0x123, 0x456, 0xABC, 0xDEF}}),
    [](const testing::TestParamInfo<PackingCase>& info) {
        std::string name = info.param.name;
        for (char& c : name) c = c == ' ' ? '_' : c;
        return name;
    });

TEST(WordPacking, RoundTripForEveryLengthUpTo1000) {
    std::mt19937 random(7);
    std::vector<unsigned char> bytes;
    for (std::size_t length = 0; length <= 1000; ++length) {
        std::vector<WordIndex> indices(packedIndexCount(length));
        packBytes(bytes.data(), length, indices.data());
        std::vector<unsigned char> back(length + 1);
        ASSERT_EQ(unpackIndices(indices.data(), indices.size(), back.data()),
                  static_cast<long long>(length));
        back.resize(length);
        ASSERT_EQ(back, bytes);
        bytes.push_back(static_cast<unsigned char>(random()));
    }
}

TEST(WordPacking, RefusesSequencesThePackerCannotMake) {
    const std::vector<std::vector<WordIndex>> invalid = {
        {5},                   // a pair value without its partner
        {1, 2, 3},             // three pair values
        {4352},                // a second leftover without a first
        {1, 4096},             // a leftover inside a pair
        {4096, 1, 2},          // pair values after a leftover
        {4096, 4097},          // two first leftovers
        {4096, 4352, 4352},    // two second leftovers
        {4096, 4352, 1, 2},    // anything after the second leftover
        {4608},                // beyond the vocabulary
    };
    for (const std::vector<WordIndex>& indices : invalid) {
        unsigned char bytes[8];
        EXPECT_EQ(unpackIndices(indices.data(), indices.size(), bytes), -1) << indices.size();
    }
    // A lone last pair value is refused before anything beyond it is read
    // or written: room for two bytes an index is all it is promised.
    const WordIndex lonePair[2] = {5, 7};
    unsigned char room[2 + 4];
    std::fill(room, room + sizeof room, 0xAA);
    EXPECT_EQ(unpackIndices(lonePair, 1, room), -1);
    EXPECT_EQ(std::count(room + 2, room + sizeof room, 0xAA), 4);
}

TEST(WordPacking, IndexClassesAndWordBytes) {
    EXPECT_EQ(classifyIndex(0), INDEX_PAIR_VALUE);
    EXPECT_EQ(classifyIndex(4095), INDEX_PAIR_VALUE);
    EXPECT_EQ(classifyIndex(4096), INDEX_FIRST_LEFTOVER);
    EXPECT_EQ(classifyIndex(4351), INDEX_FIRST_LEFTOVER);
    EXPECT_EQ(classifyIndex(4352), INDEX_SECOND_LEFTOVER);
    EXPECT_EQ(classifyIndex(4607), INDEX_SECOND_LEFTOVER);
    EXPECT_EQ(classifyIndex(4608), INDEX_OUT_OF_RANGE);
    EXPECT_EQ(classifyIndex(-1), INDEX_OUT_OF_RANGE);
    int wordBytes = 0;
    for (int byte = 0; byte < 256; ++byte) wordBytes += isWordByte(static_cast<unsigned char>(byte));
    EXPECT_EQ(wordBytes, 26 + 26 + 128);
    for (int separator : {0x40, 0x5B, 0x60, 0x7B, 0x2E, 0x20, 0x0A, 0x30, 0x7F, 0x00}) {
        EXPECT_FALSE(isWordByte(static_cast<unsigned char>(separator))) << separator;
    }
}

TEST(WordLookup, FindsEveryWordAndReportsDuplicates) {
    static WordLookup lookup;
    clearWordLookup(&lookup);
    std::vector<std::string> words;
    for (int i = 0; i < VOCABULARY_SIZE; ++i) {
        // Three letters that spell i, then 0..4 more bytes.
        std::string word = {static_cast<char>('a' + i % 26), static_cast<char>('a' + i / 26 % 26),
                            static_cast<char>(0x80 + i / 676)};
        word.append(static_cast<std::size_t>(i % 5), 'q');
        words.push_back(word);
        auto bytes = reinterpret_cast<const unsigned char*>(word.data());
        ASSERT_EQ(addWord(&lookup, wordKey(bytes, word.size()), i), -1) << i;
    }
    for (int i = 0; i < VOCABULARY_SIZE; ++i) {
        auto bytes = reinterpret_cast<const unsigned char*>(words[i].data());
        ASSERT_EQ(lookupWord(lookup, wordKey(bytes, words[i].size())), i);
        ASSERT_EQ(addWord(&lookup, wordKey(bytes, words[i].size()), 4000), i);
    }
    EXPECT_EQ(lookupWord(lookup, wordKey(reinterpret_cast<const unsigned char*>("zz"), 2)), -1);
    unsigned char slot[8];
    keyToSlot(wordKey(reinterpret_cast<const unsigned char*>("abc"), 3), slot);
    EXPECT_EQ(std::string("abc\0\0\0\0\0", 8), std::string(reinterpret_cast<char*>(slot), 8));
    EXPECT_EQ(slotKey(slot), wordKey(slot, 3));
}

static bool appendToString(void* target, const unsigned char* bytes, std::size_t count) {
    static_cast<std::string*>(target)->append(reinterpret_cast<const char*>(bytes), count);
    return true;
}

static bool failAfterFirstBlock(void* target, const unsigned char*, std::size_t) {
    int* blocks = static_cast<int*>(target);
    return ++*blocks == 1;
}

TEST(OutputBuffer, WritesInBlocksAndStopsAfterAFailure) {
    static OutputBuffer output;
    std::string collected;
    openOutputBuffer(&output, appendToString, &collected);
    std::string expected;
    for (int i = 0; i < 30000; ++i) {
        std::string piece = std::to_string(i) + " ";
        ASSERT_TRUE(putBytes(&output, piece.data(), piece.size()));
        expected += piece;
    }
    EXPECT_LT(collected.size(), expected.size());  // the tail is still buffered
    ASSERT_TRUE(flushOutput(&output));
    EXPECT_EQ(collected, expected);

    int blocks = 0;
    openOutputBuffer(&output, failAfterFirstBlock, &blocks);
    std::string block(OUTPUT_BUFFER_BYTES, 'x');
    ASSERT_TRUE(putBytes(&output, block.data(), block.size()));
    ASSERT_TRUE(putBytes(&output, "a", 1));  // the first block is written
    ASSERT_TRUE(putBytes(&output, block.data(), OUTPUT_BUFFER_BYTES - 1));
    EXPECT_FALSE(putBytes(&output, "b", 1));  // the second is refused
    EXPECT_FALSE(putBytes(&output, "c", 1));
    EXPECT_FALSE(flushOutput(&output));
    EXPECT_EQ(blocks, 2);
}
