#include "decodeProgram.h"

#include <cstdio>
#include <cstring>

#include "decodeReport.h"
#include "sealedShape.h"

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

// ---------------------------------------------------------------- long texts

// A text longer than WHOLE_TEXT_BYTES is streamed piece by piece; a mail
// that long is read as the lines of a shorter one are, as far as a stream
// allows: the lines before its first line whose words all read are left
// aside (a greeting), and when a word stops the reading of the last piece
// and at most two lines after it read (a sign-off, a signature), the
// reading ends before its line, or one or two lines of words earlier, where
// the bytes read have the packer's shape. Every piece's bytes are written out before the next is
// read, so that a piece can be read again up to another end.
struct LongReading {
    std::size_t from;           // where the reading begins in the piece
    std::uint64_t written;      // bytes written before the piece
    unsigned char head[2];      // the first two bytes written, which the packer's shape looks at
    unsigned long linesBefore;  // line ends before the piece
};

static std::size_t lineEnd(const unsigned char* bytes, std::size_t count, std::size_t at) {
    while (at < count && bytes[at] != '\n' && bytes[at] != '\r') ++at;
    return at;
}

static std::size_t nextLine(const unsigned char* bytes, std::size_t count, std::size_t end) {
    if (end + 1 < count && bytes[end] == '\r' && bytes[end + 1] == '\n') return end + 2;
    return end < count ? end + 1 : count;
}

// Where the first line whose words all read begins, when lines that do
// not read stand before it within the piece; else 0.
static std::size_t firstLineThatReads(const Dictionary& dictionary, const unsigned char* bytes, std::size_t count) {
    bool skipped = false;
    for (std::size_t start = 0; start < count;) {
        std::size_t end = lineEnd(bytes, count, start);
        if (end == count) break;  // the piece may cut the line
        LineWords words = wordsOfLine(dictionary, bytes, start, end);
        if (words.unknown == 0 && words.known > 0) return skipped ? start : 0;
        skipped = skipped || words.unknown > 0;
        start = nextLine(bytes, count, end);
    }
    return 0;
}

// The starts of the line at `at` and of the lines of words before it, back
// to `from`: ends[0] is the line's own start.
static int endsBefore(const Dictionary& dictionary, const unsigned char* bytes, std::size_t from, std::size_t at,
                      std::size_t* ends) {
    while (at > from && bytes[at - 1] != '\n' && bytes[at - 1] != '\r') --at;
    int found = 0;
    ends[found++] = at;
    while (found <= MOST_LINES_LEFT_OFF && at > from) {
        std::size_t end = at - 1;
        if (end > from && bytes[end] == '\n' && bytes[end - 1] == '\r') --end;
        std::size_t start = end;
        while (start > from && bytes[start - 1] != '\n' && bytes[start - 1] != '\r') --start;
        if (wordsOfLine(dictionary, bytes, start, end).known > 0) ends[found++] = start;
        at = start;
    }
    return found;
}

// How many lines whose words all read the piece holds from `at` on.
static unsigned long linesThatReadFrom(const Dictionary& dictionary, const unsigned char* bytes, std::size_t count,
                                       std::size_t at) {
    unsigned long lines = 0;
    for (std::size_t start = at; start < count;) {
        std::size_t end = lineEnd(bytes, count, start);
        LineWords words = wordsOfLine(dictionary, bytes, start, end);
        if (words.known > 0 && words.unknown == 0) ++lines;
        start = nextLine(bytes, count, end);
    }
    return lines;
}

static unsigned long lineOf(const unsigned char* bytes, std::size_t count, std::size_t at) {
    return positionInText(bytes, count, at).line;
}

// Whether a word of the text stopped the reading (not the streams).
static bool isTextFailure(DecodeResult result) {
    return result != DECODE_OK && result != DECODE_READ_ERROR && result != DECODE_WRITE_ERROR;
}

// Reads the piece from where the reading begins in it, and ends the text
// after the last piece.
static DecodeResult readPiece(const Dictionary& dictionary, const TextPiece* piece, const LongReading& reading,
                              std::size_t end, bool last, DecoderState* state, OutputBuffer* output) {
    DecodeResult result = decodeText(dictionary, state, piece->bytes + reading.from, end - reading.from, output);
    if (result == DECODE_OK && last) result = finishDecoding(dictionary, state, output);
    return result;
}

// After a word stopped the reading of the last piece: the reading up to an
// end before a sign-off, when one has the packer's shape.
static bool endBeforeSignOff(const Dictionary& dictionary, const TextPiece* piece, const LongReading& reading,
                             const DecoderState& atPiece, DecoderState* state, OutputBuffer* output,
                             TextReading* read) {
    std::uint64_t stop = state->failure.start > piece->start ? state->failure.start - piece->start : 0;
    std::size_t failed = stop < piece->count ? static_cast<std::size_t>(stop) : piece->count;
    std::size_t ends[MOST_LINES_LEFT_OFF + 1];
    int endCount = endsBefore(dictionary, piece->bytes, reading.from, failed, ends);
    if (linesThatReadFrom(dictionary, piece->bytes, piece->count, ends[0]) > MOST_LINES_LEFT_OFF) return false;
    for (int e = 0; e < endCount; ++e) {
        *state = atPiece;
        output->used = 0;
        if (readPiece(dictionary, piece, reading, ends[e], true, state, output) != DECODE_OK) continue;
        // The shape looks at the first two bytes and the length alone.
        const unsigned char* head = reading.written > 0 ? reading.head : output->bytes;
        if (reading.written + output->used < 2 || !hasPackedShape(head, reading.written + output->used)) continue;
        read->wholeText = false;
        read->lastLine = reading.linesBefore + lineOf(piece->bytes, piece->count, ends[e] - 1);
        if (read->firstLine == 0) read->firstLine = 1;
        return true;
    }
    return false;
}

// Writes out what the pieces before decoded, so that this piece can be
// read again; keeps the first two bytes for the packer's shape.
static bool startPiece(OutputBuffer* output, LongReading* reading) {
    if (reading->written == 0 && output->used >= 2) std::memcpy(reading->head, output->bytes, 2);
    reading->written += output->used;
    return output->used == 0 || flushOutput(output);
}

static bool atEndOfInput(std::FILE* input) {
    int next = std::fgetc(input);
    if (next == EOF) return true;
    std::ungetc(next, input);
    return false;
}

// A text longer than WHOLE_TEXT_BYTES, streamed piece by piece from the
// first, which has been read.
static DecodeResult decodeLongText(const Dictionary& dictionary, std::FILE* input, TextPiece* piece,
                                   DecoderState* state, OutputBuffer* output, TextReading* read,
                                   const StreamProgress* progress) {
    LongReading reading = {firstLineThatReads(dictionary, piece->bytes, piece->count), 0, {0, 0}, 0};
    if (reading.from > 0) {
        *read = TextReading{lineOf(piece->bytes, piece->count, reading.from), 0, false};
        state->textOffset = reading.from;
    }
    for (;;) {
        if (!startPiece(output, &reading)) return DECODE_WRITE_ERROR;
        bool last = piece->count < TEXT_PIECE_BYTES || std::ferror(input) || atEndOfInput(input);
        DecoderState atPiece = *state;
        DecodeResult result = readPiece(dictionary, piece, reading, piece->count, last, state, output);
        if (isTextFailure(result) && last) {
            DecoderState failedState = *state;
            if (endBeforeSignOff(dictionary, piece, reading, atPiece, state, output, read)) return DECODE_OK;
            // As it was: the piece read again up to what stopped it.
            *state = atPiece;
            output->used = 0;
            readPiece(dictionary, piece, reading, piece->count, last, state, output);
            *state = failedState;
        }
        if (result != DECODE_OK || last) {
            if (result == DECODE_OK && !read->wholeText) {
                read->lastLine = reading.linesBefore + lineEndsIn(piece->bytes, piece->count) + 1;
            }
            return result;
        }
        unsigned long lineEnds = lineEndsIn(piece->bytes, piece->count);
        std::size_t got = std::fread(piece->bytes, 1, TEXT_PIECE_BYTES, input);
        reading.linesBefore += lineEnds;
        reading.from = 0;
        piece->start += piece->count;
        piece->count = got;
        tellProgress(progress, piece->start + piece->count);
    }
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
        result = decodeLongText(dictionary, input, piece, state, output, read, progress);
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
