#include "harvester.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "bitScan.h"
#include "codecConstants.h"
#include "consoleProgram.h"
#include "letterCase.h"

// Letter classes of the code points below CLASS_TABLE_SIZE, taken once from
// the case functions so the tokenizer does not scan the case table per
// character. Above the table's largest code point nothing is a letter.
enum : unsigned char { CLASS_LETTER = 1, CLASS_CAPITAL = 2 };
constexpr std::uint32_t CLASS_TABLE_SIZE = 0x180;

struct LetterClasses {
    unsigned char classOf[CLASS_TABLE_SIZE];
    std::uint32_t largestCaseCodePoint;
};

static LetterClasses makeLetterClasses() {
    LetterClasses classes = {};
    for (std::uint32_t codePoint = 0; codePoint < CLASS_TABLE_SIZE; ++codePoint) {
        unsigned char letterClass = 0;
        if (isWordLetter(codePoint)) letterClass |= CLASS_LETTER;
        if (isCapitalLetter(codePoint)) letterClass |= CLASS_CAPITAL;
        classes.classOf[codePoint] = letterClass;
    }
    for (const CasePair& pair : CasePairTable) {
        if (pair.capital > classes.largestCaseCodePoint) classes.largestCaseCodePoint = pair.capital;
        if (pair.lowercase > classes.largestCaseCodePoint) classes.largestCaseCodePoint = pair.lowercase;
    }
    return classes;
}

static const LetterClasses letterClasses = makeLetterClasses();

static bool isLetter(std::uint32_t codePoint) {
    if (codePoint < CLASS_TABLE_SIZE) return letterClasses.classOf[codePoint] & CLASS_LETTER;
    return codePoint <= letterClasses.largestCaseCodePoint && isWordLetter(codePoint);
}

static bool isCapital(std::uint32_t codePoint) {
    if (codePoint < CLASS_TABLE_SIZE) return letterClasses.classOf[codePoint] & CLASS_CAPITAL;
    return codePoint <= letterClasses.largestCaseCodePoint && isCapitalLetter(codePoint);
}

static bool endsSentence(std::uint32_t codePoint) {
    return codePoint == '\n' || codePoint == '\r' || codePoint == '.' || codePoint == '!' ||
           codePoint == '?';
}

// Whether every character after the first decodes and none is a capital.
static bool hasNoInnerCapital(const unsigned char* word, int length) {
    int i = 1;
    for (; i < length && word[i] < 0x80; ++i) {
        if (word[i] >= 'A' && word[i] <= 'Z') return false;
    }
    if (i == length && word[0] < 0x80) return true;
    for (int offset = 0; offset < length;) {
        std::uint32_t codePoint = 0;
        int characterLength = 0;
        if (!decodeUtf8Char(word + offset, static_cast<std::uint64_t>(length - offset),
                            UTF8_UP_TO_4_BYTES, &codePoint, &characterLength)) {
            return false;
        }
        if (offset > 0 && isCapital(codePoint)) return false;
        offset += characterLength;
    }
    return true;
}

static void lowercaseFirst(unsigned char* word, int length) {
    if (word[0] >= 'A' && word[0] <= 'Z') {
        word[0] = static_cast<unsigned char>(word[0] + 0x20);
    } else if (word[0] >= 0x80) {
        lowercaseFirstLetter(word, static_cast<std::size_t>(length), UTF8_UP_TO_4_BYTES);
    }
}

bool addWord(WordList* list, unsigned char* word, int length, bool sentenceStartMark) {
    if (list->count >= static_cast<std::uint64_t>(WORD_LIST_CAPACITY)) return false;
    if (length < 2 || length > MAX_WORD_BYTES) return false;
    word[length] = 0;
    if (!hasNoInnerCapital(word, length)) return false;
    if (sentenceStartMark) lowercaseFirst(word, length);
    return appendNewWord(list, wordKey(word, static_cast<std::size_t>(length)));
}

void startHarvest(Harvester* harvester) {
    clearWordList(&harvester->words);
    harvester->currentLength = 0;
    harvester->tooLong = false;
    harvester->sentenceStart = true;
    harvester->runSentenceStart = false;
    harvester->sequenceLength = 0;
    harvester->sequenceExpected = 0;
    harvester->finished = false;
}

static void endRun(Harvester* harvester) {
    if (harvester->currentLength > 0 && !harvester->tooLong) {
        addWord(&harvester->words, harvester->currentWord, harvester->currentLength,
                harvester->runSentenceStart);
    }
    harvester->currentLength = 0;
    harvester->tooLong = false;
}

// Takes `length` bytes that are whole letters; taking them together gives the
// same run as taking them one by one, since once the run is too long every
// further letter is dropped.
static void takeLetters(Harvester* harvester, const unsigned char* bytes, std::size_t length) {
    if (harvester->currentLength == 0 && !harvester->tooLong) {
        harvester->runSentenceStart = harvester->sentenceStart;
    }
    harvester->sentenceStart = false;
    if (harvester->tooLong) return;
    if (length > static_cast<std::size_t>(MAX_WORD_BYTES - harvester->currentLength)) {
        harvester->tooLong = true;
        return;
    }
    int start = harvester->currentLength;
    int end = start + static_cast<int>(length);
    for (int i = start; i < end && i < MAX_WORD_BYTES; ++i) harvester->currentWord[i] = bytes[i - start];
    harvester->currentLength = end;
}

static void takeCharacter(Harvester* harvester, std::uint32_t codePoint, const unsigned char* bytes,
                          int length) {
    if (isLetter(codePoint)) {
        takeLetters(harvester, bytes, static_cast<std::size_t>(length));
        return;
    }
    endRun(harvester);
    if (endsSentence(codePoint)) harvester->sentenceStart = true;
}

// The length of the sequence a lead byte opens, 0 for a byte that cannot start one.
static int sequenceLengthOf(unsigned char lead) {
    if ((lead & 0xE0) == 0xC0) return 2;
    if ((lead & 0xF0) == 0xE0) return 3;
    if ((lead & 0xF8) == 0xF0) return 4;
    return 0;
}

// A sequence that is not well-formed UTF-8 (an overlong form, a surrogate,
// beyond U+10FFFF) is no character: it ends the run like any other bad
// sequence, so that no word holds bytes a UTF-8 reader would refuse.
static void completeSequence(Harvester* harvester) {
    std::uint32_t codePoint = 0;
    int length = 0;
    int expected = harvester->sequenceExpected;
    harvester->sequenceExpected = 0;
    harvester->sequenceLength = 0;
    if (!decodeUtf8Char(harvester->sequence, static_cast<std::uint64_t>(expected), UTF8_UP_TO_4_BYTES,
                        &codePoint, &length) ||
        !isWellFormedChar(codePoint, length)) {
        endRun(harvester);
        return;
    }
    takeCharacter(harvester, codePoint, harvester->sequence, length);
}

static bool listIsFull(const Harvester* harvester) {
    return harvester->words.count >= static_cast<std::uint64_t>(WORD_LIST_CAPACITY);
}

// Byte classes for the ASCII fast path; bytes 0x80..0xFF have no class.
enum : unsigned char { BYTE_LETTER = 1, BYTE_SENTENCE_END = 2 };

struct ByteClasses {
    unsigned char classOf[256];
};

static ByteClasses makeByteClasses() {
    ByteClasses classes = {};
    for (std::uint32_t byte = 0; byte < 0x80; ++byte) {
        if (isLetter(byte)) classes.classOf[byte] |= BYTE_LETTER;
        if (endsSentence(byte)) classes.classOf[byte] |= BYTE_SENTENCE_END;
    }
    return classes;
}

static const ByteClasses byteClasses = makeByteClasses();

// ASCII letters, capitals, sentence ends and bytes below 0x80 among 16
// bytes, bit k for bytes[k].
struct AsciiMasks {
    unsigned letters;
    unsigned capitals;
    unsigned sentenceEnds;
    unsigned ascii;
};

constexpr unsigned ASCII_BLOCK_BYTES = 16;

#if defined(__SSE2__)
static unsigned bytesInRange(__m128i text, char low, char high) {
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(_mm_cmpgt_epi8(text, _mm_set1_epi8(low - 1)),
                                                                 _mm_cmplt_epi8(text, _mm_set1_epi8(high + 1)))));
}

static unsigned bytesEqual(__m128i text, char byte) {
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(text, _mm_set1_epi8(byte))));
}
#endif

static AsciiMasks asciiMasks(const unsigned char* bytes) {
    AsciiMasks masks;
#if defined(__SSE2__)
    __m128i text = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
    // Bytes 0x80..0xFF are negative here, below every letter.
    masks.letters = bytesInRange(_mm_or_si128(text, _mm_set1_epi8(0x20)), 'a', 'z');
    masks.capitals = bytesInRange(text, 'A', 'Z');
    masks.sentenceEnds = bytesEqual(text, '\n') | bytesEqual(text, '\r') | bytesEqual(text, '.') |
                         bytesEqual(text, '!') | bytesEqual(text, '?');
    masks.ascii = ~static_cast<unsigned>(_mm_movemask_epi8(text)) & 0xFFFF;
#else
    masks = AsciiMasks{0, 0, 0, 0};
    for (unsigned k = 0; k < ASCII_BLOCK_BYTES; ++k) {
        masks.letters |= static_cast<unsigned>((byteClasses.classOf[bytes[k]] & BYTE_LETTER) != 0) << k;
        masks.capitals |= static_cast<unsigned>(bytes[k] >= 'A' && bytes[k] <= 'Z') << k;
        masks.sentenceEnds |= static_cast<unsigned>((byteClasses.classOf[bytes[k]] & BYTE_SENTENCE_END) != 0) << k;
        masks.ascii |= static_cast<unsigned>(bytes[k] < 0x80) << k;
    }
#endif
    return masks;
}

// A whole run of ASCII letters of `length` bytes at bytes[0], ended by an
// ASCII byte: the run's word from one 8-byte load, its tests on the masks.
static void takeAsciiRun(Harvester* harvester, const unsigned char* bytes, unsigned length,
                         const AsciiMasks& masks) {
    bool sentenceStartMark = harvester->sentenceStart;
    harvester->sentenceStart = false;
    // Two to seven bytes, and no capital after the first.
    if (length < 2 || length > static_cast<unsigned>(MAX_WORD_BYTES)) return;
    if ((masks.capitals & ((1u << length) - 2)) != 0) return;
    std::uint64_t key = loadEight(bytes) & ((1ULL << (8 * length)) - 1);
    if (sentenceStartMark && (masks.capitals & 1) != 0) key |= 0x20;
    appendNewWord(&harvester->words, key);
}

// Takes ASCII text between runs from bytes[position] on, 16 bytes at a time:
// each whole run of ASCII letters with the ASCII non-letters behind it, as
// the byte-wise path would take them. Stops before a run that may go on
// beyond the 16 bytes or into a letter of more bytes, at any byte 0x80..0xFF,
// and behind the byte that ends the run that fills the list. Returns the
// position it stopped at.
static std::size_t takeAsciiText(Harvester* harvester, const unsigned char* bytes, std::size_t position,
                                 std::size_t length) {
    while (position + ASCII_BLOCK_BYTES <= length) {
        AsciiMasks masks = asciiMasks(bytes + position);
        unsigned run = lowestBit(~masks.letters);
        unsigned others = lowestBit(~((masks.ascii & ~masks.letters) >> run));  // ASCII non-letters behind it
        if (others == 0) return position;
        if (run > 0) {
            takeAsciiRun(harvester, bytes + position, run, masks);
            if (listIsFull(harvester)) return position + run + 1;
        }
        // Non-letters only end runs; some set the sentence start.
        unsigned end = run + others;
        if ((masks.sentenceEnds & ((1u << end) - (1u << run))) != 0) harvester->sentenceStart = true;
        position += end;
    }
    return position;
}

std::size_t harvestBytes(Harvester* harvester, const unsigned char* bytes, std::size_t length) {
    std::size_t position = 0;
    if (harvester->finished) return 0;
    while (position < length) {
        // The rest of a multi-byte character: taken whatever its values.
        if (harvester->sequenceExpected > 0) {
            harvester->sequence[harvester->sequenceLength++] = bytes[position++];
            if (harvester->sequenceLength == harvester->sequenceExpected) completeSequence(harvester);
            continue;
        }
        // Words are stored only when a run ends, so a full list is noticed
        // at the first byte read after the run that filled it.
        if (listIsFull(harvester)) {
            harvester->finished = true;
            return position + 1;
        }
        unsigned char byte = bytes[position];
        unsigned char byteClass = byteClasses.classOf[byte];
        if (byte < 0x80 && harvester->currentLength == 0 && !harvester->tooLong) {
            std::size_t taken = takeAsciiText(harvester, bytes, position, length);
            if (taken != position) {
                position = taken;
                continue;
            }
        }
        if (byteClass & BYTE_LETTER) {
            std::size_t runEnd = position + 1;
            while (runEnd < length && (byteClasses.classOf[bytes[runEnd]] & BYTE_LETTER)) ++runEnd;
            takeLetters(harvester, bytes + position, runEnd - position);
            position = runEnd;
            continue;
        }
        ++position;
        if (byte < 0x80) {
            endRun(harvester);
            if (byteClass & BYTE_SENTENCE_END) harvester->sentenceStart = true;
            continue;
        }
        int expected = sequenceLengthOf(byte);
        if (expected == 0) {
            endRun(harvester);
            continue;
        }
        harvester->sequence[0] = byte;
        harvester->sequenceLength = 1;
        harvester->sequenceExpected = expected;
    }
    return position;
}

void finishHarvest(Harvester* harvester) {
    harvester->sequenceExpected = 0;
    harvester->sequenceLength = 0;
    if (harvester->currentLength > 0 && !harvester->tooLong && !listIsFull(harvester)) {
        addWord(&harvester->words, harvester->currentWord, harvester->currentLength,
                harvester->runSentenceStart);
    }
    harvester->currentLength = 0;
    harvester->tooLong = false;
    harvester->finished = true;
}

// One tokenizer and one read buffer per process: the program runs once.
static Harvester processHarvester;
static unsigned char readBuffer[1 << 16];

int runHarvest(std::FILE* input, std::FILE* output, std::FILE* errors) {
    Harvester* harvester = &processHarvester;
    startHarvest(harvester);
    while (!harvester->finished) {
        std::size_t got = std::fread(readBuffer, 1, sizeof readBuffer, input);
        if (got == 0) break;
        harvestBytes(harvester, readBuffer, got);
    }
    if (!harvester->finished && std::ferror(input)) {
        report(errors, HARVESTER_NAME, "read error");
        return 1;
    }
    finishHarvest(harvester);
    unsigned long count = static_cast<unsigned long>(harvester->words.count);
    if (harvester->words.count < static_cast<std::uint64_t>(VOCABULARY_SIZE)) {
        report(errors, HARVESTER_NAME, "only %lu unique words found; %d required", count, VOCABULARY_SIZE);
        return 1;
    }
    return writeWordList(HARVESTER_NAME, harvester->words.slots, harvester->words.count, output, errors,
                         "%lu unique words found and written.");
}
