#include "decoder.h"

#include <cstring>

#include "bitScan.h"
#include "wordByteMask.h"
#include "wordPacking.h"

// The block scan is a function of its own, which keeps its loop's values in
// registers.
#if defined(__GNUC__)
#define ZG_NOINLINE __attribute__((noinline))
#else
#define ZG_NOINLINE
#endif

// ---------------------------------------------------------------- decoding

static void clearWord(DecoderState* state) {
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

// The word step on a word's index.
static DecodeResult stepIndex(DecoderState* state, int index, bool endOfText, OutputBuffer* output) {
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

// Cuts text into words byte by byte and runs each completed word, from
// bytes[*position] up to count or the first error. The word being read is
// kept as its key while the bytes are scanned and goes back to the state's
// word buffer at the end.
static DecodeResult scanBytes(const Dictionary& dictionary, DecoderState* state,
                              const unsigned char* bytes, std::size_t* position, std::size_t count,
                              bool stopAfterWord, OutputBuffer* output) {
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

#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
#define ZG_SCAN_WORDS_AT_ONCE 1

// Text is cut a block of 56 bytes at a time, each read with the 8 bytes
// behind it as one 64-byte mask of word bytes: a word of at most 7 bytes
// that starts in the block ends inside the mask, so its start and end both
// come from the mask, and a longer word shows as eight word bytes in a row.
constexpr std::size_t MASK_BYTES = 64;
constexpr std::size_t BLOCK_BYTES = MASK_BYTES - WORD_SLOT_BYTES;
constexpr std::uint64_t BLOCK_BITS = (1ULL << BLOCK_BYTES) - 1;
constexpr std::size_t BLOCKS_PER_BATCH = 16;
// At most one word starts in every second byte: a word byte, then a separator.
constexpr int MOST_WORDS_PER_BATCH = BLOCK_BYTES * BLOCKS_PER_BATCH / 2;

// The indices of the words that start in a batch of blocks, in text order.
struct BatchWords {
    unsigned indices[MOST_WORDS_PER_BATCH];
    int count;
};

// The bytes of a word in its 8-byte load, by the word's length in the mask
// (0..63). A word too long keeps no byte: its key 0 is no word, which sends
// its batch down the byte-exact path.
struct WordBytesOfLength {
    std::uint64_t bytes[MASK_BYTES];
};

static constexpr WordBytesOfLength makeWordBytesOfLength() {
    WordBytesOfLength table = {};
    for (int length = 1; length <= MAX_WORD_BYTES; ++length) table.bytes[length] = (1ULL << (8 * length)) - 1;
    return table;
}

static constexpr WordBytesOfLength WORD_BYTES_OF_LENGTH = makeWordBytesOfLength();

// The words that start in one block, given by the separators that end them,
// each made the key of one 8-byte load and looked up. Returns behind the
// last index written.
static inline unsigned* takeBlockWords(const FoldedTable& folded, const unsigned char* block,
                                       std::uint64_t starts, std::uint64_t ends, unsigned* index,
                                       unsigned* everyIndex) {
    unsigned every = 0;
    while (starts != 0) {
        std::uint64_t start = lowestBit(starts);
        std::uint64_t length = lowestBit(ends) - start;
        starts &= starts - 1;
        ends &= ends - 1;
        unsigned found = findFolded(folded, loadEight(block + start) & WORD_BYTES_OF_LENGTH.bytes[length]);
        *index++ = found;
        every |= found;
    }
    *everyIndex |= every;
    return index;
}

// Finds the words that start in the blocks, makes each the key of one
// 8-byte load and looks it up. Returns the bits of every index found: at
// least PAIR_VALUE_COUNT when one is not a pair value or no word.
// previousWordByte is 1 when the byte before the first block is a word byte,
// and is left so for the next batch.
ZG_NOINLINE static unsigned findBatchWords(const FoldedTable& folded, const unsigned char* bytes,
                                           std::size_t blocks, std::uint64_t* previousWordByte,
                                           BatchWords* found) {
    std::uint64_t masks[BLOCKS_PER_BATCH];
    wordByteMasks(bytes, blocks, BLOCK_BYTES, masks);
    unsigned* index = found->indices;
    unsigned everyIndex = 0;
    std::uint64_t previous = *previousWordByte;
    for (std::size_t block = 0; block < blocks; ++block) {
        std::uint64_t words = masks[block];
        std::uint64_t starts = words & ~((words << 1) | previous) & BLOCK_BITS;
        // Separators right behind a word byte, less the first one when the
        // byte before the block is a word byte: it ends a word taken before.
        // The top bit stands in for a missing end, which only a word too long
        // can lack.
        std::uint64_t ends = ~words & ((words << 1) | previous);
        ends = (ends & (ends - previous)) | (1ULL << 63);
        previous = (words >> (BLOCK_BYTES - 1)) & 1;
        index = takeBlockWords(folded, bytes + block * BLOCK_BYTES, starts, ends, index, &everyIndex);
    }
    *previousWordByte = previous;
    found->count = static_cast<int>(index - found->indices);
    return everyIndex;
}

// The three bytes of a pair and one byte of scratch behind them, in one store.
static inline void unpackPairFast(unsigned x, unsigned y, unsigned char* place) {
    std::uint32_t bigEndian = x << 20 | y << 8;
#if defined(__GNUC__)
    std::uint32_t inOrder = __builtin_bswap32(bigEndian);
#else
    std::uint32_t inOrder = bigEndian >> 24 | (bigEndian >> 8 & 0xFF00) | (bigEndian << 8 & 0xFF0000);
#endif
    std::memcpy(place, &inOrder, sizeof inOrder);
}

// The six bytes of two pairs and two bytes of scratch behind them, in one store.
static inline void unpackTwoPairs(const unsigned* values, unsigned char* place) {
    std::uint64_t bigEndian = static_cast<std::uint64_t>(values[0]) << 52 |
                              static_cast<std::uint64_t>(values[1]) << 40 |
                              static_cast<std::uint64_t>(values[2]) << 28 | static_cast<std::uint64_t>(values[3]) << 16;
#if defined(__GNUC__)
    std::uint64_t inOrder = __builtin_bswap64(bigEndian);
    std::memcpy(place, &inOrder, sizeof inOrder);
#else
    for (int i = 0; i < 8; ++i) place[i] = static_cast<unsigned char>(bigEndian >> (56 - 8 * i));
#endif
}

// The word step of every word of a batch of pair values, in one go: the
// values are paired up with the one pending before the batch. False when
// the output has no room (a write failed).
static bool decodePairValues(const BatchWords& found, DecoderState* state, OutputBuffer* output) {
    unsigned char* place = reserveOutput(output, 3 * (MOST_WORDS_PER_BATCH / 2) + 2);
    if (place == nullptr) return false;
    unsigned char* at = place;
    const unsigned* value = found.indices;
    const unsigned* end = value + found.count;
    if (state->pendingValue != -1 && value < end) {
        unpackPairFast(static_cast<unsigned>(state->pendingValue), *value++, at);
        at += 3;
        state->pendingValue = -1;
    }
    for (; end - value >= 4; value += 4, at += 6) unpackTwoPairs(value, at);
    if (end - value >= 2) {
        unpackPairFast(value[0], value[1], at);
        value += 2;
        at += 3;
    }
    if (value < end) state->pendingValue = static_cast<std::int32_t>(*value);
    output->used += static_cast<std::size_t>(at - place);
    return true;
}

// Where the text goes on behind a block scan that stopped at position: past
// the rest of a word that started before it (a word byte is before it) and
// that the scan has taken already.
static std::size_t behindTakenWord(const unsigned char* bytes, std::size_t position, std::size_t count,
                                   std::uint64_t previousWordByte) {
    static const WordByteTable table = makeWordByteTable();
    if (previousWordByte == 0) return position;
    while (position < count && table.isWordByte[bytes[position]]) ++position;
    return position;
}

// The byte-exact path over a batch, from between words: to its end, then on
// to the end of a word still open there, so that it ends between words
// again (or at the end of the text).
static DecodeResult scanBatchExactly(const Dictionary& dictionary, DecoderState* state,
                                     const unsigned char* bytes, std::size_t* position, std::size_t batchEnd,
                                     std::size_t count, OutputBuffer* output) {
    DecodeResult result = scanBytes(dictionary, state, bytes, position, batchEnd, false, output);
    if (result != DECODE_OK || state->wordLength == 0) return result;
    return scanBytes(dictionary, state, bytes, position, count, true, output);
}

// Cuts text into words a batch of blocks at a time, starting between words,
// while 64 bytes remain. A batch whose words are all pair values is
// decoded in one go; a batch with anything else in it (an unknown word, a
// leftover, a word too long, the text after a leftover) goes through the
// byte-exact path, so every rule and message stays that path's own.
static DecodeResult scanBlocks(const Dictionary& dictionary, DecoderState* state,
                               const unsigned char* bytes, std::size_t* position, std::size_t count,
                               OutputBuffer* output) {
    static BatchWords found;
    std::size_t block = *position;
    std::uint64_t previousWordByte = 0;  // 1 when the byte before the block is a word byte
    while (block + MASK_BYTES <= count) {
        std::size_t blocks = (count - WORD_SLOT_BYTES - block) / BLOCK_BYTES;
        if (blocks > BLOCKS_PER_BATCH) blocks = BLOCKS_PER_BATCH;
        std::size_t batchEnd = block + blocks * BLOCK_BYTES;
        std::uint64_t previousBefore = previousWordByte;
        unsigned everyIndex = findBatchWords(dictionary.folded, bytes + block, blocks, &previousWordByte, &found);
        if (everyIndex < static_cast<unsigned>(PAIR_VALUE_COUNT) && state->leftoverState == 0 &&
            decodePairValues(found, state, output)) {
            state->blockWords += static_cast<std::uint64_t>(found.count);
            block = batchEnd;
            continue;
        }
        std::size_t decoded = behindTakenWord(bytes, block, count, previousBefore);
        DecodeResult result = scanBatchExactly(dictionary, state, bytes, &decoded, batchEnd, count, output);
        *position = decoded;
        if (result != DECODE_OK) return result;
        // Nothing of the batch is left to read, and the text goes on between words.
        block = decoded;
        previousWordByte = 0;
    }
    *position = behindTakenWord(bytes, block, count, previousWordByte);
    return DECODE_OK;
}
#endif

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
