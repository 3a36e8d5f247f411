// MD5 message digest (RFC 1321) over a whole byte run in one call.
#pragma once

#include <cstdint>

constexpr int MD5_DIGEST_BYTES = 16;

void md5Digest(const unsigned char* bytes, std::uint64_t length, unsigned char digest[MD5_DIGEST_BYTES]);
