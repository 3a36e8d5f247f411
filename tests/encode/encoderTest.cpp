#include "encoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testSupport.h"
#include "testVocabulary.h"

namespace {

bool appendToString(void* target, const unsigned char* bytes, std::size_t count) {
    static_cast<std::string*>(target)->append(reinterpret_cast<const char*>(bytes), count);
    return true;
}

bool refuseWrite(void*, const unsigned char*, std::size_t) {
    return false;
}

// Draws taken from a script, so that the text's shape is known.
std::vector<int> script;
std::size_t scriptPosition = 0;

int scriptedDraw(int low, int high) {
    EXPECT_LT(scriptPosition, script.size());
    int value = scriptPosition < script.size() ? script[scriptPosition++] : low;
    EXPECT_GE(value, low);
    EXPECT_LE(value, high);
    return value;
}

class EncoderTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = makeTempDirectory();
        words = makeTestVocabulary(11);
        words[10] = "zuz";        // no "Zuz": capitalised
        words[11] = "bax";        // "Bax" is a word of its own: left as it is
        words[12] = "Bax";
        words[13] = "\xC3\xA4x";  // äx: letters beyond ASCII are never capitalised
        words[14] = "Quz";
        words[15] = "q";          // a 1-byte word
    }
    void TearDown() override {
        freeVocabulary(&vocabulary);
        removeTree(folder);
    }
    void load() {
        ASSERT_EQ(1, loadVocabulary(writeVocabularyFile(folder, "v.vcb", words).c_str(), &vocabulary));
    }
    std::string shape(const std::vector<int>& draws, const std::vector<WordIndex>& indices) {
        script = draws;
        scriptPosition = 0;
        std::string text;
        openOutputBuffer(&output, appendToString, &text);
        resetShaper(&shaper, scriptedDraw);
        for (WordIndex index : indices) EXPECT_EQ(1, emitWord(vocabulary, index, &shaper, &output));
        EXPECT_EQ(1, finishText(shaper, &output));
        EXPECT_TRUE(flushOutput(&output));
        EXPECT_EQ(script.size(), scriptPosition) << "every scripted draw is used";
        return text;
    }

    std::string folder;
    std::vector<std::string> words;
    static VocabularyBlob vocabulary;
    static OutputBuffer output;
    SentenceShaper shaper;
};

VocabularyBlob EncoderTest::vocabulary;
OutputBuffer EncoderTest::output;

TEST_F(EncoderTest, LoadsEveryWordInLineOrderWhateverTheLineEnds) {
    struct Variant {
        const char* lineEnd;
        bool endLastLine;
    } variants[] = {{"\n", true}, {"\r\n", true}, {"\n", false}, {"\r\n", false}, {"\r\r\n", true}};
    for (const Variant& variant : variants) {
        std::string path = joinPath(folder, "variant.vcb");
        writeFile(path, vocabularyText(words, variant.lineEnd, variant.endLastLine));
        ASSERT_EQ(1, loadVocabulary(path.c_str(), &vocabulary)) << variant.lineEnd;
        for (int i = 0; i < VOCABULARY_SIZE; ++i) {
            ASSERT_EQ(words[i], vocabularyWord(vocabulary, static_cast<WordIndex>(i))) << i;
        }
        EXPECT_EQ(1, isVocabularyWord(vocabulary, "Bax"));
        EXPECT_EQ(1, isVocabularyWord(vocabulary, "q"));
        EXPECT_EQ(0, isVocabularyWord(vocabulary, "Zuz"));
        EXPECT_EQ(0, isVocabularyWord(vocabulary, "zuzzuzzuz"));
        EXPECT_EQ(0, isVocabularyWord(vocabulary, ""));
        freeVocabulary(&vocabulary);
        EXPECT_EQ(nullptr, vocabulary.blob);
        EXPECT_EQ(0u, vocabulary.blobSize);
    }
}

TEST_F(EncoderTest, CapitalisesASentenceStartOnlyWhereItReadsBack) {
    load();
    struct Case {
        WordIndex index;
        const char* written;
    } cases[] = {
        {10, "Zuz"}, {11, "bax"}, {12, "Bax"}, {13, "\xC3\xA4x"}, {14, "Quz"}, {15, "Q"},
    };
    for (const Case& c : cases) {
        std::string text;
        openOutputBuffer(&output, appendToString, &text);
        ASSERT_EQ(1, writeSentenceStartWord(vocabulary, c.index, &output));
        ASSERT_TRUE(flushOutput(&output));
        EXPECT_EQ(c.written, text) << c.index;
    }
}

TEST_F(EncoderTest, ShapesSentencesAndParagraphs) {
    load();
    struct Case {
        const char* name;
        std::vector<int> draws;  // sentence, paragraph, then per sentence end [paragraph,] sentence
        std::vector<WordIndex> indices;
        std::string text;
    } cases[] = {
        {"empty input writes nothing", {3, 1}, {}, ""},
        {"one word is closed by .\\n", {3, 1}, {10}, "Zuz .\n"},
        {"a paragraph break, then an open sentence",
         {3, 1, 2, 5}, {10, 11, 15, 10}, "Zuz bax q.\n\nZuz .\n"},
        {"ends exactly with a sentence inside its paragraph", {3, 2, 4}, {11, 13, 15}, "bax \xC3\xA4x q. "},
        {"ends exactly with a paragraph", {3, 1, 7, 9}, {15, 14, 12}, "Q Quz Bax.\n\n"},
        {"only the first word of each sentence is capitalised",
         {3, 8, 4, 3}, {10, 10, 10, 10, 10, 10, 10, 10},
         "Zuz zuz zuz. Zuz zuz zuz zuz. Zuz .\n"},
        {"ten-word sentences",
         {10, 1, 1, 10}, {15, 15, 15, 15, 15, 15, 15, 15, 15, 15, 15},
         "Q q q q q q q q q q.\n\nQ .\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.text, shape(c.draws, c.indices)) << c.name;
    }
}

TEST_F(EncoderTest, RefusesIndicesBeyondTheVocabularyAndKeepsStateOnAWriteFailure) {
    load();
    std::string text;
    openOutputBuffer(&output, appendToString, &text);
    script = {5, 5};
    scriptPosition = 0;
    resetShaper(&shaper, scriptedDraw);
    EXPECT_EQ(0, emitWord(vocabulary, VOCABULARY_SIZE, &shaper, &output));
    EXPECT_EQ(0, shaper.wordsInSentence);

    openOutputBuffer(&output, refuseWrite, nullptr);
    output.used = OUTPUT_BUFFER_BYTES - 4;  // a full buffer that cannot be written
    EXPECT_EQ(0, emitWord(vocabulary, 10, &shaper, &output));
    EXPECT_EQ(0, shaper.wordsInSentence);
    EXPECT_EQ(5, shaper.sentenceLength);
}

TEST(RandomInRange, StaysWithinItsBoundsAndReachesThem) {
    seedRandom(12345);
    bool seen[11] = {};
    for (int i = 0; i < 2000; ++i) {
        int value = randomInRange(3, 10);
        ASSERT_GE(value, 3);
        ASSERT_LE(value, 10);
        seen[value] = true;
    }
    for (int value = 3; value <= 10; ++value) EXPECT_TRUE(seen[value]) << value;
}

}  // namespace
