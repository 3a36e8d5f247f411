// The shape of what the packer writes, known to the packer and to the
// decoder, which looks for it among the lines of a pasted mail: a sealed
// text (docs/sealed-format.md) or an unsealed zlib stream of an earlier
// version.
#pragma once

#include <cstddef>

constexpr std::size_t SALT_BYTES = 16;
constexpr std::size_t CHECK_BYTES = 2;
constexpr std::size_t TAG_BYTES = 16;
constexpr std::size_t SEALED_OVERHEAD_BYTES = SALT_BYTES + CHECK_BYTES + TAG_BYTES;

// Every zlib stream that any version of the packer wrote begins with this
// byte, and no salt does: so the first byte tells a sealed text from an old
// one.
constexpr unsigned char ZLIB_FIRST_BYTE = 0x78;

// The length a zlib stream of length bytes is padded to with zero bytes
// (Padmé): an observer learns the length only to within about 12%.
std::size_t paddedLength(std::size_t length);

// Whether the bytes could be what the packer wrote: a zlib stream's valid
// two-byte header, or a sealed text whose payload has a padded length.
bool hasPackedShape(const unsigned char* bytes, std::size_t length);
