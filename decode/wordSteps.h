// The decoder's word steps: the state of one reading, the index rules every
// word of a text goes through, and the byte-wise scan that cuts text into
// words one byte at a time (the reference the block scan, blockScan.h,
// must match).
#pragma once

#include <cstdint>

#include "byteOutput.h"
#include "codecConstants.h"
#include "dictionary.h"
#include "tolerantScan.h"

// The reading of one text. The byte-exact reading goes first; at the first
// word it cannot read (unknown or too long) the rest of the text, that word
// included, is read tolerantly (tolerantScan.h), and a word is then looked
// up as written, with its first letter folded, and lowercased throughout
// when only one word of the vocabulary lowercases so. Text that the
// byte-exact reading reads is therefore read exactly as before.
struct DecoderState {
    unsigned char word[WORD_SLOT_BYTES];  // the word being read, zero-padded
    int wordLength;                       // 0..MAX_WORD_BYTES
    std::int32_t pendingValue;            // first value of a pair awaiting its partner, or -1
    std::int32_t leftoverState;           // leftover bytes written so far: 0, 1 or 2
    bool tolerant;                        // a word that fails the byte-exact reading is read tolerantly
    bool scanning;                        // the rest of the text is read tolerantly
    TolerantScan scan;
    std::uint64_t textOffset;             // where the next piece of text begins in the text
    TolerantWord failure;                 // the word a failure names, and where it stands
    std::uint64_t blockWords;             // words the block scan decoded a batch at a time: its output
                                          // is the byte-wise path's, so only this tells it was taken
};

// A fresh reading, tolerant or byte-exact only.
void resetDecoderState(DecoderState* state, bool tolerant = true);

enum DecodeResult {
    DECODE_OK,
    DECODE_UNKNOWN_WORD,
    DECODE_WORD_AFTER_LEFTOVER,      // inside the text
    DECODE_FINAL_LEFTOVER_SEQUENCE,  // the same for the last word of the text
    DECODE_SECOND_WITHOUT_FIRST,
    DECODE_LEFTOVER_AFTER_INCOMPLETE,
    DECODE_WORD_TOO_LONG,
    DECODE_INCOMPLETE_PAIR,
    DECODE_READ_ERROR,
    DECODE_WRITE_ERROR,
    DECODE_NO_OTHER_BLOCK,  // the reading asked for is not in the text (messageBlocks.h)
};

// The message format of a result, with "%s" for the program name (and a
// second "%s" for the word in DECODE_UNKNOWN_WORD and DECODE_WORD_TOO_LONG);
// nullptr for DECODE_OK.
const char* decodeMessage(DecodeResult result);

// Whether a result names a word of the text (state->failure).
bool isWordFailure(DecodeResult result);

// Empties the word being read.
void clearWord(DecoderState* state);

// The word step on a word's index: pair values, leftovers and their order.
DecodeResult stepIndex(DecoderState* state, int index, bool endOfText, OutputBuffer* output);

// Runs the word in state->word through the index rules and writes its
// bytes; endOfText says whether the end of the input ended the word. The
// word buffer is left as it was.
DecodeResult decodeWordStep(const Dictionary& dictionary, DecoderState* state, bool endOfText,
                            OutputBuffer* output);

// Cuts text into words byte by byte and runs each completed word, from
// bytes[*position] up to count or the first error (or, with stopAfterWord,
// the first word run). The word being read is kept as its key while the
// bytes are scanned and goes back to the state's word buffer at the end.
DecodeResult scanBytes(const Dictionary& dictionary, DecoderState* state, const unsigned char* bytes,
                       std::size_t* position, std::size_t count, bool stopAfterWord, OutputBuffer* output);
