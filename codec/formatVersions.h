// The versions of the two formats that are derived from a secret: sealed
// texts (key and check from the canonical vocabulary, docs/sealed-format.md)
// and vocabularies (the shuffle's seed from a passphrase,
// docs/vocabulary-format.md). Each version is one row: a new one is a row
// here and its test vectors. The packer, the shuffler and the page's
// WebAssembly exports take every label and cost from these tables, and
// put a password together only through writeDerivationPassword.
#pragma once

#include <cstddef>

enum DerivationFunction {
    DERIVE_ARGON2ID,  // RFC 9106, version 0x13, no secret key, no associated data
    DERIVE_MD5,       // RFC 1321 of the secret alone: no label, no salt, no cost
};

struct FormatVersion {
    const char* name;  // as the documents name the version
    DerivationFunction function;
    // Argon2id's password is the label's bytes, one 0x00 byte, then the
    // secret's bytes.
    const char* label;
    unsigned long passes;
    unsigned long memoryKib;
    unsigned long lanes;
    std::size_t outputBytes;
};

// Sealed texts, in the order in which the reader tries them on a text: the
// first whose check matches is the text's. The packer seals with the first.
inline constexpr FormatVersion SEALED_VERSIONS[] = {
    {"sealed v1", DERIVE_ARGON2ID, "ZarnoGlot sealed v1", 3, 65536, 1, 34},
};
inline constexpr int SEALED_VERSION_COUNT = sizeof SEALED_VERSIONS / sizeof SEALED_VERSIONS[0];
inline constexpr const FormatVersion& SEALING_VERSION = SEALED_VERSIONS[0];

// The shuffle's 16 seed bytes from a passphrase. A vocabulary is made, never
// read back, so nothing tries these rows in turn: zarnoGlotShuffle seeds
// with the current row and, for -m, with the legacy one, which remakes the
// vocabularies of earlier versions. The current row's salt is SHA-256 of
// the sorted word list, every word followed by one 0x0A byte.
inline constexpr FormatVersion VOCABULARY_SEEDINGS[] = {
    {"vocabulary v1", DERIVE_ARGON2ID, "ZarnoGlot vocabulary v1", 3, 65536, 1, 16},
    {"vocabulary MD5 (before v1)", DERIVE_MD5, nullptr, 0, 0, 0, 16},
};
inline constexpr const FormatVersion& VOCABULARY_SEEDING = VOCABULARY_SEEDINGS[0];
inline constexpr const FormatVersion& LEGACY_VOCABULARY_SEEDING = VOCABULARY_SEEDINGS[1];

// The length of SHA-256, the seeding's salt.
inline constexpr std::size_t SHA256_BYTES = 32;

// The length of an Argon2id version's password for a secret of
// secretLength bytes, and the password itself: the label's bytes, one 0x00
// byte, then the secret's bytes. The caller wipes it.
std::size_t derivationPasswordLength(const FormatVersion& version, std::size_t secretLength);
void writeDerivationPassword(const FormatVersion& version, const unsigned char* secret, std::size_t secretLength,
                             unsigned char* password);
