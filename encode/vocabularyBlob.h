// The encoder's vocabulary: the file loaded once into one block, checked so
// that every word reads back through the decoder, and indexed, with what
// writing a word needs decided at load.
#pragma once

#include <cstdint>
#include <cstdio>

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

// Loads and checks the vocabulary file; writes one line on errors and
// returns false when it is refused. Besides the format, it
// refuses words that the decoder could never read back: longer than
// MAX_WORD_BYTES, holding a byte that is not a word byte, with a line end
// that the decoder's rule leaves part of (as in "ab\r\r\n"), or standing
// twice; words that are not well-formed UTF-8, since a text made of them
// would not be text; and a file that begins with a byte-order mark. Its messages begin with programName: the packer reads the same
// vocabularies and refuses them in the same words.
bool loadVocabulary(const char* fileName, VocabularyBlob* vocabulary, std::FILE* errors,
                    const char* programName = ENCODER_NAME);
// Frees the blob after overwriting it: the vocabulary is a key.
void freeVocabulary(VocabularyBlob* vocabulary);

// The vocabulary as the bytes a sealed text's key is derived from: the 4608
// words in file order, each without its line end and followed by one "\n",
// so that LF and CR LF copies of a file give the same bytes. Writes exactly
// vocabulary.blobSize bytes (a word and its terminator take as many bytes
// as a word and its "\n").
void canonicalVocabulary(const VocabularyBlob& vocabulary, unsigned char* bytes);

const char* vocabularyWord(const VocabularyBlob& vocabulary, WordIndex index);
bool isVocabularyWord(const VocabularyBlob& vocabulary, const char* text);
