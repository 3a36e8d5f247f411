#include "xorshift128.h"

void seedGenerator(const unsigned char seed[SEED_BYTES], GeneratorState* state) {
    std::uint32_t words[4];
    for (int i = 0; i < 4; ++i) {
        const unsigned char* bytes = seed + 4 * i;
        words[i] = static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
                   (static_cast<std::uint32_t>(bytes[2]) << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24);
    }
    state->x = words[0];
    state->y = words[1];
    state->z = words[2];
    state->w = words[3];
    if (state->x == 0 && state->y == 0 && state->z == 0 && state->w == 0) state->x = 1;
}

std::uint32_t nextRandom(GeneratorState* state) {
    std::uint32_t t = state->x ^ (state->x << 11);
    state->x = state->y;
    state->y = state->z;
    state->z = state->w;
    state->w = state->w ^ (state->w >> 19) ^ t ^ (t >> 8);
    return state->w;
}
