// Sizes and index classes of a ZarnoGlot vocabulary.
#pragma once

#include <cstdint>

constexpr int VOCABULARY_SIZE = 4608;       // words in a vocabulary, indices 0..4607
constexpr int PAIR_VALUE_COUNT = 4096;      // indices 0..4095 carry one 12-bit value
constexpr int FIRST_LEFTOVER_BASE = 4096;   // 4096..4351: a first leftover byte
constexpr int SECOND_LEFTOVER_BASE = 4352;  // 4352..4607: a second leftover byte
constexpr int MAX_WORD_BYTES = 7;           // longest word, in bytes of UTF-8

// The zero-based line of a word in the vocabulary file, 0..4607.
typedef std::uint16_t WordIndex;

// A word table slot: up to MAX_WORD_BYTES bytes and a terminating zero.
constexpr int WORD_SLOT_BYTES = MAX_WORD_BYTES + 1;
