// The key derivations of the packer and the shuffler, through libgcrypt:
// Argon2id as a row of formatVersions.h says, and SHA-256. Not part of the
// page, which derives with the browser's cryptography and hash-wasm.
#pragma once

#include <cstddef>

#include "formatVersions.h"

// libgcrypt wants to be told once that the program is ready. False when the
// library is older than the headers it was built with.
bool startCrypto();

// Argon2id of the version's label, one 0x00 byte and the secret, with the
// salt, into version.outputBytes bytes of output. The password put together
// here is wiped before it returns. False when libgcrypt fails or memory
// runs out; output then holds nothing of use.
bool deriveArgon2id(const FormatVersion& version, const unsigned char* secret, std::size_t secretLength,
                    const unsigned char* salt, std::size_t saltLength, unsigned char* output);

// SHA-256 of the bytes.
bool sha256Digest(const unsigned char* bytes, std::size_t length, unsigned char digest[SHA256_BYTES]);
