// zarnoGlotShuffle: turns a word list and a passphrase into a vocabulary of
// VOCABULARY_SIZE words. The same set of words and the same passphrase always
// give the same vocabulary, whatever the order of the lines in the list.
#pragma once

#include <cstdint>
#include <cstdio>

#include "wordList.h"
#include "xorshift128.h"

constexpr const char* SHUFFLER_NAME = "zarnoGlotShuffle";

constexpr unsigned long MD5_SELF_TEST_COUNT = 6;

// Reads a word list from `input` to its end into `list`. On a bad line, a
// read error or too few words writes one message on `errors` and fails.
bool readWordList(std::FILE* input, WordList* list, std::FILE* errors);

// Ascending unsigned byte order of the words.
void sortWords(WordSlot* slots, std::uint64_t count);

// Fisher-Yates from the end over all `count` slots.
void shuffleWords(WordSlot* slots, std::uint64_t count, GeneratorState* state);

// Checks md5Digest against the RFC 1321 test suite: the success line goes to
// `output`, a mismatch report (or a failure to write the success line) to
// `errors`.
bool runMd5SelfTest(std::FILE* output, std::FILE* errors);

// The whole program for a passphrase: reads the list, writes the vocabulary.
// Returns the exit status, 0 or 1.
int runShuffle(const char* passphrase, std::FILE* input, std::FILE* output, std::FILE* errors);
