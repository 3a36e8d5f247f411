// The decoder's table of every word and every capitalised form the folding
// rule reads, for the block-wise scan: one probe and one compare find a key.
// A key's hash picks its group and its first place; each group has its own
// shift (an XOR on the place) chosen when the table is built so that no two
// keys share a place. Keys are as in wordLookup.h (the word's bytes, first
// byte lowest, then zeros). A key that is not in the table reads as an index
// of at least VOCABULARY_SIZE, which sends its text down the byte-exact path;
// so a table that could not be built costs speed, never a word.
#pragma once

#include <cstdint>

constexpr int FOLDED_GROUP_BITS = 12;
constexpr int FOLDED_PLACE_BITS = 14;  // a place for every key with room to spare
constexpr int FOLDED_PLACES = 1 << FOLDED_PLACE_BITS;
constexpr std::uint32_t FOLDED_NO_WORD = 0xFFFF;
constexpr int FOLDED_MOST_KEYS = FOLDED_PLACES * 3 / 4;  // more would take long to place

struct FoldedEntry {
    std::uint64_t key;    // 0 for an empty place (no key is 0)
    std::uint32_t index;  // FOLDED_NO_WORD for an empty place
    std::uint32_t unused;
};

struct FoldedTable {
    FoldedEntry entries[FOLDED_PLACES];
    std::uint16_t shifts[1 << FOLDED_GROUP_BITS];
    std::uint64_t multiplier;  // odd: spreads the keys over the groups and places
};

inline std::uint32_t foldedPlace(const FoldedTable& table, std::uint64_t key) {
    std::uint64_t hash = key * table.multiplier;
    std::uint32_t group = static_cast<std::uint32_t>(hash >> (64 - FOLDED_GROUP_BITS));
    std::uint32_t first = static_cast<std::uint32_t>(hash >> (64 - FOLDED_GROUP_BITS - FOLDED_PLACE_BITS));
    return (first ^ table.shifts[group]) & (FOLDED_PLACES - 1);
}

// The index of the key, or at least FOLDED_NO_WORD; the key 0 is never found.
inline unsigned findFolded(const FoldedTable& table, std::uint64_t key) {
    const FoldedEntry& entry = table.entries[foldedPlace(table, key)];
    return entry.key == key ? entry.index : FOLDED_NO_WORD;
}

// Fills the table with the keys and their indices. Keys must be distinct and
// not 0.
void buildFoldedTable(FoldedTable* table, const std::uint64_t* keys, const std::uint16_t* indices, int count);
