#include "decoder.h"

#include <cstring>

#include "blockScan.h"

// ---------------------------------------------------------------- tolerant reading

DecodeResult lookUpTolerantly(const Dictionary& dictionary, const TolerantWord& word, int* index) {
    *index = -1;
    if (word.formTooLong || word.formLength > MAX_WORD_BYTES) return DECODE_WORD_TOO_LONG;
    std::uint64_t key = wordKey(word.form, static_cast<std::size_t>(word.formLength));
    *index = findKeyFolded(dictionary, key, word.formLength);
    if (*index < 0) *index = findWordLowered(dictionary, word.form, word.formLength);
    return *index < 0 ? DECODE_UNKNOWN_WORD : DECODE_OK;
}

struct TolerantStep {
    const Dictionary* dictionary;
    DecoderState* state;
    OutputBuffer* output;
    DecodeResult result;
};

// The tolerant scan's sink: the word step on every word it cuts.
static bool stepTolerantWord(void* context, const TolerantWord& word, bool endOfText) {
    TolerantStep* step = static_cast<TolerantStep*>(context);
    int index = -1;
    step->result = lookUpTolerantly(*step->dictionary, word, &index);
    if (step->result == DECODE_OK) step->result = stepIndex(step->state, index, endOfText, step->output);
    if (step->result != DECODE_OK) step->state->failure = word;
    return step->result == DECODE_OK;
}

static DecodeResult scanPiece(const Dictionary& dictionary, DecoderState* state, const unsigned char* bytes,
                              std::size_t count, OutputBuffer* output) {
    TolerantStep step = {&dictionary, state, output, DECODE_OK};
    scanTolerantly(&state->scan, bytes, count, stepTolerantWord, &step);
    return step.result;
}

// From the word the byte-exact reading could not read (in state->word, its
// last byte just before wordEnd) on, the text is read tolerantly.
static DecodeResult startScanning(const Dictionary& dictionary, DecoderState* state, std::uint64_t wordEnd,
                                  OutputBuffer* output) {
    state->scanning = true;
    startTolerantScan(&state->scan, wordEnd - static_cast<std::uint64_t>(state->wordLength));
    DecodeResult result = scanPiece(dictionary, state, state->word, static_cast<std::size_t>(state->wordLength), output);
    clearWord(state);
    return result;
}

// The word the byte-exact reading stopped at, for the message.
static void noteExactFailure(DecoderState* state, std::uint64_t wordEnd) {
    TolerantWord* failure = &state->failure;
    *failure = TolerantWord{};
    std::memcpy(failure->shown, state->word, static_cast<std::size_t>(state->wordLength));
    failure->shownLength = state->wordLength;
    failure->start = wordEnd - static_cast<std::uint64_t>(state->wordLength);
}

// ---------------------------------------------------------------- pieces of text

// The byte-exact reading of a piece, block-wise when blockWise is set.
static DecodeResult scanExactly(const Dictionary& dictionary, DecoderState* state, const unsigned char* bytes,
                                std::size_t* position, std::size_t count, bool blockWise, OutputBuffer* output) {
#ifdef ZG_SCAN_WORDS_AT_ONCE
    if (blockWise) {
        // First finish a word that the previous piece left open.
        if (state->wordLength > 0) {
            DecodeResult result = scanBytes(dictionary, state, bytes, position, count, true, output);
            if (result != DECODE_OK) return result;
        }
        if (state->wordLength == 0) {
            DecodeResult result = scanBlocks(dictionary, state, bytes, position, count, output);
            if (result != DECODE_OK) return result;
        }
    }
#else
    (void)blockWise;
#endif
    return scanBytes(dictionary, state, bytes, position, count, false, output);
}

static DecodeResult decodePiece(const Dictionary& dictionary, DecoderState* state, const unsigned char* bytes,
                                std::size_t count, bool blockWise, OutputBuffer* output) {
    DecodeResult result = DECODE_OK;
    if (state->scanning) {
        result = scanPiece(dictionary, state, bytes, count, output);
    } else {
        std::size_t position = 0;
        result = scanExactly(dictionary, state, bytes, &position, count, blockWise, output);
        std::uint64_t stop = state->textOffset + position;
        if (isWordFailure(result) && state->tolerant) {
            result = startScanning(dictionary, state, stop, output);
            if (result == DECODE_OK) result = scanPiece(dictionary, state, bytes + position, count - position, output);
        } else if (result != DECODE_OK) {
            noteExactFailure(state, stop);
        }
    }
    state->textOffset += count;
    return result;
}

DecodeResult decodeText(const Dictionary& dictionary, DecoderState* state,
                        const unsigned char* bytes, std::size_t count, OutputBuffer* output) {
    return decodePiece(dictionary, state, bytes, count, true, output);
}

DecodeResult decodeTextExactly(const Dictionary& dictionary, DecoderState* state,
                               const unsigned char* bytes, std::size_t count, OutputBuffer* output) {
    return decodePiece(dictionary, state, bytes, count, false, output);
}

// The last word of the text, left open by the last piece.
static DecodeResult finishLastWord(const Dictionary& dictionary, DecoderState* state, OutputBuffer* output) {
    DecodeResult result = decodeWordStep(dictionary, state, true, output);
    if (isWordFailure(result) && state->tolerant) return startScanning(dictionary, state, state->textOffset, output);
    if (result != DECODE_OK) noteExactFailure(state, state->textOffset);
    clearWord(state);
    return result;
}

DecodeResult finishDecoding(const Dictionary& dictionary, DecoderState* state,
                            OutputBuffer* output) {
    if (!state->scanning && state->wordLength > 0) {
        DecodeResult result = finishLastWord(dictionary, state, output);
        if (result != DECODE_OK) return result;
    }
    if (state->scanning) {
        TolerantStep step = {&dictionary, state, output, DECODE_OK};
        finishTolerantScan(&state->scan, stepTolerantWord, &step);
        if (step.result != DECODE_OK) return step.result;
    }
    if (state->pendingValue != -1) {
        clearWord(state);
        noteExactFailure(state, state->textOffset);
        return DECODE_INCOMPLETE_PAIR;
    }
    return DECODE_OK;
}
