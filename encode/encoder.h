// The encoder: loads a vocabulary and writes bytes as ZarnoGlot sentences.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "byteOutput.h"
#include "codecConstants.h"
#include "wordLookup.h"

constexpr const char* ENCODER_NAME = "zarnoGlotEncode";

constexpr int VOCABULARY_PIECE_BYTES = 255;  // a line is read in pieces of at most this
constexpr std::uint64_t MAX_BLOB_BYTES = 65535;

// The loaded vocabulary: every word, zero-terminated, in index order in one
// heap block, found by its 16-bit offset; plus what is decided once at load
// so that writing needs no search.
struct VocabularyBlob {
    std::uint16_t offsets[VOCABULARY_SIZE];
    unsigned char* blob;
    std::uint64_t blobSize;
    std::uint8_t wordLengths[VOCABULARY_SIZE];
    // The decoder drops only one "\n" and then one "\r" at a line's end, so
    // it would read the word with a "\r" or "\n" still behind it.
    bool lineEndLeftByDecoder[VOCABULARY_SIZE];
    bool mayCapitalise[VOCABULARY_SIZE];  // the word opens a sentence with 'A'..'Z'
    std::uint64_t wordSlots[VOCABULARY_SIZE];  // each word zero-padded to 8 bytes, as a key
    WordLookup lookup;                    // every word by its 8-byte slot
};

// Loads and checks the vocabulary file; prints a message on standard error
// and returns false when it is refused. Besides the format, it
// refuses words that the decoder could never read back: longer than
// MAX_WORD_BYTES, holding a byte that is not a word byte, with a line end
// that the decoder's rule leaves part of (as in "ab\r\r\n"), or standing
// twice.
bool loadVocabulary(const char* fileName, VocabularyBlob* vocabulary);
void freeVocabulary(VocabularyBlob* vocabulary);

const char* vocabularyWord(const VocabularyBlob& vocabulary, WordIndex index);
bool isVocabularyWord(const VocabularyBlob& vocabulary, const char* text);

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

// Encodes the whole input stream. On a read error the bytes read before it
// are encoded and written, and the unfinished sentence is left open.
EncodeResult encodeStream(const VocabularyBlob& vocabulary, SentenceShaper* shaper,
                          std::FILE* input, OutputBuffer* output);

// The whole program after the argument test: load, encode standard input
// to standard output (both raw bytes), report. Returns the exit status.
int runEncoder(const char* vocabularyFileName);
