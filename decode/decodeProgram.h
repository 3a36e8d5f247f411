// zarnoGlotDecode after its command line: the vocabulary loaded, the input
// read and decoded to the output, and a failure reported in words that
// help; and its stream step, which the page calls too.
#pragma once

#include <cstdint>
#include <cstdio>

#include "byteOutput.h"
#include "decoder.h"
#include "dictionary.h"
#include "messageBlocks.h"
#include "streamProgress.h"

// -bN: the reading of a pasted text to decode (messageBlocks.h), 1..MOST_READINGS.
constexpr const char* READING_OPTION = "-b";

// The reading an argument asks for ("-b2" gives 2), or 0 when it is no
// such option.
int readingOption(const char* argument);

// A text is read in pieces of this size; a text that fits in one is read
// as a whole, so that a pasted mail's message can be found in it.
constexpr std::size_t TEXT_PIECE_BYTES = WHOLE_TEXT_BYTES + 1;

struct TextPiece {
    unsigned char bytes[TEXT_PIECE_BYTES];
    std::size_t count;
    std::uint64_t start;  // where it stands in the text
};

// Decodes the reading-th reading of the input stream into output (not
// flushed): a text of at most WHOLE_TEXT_BYTES as a whole, with its blocks
// (decodeWholeText), a longer one piece by piece (its first reading only,
// a greeting and a sign-off left aside), telling progress after every
// piece read; the pieces before the last are written out as they go. A read error ends the text as
// its end does and is reported after the text's own errors. piece is left
// holding the last piece read, for the failure's report; read says which
// lines a whole text's reading read.
DecodeResult decodeStream(const Dictionary& dictionary, std::FILE* input, int reading, DecoderState* state,
                          OutputBuffer* output, TextPiece* piece, TextReading* read,
                          const StreamProgress* progress = nullptr);

// Returns the exit status.
int runDecoder(const char* vocabularyFileName, int reading, std::FILE* input, std::FILE* output, std::FILE* errors);
