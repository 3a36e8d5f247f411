// A text pasted from a mail or a chat holds more than the message: a
// greeting, an "On ... wrote:" line, quote markers, a signature, and in a
// reply or a forward the earlier messages too. When a whole text does not
// decode, or a reading after the first is asked for, the messages are
// looked for among its lines: in stretches of lines in which every word is
// a vocabulary word and every line of words is quoted as deep (blank lines
// and lines of quote markers may stand inside), the blocks that decode to
// bytes of the shape of what the packer writes (sealedShape.h). A block of
// other bytes would silently drop what its lines left off. The stretch
// nearest the top comes first, so that the new message of a reply is the
// first reading, not the longer quoted one below it; within a stretch, the
// blocks that reach its end with up to two lines of words left off either
// end (a greeting or sign-off of vocabulary words), fewest first, then the
// blocks that end within it, nearest the top first, and then the lines after
// each of these, as a stretch of their own (a message pasted twice). Only a
// sealed text's key can tell the right block for sure, so the program that
// opens the bytes asks for the next reading (zarnoGlotDecode -bN) while it
// refuses them.
#pragma once

#include <cstddef>
#include <cstdint>

#include "byteOutput.h"
#include "decoder.h"

// The most text read as a whole, and searched for blocks: its bytes decode
// to less than an output buffer holds, so nothing is written out before the
// reading is chosen.
constexpr std::size_t WHOLE_TEXT_BYTES = 256 * 1024;

// Lines of words at either end of a message that its reading may leave off:
// a greeting or a sign-off of vocabulary words.
constexpr int MOST_LINES_LEFT_OFF = 2;

// The most readings a text has: the text itself and the blocks.
constexpr int MOST_READINGS = 10;

// The part of the text a reading read: its first and last line, from 1.
struct TextReading {
    unsigned long firstLine;
    unsigned long lastLine;
    bool wholeText;
};

// The words of a line (from start to end, without its line end) as the
// tolerant reading cuts them: how many the vocabulary holds, and how many
// it does not.
struct LineWords {
    unsigned long known;
    unsigned long unknown;
};

LineWords wordsOfLine(const Dictionary& dictionary, const unsigned char* text, std::size_t start, std::size_t end);

// Decodes the reading-th reading of a text of at most WHOLE_TEXT_BYTES
// into an empty output that is not flushed meanwhile: reading 1 is the
// text itself when it decodes, and otherwise its first block that does;
// the readings after it are the blocks after that one, each block once. When the reading
// is not there, the result, the state and the output are those of the
// text itself (the bytes before the failing word) when it does not decode,
// and DECODE_NO_OTHER_BLOCK with nothing in the output when it does.
DecodeResult decodeWholeText(const Dictionary& dictionary, const unsigned char* text, std::size_t count, int reading,
                             DecoderState* state, OutputBuffer* output, TextReading* read);
