#include "wordSteps.h"

#include <cstring>

#include "wordPacking.h"

void clearWord(DecoderState* state) {
    std::memset(state->word, 0, WORD_SLOT_BYTES);
    state->wordLength = 0;
}

void resetDecoderState(DecoderState* state, bool tolerant) {
    clearWord(state);
    state->pendingValue = -1;
    state->leftoverState = 0;
    state->tolerant = tolerant;
    state->scanning = false;
    startTolerantScan(&state->scan, 0);
    state->textOffset = 0;
    state->failure = state->scan.word;
    state->blockWords = 0;
}

bool isWordFailure(DecodeResult result) {
    return result == DECODE_UNKNOWN_WORD || result == DECODE_WORD_TOO_LONG;
}

const char* decodeMessage(DecodeResult result) {
    switch (result) {
    case DECODE_OK: return nullptr;
    case DECODE_UNKNOWN_WORD: return "%s: unknown word: %s\n";
    case DECODE_WORD_AFTER_LEFTOVER: return "%s: invalid word after leftover byte\n";
    case DECODE_FINAL_LEFTOVER_SEQUENCE: return "%s: invalid final leftover sequence\n";
    case DECODE_SECOND_WITHOUT_FIRST: return "%s: second leftover byte without first\n";
    case DECODE_LEFTOVER_AFTER_INCOMPLETE: return "%s: leftover byte after incomplete block\n";
    case DECODE_WORD_TOO_LONG: return "%s: input word too long: %s\n";
    case DECODE_INCOMPLETE_PAIR: return "%s: incomplete 12-bit pair\n";
    case DECODE_READ_ERROR: return "%s: input read error\n";
    case DECODE_WRITE_ERROR: return "%s: write error\n";
    case DECODE_NO_OTHER_BLOCK: return "%s: the text holds no other block of lines that reads as ZarnoGlot\n";
    }
    return nullptr;
}

static bool writeByte(OutputBuffer* output, int value) {
    unsigned char byte = static_cast<unsigned char>(value);
    return putBytes(output, &byte, 1);
}

// After a leftover byte only one second leftover may follow a first one.
static DecodeResult afterLeftover(DecoderState* state, int index, bool endOfText,
                                  OutputBuffer* output) {
    if (state->leftoverState != 1 || index < SECOND_LEFTOVER_BASE) {
        return endOfText ? DECODE_FINAL_LEFTOVER_SEQUENCE : DECODE_WORD_AFTER_LEFTOVER;
    }
    if (!writeByte(output, index - SECOND_LEFTOVER_BASE)) return DECODE_WRITE_ERROR;
    state->leftoverState = 2;
    return DECODE_OK;
}

static DecodeResult pairValue(DecoderState* state, int value, OutputBuffer* output) {
    if (state->pendingValue == -1) {
        state->pendingValue = value;
        return DECODE_OK;
    }
    unsigned char* place = reserveOutput(output, 3);
    if (place == nullptr) return DECODE_WRITE_ERROR;
    unpackPair(state->pendingValue, value, place);
    output->used += 3;
    state->pendingValue = -1;
    return DECODE_OK;
}

DecodeResult stepIndex(DecoderState* state, int index, bool endOfText, OutputBuffer* output) {
    if (state->leftoverState != 0) return afterLeftover(state, index, endOfText, output);
    if (index < PAIR_VALUE_COUNT) return pairValue(state, index, output);
    if (index >= SECOND_LEFTOVER_BASE) return DECODE_SECOND_WITHOUT_FIRST;
    if (state->pendingValue != -1) return DECODE_LEFTOVER_AFTER_INCOMPLETE;
    if (!writeByte(output, index - FIRST_LEFTOVER_BASE)) return DECODE_WRITE_ERROR;
    state->leftoverState = 1;
    return DECODE_OK;
}

// The word step on a word given by its key and length.
static DecodeResult stepWord(const Dictionary& dictionary, DecoderState* state, std::uint64_t key,
                             int length, bool endOfText, OutputBuffer* output) {
    int index = findKeyFolded(dictionary, key, length);
    if (index < 0) return DECODE_UNKNOWN_WORD;
    return stepIndex(state, index, endOfText, output);
}

DecodeResult decodeWordStep(const Dictionary& dictionary, DecoderState* state, bool endOfText,
                            OutputBuffer* output) {
    return stepWord(dictionary, state, slotKey(state->word), state->wordLength, endOfText, output);
}

struct WordByteTable {
    bool isWordByte[256];
};

static WordByteTable makeWordByteTable() {
    WordByteTable table;
    for (int byte = 0; byte < 256; ++byte) table.isWordByte[byte] = isWordByte(static_cast<unsigned char>(byte));
    return table;
}

DecodeResult scanBytes(const Dictionary& dictionary, DecoderState* state, const unsigned char* bytes,
                       std::size_t* position, std::size_t count, bool stopAfterWord, OutputBuffer* output) {
    static const WordByteTable table = makeWordByteTable();
    std::uint64_t key = slotKey(state->word);
    int length = state->wordLength;
    DecodeResult result = DECODE_OK;
    std::size_t i = *position;
    for (; i < count; ++i) {
        unsigned char byte = bytes[i];
        if (table.isWordByte[byte]) {
            if (length == MAX_WORD_BYTES) {
                result = DECODE_WORD_TOO_LONG;
                break;
            }
            key |= static_cast<std::uint64_t>(byte) << (8 * length);
            ++length;
        } else if (length > 0) {
            result = stepWord(dictionary, state, key, length, false, output);
            if (result != DECODE_OK) break;
            key = 0;
            length = 0;
            if (stopAfterWord) break;
        }
    }
    *position = i;
    keyToSlot(key, state->word);
    state->wordLength = length;
    return result;
}
