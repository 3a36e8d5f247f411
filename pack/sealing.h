// Sealed texts: a packed zlib stream padded and encrypted with a key made
// from the vocabulary, so that only a holder of the vocabulary reads or
// alters it. The layout, written out in docs/sealed-format.md:
//   salt (16 bytes) | check (2 bytes) | ciphertext | tag (16 bytes)
// K = Argon2id(the version's label, a zero byte and the canonical
// vocabulary; salt; the version's costs, 34 bytes: formatVersions.h); the
// key is K's first 32 bytes, the check its last 2; AES-256-GCM with a zero
// nonce (every key seals once) over the padded stream, with salt and check
// as associated data.
#pragma once

#include <cstddef>

#include "packedStream.h"
#include "sealedShape.h"

// A text read back that does not begin like a zlib stream is sealed.
bool isSealedText(const unsigned char* data, std::size_t length);

// Seals a zlib stream with the canonical vocabulary and the given salt.
// The packer draws the salt; tests and test vectors give their own.
PackStatus sealWithSalt(const unsigned char* canonical, std::size_t canonicalLength,
                        const unsigned char salt[SALT_BYTES], const unsigned char* stream,
                        std::size_t streamLength, ByteBlock* sealed);

// Seals a zlib stream with a fresh salt from the system's random source,
// drawn again while its first byte is ZLIB_FIRST_BYTE.
PackStatus sealPacked(const unsigned char* canonical, std::size_t canonicalLength, const unsigned char* stream,
                      std::size_t streamLength, ByteBlock* sealed);

// The step after the tag has verified: the payload must be exactly one zlib
// stream and its zero padding to paddedLength, and unpack within the bound.
PackStatus unpackSealedPayload(const unsigned char* payload, std::size_t length, ByteBlock* plain);

// Opens a sealed text and unpacks the stream inside into plain: the first
// of SEALED_VERSIONS whose check matches is the text's. Refuses
// (PACK_WRONG_VOCABULARY when no version's check matches, PACK_ALTERED)
// before anything is unpacked when the check or the tag does not match,
// and refuses a payload that is not exactly one zlib stream followed by its
// zero padding.
PackStatus openSealed(const unsigned char* canonical, std::size_t canonicalLength, const unsigned char* data,
                      std::size_t length, ByteBlock* plain);
