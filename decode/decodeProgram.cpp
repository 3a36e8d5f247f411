#include "decodeProgram.h"

#include <cstdio>
#include <cstring>

#include "decodeReport.h"

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

// A text longer than WHOLE_TEXT_BYTES, streamed piece by piece from the
// first, which has been read.
static DecodeResult decodeLongText(const Dictionary& dictionary, std::FILE* input, TextPiece* piece,
                                   DecoderState* state, OutputBuffer* output, const StreamProgress* progress) {
    for (;;) {
        DecodeResult result = decodeText(dictionary, state, piece->bytes, piece->count, output);
        if (result != DECODE_OK) return result;
        if (piece->count < TEXT_PIECE_BYTES || std::ferror(input)) break;
        std::size_t got = std::fread(piece->bytes, 1, TEXT_PIECE_BYTES, input);
        if (got == 0) break;
        piece->start += piece->count;
        piece->count = got;
        tellProgress(progress, piece->start + piece->count);
    }
    return finishDecoding(dictionary, state, output);
}

DecodeResult decodeStream(const Dictionary& dictionary, std::FILE* input, int reading, DecoderState* state,
                          OutputBuffer* output, TextPiece* piece, TextReading* read,
                          const StreamProgress* progress) {
    resetDecoderState(state);
    *read = TextReading{0, 0, true};
    piece->start = 0;
    piece->count = std::fread(piece->bytes, 1, TEXT_PIECE_BYTES, input);
    tellProgress(progress, piece->count);
    DecodeResult result = DECODE_NO_OTHER_BLOCK;
    if (piece->count <= WHOLE_TEXT_BYTES) {
        result = decodeWholeText(dictionary, piece->bytes, piece->count, reading, state, output, read);
    } else if (reading == 1) {
        result = decodeLongText(dictionary, input, piece, state, output, progress);
    }
    if (result == DECODE_OK && std::ferror(input)) result = DECODE_READ_ERROR;
    return result;
}

int runDecoder(const char* vocabularyFileName, int reading, std::FILE* input, std::FILE* outputStream,
               std::FILE* errors) {
    static Dictionary dictionary;
    static OutputBuffer output;
    static TextPiece piece;
    if (!loadDictionary(vocabularyFileName, &dictionary, errors)) return 1;
    openOutputBuffer(&output, writeBlockToStream, outputStream);
    DecoderState state;
    TextReading read;
    DecodeResult result = decodeStream(dictionary, input, reading, &state, &output, &piece, &read);
    if (result == DECODE_OK && !flushOutput(&output)) result = DECODE_WRITE_ERROR;
    if (result == DECODE_OK) return 0;
    // Bytes decoded before the failing point are written all the same.
    if (result != DECODE_WRITE_ERROR) flushOutput(&output);
    reportDecodeFailure(errors, dictionary, vocabularyFileName, result, state, piece.bytes, piece.count, piece.start);
    return 1;
}
