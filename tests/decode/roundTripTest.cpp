// Round trips through the encoder's and the decoder's functions: every
// length with several vocabularies, the stream steps over a text longer
// than one piece, and reflowed text.
#include "decodeProgram.h"
#include "decoder.h"
#include "encoder.h"
#include "messageBlocks.h"
#include "wordPacking.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "testSupport.h"
#include "testVocabulary.h"

namespace {

bool appendToString(void* target, const unsigned char* bytes, std::size_t count) {
    static_cast<std::string*>(target)->append(reinterpret_cast<const char*>(bytes), count);
    return true;
}

// Encodes with the encoder's functions and decodes with the decoder's.
class RoundTrip : public ::testing::Test {
protected:
    static std::string encodeBytes(const VocabularyBlob& vocabulary, const std::string& bytes) {
        static OutputBuffer output;
        std::string text;
        openOutputBuffer(&output, appendToString, &text);
        SentenceShaper shaper;
        resetShaper(&shaper, randomInRange);
        auto data = reinterpret_cast<const unsigned char*>(bytes.data());
        std::size_t groups = bytes.size() - bytes.size() % 3;
        EXPECT_TRUE(emitGroups(vocabulary, data, groups, &shaper, &output));
        EXPECT_TRUE(emitLeftovers(vocabulary, data + groups, bytes.size() - groups, &shaper, &output));
        EXPECT_TRUE(finishText(shaper, &output));
        EXPECT_TRUE(flushOutput(&output));
        return text;
    }
    static DecodeResult decodeText(const Dictionary& dictionary, const std::string& text,
                                   std::string* bytes) {
        static OutputBuffer output;
        openOutputBuffer(&output, appendToString, bytes);
        DecoderState state;
        resetDecoderState(&state);
        auto data = reinterpret_cast<const unsigned char*>(text.data());
        DecodeResult result = ::decodeText(dictionary, &state, data, text.size(), &output);
        if (result == DECODE_OK) result = finishDecoding(dictionary, &state, &output);
        flushOutput(&output);
        return result;
    }
};

TEST_F(RoundTrip, EveryLengthUpTo1000WithSeveralVocabularies) {
    std::string folder = makeTempDirectory();
    std::vector<std::string> oneByteWords = makeTestVocabulary(8);
    const int oneByteIndices[] = {0, 4095, 4096, 4351, 4352, 4607};
    for (int i = 0; i < 6; ++i) oneByteWords[static_cast<std::size_t>(oneByteIndices[i])] = std::string(1, "xyzXYZ"[i]);
    struct Variant {
        std::vector<std::string> words;
        const char* lineEnd;
    } variants[] = {
        {makeTestVocabulary(1), "\n"},
        {makeTestVocabulary(2), "\r\n"},
        {oneByteWords, "\n"},
    };
    static VocabularyBlob vocabulary;
    static Dictionary dictionary;
    std::mt19937 random(99);
    seedRandom(4);
    for (const Variant& variant : variants) {
        std::string path = joinPath(folder, "v.vcb");
        writeFile(path, vocabularyText(variant.words, variant.lineEnd, true));
        ASSERT_TRUE(loadVocabulary(path.c_str(), &vocabulary, stderr));
        ASSERT_TRUE(loadDictionary(path.c_str(), &dictionary, stderr));
        std::string bytes;
        for (std::size_t length = 0; length <= 1000; ++length) {
            std::string text = encodeBytes(vocabulary, bytes);
            std::string back;
            ASSERT_EQ(decodeText(dictionary, text, &back), DECODE_OK) << length;
            ASSERT_EQ(back, bytes) << length;
            bytes += static_cast<char>(random());
        }
        freeVocabulary(&vocabulary);
    }
    removeTree(folder);
}

// A stream that reads the bytes (a temporary file: Windows has no memory streams).
static std::FILE* streamOver(const std::string& bytes) {
    std::FILE* stream = std::tmpfile();
    if (stream == nullptr) return nullptr;
    std::fwrite(bytes.data(), 1, bytes.size(), stream);
    std::rewind(stream);
    return stream;
}

static void noteBytesRead(void* last, std::uint64_t bytesRead) {
    *static_cast<std::uint64_t*>(last) = bytesRead;
}

// The stream steps the programs and the page run, over a text longer than
// one piece: the bytes come back, progress reaches the whole input, and
// nearly every word goes through the block scan (leftovers and the words
// at a piece's end do not).
TEST_F(RoundTrip, StreamStepsTellProgressAndTakeTheBlockPath) {
    std::string folder = makeTempDirectory();
    std::string path = writeVocabularyFile(folder, "v.vcb", makeTestVocabulary(7));
    static VocabularyBlob vocabulary;
    static Dictionary dictionary;
    static OutputBuffer output;
    static TextPiece piece;
    ASSERT_TRUE(loadVocabulary(path.c_str(), &vocabulary, stderr));
    ASSERT_TRUE(loadDictionary(path.c_str(), &dictionary, stderr));
    std::mt19937 random(8);
    std::string bytes;
    for (int i = 0; i < 400000; ++i) bytes += static_cast<char>(random());

    std::string text;
    std::uint64_t read = 0;
    StreamProgress progress = {noteBytesRead, &read};
    std::FILE* input = streamOver(bytes);
    ASSERT_NE(input, nullptr);
    openOutputBuffer(&output, appendToString, &text);
    SentenceShaper shaper;
    resetShaper(&shaper, randomInRange);
    ASSERT_EQ(encodeStream(vocabulary, &shaper, input, &output, &progress), ENCODE_DONE);
    ASSERT_TRUE(flushOutput(&output));
    std::fclose(input);
    EXPECT_EQ(read, bytes.size());
    ASSERT_GT(text.size(), WHOLE_TEXT_BYTES);

    std::string back;
    read = 0;
    input = streamOver(text);
    ASSERT_NE(input, nullptr);
    openOutputBuffer(&output, appendToString, &back);
    DecoderState state;
    TextReading reading;
    EXPECT_EQ(decodeStream(dictionary, input, 1, &state, &output, &piece, &reading, &progress), DECODE_OK);
    ASSERT_TRUE(flushOutput(&output));
    std::fclose(input);
    EXPECT_EQ(back, bytes);
    EXPECT_EQ(read, text.size());
    EXPECT_GT(state.blockWords, packedIndexCount(bytes.size()) * 95 / 100);
    freeVocabulary(&vocabulary);
    removeTree(folder);
}

TEST_F(RoundTrip, ReflowedTextDecodesTheSame) {
    std::string folder = makeTempDirectory();
    std::string path = writeVocabularyFile(folder, "v.vcb", makeTestVocabulary(6));
    static VocabularyBlob vocabulary;
    static Dictionary dictionary;
    ASSERT_TRUE(loadVocabulary(path.c_str(), &vocabulary, stderr));
    ASSERT_TRUE(loadDictionary(path.c_str(), &dictionary, stderr));
    std::mt19937 random(5);
    std::string bytes;
    for (int i = 0; i < 30000; ++i) bytes += static_cast<char>(random());
    std::string text = encodeBytes(vocabulary, bytes);
    const char* const separators[] = {" ", ",", "\n", "\r\n", "  ", "7", "--", "!\t", ".\n\n", "@[`{"};
    std::string reflowed;
    bool inSeparators = false;
    for (char byte : text) {
        if (isWordByte(static_cast<unsigned char>(byte))) {
            reflowed += byte;
            inSeparators = false;
        } else if (!inSeparators) {
            reflowed += separators[random() % 10];
            inSeparators = true;
        }
    }
    ASSERT_NE(text, reflowed);
    std::string back;
    ASSERT_EQ(decodeText(dictionary, reflowed, &back), DECODE_OK);
    EXPECT_EQ(back, bytes);
    freeVocabulary(&vocabulary);
    removeTree(folder);
}

}  // namespace
