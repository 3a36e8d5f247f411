// The decoder's vocabulary: the file loaded and checked once, then every word
// found by its key in constant time, as written or with its first letter
// folded to lowercase.
#pragma once

#include <cstdint>
#include <cstdio>

#include "codecConstants.h"
#include "foldedTable.h"
#include "wordLookup.h"

constexpr const char* DECODER_NAME = "zarnoGlotDecode";

constexpr int DICTIONARY_PIECE_BYTES = 9;  // a line is read in pieces of at most this

// A word's key with every capital lowercased, and the word.
struct LoweredWord {
    std::uint64_t key;
    std::uint16_t index;
    bool shared;  // another word lowercases to the same key
};

// The vocabulary as 4608 slots of 8 bytes in file order, and two indexes
// that find a word in constant time: one of the words as written, and one
// that also holds every form with a capital first letter that the folding
// rule reads as a word, so that text is decoded with one lookup per word.
// Beside them, for the tolerant reading only, the words lowercased and
// sorted by key.
struct Dictionary {
    unsigned char slots[VOCABULARY_SIZE][WORD_SLOT_BYTES];
    WordLookup lookup;
    FoldedTable folded;
    LoweredWord lowered[VOCABULARY_SIZE];
};

// Loads and checks the vocabulary file; writes one line on errors and
// returns false when it is refused.
bool loadDictionary(const char* fileName, Dictionary* dictionary, std::FILE* errors);

// The index of the slot that holds exactly this zero-terminated word, or -1.
int findWord(const Dictionary& dictionary, const char* word);

// The word's index, trying it as written first and then with a capital
// first letter lowercased (when that keeps its UTF-8 length), or -1.
int findWordFolded(const Dictionary& dictionary, const char* word);

// The word that the bytes, with every capital lowercased, are when just one
// word of the vocabulary lowercases so ("BAX" and "bAx" are "bax" when
// neither "Bax" nor another form of it is a word too), or -1.
int findWordLowered(const Dictionary& dictionary, const unsigned char* bytes, int length);

// The lookup of a word by its key (its length 1..MAX_WORD_BYTES): as
// written, then with its first letter lowercased, as the decoder reads
// every word. -1 when neither is a word.
int findKeyFolded(const Dictionary& dictionary, std::uint64_t key, int length);
