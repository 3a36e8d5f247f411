#include "xorshift128.h"

#include <cstring>

#include "md5.h"

void seedGenerator(const char* passphrase, GeneratorState* state) {
    unsigned char digest[MD5_DIGEST_BYTES];
    md5Digest(reinterpret_cast<const unsigned char*>(passphrase), std::strlen(passphrase), digest);
    std::uint32_t words[4];
    for (int i = 0; i < 4; ++i) {
        const unsigned char* bytes = digest + 4 * i;
        words[i] = static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
                   (static_cast<std::uint32_t>(bytes[2]) << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24);
    }
    state->x = words[0];
    state->y = words[1];
    state->z = words[2];
    state->w = words[3];
}

std::uint32_t nextRandom(GeneratorState* state) {
    std::uint32_t t = state->x ^ (state->x << 11);
    state->x = state->y;
    state->y = state->z;
    state->z = state->w;
    state->w = state->w ^ (state->w >> 19) ^ t ^ (t >> 8);
    return state->w;
}
