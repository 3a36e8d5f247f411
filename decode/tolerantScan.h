// The decoder's tolerant way of cutting text into words, for text that mail,
// phones and keyboards have changed: the Unicode spaces (no-break, narrow
// no-break, zero-width, the byte-order mark and their like), typographic
// quotes, dashes and ellipses separate words as a space does; a soft hyphen
// is dropped; a combining mark after an ASCII letter is composed with it
// (a decomposed "é" reads as "é"). Every other byte of 0x80 and above stays
// part of a word, as the byte-exact reading takes it. The scan streams: a
// character or a word may go on from one piece of text into the next.
#pragma once

#include <cstddef>
#include <cstdint>

#include "codecConstants.h"

constexpr int SHOWN_WORD_BYTES = 40;  // the most of a word's text a message shows
constexpr int WORD_FORM_BYTES = 16;   // room for a word's form while it is read

// A word as the scan cuts it.
struct TolerantWord {
    unsigned char shown[SHOWN_WORD_BYTES];  // its bytes as they stand in the text
    int shownLength;
    bool shownCut;                          // the text holds more of it than shown
    unsigned char form[WORD_FORM_BYTES];    // what is looked up: marks composed, soft hyphens dropped
    int formLength;
    bool formTooLong;                       // the form outgrew its room (and MAX_WORD_BYTES)
    std::uint32_t lastBase;                 // an ASCII letter ending the form that a mark may join, or 0
    std::uint64_t start;                    // where its first byte stands in the text
};

struct TolerantScan {
    TolerantWord word;
    unsigned char sequence[4];  // a character of several bytes being read
    int sequenceLength;
    int sequenceExpected;       // 0 when none is being read
    std::uint64_t sequenceStart;
    std::uint64_t offset;       // where the next byte stands in the text
};

// Called for every word the scan completes (endOfText for the one the end
// of the text completes); false stops the scan.
typedef bool (*TolerantWordSink)(void* context, const TolerantWord& word, bool endOfText);

// A scan that begins at the given offset of the text.
void startTolerantScan(TolerantScan* scan, std::uint64_t offset);

// Cuts the next piece of text into words; false when the sink stopped it.
bool scanTolerantly(TolerantScan* scan, const unsigned char* bytes, std::size_t count, TolerantWordSink sink,
                    void* context);

// Ends the text: a character cut short counts as word bytes, and the word
// still open goes to the sink. False when the sink stopped.
bool finishTolerantScan(TolerantScan* scan, TolerantWordSink sink, void* context);

// The letter that an ASCII letter and a combining mark (U+0300..U+036F)
// compose to, among the letters of the case table, or 0.
std::uint32_t composedLetter(std::uint32_t base, std::uint32_t mark);

// Whether a character would not be seen in a message (a space, a format or
// control character, a combining mark standing alone), so that it is named.
bool isInvisibleCharacter(std::uint32_t codePoint);
