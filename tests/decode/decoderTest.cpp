#include "decodeProgram.h"
#include "decodeReport.h"
#include "decoder.h"
#include "encoder.h"
#include "letterCase.h"
#include "messageBlocks.h"
#include "sealedShape.h"
#include "wordByteMask.h"
#include "wordPacking.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "programCases.h"
#include "testSupport.h"
#include "testVocabulary.h"

namespace {

bool appendToString(void* target, const unsigned char* bytes, std::size_t count) {
    static_cast<std::string*>(target)->append(reinterpret_cast<const char*>(bytes), count);
    return true;
}

class DecoderTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder = new std::string(makeTempDirectory());
        words = new std::vector<std::string>(makeTestVocabulary(3));
        std::vector<std::string>& w = *words;
        w[20] = "zux";              // only lowercase: "Zux" folds to it
        w[21] = "bax";              // both forms: each reads as itself
        w[22] = "Bax";
        w[23] = "\xC3\xA4rgx";      // ärgx: "Ärgx" folds to it
        w[24] = "ix";               // "İx" (U+0130) must not fold to it
        w[25] = "abcdefz";          // 7 bytes
        w[26] = "\xC5\x82\xC3\xB3x";  // łóx, "Łóx" folds (U+0141 -> U+0142)
        w[27] = "a\xC2\xA0z";          // a word with a no-break space in it reads as written
        path = new std::string(writeVocabularyFile(*folder, "v.vcb", w));
        ASSERT_TRUE(loadDictionary(path->c_str(), &dictionary, stderr));
    }
    static void TearDownTestSuite() {
        removeTree(*folder);
        delete folder;
        delete words;
        delete path;
    }

    typedef DecodeResult (*DecodePiece)(const Dictionary&, DecoderState*, const unsigned char*,
                                        std::size_t, OutputBuffer*);

    // Decodes the text in one piece or in pieces of the given size, tolerant
    // from the first word the byte-exact reading cannot read or not.
    static DecodeResult decode(const std::string& text, std::string* bytes, std::size_t pieceSize,
                               DecoderState* state, DecodePiece decodePiece = decodeText, bool tolerant = true) {
        openOutputBuffer(&output, appendToString, bytes);
        resetDecoderState(state, tolerant);
        DecodeResult result = DECODE_OK;
        auto data = reinterpret_cast<const unsigned char*>(text.data());
        for (std::size_t at = 0; at < text.size() && result == DECODE_OK; at += pieceSize) {
            std::size_t count = std::min(pieceSize, text.size() - at);
            result = decodePiece(dictionary, state, data + at, count, &output);
        }
        if (result == DECODE_OK) result = finishDecoding(dictionary, state, &output);
        flushOutput(&output);
        return result;
    }

    static std::string word(int index) { return (*words)[static_cast<std::size_t>(index)]; }

    static std::string* folder;
    static std::vector<std::string>* words;
    static std::string* path;
    static Dictionary dictionary;
    static OutputBuffer output;
};

std::string* DecoderTest::folder;
std::vector<std::string>* DecoderTest::words;
std::string* DecoderTest::path;
Dictionary DecoderTest::dictionary;
OutputBuffer DecoderTest::output;

// A word looked up as written and with its first letter folded: the
// indices, -1 for none.
struct LookupCase {
    const char* name;
    const char* word;
    int exact;
    int folded;
};

void PrintTo(const LookupCase& row, std::ostream* out) {
    *out << row.name;
}

class WordLookups : public DecoderTest, public ::testing::WithParamInterface<LookupCase> {};

TEST_P(WordLookups, AsWrittenOrWithAFoldedCapital) {
    EXPECT_EQ(findWord(dictionary, GetParam().word), GetParam().exact);
    EXPECT_EQ(findWordFolded(dictionary, GetParam().word), GetParam().folded);
}

INSTANTIATE_TEST_SUITE_P(Rows, WordLookups, ::testing::Values(
    LookupCase{"lowercase only", "zux", 20, 20},
    LookupCase{"its capital folds", "Zux", -1, 20},
    LookupCase{"only the first letter folds", "ZUX", -1, -1},
    LookupCase{"both forms, small", "bax", 21, 21},
    LookupCase{"both forms, the capital as written", "Bax", 22, 22},
    LookupCase{"a capital beyond ASCII folds", "\xC3\x84rgx", -1, 23},
    LookupCase{"a small letter beyond ASCII", "\xC3\xA4rgx", 23, 23},
    LookupCase{"I with a dot: its i is a byte shorter", "\xC4\xB0x", -1, -1},
    LookupCase{"I folds to i", "Ix", -1, 24},
    LookupCase{"L with a stroke folds", "\xC5\x81\xC3\xB3x", -1, 26},
    LookupCase{"seven bytes", "abcdefz", 25, 25},
    LookupCase{"eight bytes", "abcdefzz", -1, -1},
    LookupCase{"nothing", "", -1, -1},
    LookupCase{"no word", "qqqqqqq", -1, -1}),
    RowName());

TEST_F(DecoderTest, FindsEveryWordAsWritten) {
    for (int i = 0; i < VOCABULARY_SIZE; ++i) ASSERT_EQ(findWord(dictionary, word(i).c_str()), i);
}

// A row of the word steps: {P1} {P2} {P3} stand for pair values, {F} and
// {F2} for first leftovers ('D', 'x'), {S} for a second one ('E'), {S0}
// for the second leftover of byte 0 (the class's edge).
struct WordStepCase {
    const char* name;
    std::string text;
    std::string bytes;
    DecodeResult result;
};

void PrintTo(const WordStepCase& row, std::ostream* out) {
    *out << row.name;
}

class WordSteps : public DecoderTest, public ::testing::WithParamInterface<WordStepCase> {
protected:
    static std::string expand(std::string text) {
        const std::pair<const char*, std::string> marks[] = {
            {"{P1}", word(0x414)}, {"{P2}", word(0x243)}, {"{P3}", word(0x111)}, {"{F}", word(FIRST_LEFTOVER_BASE + 'D')},
            {"{F2}", word(FIRST_LEFTOVER_BASE + 'x')}, {"{S}", word(SECOND_LEFTOVER_BASE + 'E')},
            {"{S0}", word(SECOND_LEFTOVER_BASE)}};
        for (const auto& mark : marks) {
            for (std::size_t at = text.find(mark.first); at != std::string::npos; at = text.find(mark.first)) {
                text.replace(at, std::strlen(mark.first), mark.second);
            }
        }
        return text;
    }
};

// In one piece and in pieces of 1 and 3 bytes alike.
TEST_P(WordSteps, GiveTheBytesOrTheirError) {
    const std::string text = expand(GetParam().text);
    for (std::size_t pieceSize : {std::size_t(1), std::size_t(3), std::size_t(1000)}) {
        std::string bytes;
        DecoderState state;
        EXPECT_EQ(decode(text, &bytes, pieceSize, &state), GetParam().result) << pieceSize;
        EXPECT_EQ(bytes, GetParam().bytes) << pieceSize;
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, WordSteps, ::testing::Values(
    WordStepCase{"empty", "", "", DECODE_OK},
    WordStepCase{"separators only", " .,\n\r\n0-9!{}@[`\x7F", "", DECODE_OK},
    WordStepCase{"a pair", "{P1} {P2}", "ABC", DECODE_OK},
    WordStepCase{"any separators", "\n\n{P1}3,,{P2}.\r\n", "ABC", DECODE_OK},
    WordStepCase{"pair and leftovers", "{P1} {P2}. {F} {S} .\n", "ABCDE", DECODE_OK},
    WordStepCase{"one first leftover", "{F}.\n", "D", DECODE_OK},
    WordStepCase{"capitals fold", "Zux bax Bax \xC3\x84rgx", std::string("\x01\x40\x15\x01\x60\x17", 6), DECODE_OK},
    WordStepCase{"a 7-byte word", "abcdefz {P2} ", std::string("\x01\x92\x43", 3), DECODE_OK},
    WordStepCase{"an eighth word byte", "{P1} {P2} abcdefzz", "ABC", DECODE_WORD_TOO_LONG},
    WordStepCase{"an unknown word", "{P1} {P2} qqqqqqq {P1}", "ABC", DECODE_UNKNOWN_WORD},
    WordStepCase{"I with a dot does not fold", "\xC4\xB0x", "", DECODE_UNKNOWN_WORD},
    WordStepCase{"one pair value", "{P1}", "", DECODE_INCOMPLETE_PAIR},
    WordStepCase{"three pair values", "{P1} {P2} {P3}. ", "ABC", DECODE_INCOMPLETE_PAIR},
    WordStepCase{"pair value after a first leftover", "{F} {P1} ", "D", DECODE_WORD_AFTER_LEFTOVER},
    WordStepCase{"pair value after a first leftover, last", "{F} {P1}", "D", DECODE_FINAL_LEFTOVER_SEQUENCE},
    WordStepCase{"two first leftovers", "{F} {F2}.", "D", DECODE_WORD_AFTER_LEFTOVER},
    WordStepCase{"two first leftovers, last", "{F} {F2}", "D", DECODE_FINAL_LEFTOVER_SEQUENCE},
    WordStepCase{"a word after the second leftover", "{F} {S} {S}", "DE", DECODE_FINAL_LEFTOVER_SEQUENCE},
    WordStepCase{"a pair after the second leftover", "{F} {S} {P1} ", "DE", DECODE_WORD_AFTER_LEFTOVER},
    WordStepCase{"second leftover first", "{S} ", "", DECODE_SECOND_WITHOUT_FIRST},
    WordStepCase{"second leftover of byte 0 first", "{S0} ", "", DECODE_SECOND_WITHOUT_FIRST},
    WordStepCase{"second leftover after a pair value", "{P1} {S}", "", DECODE_SECOND_WITHOUT_FIRST},
    WordStepCase{"second leftover after a leftover", "{F} {S}", "DE", DECODE_OK},
    WordStepCase{"second leftover of byte 0 after a leftover", "{F} {S0}", std::string("D\0", 2), DECODE_OK},
    WordStepCase{"first leftover inside a pair", "{P1} {F}", "", DECODE_LEFTOVER_AFTER_INCOMPLETE},
    WordStepCase{"capitals throughout read as the one word they match", "ZUX \xC3\x84RGX", "\x01\x40\x17", DECODE_OK},
    WordStepCase{"capitals that match two words stay unknown", "zux BAX", "", DECODE_UNKNOWN_WORD},
    WordStepCase{"no-break, zero-width and narrow spaces separate",
                 "\xEF\xBB\xBFzux\xC2\xA0\xC3\xA4rgx\xE2\x80\x8Bzux\xE2\x80\xAF\xC3\xA4rgx",
                 "\x01\x40\x17\x01\x40\x17", DECODE_OK},
    WordStepCase{"typographic quotes, dashes and an ellipsis separate",
                 "\xE2\x80\x9Czux\xE2\x80\x94\xC3\xA4rgx\xE2\x80\xA6\xE2\x80\x9D", "\x01\x40\x17", DECODE_OK},
    WordStepCase{"a decomposed letter is composed", "zux a\xCC\x88rgx", "\x01\x40\x17", DECODE_OK},
    WordStepCase{"a soft hyphen is dropped", "z\xC2\xADux \xC3\xA4rgx", "\x01\x40\x17", DECODE_OK},
    WordStepCase{"a word that reads as written is taken so", "a\xC2\xA0z zux", "\x01\xB0\x14", DECODE_OK},
    WordStepCase{"tolerance after the exact reading stops", "{P1} {P2} zux\xC2\xA0\xC3\xA4rgx", "ABC\x01\x40\x17",
                 DECODE_OK},
    WordStepCase{"a mark that composes with nothing stays", "zux q\xCC\x81", "", DECODE_UNKNOWN_WORD},
    WordStepCase{"too long once composed is too long", "zux abcdefze\xCC\x81", "", DECODE_WORD_TOO_LONG}),
    RowName());

// Without the tolerant reading the byte-exact one says itself what stopped
// it: an eighth word byte, a word it does not know, capitals it does not
// fold.
TEST_F(DecoderTest, TheByteExactReadingAloneSaysWhatStoppedIt) {
    const struct {
        std::string text;
        DecodeResult result;
    } rows[] = {
        {word(0x414) + " abcdefzz ", DECODE_WORD_TOO_LONG},
        {word(0x414) + " abcdefzzzzz", DECODE_WORD_TOO_LONG},
        {"Zux bax ", DECODE_OK},
        {"ZUX bax ", DECODE_UNKNOWN_WORD},
        {"qqqqqqq", DECODE_UNKNOWN_WORD},
    };
    for (const auto& row : rows) {
        std::string bytes;
        DecoderState state;
        EXPECT_EQ(decode(row.text, &bytes, 1000, &state, decodeText, false), row.result) << row.text;
    }
}

TEST_F(DecoderTest, UnknownWordIsReportedAsReadAndErrorsStopMidText) {
    // Long enough for the word-at-a-time scan: the error sits in the middle.
    std::string text;
    std::string expected;
    for (int i = 0; i < 200; ++i) {
        text += word(0x414) + " " + word(0x243) + (i % 7 == 3 ? ".\n\n" : " ");
        expected += "ABC";
    }
    for (const char* bad : {"Qqqqqq", "\xC3\x84qqq"}) {
        std::string bytes;
        DecoderState state;
        EXPECT_EQ(decode(text + bad + ". " + text, &bytes, 65536, &state), DECODE_UNKNOWN_WORD);
        EXPECT_EQ(bytes, expected);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(state.failure.shown),
                              static_cast<std::size_t>(state.failure.shownLength)),
                  std::string(bad));
    }
    std::string bytes;
    DecoderState state;
    EXPECT_EQ(decode(text + "abcdefghijklmnop " + text, &bytes, 65536, &state), DECODE_WORD_TOO_LONG);
    EXPECT_EQ(bytes, expected);
}

// The word with its first letter made a capital of the case rules, where
// one of the same UTF-8 length exists.
static std::string capitalised(const std::string& word) {
    auto bytes = reinterpret_cast<const unsigned char*>(word.data());
    std::uint32_t first = 0;
    int length = 0;
    if (!decodeUtf8Char(bytes, word.size(), UTF8_UP_TO_3_BYTES, &first, &length)) return word;
    std::uint32_t capital = first >= 'a' && first <= 'z' ? first - 0x20 : first;
    for (const CasePair& pair : CasePairTable) {
        if (pair.lowercase == first) capital = pair.capital;
    }
    unsigned char encoded[4];
    if (encodeUtf8Char(capital, encoded, UTF8_UP_TO_3_BYTES) != length) return word;
    return std::string(reinterpret_cast<char*>(encoded), static_cast<std::size_t>(length)) +
           word.substr(static_cast<std::size_t>(length));
}

// The block scan's one-probe table holds every word and every capitalised
// form the folding rule reads as that word, and nothing else: a key it
// lacks costs the block path for the whole batch, and so only speed, which
// no output would show.
TEST_F(DecoderTest, FoldedTableHoldsEveryWordAndItsCapitalisedForms) {
    auto keyOf = [](const std::string& text) {
        return wordKey(reinterpret_cast<const unsigned char*>(text.data()), text.size());
    };
    int capitalForms = 0;
    for (int i = 0; i < VOCABULARY_SIZE; ++i) {
        std::string form = capitalised(word(i));
        ASSERT_EQ(findFolded(dictionary.folded, keyOf(word(i))), static_cast<unsigned>(i)) << word(i);
        if (form == word(i) || form.size() > MAX_WORD_BYTES) continue;
        int readAs = findKeyFolded(dictionary, keyOf(form), static_cast<int>(form.size()));
        unsigned inTable = findFolded(dictionary.folded, keyOf(form));
        ASSERT_EQ(inTable, readAs < 0 ? FOLDED_NO_WORD : static_cast<unsigned>(readAs)) << form;
        if (readAs == i) ++capitalForms;
    }
    EXPECT_GT(capitalForms, VOCABULARY_SIZE / 2);
    EXPECT_EQ(findFolded(dictionary.folded, keyOf("qqqqqqq")), FOLDED_NO_WORD);
}

// The masks of the block scan against the byte-wise table for every byte
// value at every place of the 64, among letters and among separators: a
// range edge one off ('@' 'A' 'Z' '[' '`' 'a' 'z' '{' 0x7F 0x80) cuts a word
// short or joins two.
TEST(WordByteMasks, MarkEveryByteAsTheByteWiseRule) {
    for (unsigned char filler : {static_cast<unsigned char>('m'), static_cast<unsigned char>(' ')}) {
        std::uint64_t fillerBits = isWordByte(filler) ? ~0ULL : 0;
        for (int value = 0; value < 256; ++value) {
            for (int place = 0; place < 64; ++place) {
                unsigned char bytes[64];
                std::memset(bytes, filler, sizeof bytes);
                bytes[place] = static_cast<unsigned char>(value);
                std::uint64_t mask = 0;
                wordByteMasks(bytes, 1, 0, &mask);
                std::uint64_t bit = 1ULL << place;
                std::uint64_t expected = (fillerBits & ~bit) | (isWordByte(bytes[place]) ? bit : 0);
                ASSERT_EQ(mask, expected) << "byte " << value << " at " << place;
            }
        }
    }
}

// Whole pieces of a long text count their line ends by memchr; they must
// agree with the positions the messages give, a lone "\r" and one at the
// very end included, or a message found past the first piece names the
// wrong lines.
TEST(LinePositions, WholePiecesCountTheLineEndsThePositionsDo) {
    std::mt19937 random(7);
    std::vector<std::string> texts = {"", "a", "a\n", "a\r\n", "\r", "a\rb\r\n\n", "x\r", "\n\r\n\r\r"};
    for (int i = 0; i < 200; ++i) {
        std::string text(random() % 40, 'w');
        for (char& c : text) c = "\r\nw"[random() % 3];
        texts.push_back(text);
    }
    for (const std::string& text : texts) {
        const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text.data());
        EXPECT_EQ(lineEndsIn(bytes, text.size()), positionInText(bytes, text.size(), text.size()).line - 1) << testing::PrintToString(text);
    }
}

// The block-wise decoding against the byte-exact path on random texts of
// pair values with now and then something hostile in them: the same bytes,
// the same result and the same message, whatever the pieces.
TEST_F(DecoderTest, BlockPathMatchesTheByteExactPath) {
    std::mt19937 random(13);
    const char* const separators[] = {" ", ". ", ".\n\n", ",\r\n", "  ", "7", "-", "\t!", ""};
    auto pick = [&](int count) { return static_cast<int>(random() % static_cast<unsigned>(count)); };
    for (int round = 0; round < 1500; ++round) {
        int hostileOneIn = round % 3 == 0 ? 0 : (round % 3 == 1 ? 300 : 25);
        std::string text;
        for (int i = 0, count = 1 + pick(700); i < count; ++i) {
            std::string token = word(pick(PAIR_VALUE_COUNT));
            if (pick(6) == 0) token = capitalised(token);
            if (hostileOneIn != 0 && pick(hostileOneIn) == 0) {
                switch (pick(8)) {
                case 0: token = word(FIRST_LEFTOVER_BASE + pick(512)); break;                 // a leftover
                case 1: token += word(pick(VOCABULARY_SIZE)); break;                          // joined or too long
                case 2: token = "\xC4\xB0" + token.substr(1); break;                          // İ folds to no word
                case 3: token = capitalised(capitalised(token).substr(0, 1) + capitalised(token.substr(1))); break;
                case 4: token = std::string(1 + pick(9), static_cast<char>('q' + pick(3))); break;  // unknown or long
                case 5: token = std::string(1 + pick(3), static_cast<char>(0x80 + pick(128))); break;
                case 6: token = capitalised(word(pick(VOCABULARY_SIZE))); break;
                default: token = ""; break;
                }
            }
            text += token + separators[pick(hostileOneIn == 0 ? 8 : 9)];
        }
        for (std::size_t pieceSize : {static_cast<std::size_t>(1 + pick(300)), std::size_t(65536)}) {
            std::string fastBytes, exactBytes;
            DecoderState fast, exact;
            DecodeResult fastResult = decode(text, &fastBytes, pieceSize, &fast);
            DecodeResult exactResult = decode(text, &exactBytes, pieceSize, &exact, decodeTextExactly);
            ASSERT_EQ(fastResult, exactResult) << round << " " << pieceSize;
            ASSERT_EQ(fastBytes, exactBytes) << round << " " << pieceSize;
            if (exactResult != DECODE_OK) {
                ASSERT_EQ(std::string(reinterpret_cast<char*>(fast.failure.shown), fast.failure.shownLength),
                          std::string(reinterpret_cast<char*>(exact.failure.shown), exact.failure.shownLength))
                    << round;
                ASSERT_EQ(fast.failure.start, exact.failure.start) << round;
            }
        }
    }
}

// The block scan takes 64 bytes at a time: a piece of exactly 64 bytes of
// pair values goes through it, one of 63 goes byte by byte; either way the
// bytes are the same.
TEST_F(DecoderTest, SixtyFourBytesOfPairValuesGoThroughTheBlockScan) {
    std::string text;
    std::string expected;
    for (int i = 0; text.size() + word(0x414).size() + word(0x243).size() + 2 <= 63; ++i) {
        text += word(0x414) + " " + word(0x243) + " ";
        expected += "ABC";
    }
    text.resize(64, ' ');
    for (std::size_t length : {std::size_t(64), std::size_t(63)}) {
        std::string bytes;
        DecoderState state;
        EXPECT_EQ(decode(text.substr(0, length), &bytes, 65536, &state), DECODE_OK) << length;
        EXPECT_EQ(bytes, expected) << length;
        EXPECT_EQ(state.blockWords > 0, length == 64) << length;
    }
}

// The densest text there is, one-letter words with one separator each: a
// batch of the block scan holds as many words as it can, and the bytes are
// the byte-wise path's.
TEST(BlockScan, TheDensestTextFillsABatchAndReadsTheSame) {
    std::vector<std::string> words = makeTestVocabulary(12);
    const std::string letters = "abcdefghijklmnopqrstuvwABCDEFGHIJKLMNOPQRSTUVW";
    for (std::size_t i = 0; i < letters.size(); ++i) words[i] = std::string(1, letters[i]);
    const std::string folder = makeTempDirectory();
    static Dictionary dictionary;
    ASSERT_TRUE(loadDictionary(writeVocabularyFile(folder, "dense.vcb", words).c_str(), &dictionary, stderr));
    removeTree(folder);
    std::mt19937 random(17);
    std::string text;
    std::string expected;
    for (int pair = 0; pair < 1500; ++pair) {
        const unsigned x = static_cast<unsigned>(random() % letters.size());
        const unsigned y = static_cast<unsigned>(random() % letters.size());
        text += words[x] + " " + words[y] + (pair % 97 == 96 ? "\n" : " ");
        unsigned char three[3];
        unpackPair(static_cast<int>(x), static_cast<int>(y), three);
        expected.append(reinterpret_cast<char*>(three), 3);
    }
    for (bool blockWise : {true, false}) {
        static OutputBuffer output;
        std::string bytes;
        openOutputBuffer(&output, appendToString, &bytes);
        DecoderState state;
        resetDecoderState(&state);
        auto data = reinterpret_cast<const unsigned char*>(text.data());
        DecodeResult result = blockWise ? decodeText(dictionary, &state, data, text.size(), &output)
                                        : decodeTextExactly(dictionary, &state, data, text.size(), &output);
        if (result == DECODE_OK) result = finishDecoding(dictionary, &state, &output);
        flushOutput(&output);
        EXPECT_EQ(result, DECODE_OK) << blockWise;
        EXPECT_TRUE(bytes == expected) << blockWise;
        if (blockWise) {
            EXPECT_GT(state.blockWords, 2900u);
        }
    }
}

struct MessageCase {
    const char* name;
    DecodeResult result;
    const char* text;
};

void PrintTo(const MessageCase& row, std::ostream* out) {
    *out << row.name;
}

class DecodeMessages : public ::testing::TestWithParam<MessageCase> {};

TEST_P(DecodeMessages, AreTheProgramsExactTexts) {
    char text[200];
    std::snprintf(text, sizeof text, decodeMessage(GetParam().result), "zarnoGlotDecode", "Wxq");
    EXPECT_STREQ(text, GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Rows, DecodeMessages, ::testing::Values(
    MessageCase{"unknown word", DECODE_UNKNOWN_WORD, "zarnoGlotDecode: unknown word: Wxq\n"},
    MessageCase{"word after leftover", DECODE_WORD_AFTER_LEFTOVER, "zarnoGlotDecode: invalid word after leftover byte\n"},
    MessageCase{"final leftover sequence", DECODE_FINAL_LEFTOVER_SEQUENCE,
                "zarnoGlotDecode: invalid final leftover sequence\n"},
    MessageCase{"second without first", DECODE_SECOND_WITHOUT_FIRST,
                "zarnoGlotDecode: second leftover byte without first\n"},
    MessageCase{"leftover after incomplete", DECODE_LEFTOVER_AFTER_INCOMPLETE,
                "zarnoGlotDecode: leftover byte after incomplete block\n"},
    MessageCase{"word too long", DECODE_WORD_TOO_LONG, "zarnoGlotDecode: input word too long: Wxq\n"},
    MessageCase{"incomplete pair", DECODE_INCOMPLETE_PAIR, "zarnoGlotDecode: incomplete 12-bit pair\n"},
    MessageCase{"read error", DECODE_READ_ERROR, "zarnoGlotDecode: input read error\n"},
    MessageCase{"write error", DECODE_WRITE_ERROR, "zarnoGlotDecode: write error\n"},
    MessageCase{"no other block", DECODE_NO_OTHER_BLOCK,
                "zarnoGlotDecode: the text holds no other block of lines that reads as ZarnoGlot\n"}),
    RowName());

TEST(DecodeMessages, NoneForASuccess) {
    EXPECT_EQ(decodeMessage(DECODE_OK), nullptr);
}

// ---------------------------------------------------------------- a pasted text's readings

// {A} and {B} stand for one line of words each: A for 42 bytes (a sealed
// text's shape: salt, check, tag and 8 bytes of payload, no leftover
// words), B for 44 bytes (10 of payload, two leftover words); {C} for 30
// bytes, shorter than any sealed text; {w} for one vocabulary word. A
// reading is the first and last line it read, {0, 0} for the text itself.
struct BlockCase {
    const char* name;
    const char* text;
    std::vector<std::pair<unsigned long, unsigned long>> readings;
};

void PrintTo(const BlockCase& c, std::ostream* out) {
    *out << c.name;
}

class MessageBlocks : public DecoderTest, public ::testing::WithParamInterface<BlockCase> {
protected:
    // The words that stand for the bytes: two per group of three, one or
    // two leftover words after the last group.
    static std::string wordsFor(const std::string& bytes) {
        std::string text;
        auto put = [&](int index) { text += (text.empty() ? "" : " ") + word(index); };
        std::size_t at = 0;
        for (; at + 3 <= bytes.size(); at += 3) {
            auto b = reinterpret_cast<const unsigned char*>(bytes.data() + at);
            put((b[0] << 4) | (b[1] >> 4));
            put(((b[1] & 0x0F) << 8) | b[2]);
        }
        if (at < bytes.size()) put(FIRST_LEFTOVER_BASE + static_cast<unsigned char>(bytes[at]));
        if (at + 1 < bytes.size()) put(SECOND_LEFTOVER_BASE + static_cast<unsigned char>(bytes[at + 1]));
        return text;
    }
    static std::string message(std::size_t length, int seed) {
        std::mt19937 random(static_cast<unsigned>(seed));
        std::string bytes;
        for (std::size_t i = 0; i < length; ++i) bytes += static_cast<char>(random());
        if (static_cast<unsigned char>(bytes[0]) == ZLIB_FIRST_BYTE) bytes[0] = 0;  // no salt begins so
        return bytes;
    }
    static std::string expand(std::string text) {
        const std::pair<const char*, std::string> marks[] = {
            {"{A}", wordsFor(message(42, 1))}, {"{B}", wordsFor(message(44, 2))},
            {"{C}", wordsFor(message(30, 3))}, {"{w}", word(7)}};
        for (const auto& mark : marks) {
            for (std::size_t at = text.find(mark.first); at != std::string::npos; at = text.find(mark.first)) {
                text.replace(at, std::strlen(mark.first), mark.second);
            }
        }
        return text;
    }
};

TEST_P(MessageBlocks, ReadingsComeNearestTheTopFirst) {
    const BlockCase& c = GetParam();
    std::string text = expand(c.text);
    auto bytes = reinterpret_cast<const unsigned char*>(text.data());
    std::vector<std::pair<unsigned long, unsigned long>> readings;
    DecodeResult result = DECODE_OK;
    for (int reading = 1; reading <= MOST_READINGS; ++reading) {
        std::string out;
        openOutputBuffer(&output, appendToString, &out);
        DecoderState state;
        TextReading read;
        result = decodeWholeText(dictionary, bytes, text.size(), reading, &state, &output, &read);
        if (result != DECODE_OK) break;
        readings.emplace_back(read.firstLine, read.lastLine);
        EXPECT_TRUE(read.wholeText || hasPackedShape(output.bytes, output.used)) << reading;
    }
    EXPECT_EQ(readings, c.readings);
    // Past the last reading: that there is none, or why the text itself does not read.
    EXPECT_NE(result, DECODE_OK);
}

INSTANTIATE_TEST_SUITE_P(PastedTexts, MessageBlocks, ::testing::Values(
    BlockCase{"OneMessageIsTheTextItself", "{A}\n", {{0, 0}}},
    BlockCase{"AGreetingAndASignOffAreLeftAside", "Hi Anna,\n\n{A}\n\nCheers, Bob\n", {{3, 3}}},
    BlockCase{"AGreetingOfAVocabularyWordIsLeftOff", "{w}\n\n{A}\n", {{3, 3}}},
    BlockCase{"TheShortReplyComesBeforeTheLongerQuotedMessage", "{A}\n\nOn Monday, Anna wrote:\n> {B}\n",
              {{1, 1}, {4, 4}}},
    BlockCase{"AChangeOfQuotingPartsTwoMessages", "{B}\n> {A}\n>\n", {{1, 1}, {2, 2}}},
    BlockCase{"AMessagePastedTwiceOpensOnTop", "{A}\n\n{A}\n", {{0, 0}, {1, 1}, {3, 3}}},
    BlockCase{"LeftoverWordsEndTheFirstCopy", "{B}\n{B}\n", {{1, 1}, {2, 2}}},
    BlockCase{"BytesOfNoPackedShapeAreNoReading", "Hi\n\n{C}\n", {}}),
    [](const ::testing::TestParamInfo<BlockCase>& info) { return std::string(info.param.name); });

}  // namespace
