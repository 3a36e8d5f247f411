// The word list of the harvester and the shuffler: a fixed array of 8-byte
// slots, each a word of at most MAX_WORD_BYTES bytes padded with zero bytes,
// filled in order. Beside it sits an index of the same words by their keys,
// so that the duplicate test of a candidate costs one bucket lookup instead
// of a scan of every stored word; both give the same answers.
#pragma once

#include <cstdint>
#include <cstdio>

#include "codecConstants.h"
#include "wordLookup.h"

constexpr int WORD_LIST_CAPACITY = 10000;

// A word and its terminating zero; the bytes after the terminator are zero
// too, so a whole slot can be compared and hashed as one 64-bit value.
struct WordSlot {
    unsigned char bytes[WORD_SLOT_BYTES];
};

struct WordList {
    WordSlot slots[WORD_LIST_CAPACITY];
    std::uint64_t count;
    WordLookup index;  // every stored word by its key (wordKey), with its slot number
};

void clearWordList(WordList* list);

// True when one of the first `count` slots holds exactly the zero-terminated
// word; a scan from the first slot.
bool containsWord(const WordSlot* slots, std::uint64_t count, const unsigned char* word);

// The same answer as containsWord over the list's filled slots, from the
// index. Valid while the slots are only appended to (sorting or shuffling the
// slots afterwards does not change which words are stored, so it stays valid).
bool wordListContains(const WordList* list, const unsigned char* word);

// Stores a word of 1..MAX_WORD_BYTES bytes (no zero byte among them) in the
// next slot. The caller has checked room and duplicates.
void appendWord(WordList* list, const unsigned char* word, int length);

// Stores the word whose key is given (a word of 1..MAX_WORD_BYTES bytes) in
// the next slot unless it is stored already; returns whether it was stored.
// The caller has checked room.
inline bool appendNewWord(WordList* list, std::uint64_t key) {
    if (addWord(&list->index, key, static_cast<int>(list->count)) >= 0) return false;
    keyToSlot(key, list->slots[list->count].bytes);
    ++list->count;
    return true;
}

// The output of the harvester and the shuffler: writes the first count words
// one to a line and flushes the stream, then reports on errors, as
// "programName: ...", the summary (a format with one %lu, the count) or the
// write error. Returns the exit status, 0 or 1.
int writeWordList(const char* programName, const WordSlot* slots, std::uint64_t count, std::FILE* output,
                  std::FILE* errors, const char* summaryFormat);
