#include "harvester.h"

#include <cstring>

#include "codecConstants.h"
#include "letterCase.h"

const char HARVEST_PROGRAM_NAME[] = "zarnoGlotHarvest";
const char HARVEST_VERSION[] = "26.247";

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
    bool ascii = true;
    for (int i = 0; i < length; ++i) ascii = ascii && word[i] < 0x80;
    if (ascii) {
        for (int i = 1; i < length; ++i) {
            if (word[i] >= 'A' && word[i] <= 'Z') return false;
        }
        return true;
    }
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

bool addWord(WordList* list, unsigned char* word, int length, bool sentenceStartMark) {
    if (list->count >= static_cast<std::uint64_t>(WORD_LIST_CAPACITY)) return false;
    if (length < 2 || length > MAX_WORD_BYTES) return false;
    word[length] = 0;
    if (!hasNoInnerCapital(word, length)) return false;
    if (sentenceStartMark) lowercaseFirstLetter(word, static_cast<std::size_t>(length), UTF8_UP_TO_4_BYTES);
    if (wordListContains(list, word)) return false;
    appendWord(list, word, length);
    return true;
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

static void takeLetter(Harvester* harvester, const unsigned char* bytes, int length) {
    if (harvester->currentLength == 0 && !harvester->tooLong) {
        harvester->runSentenceStart = harvester->sentenceStart;
    }
    harvester->sentenceStart = false;
    if (harvester->tooLong) return;
    if (harvester->currentLength + length > MAX_WORD_BYTES) {
        harvester->tooLong = true;
        return;
    }
    std::memcpy(harvester->currentWord + harvester->currentLength, bytes, static_cast<std::size_t>(length));
    harvester->currentLength += length;
}

static void takeCharacter(Harvester* harvester, std::uint32_t codePoint, const unsigned char* bytes,
                          int length) {
    if (isLetter(codePoint)) {
        takeLetter(harvester, bytes, length);
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

static void completeSequence(Harvester* harvester) {
    std::uint32_t codePoint = 0;
    int length = 0;
    int expected = harvester->sequenceExpected;
    harvester->sequenceExpected = 0;
    harvester->sequenceLength = 0;
    if (!decodeUtf8Char(harvester->sequence, static_cast<std::uint64_t>(expected), UTF8_UP_TO_4_BYTES,
                        &codePoint, &length)) {
        endRun(harvester);
        return;
    }
    takeCharacter(harvester, codePoint, harvester->sequence, length);
}

static bool listIsFull(const Harvester* harvester) {
    return harvester->words.count >= static_cast<std::uint64_t>(WORD_LIST_CAPACITY);
}

// ASCII letters and the characters that end a sentence, for the fast path.
struct AsciiClasses {
    bool letter[128];
    bool sentenceEnd[128];
};

static AsciiClasses makeAsciiClasses() {
    AsciiClasses classes = {};
    for (std::uint32_t byte = 0; byte < 128; ++byte) {
        classes.letter[byte] = isLetter(byte);
        classes.sentenceEnd[byte] = endsSentence(byte);
    }
    return classes;
}

static const AsciiClasses asciiClasses = makeAsciiClasses();

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
        unsigned char byte = bytes[position++];
        if (listIsFull(harvester)) {
            harvester->finished = true;
            return position;
        }
        if (byte < 0x80) {
            if (asciiClasses.letter[byte]) {
                takeLetter(harvester, &byte, 1);
            } else {
                endRun(harvester);
                if (asciiClasses.sentenceEnd[byte]) harvester->sentenceStart = true;
            }
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

static bool writeWordList(const WordList* list, std::FILE* output) {
    for (std::uint64_t i = 0; i < list->count; ++i) {
        if (std::fputs(reinterpret_cast<const char*>(list->slots[i].bytes), output) == EOF) return false;
        if (std::fputc('\n', output) == EOF) return false;
    }
    return std::fflush(output) == 0;
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
        std::fprintf(errors, "%s: read error\n", HARVEST_PROGRAM_NAME);
        return 1;
    }
    finishHarvest(harvester);
    unsigned long count = static_cast<unsigned long>(harvester->words.count);
    if (harvester->words.count < static_cast<std::uint64_t>(VOCABULARY_SIZE)) {
        std::fprintf(errors, "%s: only %lu unique words found; %d required\n", HARVEST_PROGRAM_NAME,
                     count, VOCABULARY_SIZE);
        return 1;
    }
    if (!writeWordList(&harvester->words, output)) {
        std::fprintf(errors, "%s: write error\n", HARVEST_PROGRAM_NAME);
        return 1;
    }
    std::fprintf(errors, "%s: %lu unique words found and written.\n", HARVEST_PROGRAM_NAME, count);
    return 0;
}

void printHarvestUsage(std::FILE* errors) {
    std::fprintf(errors, "%s (version: %s) word extractor  utility\n", HARVEST_PROGRAM_NAME, HARVEST_VERSION);
    std::fprintf(errors, "%s < textFilePathName > wordlistPathName\n", HARVEST_PROGRAM_NAME);
    std::fprintf(errors, "Option:\n");
    std::fprintf(errors, "  -h print version, usage and exit.\n");
}
