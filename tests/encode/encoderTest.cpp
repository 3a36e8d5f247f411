#include "encoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "programCases.h"
#include "testSupport.h"
#include "testVocabulary.h"
#include "wordPacking.h"

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
        ASSERT_TRUE(loadVocabulary(writeVocabularyFile(folder, "v.vcb", words).c_str(), &vocabulary, stderr));
    }
    // The text of the words, written one at a time, or (for pair values)
    // as groups of bytes and then the odd last word.
    std::string shape(const std::vector<int>& draws, const std::vector<WordIndex>& indices, bool inGroups = false) {
        script = draws;
        scriptPosition = 0;
        std::string text;
        openOutputBuffer(&output, appendToString, &text);
        resetShaper(&shaper, scriptedDraw);
        std::size_t first = 0;
        if (inGroups) {
            std::string bytes;
            for (; first + 2 <= indices.size(); first += 2) {
                unsigned pair = static_cast<unsigned>(indices[first]) << 12 | indices[first + 1];
                bytes += {static_cast<char>(pair >> 16), static_cast<char>(pair >> 8), static_cast<char>(pair)};
            }
            EXPECT_TRUE(emitGroups(vocabulary, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(),
                                   &shaper, &output));
        }
        for (; first < indices.size(); ++first) EXPECT_TRUE(emitWord(vocabulary, indices[first], &shaper, &output));
        EXPECT_TRUE(finishText(shaper, &output));
        EXPECT_TRUE(flushOutput(&output));
        EXPECT_EQ(scriptPosition, script.size()) << "every scripted draw is used";
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
    } variants[] = {{"\n", true}, {"\r\n", true}, {"\n", false}, {"\r\n", false}};
    for (const Variant& variant : variants) {
        std::string path = joinPath(folder, "variant.vcb");
        writeFile(path, vocabularyText(words, variant.lineEnd, variant.endLastLine));
        ASSERT_TRUE(loadVocabulary(path.c_str(), &vocabulary, stderr)) << variant.lineEnd;
        for (int i = 0; i < VOCABULARY_SIZE; ++i) {
            ASSERT_EQ(vocabularyWord(vocabulary, static_cast<WordIndex>(i)), words[i]) << i;
        }
        EXPECT_TRUE(isVocabularyWord(vocabulary, "Bax"));
        EXPECT_TRUE(isVocabularyWord(vocabulary, "q"));
        EXPECT_FALSE(isVocabularyWord(vocabulary, "Zuz"));
        EXPECT_FALSE(isVocabularyWord(vocabulary, "zuzzuzzuz"));
        EXPECT_FALSE(isVocabularyWord(vocabulary, ""));
        freeVocabulary(&vocabulary);
        EXPECT_EQ(vocabulary.blob, nullptr);
        EXPECT_EQ(vocabulary.blobSize, 0u);
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
        ASSERT_TRUE(writeSentenceStartWord(vocabulary, c.index, &output));
        ASSERT_TRUE(flushOutput(&output));
        EXPECT_EQ(text, c.written) << c.index;
    }
}

// A row of the shaping: the scripted draws (sentence, paragraph, then at
// every sentence end [paragraph,] sentence), the indices, and the text, the
// same when the pair values come as groups.
struct ShapeCase {
    const char* name;
    std::vector<int> draws;
    std::vector<WordIndex> indices;
    std::string text;
};

void PrintTo(const ShapeCase& row, std::ostream* out) {
    *out << row.name;
}

class Shaping : public EncoderTest, public ::testing::WithParamInterface<ShapeCase> {};

TEST_P(Shaping, SentencesAndParagraphsAsTheDrawsSay) {
    load();
    EXPECT_EQ(shape(GetParam().draws, GetParam().indices), GetParam().text);
    EXPECT_EQ(shape(GetParam().draws, GetParam().indices, true), GetParam().text) << "in groups";
}

INSTANTIATE_TEST_SUITE_P(Rows, Shaping, ::testing::Values(
    ShapeCase{"empty input writes nothing", {3, 1}, {}, ""},
    ShapeCase{"one word is closed by a full stop and a line end", {3, 1}, {10}, "Zuz .\n"},
    ShapeCase{"a paragraph break, then an open sentence", {3, 1, 2, 5}, {10, 11, 15, 10}, "Zuz bax q.\n\nZuz .\n"},
    ShapeCase{"ends exactly with a sentence inside its paragraph", {3, 2, 4}, {11, 13, 15}, "bax \xC3\xA4x q. "},
    ShapeCase{"ends exactly with a paragraph", {3, 1, 7, 9}, {15, 14, 12}, "Q Quz Bax.\n\n"},
    ShapeCase{"only the first word of each sentence is capitalised", {3, 8, 4, 3}, {10, 10, 10, 10, 10, 10, 10, 10},
              "Zuz zuz zuz. Zuz zuz zuz zuz. Zuz .\n"},
    ShapeCase{"ten-word sentences", {10, 1, 1, 10}, {15, 15, 15, 15, 15, 15, 15, 15, 15, 15, 15},
              "Q q q q q q q q q q.\n\nQ .\n"}),
    RowName());

// With the program's own draws, every sentence has 3 to 10 words and every
// paragraph 1 to 8 sentences (the last of each may be cut short), and each
// bound is reached.
TEST_F(EncoderTest, SentencesOfThreeToTenWordsInParagraphsOfOneToEight) {
    load();
    seedRandom(7);
    std::string text;
    openOutputBuffer(&output, appendToString, &text);
    resetShaper(&shaper, randomInRange);
    for (int i = 0; i < 20000; ++i) ASSERT_TRUE(emitWord(vocabulary, 15, &shaper, &output));
    ASSERT_TRUE(flushOutput(&output));
    int fewestWords = 99, mostWords = 0, fewestSentences = 99, mostSentences = 0;
    std::size_t paragraphEnd = 0;
    for (std::size_t start = 0; (paragraphEnd = text.find(".\n\n", start)) != std::string::npos;
         start = paragraphEnd + 3) {
        const std::string paragraph = text.substr(start, paragraphEnd - start);
        int sentences = 1;
        int words = 1;
        for (std::size_t at = 0; at < paragraph.size(); ++at) {
            if (paragraph.compare(at, 2, ". ") == 0) {
                fewestWords = std::min(fewestWords, words);
                mostWords = std::max(mostWords, words);
                ++sentences;
                words = 1;
                ++at;
            } else if (paragraph[at] == ' ') {
                ++words;
            }
        }
        fewestWords = std::min(fewestWords, words);
        mostWords = std::max(mostWords, words);
        fewestSentences = std::min(fewestSentences, sentences);
        mostSentences = std::max(mostSentences, sentences);
    }
    EXPECT_EQ(fewestWords, 3);
    EXPECT_EQ(mostWords, 10);
    EXPECT_EQ(fewestSentences, 1);
    EXPECT_EQ(mostSentences, 8);
}

// Groups plan their sentence ends a run of words at a time; the text is the
// one that words written one at a time give with the same draws, whatever
// pieces the groups come in.
TEST_F(EncoderTest, GroupsWriteWhatSingleWordsWriteWithTheSameDraws) {
    load();
    std::string bytes;
    for (unsigned i = 0; i < 9000; ++i) bytes += static_cast<char>((i * 2654435761u) >> 13);
    auto data = reinterpret_cast<const unsigned char*>(bytes.data());
    for (unsigned seed : {1u, 2u, 3u}) {
        std::string single, grouped;
        for (std::string* text : {&single, &grouped}) {
            openOutputBuffer(&output, appendToString, text);
            seedRandom(seed);
            resetShaper(&shaper, randomInRange);
            for (std::size_t at = 0, piece = 3 * (1 + seed * 211 % 700); at < bytes.size(); at += piece) {
                std::size_t count = std::min(piece, bytes.size() - at);
                if (text == &grouped) {
                    ASSERT_TRUE(emitGroups(vocabulary, data + at, count, &shaper, &output));
                    continue;
                }
                for (std::size_t group = at; group < at + count; group += 3) {
                    WordIndex x = 0, y = 0;
                    packGroup(data + group, &x, &y);
                    ASSERT_TRUE(emitWord(vocabulary, x, &shaper, &output));
                    ASSERT_TRUE(emitWord(vocabulary, y, &shaper, &output));
                }
            }
            ASSERT_TRUE(finishText(shaper, &output));
            ASSERT_TRUE(flushOutput(&output));
        }
        ASSERT_EQ(grouped, single) << seed;
    }
}

TEST_F(EncoderTest, RefusesIndicesBeyondTheVocabularyAndKeepsStateOnAWriteFailure) {
    load();
    std::string text;
    openOutputBuffer(&output, appendToString, &text);
    script = {5, 5};
    scriptPosition = 0;
    resetShaper(&shaper, scriptedDraw);
    EXPECT_FALSE(emitWord(vocabulary, VOCABULARY_SIZE, &shaper, &output));
    EXPECT_EQ(shaper.wordsInSentence, 0);

    openOutputBuffer(&output, refuseWrite, nullptr);
    output.used = OUTPUT_BUFFER_BYTES - 4;  // a full buffer that cannot be written
    EXPECT_FALSE(emitWord(vocabulary, 10, &shaper, &output));
    EXPECT_EQ(shaper.wordsInSentence, 0);
    EXPECT_EQ(shaper.sentenceLength, 5);
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
