// Marsaglia's xorshift128 generator, seeded from the MD5 digest of a passphrase.
#pragma once

#include <cstdint>

struct GeneratorState {
    std::uint32_t x, y, z, w;
};

// x, y, z, w are the digest's four little-endian 32-bit words, in order.
void seedGenerator(const char* passphrase, GeneratorState* state);

std::uint32_t nextRandom(GeneratorState* state);
