#include "encoder.h"

#include <cstring>
#include <random>

#include "consoleProgram.h"
#include "wordPacking.h"

constexpr std::size_t INPUT_BUFFER_BYTES = 64 * 1024;

// ---------------------------------------------------------------- shaping

// The standard library's minimal standard generator: unlike rand(), it
// takes no lock, and its draws are the same on every platform.
static std::minstd_rand randomGenerator;

void seedRandom(std::uint32_t seed) {
    randomGenerator.seed(seed);
}

int randomInRange(int low, int high) {
    int r = static_cast<int>(randomGenerator() - std::minstd_rand::min());
    int range = high - low + 1;
    // A power-of-two range (both of the shaper's are) takes the low bits of
    // r: the same number as the remainder, without a division.
    if ((range & (range - 1)) == 0) return low + (r & (range - 1));
    return low + r % range;
}

// The shaper's draw; the program's own generator is called directly, so
// that the compiler can put it in line.
static inline int drawInRange(const SentenceShaper* shaper, int low, int high) {
    return shaper->draw == randomInRange ? randomInRange(low, high) : shaper->draw(low, high);
}

void resetShaper(SentenceShaper* shaper, RandomInRange draw) {
    shaper->draw = draw;
    shaper->wordsInSentence = 0;
    shaper->sentenceLength = draw(SHORTEST_SENTENCE, LONGEST_SENTENCE);
    shaper->sentencesInParagraph = 0;
    shaper->paragraphLength = draw(SHORTEST_PARAGRAPH, LONGEST_PARAGRAPH);
}

// Words are written as their whole 8-byte slot (keyToSlot); the bytes
// beyond the word are scratch that the next write overwrites.

// The word's slot, with an upper-case first letter when it opens a sentence
// and that is allowed ('a'..'z' minus 0x20 borrows from no other byte).
static inline std::uint64_t wordSlot(const VocabularyBlob& vocabulary, WordIndex index,
                                     bool opensSentence) {
    std::uint64_t slot = vocabulary.wordSlots[index];
    if (opensSentence && vocabulary.mayCapitalise[index]) slot -= 0x20;
    return slot;
}

bool writeSentenceStartWord(const VocabularyBlob& vocabulary, WordIndex index, OutputBuffer* output) {
    unsigned char* place = reserveOutput(output, WORD_SLOT_BYTES);
    if (place == nullptr) return false;
    keyToSlot(wordSlot(vocabulary, index, true), place);
    output->used += vocabulary.wordLengths[index];
    return true;
}

// Ends the sentence behind its last word, at place, and returns the bytes
// written: "." and then " ", or "\n\n" when the paragraph ends too.
static int endSentence(SentenceShaper* shaper, unsigned char* place) {
    int length = 0;
    place[length++] = '.';
    shaper->wordsInSentence = 0;
    ++shaper->sentencesInParagraph;
    if (shaper->sentencesInParagraph >= shaper->paragraphLength) {
        place[length++] = '\n';
        place[length++] = '\n';
        shaper->sentencesInParagraph = 0;
        shaper->paragraphLength = drawInRange(shaper, SHORTEST_PARAGRAPH, LONGEST_PARAGRAPH);
    } else {
        place[length++] = ' ';
    }
    shaper->sentenceLength = drawInRange(shaper, SHORTEST_SENTENCE, LONGEST_SENTENCE);
    return length;
}

static inline bool emitWordInline(const VocabularyBlob& vocabulary, WordIndex index,
                                  SentenceShaper* shaper, OutputBuffer* output) {
    if (index >= VOCABULARY_SIZE) return false;
    // The word's slot and ".\n\n" behind the word, reserved at once: after
    // this nothing can fail, so a failure leaves the shaper as it was.
    unsigned char* place = reserveOutput(output, WORD_SLOT_BYTES + 3);
    if (place == nullptr) return false;
    std::uint64_t slot = wordSlot(vocabulary, index, shaper->wordsInSentence == 0);
    int length = vocabulary.wordLengths[index];
    ++shaper->wordsInSentence;
    if (shaper->wordsInSentence < shaper->sentenceLength) {
        // A word of at most 7 bytes and its space fill one slot.
        keyToSlot(slot | (static_cast<std::uint64_t>(' ') << (8 * length)), place);
        output->used += static_cast<std::size_t>(length) + 1;
        return true;
    }
    keyToSlot(slot, place);
    length += endSentence(shaper, place + length);
    output->used += static_cast<std::size_t>(length);
    return true;
}

bool emitWord(const VocabularyBlob& vocabulary, WordIndex index, SentenceShaper* shaper,
             OutputBuffer* output) {
    return emitWordInline(vocabulary, index, shaper, output);
}

bool finishText(const SentenceShaper& shaper, OutputBuffer* output) {
    if (shaper.wordsInSentence == 0) return true;
    return putBytes(output, ".\n", 2);
}

// ---------------------------------------------------------------- streaming

// What follows a word, little-endian, by the word's end mark: " " (0),
// ". " at a sentence end (1), ".\n\n" at a paragraph end (2); the mark plus
// one is its length.
static const std::uint32_t WORD_ENDS[3] = {0x20, 0x202E, 0x0A0A2E};

constexpr int PLANNED_WORDS = 1024;  // words whose sentence ends are planned at once

// Marks what follows each of the next `count` words (0, 1 or 2 as in
// WORD_ENDS) and moves the shaper past them, drawing as emitWord does: a
// step per sentence instead of a test per word.
static void planSentenceEnds(SentenceShaper* shaper, int count, unsigned char* ends) {
    std::memset(ends, 0, static_cast<std::size_t>(count));
    int position = 0;
    for (;;) {
        int left = shaper->sentenceLength - shaper->wordsInSentence;  // words the sentence still gets, 1 or more
        if (position + left > count) {
            shaper->wordsInSentence += count - position;
            return;
        }
        position += left;
        ends[position - 1] = 1;
        shaper->wordsInSentence = 0;
        ++shaper->sentencesInParagraph;
        if (shaper->sentencesInParagraph >= shaper->paragraphLength) {
            ends[position - 1] = 2;
            shaper->sentencesInParagraph = 0;
            shaper->paragraphLength = drawInRange(shaper, SHORTEST_PARAGRAPH, LONGEST_PARAGRAPH);
        }
        shaper->sentenceLength = drawInRange(shaper, SHORTEST_SENTENCE, LONGEST_SENTENCE);
    }
}

// One word, capitalised when it opens a sentence and that is allowed, and
// what its end mark says follows it, at place, without a branch. Returns
// the bytes written; up to 3 bytes of scratch follow them.
static inline int placePlannedWord(const VocabularyBlob& vocabulary, WordIndex index, unsigned opensSentence,
                                   unsigned end, unsigned char* place) {
    std::uint64_t capitalised = opensSentence & vocabulary.mayCapitalise[index];
    int length = vocabulary.wordLengths[index];
    keyToSlot(vocabulary.wordSlots[index] - capitalised * 0x20, place);
    std::uint32_t follows = WORD_ENDS[end];
    std::memcpy(place + length, &follows, sizeof follows);
    return length + 1 + static_cast<int>(end);
}

bool emitGroups(const VocabularyBlob& vocabulary, const unsigned char* bytes, std::size_t count,
                SentenceShaper* shaper, OutputBuffer* output) {
    // Room for two words, each with its slot and ".\n\n" (or the 4-byte
    // store of what follows it).
    constexpr std::size_t GROUP_ROOM = 2 * (WORD_SLOT_BYTES + 3);
    unsigned char ends[PLANNED_WORDS];
    for (std::size_t start = 0; start + 3 <= count; start += 3 * (PLANNED_WORDS / 2)) {
        std::size_t groups = (count - start) / 3;
        if (groups > PLANNED_WORDS / 2) groups = PLANNED_WORDS / 2;
        // Room for the whole run first: after this nothing can fail, so a
        // failure leaves the shaper as it was.
        unsigned char* place = reserveOutput(output, groups * GROUP_ROOM);
        if (place == nullptr) return false;
        unsigned opensSentence = shaper->wordsInSentence == 0;
        planSentenceEnds(shaper, static_cast<int>(2 * groups), ends);
        unsigned char* at = place;
        for (std::size_t group = 0; group < groups; ++group) {
            WordIndex x = 0;
            WordIndex y = 0;
            packGroup(bytes + start + 3 * group, &x, &y);
            at += placePlannedWord(vocabulary, x, opensSentence, ends[2 * group], at);
            at += placePlannedWord(vocabulary, y, ends[2 * group] != 0, ends[2 * group + 1], at);
            opensSentence = ends[2 * group + 1] != 0;
        }
        output->used += static_cast<std::size_t>(at - place);
    }
    return true;
}

bool emitLeftovers(const VocabularyBlob& vocabulary, const unsigned char* bytes, std::size_t count,
                   SentenceShaper* shaper, OutputBuffer* output) {
    if (count >= 1 && !emitWord(vocabulary, firstLeftoverIndex(bytes[0]), shaper, output)) return false;
    if (count == 2 && !emitWord(vocabulary, secondLeftoverIndex(bytes[1]), shaper, output)) return false;
    return true;
}

EncodeResult encodeStream(const VocabularyBlob& vocabulary, SentenceShaper* shaper, std::FILE* input,
                          OutputBuffer* output, const StreamProgress* progress) {
    static unsigned char buffer[INPUT_BUFFER_BYTES + 2];
    std::size_t carried = 0;  // bytes of an unfinished group, 0..2
    std::uint64_t bytesRead = 0;
    for (;;) {
        std::size_t got = std::fread(buffer + carried, 1, INPUT_BUFFER_BYTES, input);
        std::size_t total = carried + got;
        std::size_t groupsEnd = total - total % 3;
        if (!emitGroups(vocabulary, buffer, groupsEnd, shaper, output)) return ENCODE_WRITE_ERROR;
        carried = total - groupsEnd;
        std::memmove(buffer, buffer + groupsEnd, carried);
        bytesRead += got;
        tellProgress(progress, bytesRead);
        if (got == 0 || std::feof(input) || std::ferror(input)) break;
    }
    if (!emitLeftovers(vocabulary, buffer, carried, shaper, output)) return ENCODE_WRITE_ERROR;
    if (std::ferror(input)) return ENCODE_READ_ERROR;
    if (!finishText(*shaper, output)) return ENCODE_WRITE_ERROR;
    return ENCODE_DONE;
}

int runEncoder(const char* vocabularyFileName, std::FILE* input, std::FILE* outputStream, std::FILE* errors) {
    static VocabularyBlob vocabulary;
    static OutputBuffer output;
    if (!loadVocabulary(vocabularyFileName, &vocabulary, errors)) return 1;
    // Sentence and paragraph lengths tell nothing of the time of writing,
    // nor link two texts: the seed comes from the system's random source.
    std::uint32_t seed = 0;
    if (!systemRandomBytes(&seed, sizeof seed)) {
        report(errors, ENCODER_NAME, "no random numbers from the system");
        freeVocabulary(&vocabulary);
        return 1;
    }
    seedRandom(seed);
    openOutputBuffer(&output, writeBlockToStream, outputStream);
    SentenceShaper shaper;
    resetShaper(&shaper, randomInRange);
    EncodeResult result = encodeStream(vocabulary, &shaper, input, &output);
    if (result == ENCODE_READ_ERROR) {
        // What was encoded before the error is written all the same.
        flushOutput(&output);
        report(errors, ENCODER_NAME, "read error");
        freeVocabulary(&vocabulary);
        return 1;
    }
    if (result == ENCODE_DONE && !flushOutput(&output)) result = ENCODE_WRITE_ERROR;
    freeVocabulary(&vocabulary);
    if (result == ENCODE_WRITE_ERROR) {
        report(errors, ENCODER_NAME, "write error");
        return 1;
    }
    return 0;
}
