// The decoder's word stream on arbitrary text, with the fixed vocabulary.
// The first input byte chooses how the rest is used:
//   even: the rest is the text itself;
//   odd:  the rest is read in byte pairs, each naming a vocabulary word (its
//         index modulo 4608) and, in its top bits, what follows the word: a
//         separator, nothing (the next word joins it) or a capitalised form.
// The text is decoded whole and again in pieces of a size taken from the
// first byte, and whole by the byte-exact path. Checked: all three give the
// same result and the same bytes (and the same failing word, where it stands);
// never more than 3 bytes per 2 words of text (words as the byte-exact or the
// tolerant reading cuts them); and a word text with proper separators
// decodes exactly as unpacking its index sequence says.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "decodeReport.h"
#include "decoder.h"
#include "fuzzSupport.h"
#include "wordPacking.h"

static Dictionary dictionary;
static OutputBuffer output;

static void loadFixedDictionary() {
    static bool loaded = false;
    if (loaded) return;
    FUZZ_CHECK(loadDictionary(fixedVocabularyPath().c_str(), &dictionary, stderr),
               "the fixed vocabulary does not load");
    loaded = true;
}

struct DecodeRun {
    DecodeResult result;
    std::string bytes;
    std::string word;        // the word a failure names
    std::uint64_t wordStart;  // where it stands
};

typedef DecodeResult (*DecodePiece)(const Dictionary&, DecoderState*, const unsigned char*, std::size_t,
                                    OutputBuffer*);

static DecodeRun decodeInPieces(const std::string& text, std::size_t pieceSize,
                                DecodePiece decodePiece = decodeText) {
    DecodeRun run;
    openStringOutput(&output, &run.bytes);
    DecoderState state;
    resetDecoderState(&state);
    run.result = DECODE_OK;
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text.data());
    for (std::size_t start = 0; start < text.size() && run.result == DECODE_OK; start += pieceSize) {
        std::size_t count = text.size() - start < pieceSize ? text.size() - start : pieceSize;
        run.result = decodePiece(dictionary, &state, bytes + start, count, &output);
    }
    if (run.result == DECODE_OK) run.result = finishDecoding(dictionary, &state, &output);
    FUZZ_CHECK(state.wordLength >= 0 && state.wordLength <= MAX_WORD_BYTES, "word length out of range");
    FUZZ_CHECK(flushOutput(&output), "flush failed");
    run.word.assign(reinterpret_cast<const char*>(state.failure.shown), static_cast<std::size_t>(state.failure.shownLength));
    run.wordStart = state.failure.start;
    return run;
}

// The capitalised form the encoder may write, when it is not a word of its own.
static std::string capitalised(const std::string& word) {
    if (word[0] < 'a' || word[0] > 'z') return word;
    std::string upper = word;
    upper[0] = static_cast<char>(upper[0] - 0x20);
    return isFixedVocabularyWord(upper) ? word : upper;
}

static const char* const SEPARATORS[] = {" ", ". ", "\n", ",\r\n", "  ", "-"};

// Builds a word text from byte pairs; properlySeparated is false when two
// words were joined, which makes one longer (or unknown) word.
static std::string wordText(const unsigned char* data, std::size_t size, std::vector<WordIndex>* indices,
                            bool* properlySeparated) {
    const std::vector<std::string>& words = fixedVocabulary();
    std::string text;
    *properlySeparated = true;
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        unsigned value = (static_cast<unsigned>(data[i]) << 8) | data[i + 1];
        WordIndex index = static_cast<WordIndex>((value & 0x1FFF) % VOCABULARY_SIZE);
        unsigned form = value >> 13;  // 0..7
        indices->push_back(index);
        text += form == 7 ? capitalised(words[index]) : words[index];
        if (form == 6 && i + 3 < size) {
            *properlySeparated = false;  // joined to the next word
        } else {
            text += SEPARATORS[form % 6];
        }
    }
    return text;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    loadFixedDictionary();
    if (size == 0) return 0;
    std::size_t pieceSize = 1 + (data[0] >> 1);
    bool wordMode = (data[0] & 1) != 0;
    std::vector<WordIndex> indices;
    bool properlySeparated = false;
    std::string text = wordMode ? wordText(data + 1, size - 1, &indices, &properlySeparated)
                                : std::string(reinterpret_cast<const char*>(data + 1), size - 1);

    DecodeRun whole = decodeInPieces(text, text.size() + 1);
    DecodeRun pieces = decodeInPieces(text, pieceSize);
    FUZZ_CHECK(whole.result == pieces.result, "pieces give another result than the whole text");
    FUZZ_CHECK(whole.bytes == pieces.bytes, "pieces give other bytes than the whole text");
    DecodeRun exact = decodeInPieces(text, text.size() + 1, decodeTextExactly);
    FUZZ_CHECK(whole.result == exact.result, "the byte-exact path gives another result");
    FUZZ_CHECK(whole.bytes == exact.bytes, "the byte-exact path gives other bytes");
    FUZZ_CHECK(whole.result == DECODE_OK || (whole.word == exact.word && whole.wordStart == exact.wordStart),
               "the byte-exact path reports another failing word");
    TextSurvey survey;
    surveyText(dictionary, reinterpret_cast<const unsigned char*>(text.data()), text.size(), &survey);
    FUZZ_CHECK(2 * whole.bytes.size() <= 3 * (countTextWords(text) + survey.words), "more than 3 bytes per 2 words");

    if (wordMode && properlySeparated) {
        std::vector<unsigned char> expected(2 * indices.size() + 1);
        long long count = unpackIndices(indices.data(), indices.size(), expected.data());
        if (count < 0) {
            FUZZ_CHECK(whole.result != DECODE_OK && whole.result != DECODE_UNKNOWN_WORD &&
                           whole.result != DECODE_WORD_TOO_LONG,
                       "an invalid index sequence decoded, or failed for the wrong reason");
        } else {
            FUZZ_CHECK(whole.result == DECODE_OK, "a valid word text did not decode");
            FUZZ_CHECK(whole.bytes == std::string(expected.begin(), expected.begin() + count),
                       "a valid word text decoded to other bytes than its indices");
        }
    }
    return 0;
}
