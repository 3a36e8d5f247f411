// The bytes the packer's tests pack, seal and unpack, and zlib's own packer
// and unpacker as an independent writer and reader of the format.
#pragma once

#include <gtest/gtest.h>
#include <zlib.h>

#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "packedStream.h"

inline std::string randomBytes(size_t count, unsigned seed) {
    std::mt19937 generator(seed);
    std::string bytes(count, '\0');
    for (char& byte : bytes) byte = static_cast<char>(generator() & 0xFF);
    return bytes;
}

inline std::string compressibleBytes(size_t count) {
    std::string bytes;
    while (bytes.size() < count) bytes += "Dear friend,\r\nthe weather is fine. ";
    bytes.resize(count);
    return bytes;
}

// Letters and blanks in random order: ordinary text's share of redundancy.
inline std::string proseLikeBytes(size_t count) {
    std::string bytes = randomBytes(count, 11);
    for (char& byte : bytes) {
        unsigned value = static_cast<unsigned char>(byte) % 32;
        byte = value < 26 ? static_cast<char>('a' + value) : (value < 31 ? ' ' : '\n');
    }
    return bytes;
}

inline std::string allByteValues() {
    std::string bytes;
    for (int value = 0; value < 256; ++value) bytes += static_cast<char>(value);
    return bytes;
}

inline const unsigned char* bytesOf(const std::string& text) {
    return reinterpret_cast<const unsigned char*>(text.data());
}

inline std::string pack(const std::string& plain) {
    ByteBlock packed;
    EXPECT_EQ(packBytes(reinterpret_cast<const unsigned char*>(plain.data()), plain.size(), &packed), PACK_OK);
    std::string bytes(reinterpret_cast<char*>(packed.data), packed.length);
    freeByteBlock(&packed);
    return bytes;
}

inline PackStatus unpack(const std::string& packed, std::string* plain) {
    ByteBlock block;
    PackStatus status = unpackBytes(reinterpret_cast<const unsigned char*>(packed.data()),
                                    packed.size(), &block, nullptr);
    if (status == PACK_OK) plain->assign(reinterpret_cast<char*>(block.data), block.length);
    freeByteBlock(&block);
    return status;
}

// zlib's own packing at the best level, as an independent writer.
inline std::string deflatedWithZlib(const std::string& plain) {
    std::vector<Bytef> packed(compressBound(static_cast<uLong>(plain.size())));
    uLongf length = static_cast<uLongf>(packed.size());
    EXPECT_EQ(compress2(packed.data(), &length, reinterpret_cast<const Bytef*>(plain.data()),
                        static_cast<uLong>(plain.size()), 9), Z_OK);
    return std::string(reinterpret_cast<char*>(packed.data()), length);
}

// zlib's own one-shot decoder, as an independent reader of the format.
inline std::string uncompressWithZlib(const std::string& packed, size_t plainLength) {
    std::vector<Bytef> plain(plainLength + 1);
    uLongf length = static_cast<uLongf>(plain.size());
    int code = uncompress(plain.data(), &length, reinterpret_cast<const Bytef*>(packed.data()),
                          static_cast<uLong>(packed.size()));
    EXPECT_EQ(code, Z_OK);
    return std::string(reinterpret_cast<char*>(plain.data()), length);
}

// zlib's own packing of 1 MiB of zeros: about 1 KB that unpacks a thousandfold.
inline std::string zlibBomb() {
    return deflatedWithZlib(std::string(1 << 20, '\0'));
}

// A row's bytes are made when its case runs, not when the table is: every
// case runs in a process of its own.
struct RoundTripCase {
    const char* name;
    std::string (*make)();
};

inline void PrintTo(const RoundTripCase& row, std::ostream* out) {
    *out << row.name;
}

inline std::vector<RoundTripCase> roundTrips() {
    return {
        {"empty", [] { return std::string(); }},
        {"one byte", [] { return std::string("x"); }},
        {"every byte value with CR LF and 0x1A", [] { return allByteValues() + "\r\n\x1a\r\n"; }},
        {"1 MB random", [] { return randomBytes(1 << 20, 7); }},
        {"1 MB prose-like", [] { return proseLikeBytes(1 << 20); }},
        {"stored: 1 MB of one repeated line", [] { return compressibleBytes(1 << 20); }},
    };
}
