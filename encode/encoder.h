// The encoder: loads a vocabulary and writes bytes as ZarnoGlot sentences.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "byteOutput.h"
#include "codecConstants.h"
#include "streamProgress.h"
#include "vocabularyBlob.h"

// Draws low..high inclusive.
typedef int (*RandomInRange)(int low, int high);

// The standard generator, seeded once per run.
void seedRandom(std::uint32_t seed);
int randomInRange(int low, int high);

struct SentenceShaper {
    std::int32_t wordsInSentence;       // 0..9 between words
    std::int32_t sentenceLength;        // 3..10
    std::int32_t sentencesInParagraph;  // 0..7 between words
    std::int32_t paragraphLength;       // 1..8
    RandomInRange draw;                 // randomInRange in the program
};

constexpr int SHORTEST_SENTENCE = 3;
constexpr int LONGEST_SENTENCE = 10;
constexpr int SHORTEST_PARAGRAPH = 1;
constexpr int LONGEST_PARAGRAPH = 8;

void resetShaper(SentenceShaper* shaper, RandomInRange draw);

// Writes the word, its first letter capitalised where that cannot be taken
// for another word. False on a write failure.
bool writeSentenceStartWord(const VocabularyBlob& vocabulary, WordIndex index, OutputBuffer* output);

// Writes one word and the space, full stop or paragraph end behind it.
// False on a write failure or an index beyond the vocabulary.
bool emitWord(const VocabularyBlob& vocabulary, WordIndex index, SentenceShaper* shaper,
             OutputBuffer* output);

// Closes an unfinished sentence with ".\n". False only when a write failed.
bool finishText(const SentenceShaper& shaper, OutputBuffer* output);

// Writes the two words of every complete group of three bytes (count is a
// multiple of 3): the same text as emitWord word by word with the same
// draws, the sentence ends of up to 1024 words planned at once. False on a
// write failure.
bool emitGroups(const VocabularyBlob& vocabulary, const unsigned char* bytes, std::size_t count,
                SentenceShaper* shaper, OutputBuffer* output);

// Writes the words of the 0, 1 or 2 bytes after the last group.
bool emitLeftovers(const VocabularyBlob& vocabulary, const unsigned char* bytes, std::size_t count,
                   SentenceShaper* shaper, OutputBuffer* output);

enum EncodeResult {
    ENCODE_DONE,
    ENCODE_READ_ERROR,
    ENCODE_WRITE_ERROR,
};

// Encodes the whole input stream, telling progress after every block read.
// On a read error the bytes read before it are encoded and written, and the
// unfinished sentence is left open.
EncodeResult encodeStream(const VocabularyBlob& vocabulary, SentenceShaper* shaper, std::FILE* input,
                          OutputBuffer* output, const StreamProgress* progress = nullptr);

// The whole program after the argument test: load, encode input to output,
// one line on errors when it fails. Returns the exit status.
int runEncoder(const char* vocabularyFileName, std::FILE* input, std::FILE* output, std::FILE* errors);
