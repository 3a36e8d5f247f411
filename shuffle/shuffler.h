// zarnoGlotShuffle's steps that need no cryptographic library (the page
// links them too): the word list read and sorted, the bytes the seeding's
// salt is made from, and the list shuffled with 16 seed bytes into a
// vocabulary of VOCABULARY_SIZE words. The same set of words and the same
// seed always give the same vocabulary, whatever the order of the lines.
#pragma once

#include <cstddef>
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

// The bytes whose SHA-256 is the current seeding's salt: every word of the
// sorted list followed by one 0x0A byte. Writes them into bytes, which has
// room for list->count * WORD_SLOT_BYTES, and returns their number.
std::size_t seedingSaltInput(const WordList* list, unsigned char* bytes);

// The seed of the legacy seeding (zarnoGlotShuffle -m): MD5 of the
// passphrase's bytes.
void legacySeed(const unsigned char* passphrase, std::size_t length, unsigned char seed[SEED_BYTES]);

// Shuffles the sorted list with the seed and writes its first
// VOCABULARY_SIZE words to output, one a line, then the summary on errors.
// The generator's state is wiped. Returns the exit status, 0 or 1.
int writeShuffledVocabulary(WordList* list, const unsigned char seed[SEED_BYTES], std::FILE* output,
                            std::FILE* errors);

// Checks md5Digest against the RFC 1321 test suite: the success line goes to
// `output`, a mismatch report (or a failure to write the success line) to
// `errors`.
bool runMd5SelfTest(std::FILE* output, std::FILE* errors);
