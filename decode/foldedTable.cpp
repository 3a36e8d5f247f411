#include "foldedTable.h"

#include <cstring>

constexpr int GROUPS = 1 << FOLDED_GROUP_BITS;
// Two keys of one group that share their first place can never be placed;
// another multiplier parts them.
constexpr int MULTIPLIER_TRIES = 64;

static std::uint32_t groupOf(const FoldedTable& table, std::uint64_t key) {
    return static_cast<std::uint32_t>((key * table.multiplier) >> (64 - FOLDED_GROUP_BITS));
}

static void clearFoldedTable(FoldedTable* table) {
    for (FoldedEntry& entry : table->entries) entry = {0, FOLDED_NO_WORD, 0};
    std::memset(table->shifts, 0, sizeof table->shifts);
}

// The keys of each group, one after another, the largest groups first.
struct Grouping {
    int keyOrder[FOLDED_MOST_KEYS];  // positions in the key list
    int groupStart[GROUPS + 1];
    int groupOrder[GROUPS];
};

static void groupKeys(const FoldedTable& table, const std::uint64_t* keys, int count, Grouping* grouping) {
    static int sizes[GROUPS];
    std::memset(sizes, 0, sizeof sizes);
    for (int i = 0; i < count; ++i) ++sizes[groupOf(table, keys[i])];
    grouping->groupStart[0] = 0;
    for (int g = 0; g < GROUPS; ++g) grouping->groupStart[g + 1] = grouping->groupStart[g] + sizes[g];
    static int filled[GROUPS];
    std::memcpy(filled, grouping->groupStart, sizeof filled);
    for (int i = 0; i < count; ++i) grouping->keyOrder[filled[groupOf(table, keys[i])]++] = i;
    int largest = 0;
    for (int size : sizes) largest = size > largest ? size : largest;
    int placed = 0;
    for (int size = largest; size > 0; --size) {
        for (int g = 0; g < GROUPS; ++g) {
            if (sizes[g] == size) grouping->groupOrder[placed++] = g;
        }
    }
    while (placed < GROUPS) grouping->groupOrder[placed++] = -1;
}

// Tries every shift for the group's keys until each finds an empty place.
// The largest groups go first, while the table is emptiest.
static bool placeGroup(FoldedTable* table, const Grouping& grouping, int group, const std::uint64_t* keys,
                       const std::uint16_t* indices) {
    int from = grouping.groupStart[group], to = grouping.groupStart[group + 1];
    for (std::uint32_t shift = 0; shift < FOLDED_PLACES; ++shift) {
        table->shifts[group] = static_cast<std::uint16_t>(shift);
        int k = from;
        while (k < to && table->entries[foldedPlace(*table, keys[grouping.keyOrder[k]])].key == 0) {
            int key = grouping.keyOrder[k];
            table->entries[foldedPlace(*table, keys[key])] = {keys[key], indices[key], 0};
            ++k;
        }
        if (k == to) return true;
        while (k > from) table->entries[foldedPlace(*table, keys[grouping.keyOrder[--k]])] = {0, FOLDED_NO_WORD, 0};
    }
    return false;
}

static bool placeAllKeys(FoldedTable* table, const std::uint64_t* keys, const std::uint16_t* indices, int count) {
    static Grouping grouping;
    clearFoldedTable(table);
    groupKeys(*table, keys, count, &grouping);
    for (int group : grouping.groupOrder) {
        if (group < 0) break;
        if (!placeGroup(table, grouping, group, keys, indices)) return false;
    }
    return true;
}

void buildFoldedTable(FoldedTable* table, const std::uint64_t* keys, const std::uint16_t* indices, int count) {
    std::uint64_t seed = 0x9E3779B97F4A7C15ULL;
    for (int attempt = 0; attempt < MULTIPLIER_TRIES && count <= FOLDED_MOST_KEYS; ++attempt) {
        // The steps of a splitmix64 generator: well-mixed odd multipliers.
        seed += 0x9E3779B97F4A7C15ULL;
        std::uint64_t z = seed;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        table->multiplier = (z ^ (z >> 31)) | 1;
        if (placeAllKeys(table, keys, indices, count)) return;
    }
    clearFoldedTable(table);
}
