#include "decodeReport.h"

#include <cstring>

#include "dictionary.h"
#include "letterCase.h"

// ---------------------------------------------------------------- survey

struct SurveyCount {
    const Dictionary* dictionary;
    TextSurvey* survey;
};

static bool countSurveyWord(void* context, const TolerantWord& word, bool /*endOfText*/) {
    SurveyCount* count = static_cast<SurveyCount*>(context);
    TextSurvey* survey = count->survey;
    ++survey->words;
    int index = -1;
    if (lookUpTolerantly(*count->dictionary, word, &index) != DECODE_OK) ++survey->unknown;
    if (word.formTooLong || word.formLength < 2 || word.formLength > MAX_WORD_BYTES) ++survey->proseMarks;
    return true;
}

static bool isProseSign(unsigned char byte) {
    return (byte >= '0' && byte <= '9') || (byte != 0 && std::strchr(",;:?!\"()'", byte) != nullptr);
}

void surveyText(const Dictionary& dictionary, const unsigned char* bytes, std::size_t count, TextSurvey* survey) {
    *survey = TextSurvey{0, 0, 0};
    SurveyCount context = {&dictionary, survey};
    TolerantScan scan;
    startTolerantScan(&scan, 0);
    scanTolerantly(&scan, bytes, count, countSurveyWord, &context);
    finishTolerantScan(&scan, countSurveyWord, &context);
    for (std::size_t i = 0; i < count; ++i) {
        if (isProseSign(bytes[i])) ++survey->proseMarks;
    }
}

// ---------------------------------------------------------------- positions

TextPosition positionInText(const unsigned char* text, std::size_t count, std::uint64_t offset) {
    TextPosition position = {1, 1};
    std::size_t end = offset < count ? static_cast<std::size_t>(offset) : count;
    for (std::size_t i = 0; i < end; ++i) {
        unsigned char byte = text[i];
        bool lineEnd = byte == '\n' || (byte == '\r' && (i + 1 >= count || text[i + 1] != '\n'));
        if (lineEnd) {
            ++position.line;
            position.column = 1;
        } else if ((byte & 0xC0) != 0x80 && byte != '\r') {
            ++position.column;
        }
    }
    return position;
}

unsigned long lineEndsIn(const unsigned char* text, std::size_t count) {
    unsigned long ends = 0;
    const unsigned char* end = text + count;
    for (const void* at = std::memchr(text, '\n', count); at != nullptr;) {
        ++ends;
        const unsigned char* next = static_cast<const unsigned char*>(at) + 1;
        at = std::memchr(next, '\n', static_cast<std::size_t>(end - next));
    }
    // A "\r" ends a line only where no "\n" follows it.
    for (const void* at = std::memchr(text, '\r', count); at != nullptr;) {
        const unsigned char* next = static_cast<const unsigned char*>(at) + 1;
        if (next >= end || *next != '\n') ++ends;
        at = std::memchr(next, '\r', static_cast<std::size_t>(end - next));
    }
    return ends;
}

// ---------------------------------------------------------------- words shown

static void appendText(char* text, std::size_t size, std::size_t* used, const char* piece, std::size_t length) {
    if (*used + length >= size) return;
    std::memcpy(text + *used, piece, length);
    *used += length;
    text[*used] = 0;
}

void showWord(const TolerantWord& word, char* text, std::size_t size) {
    std::size_t used = 0;
    text[0] = 0;
    for (int at = 0; at < word.shownLength;) {
        const unsigned char* bytes = word.shown + at;
        std::uint32_t codePoint = 0;
        int length = 0;
        char named[16];
        std::size_t remaining = static_cast<std::size_t>(word.shownLength - at);
        if (!decodeUtf8Char(bytes, remaining, UTF8_UP_TO_4_BYTES, &codePoint, &length) ||
            !isWellFormedChar(codePoint, length)) {
            std::snprintf(named, sizeof named, "<0x%02X>", bytes[0]);
            appendText(text, size, &used, named, std::strlen(named));
            ++at;
            continue;
        }
        if (isInvisibleCharacter(codePoint)) {
            std::snprintf(named, sizeof named, "<U+%04X>", static_cast<unsigned>(codePoint));
            appendText(text, size, &used, named, std::strlen(named));
        } else {
            appendText(text, size, &used, reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(length));
        }
        at += length;
    }
    if (word.shownCut) appendText(text, size, &used, "...", 3);
}

// ---------------------------------------------------------------- messages

// Many words unknown: not a word to correct, but the wrong vocabulary or no
// ZarnoGlot at all. A text changed here and there has a few unknown words;
// one written with another vocabulary made from the same books still has
// about half of its words in this one, so a quarter is the mark.
static bool reportUnknownText(std::FILE* errors, const char* vocabularyName, const TextSurvey& survey) {
    if (survey.unknown < 2 || survey.unknown * 4 < survey.words) return false;
    if (survey.proseMarks * 10 <= survey.words) {
        std::fprintf(errors, "%s: this text was not written with the vocabulary %s (%lu of its %lu words are not in it)\n",
                     DECODER_NAME, vocabularyName, survey.unknown, survey.words);
    } else {
        std::fprintf(errors, "%s: this does not look like ZarnoGlot (%lu of its %lu words are not in the vocabulary %s)\n",
                     DECODER_NAME, survey.unknown, survey.words, vocabularyName);
    }
    return true;
}

// Where the failing word stands: line and column in the whole text, else
// its byte offset.
static void describePlace(const DecoderState& state, const unsigned char* text, std::size_t count,
                          std::uint64_t textStart, char* place, std::size_t size) {
    if (textStart == 0 && count > 0) {
        TextPosition position = positionInText(text, count, state.failure.start);
        std::snprintf(place, size, "line %lu, column %lu", position.line, position.column);
    } else {
        std::snprintf(place, size, "byte %llu", static_cast<unsigned long long>(state.failure.start + 1));
    }
}

void reportDecodeFailure(std::FILE* errors, const Dictionary& dictionary, const char* vocabularyName,
                         DecodeResult result, const DecoderState& state, const unsigned char* text,
                         std::size_t count, std::uint64_t textStart) {
    if (!isWordFailure(result)) {
        std::fprintf(errors, decodeMessage(result), DECODER_NAME, "");
        return;
    }
    std::uint64_t from = state.failure.start;
    if (textStart == 0) from = 0;
    if (from >= textStart && from - textStart < count) {
        TextSurvey survey;
        std::size_t skip = static_cast<std::size_t>(from - textStart);
        std::size_t surveyed = count - skip < SURVEY_BYTES ? count - skip : SURVEY_BYTES;
        surveyText(dictionary, text + skip, surveyed, &survey);
        if (reportUnknownText(errors, vocabularyName, survey)) return;
    }
    char shown[8 * SHOWN_WORD_BYTES + 8];
    showWord(state.failure, shown, sizeof shown);
    char place[64];
    describePlace(state, text, count, textStart, place, sizeof place);
    const char* what = result == DECODE_UNKNOWN_WORD ? "unknown word" : "input word too long";
    std::fprintf(errors, "%s: %s: %s (%s)\n", DECODER_NAME, what, shown, place);
}
