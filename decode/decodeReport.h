// Why a text did not decode, in words that help its reader: the word named
// as it stands (characters that cannot be seen by their code points) and
// where it stands; and, when many of the text's words (a quarter, at least
// two) are not in the vocabulary, that the text was written with another
// vocabulary or is no ZarnoGlot at all.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "decoder.h"

// What the words of a text (cut as the tolerant reading cuts them) tell:
// how many there are, how many the vocabulary does not hold, and how many
// marks of ordinary prose it has, which ZarnoGlot never has (a word of one
// byte or of more than MAX_WORD_BYTES, a digit, punctuation other than the
// full stop).
struct TextSurvey {
    unsigned long words;
    unsigned long unknown;
    unsigned long proseMarks;
};

void surveyText(const Dictionary& dictionary, const unsigned char* bytes, std::size_t count, TextSurvey* survey);

// The most text the survey of a failure looks at, from where it begins.
constexpr std::size_t SURVEY_BYTES = 256 * 1024;

// Where a byte of a text stands, line and column (in characters) both
// counted from 1; a line ends at "\n", "\r\n" or a "\r" alone.
struct TextPosition {
    unsigned long line;
    unsigned long column;
};

TextPosition positionInText(const unsigned char* text, std::size_t count, std::uint64_t offset);

// How many lines end in the text's count bytes, as positionInText counts
// them (its line at the end, less one); by memchr, for whole pieces of a
// long text.
unsigned long lineEndsIn(const unsigned char* text, std::size_t count);

// The word as a message shows it, zero-terminated in size bytes: printable
// characters as they are, the others by their code points ("<U+00AD>"),
// bytes that are not UTF-8 as "<0xC3>", and "..." when it was cut.
void showWord(const TolerantWord& word, char* text, std::size_t size);

// Writes why the text did not decode as one "zarnoGlotDecode: ..." line on
// errors. text holds count bytes of the text from textStart on (textStart 0:
// the whole text, so that the line and column can be told; count 0: none at
// hand), for the position and for the survey of the words from the failing
// one on (from the first for the whole text), at most SURVEY_BYTES of them.
void reportDecodeFailure(std::FILE* errors, const Dictionary& dictionary, const char* vocabularyName,
                         DecodeResult result, const DecoderState& state, const unsigned char* text,
                         std::size_t count, std::uint64_t textStart);
