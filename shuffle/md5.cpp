#include "md5.h"

#include <cstring>

// Per-step shift amounts, four rounds of sixteen steps.
static const std::uint32_t SHIFTS[64] = {
    7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22,
    5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20,
    4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23,
    6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21,
};

// floor(abs(sin(i + 1)) * 2^32)
static const std::uint32_t SINE_TABLE[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391,
};

static std::uint32_t rotateLeft(std::uint32_t value, std::uint32_t count) {
    return (value << count) | (value >> (32 - count));
}

static std::uint32_t readLittleEndian(const unsigned char* bytes) {
    return static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
           (static_cast<std::uint32_t>(bytes[2]) << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24);
}

static void writeLittleEndian(std::uint32_t value, unsigned char* bytes) {
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<unsigned char>(value >> (8 * i));
}

static void processBlock(std::uint32_t state[4], const unsigned char block[64]) {
    std::uint32_t words[16];
    for (int i = 0; i < 16; ++i) words[i] = readLittleEndian(block + 4 * i);
    std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    for (int step = 0; step < 64; ++step) {
        std::uint32_t mixed = 0;
        int wordIndex = 0;
        switch (step / 16) {
        case 0:  // F
            mixed = (b & c) | (~b & d);
            wordIndex = step;
            break;
        case 1:  // G
            mixed = (b & d) | (c & ~d);
            wordIndex = (5 * step + 1) % 16;
            break;
        case 2:  // H
            mixed = b ^ c ^ d;
            wordIndex = (3 * step + 5) % 16;
            break;
        default:  // I
            mixed = c ^ (b | ~d);
            wordIndex = (7 * step) % 16;
            break;
        }
        std::uint32_t rotated = rotateLeft(a + mixed + SINE_TABLE[step] + words[wordIndex], SHIFTS[step]);
        a = d;
        d = c;
        c = b;
        b = b + rotated;
    }
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
}

void md5Digest(const unsigned char* bytes, std::uint64_t length, unsigned char digest[MD5_DIGEST_BYTES]) {
    std::uint32_t state[4] = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476};
    std::uint64_t offset = 0;
    for (; length - offset >= 64; offset += 64) processBlock(state, bytes + offset);

    // The tail, a 0x80 byte, zero bytes and the length in bits: one or two blocks.
    unsigned char tail[128] = {};
    std::size_t tailLength = static_cast<std::size_t>(length - offset);
    if (tailLength > 0) std::memcpy(tail, bytes + offset, tailLength);
    tail[tailLength] = 0x80;
    std::size_t tailBlocks = tailLength >= 56 ? 2 : 1;
    std::uint64_t bitLength = length * 8;
    for (int i = 0; i < 8; ++i) tail[tailBlocks * 64 - 8 + i] = static_cast<unsigned char>(bitLength >> (8 * i));
    for (std::size_t block = 0; block < tailBlocks; ++block) processBlock(state, tail + 64 * block);

    for (int i = 0; i < 4; ++i) writeLittleEndian(state[i], digest + 4 * i);
}
