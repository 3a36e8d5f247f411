// The sealed format and the shape of what the packer writes, in one place
// for the packer, the decoder (which looks for that shape among the lines
// of a pasted mail) and the page (which seals and opens with the browser's
// cryptography and zlib around these rules): docs/sealed-format.md.
//   salt (16 bytes) | check (2 bytes) | ciphertext | tag (16 bytes)
// K = Argon2id of a version's password (formatVersions.h) with the salt;
// the key is K's first KEY_BYTES, the check its last CHECK_BYTES;
// AES-256-GCM with a zero nonce over the padded stream, with salt and check
// (the header) as associated data.
#pragma once

#include <cstddef>

#include "packStatus.h"

constexpr std::size_t SALT_BYTES = 16;
constexpr std::size_t CHECK_BYTES = 2;
constexpr std::size_t TAG_BYTES = 16;
constexpr std::size_t HEADER_BYTES = SALT_BYTES + CHECK_BYTES;
constexpr std::size_t SEALED_OVERHEAD_BYTES = HEADER_BYTES + TAG_BYTES;
constexpr std::size_t KEY_BYTES = 32;
constexpr std::size_t DERIVED_BYTES = KEY_BYTES + CHECK_BYTES;
// The nonce is all zero bytes: every key seals one text only.
constexpr std::size_t NONCE_BYTES = 12;

// Every zlib stream that any version of the packer wrote begins with this
// byte, and no salt does: so the first byte tells a sealed text from an old
// one.
constexpr unsigned char ZLIB_FIRST_BYTE = 0x78;

// A text read back that does not begin like a zlib stream is sealed.
bool isSealedText(const unsigned char* data, std::size_t length);

// Whether a salt drawn may seal a text: it must not begin like a zlib
// stream (it is drawn again until it does not).
bool takesSalt(const unsigned char salt[SALT_BYTES]);

// What the way back does with a text read back: PACK_OK with *sealed told,
// PACK_NOTHING_TO_READ for no bytes at all (a text that held no words), or
// PACK_ALTERED for a sealed text too short to hold its salt, check and tag.
PackStatus openingStep(const unsigned char* data, std::size_t length, bool* sealed);

// The header of a sealed text: the salt, then K's check.
void writeSealedHeader(const unsigned char salt[SALT_BYTES], const unsigned char derived[DERIVED_BYTES],
                       unsigned char header[HEADER_BYTES]);

// Whether K's check is the one the sealed text holds after its salt.
bool checkMatches(const unsigned char derived[DERIVED_BYTES], const unsigned char* sealed);

// The length a zlib stream of length bytes is padded to with zero bytes
// (Padmé): an observer learns the length only to within about 12%.
std::size_t paddedLength(std::size_t length);

// The opened payload's rule, once the zlib stream at its start has been
// unpacked (its outcome and length): exactly one stream, followed only by
// zero bytes up to exactly its padded length. A stream too large stays so;
// every other fault is PACK_ALTERED.
PackStatus sealedPayloadStatus(PackStatus unpacked, const unsigned char* payload, std::size_t length,
                               std::size_t streamLength);

// An unsealed text's rule: exactly one stream that fills the whole input.
PackStatus wholeStreamStatus(PackStatus unpacked, std::size_t length, std::size_t streamLength);

// Whether the bytes could be what the packer wrote: a zlib stream's valid
// two-byte header, or a sealed text whose payload has a padded length.
bool hasPackedShape(const unsigned char* bytes, std::size_t length);

// Unpacking never gives more than this many times the packed bytes (plus the
// few bytes of a tiny stream): the editor sizes the unpacked output by it,
// and so the packer stores text that would deflate better than that.
constexpr std::size_t MAX_UNPACK_EXPANSION = 7;

// Whether text of plainLength bytes that deflates to deflatedLength is
// stored uncompressed instead.
bool storesUncompressed(std::size_t plainLength, std::size_t deflatedLength);

// The way back refuses a stream that would unpack to more than 8 times its
// own size plus 1 KiB, before it takes the memory: a small hostile stream
// could otherwise unpack to gigabytes.
constexpr std::size_t MAX_UNPACK_RATIO = 8;
constexpr std::size_t UNPACK_ALLOWANCE_BYTES = 1024;
std::size_t maxUnpackedBytes(std::size_t packedLength);
