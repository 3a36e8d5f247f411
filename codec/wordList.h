// The word list of the harvester and the shuffler: a fixed array of 8-byte
// slots, each a word of at most MAX_WORD_BYTES bytes padded with zero bytes,
// filled in order. Beside it sits an open-addressing hash set of the same
// words, so that the duplicate test of a candidate costs one probe sequence
// instead of a scan of every stored word; both give the same answers.
#pragma once

#include <cstdint>
#include <cstdio>

#include "codecConstants.h"

constexpr int WORD_LIST_CAPACITY = 10000;

// A word and its terminating zero; the bytes after the terminator are zero
// too, so a whole slot can be compared and hashed as one 64-bit value.
struct WordSlot {
    unsigned char bytes[WORD_SLOT_BYTES];
};

// Power of two above 1.5 times the capacity: probe runs stay short.
constexpr int WORD_HASH_SIZE = 16384;  // 2 to the 14th

struct WordList {
    WordSlot slots[WORD_LIST_CAPACITY];
    std::uint64_t count;
    // Each entry is a stored word packed into 64 bits, 0 for a free entry
    // (no stored word is empty, so no stored word packs to 0).
    std::uint64_t hashKeys[WORD_HASH_SIZE];
};

void clearWordList(WordList* list);

// True when one of the first `count` slots holds exactly the zero-terminated
// word; a scan from the first slot.
bool containsWord(const WordSlot* slots, std::uint64_t count, const unsigned char* word);

// The same answer as containsWord over the list's filled slots, from the hash
// set. Valid while the slots are only appended to (sorting or shuffling the
// slots afterwards does not change which words are stored, so it stays valid).
bool wordListContains(const WordList* list, const unsigned char* word);

// A word of 1..MAX_WORD_BYTES bytes as a number, its first byte lowest: the
// hash set's key, never 0 for a word without zero bytes. Inline, like the
// lookup below, because the harvester asks once per word of its input.
inline std::uint64_t wordKey(const unsigned char* word, int length) {
    std::uint64_t key = 0;
    for (int i = length - 1; i >= 0; --i) key = (key << 8) | word[i];
    return key;
}

inline unsigned wordHashPosition(std::uint64_t key) {
    // Fibonacci hashing: the top bits of the product mix every byte of the key.
    return static_cast<unsigned>((key * 0x9E3779B97F4A7C15ULL) >> (64 - 14)) & (WORD_HASH_SIZE - 1);
}

// wordListContains for a word given by its key.
inline bool wordListContainsKey(const WordList* list, std::uint64_t key) {
    for (unsigned position = wordHashPosition(key);; position = (position + 1) & (WORD_HASH_SIZE - 1)) {
        std::uint64_t stored = list->hashKeys[position];
        if (stored == 0) return false;
        if (stored == key) return true;
    }
}

// Stores a word of 1..MAX_WORD_BYTES bytes (no zero byte among them) in the
// next slot. The caller has checked room and duplicates.
void appendWord(WordList* list, const unsigned char* word, int length);

// The output of the harvester and the shuffler: writes the first count words
// one to a line and flushes the stream, then reports on errors, as
// "programName: ...", the summary (a format with one %lu, the count) or the
// write error. Returns the exit status, 0 or 1.
int writeWordList(const char* programName, const WordSlot* slots, std::uint64_t count, std::FILE* output,
                  std::FILE* errors, const char* summaryFormat);
