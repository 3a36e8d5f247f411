#include "wordPacking.h"

IndexClass classifyIndex(int index) {
    if (index < 0 || index >= VOCABULARY_SIZE) return INDEX_OUT_OF_RANGE;
    if (index < PAIR_VALUE_COUNT) return INDEX_PAIR_VALUE;
    if (index < SECOND_LEFTOVER_BASE) return INDEX_FIRST_LEFTOVER;
    return INDEX_SECOND_LEFTOVER;
}

std::size_t packBytes(const unsigned char* bytes, std::size_t count, WordIndex* indices) {
    std::size_t written = 0;
    std::size_t position = 0;
    for (; position + 3 <= count; position += 3) {
        packGroup(bytes + position, &indices[written], &indices[written + 1]);
        written += 2;
    }
    if (position < count) indices[written++] = firstLeftoverIndex(bytes[position++]);
    if (position < count) indices[written++] = secondLeftoverIndex(bytes[position]);
    return written;
}

long long unpackIndices(const WordIndex* indices, std::size_t count, unsigned char* bytes) {
    long long written = 0;
    std::size_t position = 0;
    while (position < count && classifyIndex(indices[position]) == INDEX_PAIR_VALUE) {
        if (position + 1 >= count || classifyIndex(indices[position + 1]) != INDEX_PAIR_VALUE) {
            return -1;
        }
        unpackPair(indices[position], indices[position + 1], bytes + written);
        written += 3;
        position += 2;
    }
    if (position < count && classifyIndex(indices[position]) == INDEX_FIRST_LEFTOVER) {
        bytes[written++] = static_cast<unsigned char>(indices[position++] - FIRST_LEFTOVER_BASE);
        if (position < count && classifyIndex(indices[position]) == INDEX_SECOND_LEFTOVER) {
            bytes[written++] = static_cast<unsigned char>(indices[position++] - SECOND_LEFTOVER_BASE);
        }
    }
    return position == count ? written : -1;
}
