// Packing bytes into word indices and back: three bytes make two 12-bit
// pair values, and one or two bytes left at the end make leftover indices.
#pragma once

#include <cstddef>

#include "codecConstants.h"

enum IndexClass {
    INDEX_PAIR_VALUE,
    INDEX_FIRST_LEFTOVER,
    INDEX_SECOND_LEFTOVER,
    INDEX_OUT_OF_RANGE,
};

IndexClass classifyIndex(int index);

// b0 b1 b2 read as one 24-bit number: x is its upper, y its lower 12 bits.
inline void packGroup(const unsigned char* bytes, WordIndex* x, WordIndex* y) {
    *x = static_cast<WordIndex>((bytes[0] << 4) | (bytes[1] >> 4));
    *y = static_cast<WordIndex>(((bytes[1] & 0x0F) << 8) | bytes[2]);
}

inline void unpackPair(int x, int y, unsigned char* bytes) {
    bytes[0] = static_cast<unsigned char>(x >> 4);
    bytes[1] = static_cast<unsigned char>(((x & 0x0F) << 4) | (y >> 8));
    bytes[2] = static_cast<unsigned char>(y & 0xFF);
}

inline WordIndex firstLeftoverIndex(unsigned char byte) {
    return static_cast<WordIndex>(FIRST_LEFTOVER_BASE + byte);
}

inline WordIndex secondLeftoverIndex(unsigned char byte) {
    return static_cast<WordIndex>(SECOND_LEFTOVER_BASE + byte);
}

// Number of indices that count bytes pack into: 2 per group of three, plus
// one per byte left over.
inline std::size_t packedIndexCount(std::size_t count) {
    return 2 * (count / 3) + count % 3;
}

// Packs the bytes into indices (room for packedIndexCount(count) of them)
// and returns how many were written.
std::size_t packBytes(const unsigned char* bytes, std::size_t count, WordIndex* indices);

// Unpacks a whole index sequence. Returns the number of bytes written
// (room for 2 bytes per index suffices), or -1 when the sequence is not one that
// packBytes can produce.
long long unpackIndices(const WordIndex* indices, std::size_t count, unsigned char* bytes);

// Bytes that words are made of in ZarnoGlot text: 'A'..'Z', 'a'..'z' and
// every byte 0x80..0xFF. Every other byte separates words.
inline bool isWordByte(unsigned char byte) {
    return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || byte >= 0x80;
}
