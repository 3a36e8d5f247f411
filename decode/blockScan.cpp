#include "blockScan.h"

#ifdef ZG_SCAN_WORDS_AT_ONCE

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
    if (previousWordByte == 0) return position;
    while (position < count && isWordByte(bytes[position])) ++position;
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

// A batch with anything but pair values in it (an unknown word, a leftover,
// a word too long, the text after a leftover) goes through the byte-exact
// path.
DecodeResult scanBlocks(const Dictionary& dictionary, DecoderState* state, const unsigned char* bytes,
                        std::size_t* position, std::size_t count, OutputBuffer* output) {
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
