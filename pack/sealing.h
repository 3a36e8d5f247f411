// Sealed texts: a packed zlib stream padded and encrypted with a key made
// from the vocabulary, so that only a holder of the vocabulary reads or
// alters it. The layout and its rules are sealedShape.h's
// (docs/sealed-format.md); here are the derivation through keyDerivation.h
// and AES-256-GCM through libgcrypt.
#pragma once

#include <cstddef>

#include "formatVersions.h"
#include "packedStream.h"
#include "sealedShape.h"

// K of a version for the canonical vocabulary and the salt. False when the
// derivation failed.
bool deriveSealingKey(const FormatVersion& version, const unsigned char* canonical, std::size_t canonicalLength,
                      const unsigned char salt[SALT_BYTES], unsigned char derived[DERIVED_BYTES]);

// Seals a zlib stream with the salt and the K derived from it: the header,
// then AES-256-GCM of the stream padded to its padded length.
PackStatus sealWithKey(const unsigned char derived[DERIVED_BYTES], const unsigned char salt[SALT_BYTES],
                       const unsigned char* stream, std::size_t streamLength, ByteBlock* sealed);

// Seals a zlib stream with the canonical vocabulary and the given salt, in
// the current version (SEALING_VERSION). The packer draws the salt; tests
// and test vectors give their own.
PackStatus sealWithSalt(const unsigned char* canonical, std::size_t canonicalLength,
                        const unsigned char salt[SALT_BYTES], const unsigned char* stream,
                        std::size_t streamLength, ByteBlock* sealed);

// Seals a zlib stream with a fresh salt from the system's random source,
// drawn again while takesSalt refuses it.
PackStatus sealPacked(const unsigned char* canonical, std::size_t canonicalLength, const unsigned char* stream,
                      std::size_t streamLength, ByteBlock* sealed);

// The step after the tag has verified: the payload must be exactly one zlib
// stream and its zero padding to paddedLength, and unpack within the bound.
PackStatus unpackSealedPayload(const unsigned char* payload, std::size_t length, ByteBlock* plain);

// Opens a sealed text of at least SEALED_OVERHEAD_BYTES with a K: refuses
// it (PACK_WRONG_VOCABULARY when K's check is not the text's, PACK_ALTERED
// when the tag does not verify) before anything is unpacked, then unpacks
// its payload (unpackSealedPayload).
PackStatus openWithKey(const unsigned char derived[DERIVED_BYTES], const unsigned char* data, std::size_t length,
                       ByteBlock* plain);

// Opens a sealed text and unpacks the stream inside into plain: the first
// of SEALED_VERSIONS whose check matches is the text's (openWithKey).
// PACK_WRONG_VOCABULARY when no version's check matches, PACK_ALTERED for a
// text shorter than its salt, check and tag.
PackStatus openSealed(const unsigned char* canonical, std::size_t canonicalLength, const unsigned char* data,
                      std::size_t length, ByteBlock* plain);
