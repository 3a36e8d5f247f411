// Marsaglia's xorshift128 generator, seeded with 16 bytes.
#pragma once

#include <cstdint>

constexpr int SEED_BYTES = 16;

struct GeneratorState {
    std::uint32_t x, y, z, w;
};

// x, y, z, w are the seed's four little-endian 32-bit words, in order. An
// all-zero seed would give only zeros: x is then 1 (y, z and w stay zero).
void seedGenerator(const unsigned char seed[SEED_BYTES], GeneratorState* state);

std::uint32_t nextRandom(GeneratorState* state);
