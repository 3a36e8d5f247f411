// zarnoGlotHarvest: collects the distinct words of a UTF-8 text, in order of
// first appearance, into a word list of at most WORD_LIST_CAPACITY words.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "wordList.h"

constexpr const char* HARVESTER_NAME = "zarnoGlotHarvest";

// Tokenizer state across the bytes of one input.
struct Harvester {
    WordList words;
    unsigned char currentWord[WORD_SLOT_BYTES];  // room for the terminating zero
    int currentLength;
    bool tooLong;           // the current run of letters has passed MAX_WORD_BYTES and is skipped
    bool sentenceStart;     // a sentence has ended and no letter has come since
    bool runSentenceStart;  // the flag as it was at the first letter of the current run
    unsigned char sequence[4];  // a multi-byte character being read
    int sequenceLength;         // its bytes read so far
    int sequenceExpected;       // 0 when no character is being read
    bool finished;              // reading has stopped: input ended or the list is full
};

void startHarvest(Harvester* harvester);

// Feeds the next input bytes through the tokenizer. Returns how many bytes
// were consumed: all of them, or fewer when the list became full, in which
// case the last consumed byte is the one read (and discarded) after the run
// that filled the list, and `finished` is set.
std::size_t harvestBytes(Harvester* harvester, const unsigned char* bytes, std::size_t length);

// End of input: drops a partial character and offers the pending word.
void finishHarvest(Harvester* harvester);

// Applies the word rules to a run of `length` bytes in `word` (room for one
// more byte) and appends it when it passes. `sentenceStartMark` lowercases
// the first letter. Returns whether the word was appended.
bool addWord(WordList* list, unsigned char* word, int length, bool sentenceStartMark);

// The whole program after the argument check: reads `input` to its end (or
// until the list is full), writes the word list on `output` and one summary
// or error line on `errors`. Returns the exit status, 0 or 1.
int runHarvest(std::FILE* input, std::FILE* output, std::FILE* errors);
