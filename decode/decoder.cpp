#include "decoder.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "letterCase.h"
#include "linePiece.h"
#include "wordPacking.h"

constexpr std::size_t INPUT_BUFFER_BYTES = 64 * 1024;

// ---------------------------------------------------------------- loading

static bool refuse(std::FILE* file, const char* message) {
    std::fprintf(stderr, message, DECODER_NAME);
    std::fclose(file);
    return false;
}

bool loadDictionary(const char* fileName, Dictionary* dictionary) {
    std::FILE* file = std::fopen(fileName, "rb");
    if (file == nullptr) {
        std::fprintf(stderr, "%s: cannot open dictionary\n", DECODER_NAME);
        return false;
    }
    clearWordLookup(&dictionary->lookup);
    unsigned char piece[DICTIONARY_PIECE_BYTES];
    int length = 0;
    int count = 0;
    while (readLinePiece(file, piece, DICTIONARY_PIECE_BYTES, &length)) {
        if (length > 0 && piece[length - 1] == '\n') --length;
        if (length > 0 && piece[length - 1] == '\r') --length;
        // A slot holds its word up to the first zero byte.
        const void* zero = std::memchr(piece, 0, static_cast<std::size_t>(length));
        if (zero != nullptr) length = static_cast<int>(static_cast<const unsigned char*>(zero) - piece);
        if (length == 0 || length > MAX_WORD_BYTES) return refuse(file, "%s: invalid dictionary word\n");
        if (count == VOCABULARY_SIZE) return refuse(file, "%s: too many dictionary words\n");
        std::uint64_t key = wordKey(piece, static_cast<std::size_t>(length));
        if (addWord(&dictionary->lookup, key, count) >= 0) {
            return refuse(file, "%s: duplicate dictionary word\n");
        }
        std::memset(dictionary->slots[count], 0, WORD_SLOT_BYTES);
        std::memcpy(dictionary->slots[count], piece, static_cast<std::size_t>(length));
        ++count;
    }
    if (std::ferror(file)) return refuse(file, "%s: dictionary read error\n");
    std::fclose(file);
    if (count != VOCABULARY_SIZE) {
        std::fprintf(stderr, "%s: dictionary must contain %d words\n", DECODER_NAME, VOCABULARY_SIZE);
        return false;
    }
    return true;
}

// ---------------------------------------------------------------- lookup

int findWord(const Dictionary& dictionary, const char* word) {
    std::size_t length = 0;
    while (length <= MAX_WORD_BYTES && word[length] != 0) ++length;
    if (length == 0 || length > MAX_WORD_BYTES) return -1;
    return lookupWord(dictionary.lookup, wordKey(reinterpret_cast<const unsigned char*>(word), length));
}

// The lookup of a word by its key: as written, then with its first letter
// lowercased. An ASCII capital is lowercased in place; other first
// characters go through the UTF-8 case rules.
static int findKeyFolded(const Dictionary& dictionary, std::uint64_t key, int length) {
    int index = lookupWord(dictionary.lookup, key);
    if (index >= 0) return index;
    unsigned char first = static_cast<unsigned char>(key);
    if (first >= 'A' && first <= 'Z') return lookupWord(dictionary.lookup, key | 0x20);
    if (first < 0x80) return -1;
    unsigned char folded[WORD_SLOT_BYTES];
    keyToSlot(key, folded);
    if (!lowercaseFirstLetter(folded, static_cast<std::size_t>(length), UTF8_UP_TO_3_BYTES)) return -1;
    return lookupWord(dictionary.lookup, slotKey(folded));
}

int findWordFolded(const Dictionary& dictionary, const char* word) {
    std::size_t length = 0;
    while (length <= MAX_WORD_BYTES && word[length] != 0) ++length;
    if (length == 0 || length > MAX_WORD_BYTES) return -1;
    std::uint64_t key = wordKey(reinterpret_cast<const unsigned char*>(word), length);
    return findKeyFolded(dictionary, key, static_cast<int>(length));
}

// ---------------------------------------------------------------- decoding

static void clearWord(DecoderState* state) {
    std::memset(state->word, 0, WORD_SLOT_BYTES);
    state->wordLength = 0;
}

void resetDecoderState(DecoderState* state) {
    clearWord(state);
    state->pendingValue = -1;
    state->leftoverState = 0;
}

const char* decodeMessage(DecodeResult result) {
    switch (result) {
    case DECODE_OK: return nullptr;
    case DECODE_UNKNOWN_WORD: return "%s: unknown word: %s\n";
    case DECODE_WORD_AFTER_LEFTOVER: return "%s: invalid word after leftover byte\n";
    case DECODE_FINAL_LEFTOVER_SEQUENCE: return "%s: invalid final leftover sequence\n";
    case DECODE_SECOND_WITHOUT_FIRST: return "%s: second leftover byte without first\n";
    case DECODE_LEFTOVER_AFTER_INCOMPLETE: return "%s: leftover byte after incomplete block\n";
    case DECODE_WORD_TOO_LONG: return "%s: input word too long\n";
    case DECODE_INCOMPLETE_PAIR: return "%s: incomplete 12-bit pair\n";
    case DECODE_READ_ERROR: return "%s: input read error\n";
    case DECODE_WRITE_ERROR: return "%s: write error\n";
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

// The word step on a word given by its key and length.
static DecodeResult stepWord(const Dictionary& dictionary, DecoderState* state, std::uint64_t key,
                             int length, bool endOfText, OutputBuffer* output) {
    int index = findKeyFolded(dictionary, key, length);
    if (index < 0) return DECODE_UNKNOWN_WORD;
    if (state->leftoverState != 0) return afterLeftover(state, index, endOfText, output);
    if (index < PAIR_VALUE_COUNT) return pairValue(state, index, output);
    if (index >= SECOND_LEFTOVER_BASE) return DECODE_SECOND_WITHOUT_FIRST;
    if (state->pendingValue != -1) return DECODE_LEFTOVER_AFTER_INCOMPLETE;
    if (!writeByte(output, index - FIRST_LEFTOVER_BASE)) return DECODE_WRITE_ERROR;
    state->leftoverState = 1;
    return DECODE_OK;
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

#if defined(__SSE2__) && defined(__GNUC__) && defined(__BYTE_ORDER__) && \
    __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
#define ZG_SCAN_WORDS_AT_ONCE 1

constexpr std::uint64_t EVERY_BYTE = 0x0101010101010101ULL;
constexpr std::uint64_t HIGH_BITS = 0x8080808080808080ULL;
constexpr std::size_t WINDOW_BYTES = 64;

// The high bit of each byte of the eight is set when that byte is a word byte.
static inline std::uint64_t wordByteFlags(std::uint64_t bytes) {
    // The low seven bits of each byte with ASCII letters folded to small ones;
    // adding to a byte below 0x80 cannot carry into the next byte.
    std::uint64_t folded = (bytes & ~HIGH_BITS) | (0x20 * EVERY_BYTE);
    std::uint64_t atLeastSmallA = folded + (0x80 - 'a') * EVERY_BYTE;
    std::uint64_t beyondSmallZ = folded + (0x80 - 'z' - 1) * EVERY_BYTE;
    return ((atLeastSmallA & ~beyondSmallZ) | bytes) & HIGH_BITS;
}

static inline std::uint64_t loadEight(const unsigned char* bytes) {
    std::uint64_t value;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

// Bit k set when bytes[k] is a word byte, for 16 bytes.
static inline std::uint64_t wordByteMask16(const unsigned char* bytes) {
    __m128i text = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
    __m128i folded = _mm_or_si128(text, _mm_set1_epi8(0x20));
    __m128i letters = _mm_and_si128(_mm_cmpgt_epi8(folded, _mm_set1_epi8(0x60)),
                                    _mm_cmplt_epi8(folded, _mm_set1_epi8(0x7B)));
    // Bytes 0x80..0xFF are negative here: the letter test fails for them and
    // their own high bit marks them.
    return static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_or_si128(letters, text)));
}

static inline std::uint64_t wordByteMask64(const unsigned char* bytes) {
    return wordByteMask16(bytes) | (wordByteMask16(bytes + 16) << 16) |
           (wordByteMask16(bytes + 32) << 32) | (wordByteMask16(bytes + 48) << 48);
}

// Cuts text into words 64 bytes at a time, starting between words, while
// 72 bytes remain. The word starts of a window come from a bit mask, and
// each word with its separator comes from one 8-byte load (a word longer
// than 7 bytes is an error), so finding a word costs no branch per byte and
// the lookups of successive words overlap.
static DecodeResult scanWords(const Dictionary& dictionary, DecoderState* state,
                              const unsigned char* bytes, std::size_t* position, std::size_t count,
                              OutputBuffer* output) {
    std::size_t window = *position;
    std::size_t wordEnd = window;         // behind the last word taken
    std::uint64_t previousWordByte = 0;  // 1 when the byte before the window is a word byte
    while (window + WINDOW_BYTES + 8 <= count) {
        std::uint64_t words = wordByteMask64(bytes + window);
        std::uint64_t starts = words & ~((words << 1) | previousWordByte);
        previousWordByte = words >> 63;
        while (starts != 0) {
            std::size_t start = window + static_cast<std::size_t>(__builtin_ctzll(starts));
            starts &= starts - 1;
            std::uint64_t chunk = loadEight(bytes + start);
            std::uint64_t separators = ~wordByteFlags(chunk) & HIGH_BITS;
            if (separators == 0) {
                *position = start + MAX_WORD_BYTES;  // the eighth word byte in a row
                return DECODE_WORD_TOO_LONG;
            }
            int length = __builtin_ctzll(separators) >> 3;
            std::uint64_t key = chunk & ((1ULL << (8 * length)) - 1);
            wordEnd = start + static_cast<std::size_t>(length);
            DecodeResult result = stepWord(dictionary, state, key, length, false, output);
            if (result != DECODE_OK) {
                keyToSlot(key, state->word);
                state->wordLength = length;
                *position = wordEnd;
                return result;
            }
        }
        window += WINDOW_BYTES;
    }
    // Resume behind a word that ran past the last window.
    *position = wordEnd > window ? wordEnd : window;
    return DECODE_OK;
}
#endif

DecodeResult decodeText(const Dictionary& dictionary, DecoderState* state,
                        const unsigned char* bytes, std::size_t count, OutputBuffer* output) {
    std::size_t position = 0;
#ifdef ZG_SCAN_WORDS_AT_ONCE
    // First finish a word that the previous block left open.
    if (state->wordLength > 0) {
        DecodeResult result = scanBytes(dictionary, state, bytes, &position, count, true, output);
        if (result != DECODE_OK) return result;
    }
    if (state->wordLength == 0) {
        DecodeResult result = scanWords(dictionary, state, bytes, &position, count, output);
        if (result != DECODE_OK) return result;
    }
#endif
    return scanBytes(dictionary, state, bytes, &position, count, false, output);
}

DecodeResult finishDecoding(const Dictionary& dictionary, DecoderState* state,
                            OutputBuffer* output) {
    if (state->wordLength > 0) {
        DecodeResult result = decodeWordStep(dictionary, state, true, output);
        if (result != DECODE_OK) return result;
        clearWord(state);
    }
    if (state->pendingValue != -1) return DECODE_INCOMPLETE_PAIR;
    return DECODE_OK;
}

DecodeResult decodeStream(const Dictionary& dictionary, DecoderState* state, std::FILE* input,
                          OutputBuffer* output) {
    static unsigned char buffer[INPUT_BUFFER_BYTES];
    for (;;) {
        std::size_t got = std::fread(buffer, 1, INPUT_BUFFER_BYTES, input);
        DecodeResult result = decodeText(dictionary, state, buffer, got, output);
        if (result != DECODE_OK) return result;
        if (got == 0 || std::feof(input) || std::ferror(input)) break;
    }
    // A read error ends the text as its end does; the text's own errors
    // come first.
    DecodeResult result = finishDecoding(dictionary, state, output);
    if (result != DECODE_OK) return result;
    if (std::ferror(input)) return DECODE_READ_ERROR;
    return DECODE_OK;
}

int runDecoder(const char* vocabularyFileName) {
    static Dictionary dictionary;
    static OutputBuffer output;
    if (!loadDictionary(vocabularyFileName, &dictionary)) return 1;
    openOutputBuffer(&output, writeBlockToStream, stdout);
    DecoderState state;
    resetDecoderState(&state);
    DecodeResult result = decodeStream(dictionary, &state, stdin, &output);
    if (result == DECODE_OK && !flushOutput(&output)) result = DECODE_WRITE_ERROR;
    if (result == DECODE_OK) return 0;
    // Bytes decoded before the failing point are written all the same.
    if (result != DECODE_WRITE_ERROR) flushOutput(&output);
    std::fprintf(stderr, decodeMessage(result), DECODER_NAME, reinterpret_cast<char*>(state.word));
    return 1;
}
