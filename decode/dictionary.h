// The decoder's vocabulary: the file loaded and checked once, then every word
// found by its key in constant time, as written or with its first letter
// folded to lowercase.
#pragma once

#include <cstddef>
#include <cstdint>

#include "codecConstants.h"
#include "letterCase.h"
#include "wordLookup.h"

constexpr const char* DECODER_NAME = "zarnoGlotDecode";

constexpr int DICTIONARY_PIECE_BYTES = 9;  // a line is read in pieces of at most this

// The vocabulary as 4608 slots of 8 bytes in file order, and two indexes
// that find a word in constant time: one of the words as written, and one
// that also holds every form with a capital first letter that the folding
// rule reads as a word, so that text is decoded with one lookup per word.
struct Dictionary {
    unsigned char slots[VOCABULARY_SIZE][WORD_SLOT_BYTES];
    WordLookup lookup;
    WordLookup folded;
};

// Loads and checks the vocabulary file; prints a message on standard error
// and returns false when it is refused.
bool loadDictionary(const char* fileName, Dictionary* dictionary);

// The index of the slot that holds exactly this zero-terminated word, or -1.
int findWord(const Dictionary& dictionary, const char* word);

// The word's index, trying it as written first and then with a capital
// first letter lowercased (when that keeps its UTF-8 length), or -1.
int findWordFolded(const Dictionary& dictionary, const char* word);

// The lookup of a word by its key: as written, then with its first letter
// lowercased. An ASCII capital is lowercased in place; other first
// characters go through the UTF-8 case rules. In line: the decoder's word
// step runs it for every word it reads byte by byte.
static inline int findKeyFolded(const Dictionary& dictionary, std::uint64_t key, int length) {
    int index = lookupWord(dictionary.lookup, key);
    if (index >= 0) return index;
    unsigned char first = static_cast<unsigned char>(key);
    if (first >= 'A' && first <= 'Z') return lookupWord(dictionary.lookup, key | 0x20);
    if (first < 0x80) return -1;
    unsigned char folded[WORD_SLOT_BYTES];
    keyToSlot(key, folded);
    if (!lowercaseFirstLetter(folded, static_cast<std::size_t>(length), UTF8_UP_TO_3_BYTES)) return -1;
    return lookupWord(dictionary.lookup, slotKey(folded));
}
