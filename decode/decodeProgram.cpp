#include "decodeProgram.h"

#include <cstdio>
#include <cstring>

#include "decodeReport.h"
#include "decoder.h"
#include "messageBlocks.h"

int readingOption(const char* argument) {
    std::size_t prefix = std::strlen(READING_OPTION);
    if (std::strncmp(argument, READING_OPTION, prefix) != 0) return 0;
    int reading = 0;
    for (const char* digit = argument + prefix; *digit != 0; ++digit) {
        if (*digit < '0' || *digit > '9' || reading > MOST_READINGS) return 0;
        reading = reading * 10 + (*digit - '0');
    }
    return reading >= 1 && reading <= MOST_READINGS ? reading : 0;
}

// A text is read in pieces of this size; a text that fits in one is read
// as a whole, so that a pasted mail's message can be found in it.
constexpr std::size_t TEXT_PIECE_BYTES = WHOLE_TEXT_BYTES + 1;

struct TextPiece {
    unsigned char bytes[TEXT_PIECE_BYTES];
    std::size_t count;
    std::uint64_t start;  // where it stands in the text
};

// A text longer than WHOLE_TEXT_BYTES, streamed piece by piece from the
// first, which has been read.
static DecodeResult decodeLongText(const Dictionary& dictionary, TextPiece* piece, DecoderState* state,
                                   OutputBuffer* output) {
    resetDecoderState(state);
    for (;;) {
        DecodeResult result = decodeText(dictionary, state, piece->bytes, piece->count, output);
        if (result != DECODE_OK) return result;
        if (piece->count < TEXT_PIECE_BYTES || std::ferror(stdin)) break;
        std::size_t got = std::fread(piece->bytes, 1, TEXT_PIECE_BYTES, stdin);
        if (got == 0) break;
        piece->start += piece->count;
        piece->count = got;
    }
    return finishDecoding(dictionary, state, output);
}

int runDecoder(const char* vocabularyFileName, int reading) {
    static Dictionary dictionary;
    static OutputBuffer output;
    static TextPiece piece;
    if (!loadDictionary(vocabularyFileName, &dictionary)) return 1;
    openOutputBuffer(&output, writeBlockToStream, stdout);
    DecoderState state;
    resetDecoderState(&state);
    piece.start = 0;
    piece.count = std::fread(piece.bytes, 1, TEXT_PIECE_BYTES, stdin);
    DecodeResult result = DECODE_NO_OTHER_BLOCK;
    if (piece.count <= WHOLE_TEXT_BYTES) {
        TextReading read;
        result = decodeWholeText(dictionary, piece.bytes, piece.count, reading, &state, &output, &read);
    } else if (reading == 1) {
        result = decodeLongText(dictionary, &piece, &state, &output);
    }
    // A read error ends the text as its end does; the text's own errors come first.
    if (result == DECODE_OK && std::ferror(stdin)) result = DECODE_READ_ERROR;
    if (result == DECODE_OK && !flushOutput(&output)) result = DECODE_WRITE_ERROR;
    if (result == DECODE_OK) return 0;
    // Bytes decoded before the failing point are written all the same.
    if (result != DECODE_WRITE_ERROR) flushOutput(&output);
    reportDecodeFailure(stderr, dictionary, vocabularyFileName, result, state, piece.bytes, piece.count, piece.start);
    return 1;
}
