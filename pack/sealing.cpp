#include "sealing.h"

#include <gcrypt.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "keyDerivation.h"
#include "platform.h"

namespace {

const std::size_t KEY_BYTES = 32;
const std::size_t DERIVED_BYTES = KEY_BYTES + CHECK_BYTES;
const std::size_t NONCE_BYTES = 12;
static_assert(SEALING_VERSION.outputBytes == DERIVED_BYTES, "a sealed text's derivation gives its key and check");

// K of one version: Argon2id over its label and the canonical vocabulary.
bool deriveKey(const FormatVersion& version, const unsigned char* canonical, std::size_t canonicalLength,
               const unsigned char salt[SALT_BYTES], unsigned char derived[DERIVED_BYTES]) {
    return version.outputBytes == DERIVED_BYTES &&
           deriveArgon2id(version, canonical, canonicalLength, salt, SALT_BYTES, derived);
}

// AES-256-GCM with the zero nonce and salt | check as associated data, in
// place. Sealing writes the tag; opening checks it.
bool runCipher(const unsigned char* key, const unsigned char* header, unsigned char* bytes, std::size_t length,
               unsigned char tag[TAG_BYTES], bool sealing) {
    gcry_cipher_hd_t cipher = nullptr;
    if (!startCrypto()) return false;
    if (gcry_cipher_open(&cipher, GCRY_CIPHER_AES256, GCRY_CIPHER_MODE_GCM, 0) != 0) return false;
    const unsigned char nonce[NONCE_BYTES] = {};
    gcry_error_t error = gcry_cipher_setkey(cipher, key, KEY_BYTES);
    if (error == 0) error = gcry_cipher_setiv(cipher, nonce, NONCE_BYTES);
    if (error == 0) error = gcry_cipher_authenticate(cipher, header, SALT_BYTES + CHECK_BYTES);
    if (error == 0) gcry_cipher_final(cipher);
    if (error == 0) {
        error = sealing ? gcry_cipher_encrypt(cipher, bytes, length, nullptr, 0)
                        : gcry_cipher_decrypt(cipher, bytes, length, nullptr, 0);
    }
    if (error == 0) error = sealing ? gcry_cipher_gettag(cipher, tag, TAG_BYTES) : gcry_cipher_checktag(cipher, tag, TAG_BYTES);
    gcry_cipher_close(cipher);
    return error == 0;
}

bool onlyZeros(const unsigned char* bytes, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i) {
        if (bytes[i] != 0) return false;
    }
    return true;
}

}  // namespace

bool isSealedText(const unsigned char* data, std::size_t length) {
    return length > 0 && data[0] != ZLIB_FIRST_BYTE;
}

PackStatus sealWithSalt(const unsigned char* canonical, std::size_t canonicalLength,
                        const unsigned char salt[SALT_BYTES], const unsigned char* stream,
                        std::size_t streamLength, ByteBlock* sealed) {
    *sealed = ByteBlock{nullptr, 0, 0};
    std::size_t payloadLength = paddedLength(streamLength);
    if (payloadLength > SIZE_MAX - SEALED_OVERHEAD_BYTES) return PACK_NO_MEMORY;
    std::size_t length = SEALED_OVERHEAD_BYTES + payloadLength;
    unsigned char* bytes = static_cast<unsigned char*>(std::calloc(length, 1));
    if (bytes == nullptr) return PACK_NO_MEMORY;
    unsigned char derived[DERIVED_BYTES];
    if (!deriveKey(SEALING_VERSION, canonical, canonicalLength, salt, derived)) {
        std::free(bytes);
        return PACK_CRYPTO_FAILED;
    }
    std::memcpy(bytes, salt, SALT_BYTES);
    std::memcpy(bytes + SALT_BYTES, derived + KEY_BYTES, CHECK_BYTES);
    unsigned char* payload = bytes + SALT_BYTES + CHECK_BYTES;
    std::memcpy(payload, stream, streamLength);
    bool done = runCipher(derived, bytes, payload, payloadLength, payload + payloadLength, true);
    wipeBytes(derived, sizeof derived);
    if (!done) {
        wipeBytes(bytes, length);
        std::free(bytes);
        return PACK_CRYPTO_FAILED;
    }
    *sealed = ByteBlock{bytes, length, length};
    return PACK_OK;
}

PackStatus sealPacked(const unsigned char* canonical, std::size_t canonicalLength, const unsigned char* stream,
                      std::size_t streamLength, ByteBlock* sealed) {
    *sealed = ByteBlock{nullptr, 0, 0};
    unsigned char salt[SALT_BYTES];
    do {
        if (!systemRandomBytes(salt, sizeof salt)) return PACK_NO_RANDOM;
    } while (salt[0] == ZLIB_FIRST_BYTE);
    return sealWithSalt(canonical, canonicalLength, salt, stream, streamLength, sealed);
}

PackStatus unpackSealedPayload(const unsigned char* payload, std::size_t length, ByteBlock* plain) {
    std::size_t streamLength = 0;
    PackStatus status = unpackLeadingStream(payload, length, maxUnpackedBytes(length), plain, &streamLength);
    // A sealed stream is followed only by its padding, to exactly its
    // padded length; anything else was not written by a packer.
    if (status == PACK_OK &&
        (paddedLength(streamLength) != length || !onlyZeros(payload + streamLength, length - streamLength))) {
        status = PACK_ALTERED;
    }
    if (status != PACK_OK && status != PACK_TOO_LARGE && status != PACK_NO_MEMORY) status = PACK_ALTERED;
    if (status != PACK_OK) freeByteBlock(plain);
    return status;
}

// The version of the sealed text whose check matches, its K in derived; -1
// when none does, -2 when the derivation failed.
static int matchingVersion(const unsigned char* canonical, std::size_t canonicalLength, const unsigned char* data,
                           unsigned char derived[DERIVED_BYTES]) {
    for (int version = 0; version < SEALED_VERSION_COUNT; ++version) {
        if (!deriveKey(SEALED_VERSIONS[version], canonical, canonicalLength, data, derived)) return -2;
        if (std::memcmp(derived + KEY_BYTES, data + SALT_BYTES, CHECK_BYTES) == 0) return version;
    }
    wipeBytes(derived, DERIVED_BYTES);
    return -1;
}

PackStatus openSealed(const unsigned char* canonical, std::size_t canonicalLength, const unsigned char* data,
                      std::size_t length, ByteBlock* plain) {
    *plain = ByteBlock{nullptr, 0, 0};
    if (length < SEALED_OVERHEAD_BYTES) return PACK_ALTERED;
    unsigned char derived[DERIVED_BYTES];
    const int version = matchingVersion(canonical, canonicalLength, data, derived);
    if (version == -2) return PACK_CRYPTO_FAILED;
    if (version == -1) return PACK_WRONG_VOCABULARY;
    std::size_t payloadLength = length - SEALED_OVERHEAD_BYTES;
    unsigned char* payload = static_cast<unsigned char*>(std::malloc(payloadLength > 0 ? payloadLength : 1));
    if (payload == nullptr) {
        wipeBytes(derived, sizeof derived);
        return PACK_NO_MEMORY;
    }
    std::memcpy(payload, data + SALT_BYTES + CHECK_BYTES, payloadLength);
    unsigned char tag[TAG_BYTES];
    std::memcpy(tag, data + length - TAG_BYTES, TAG_BYTES);
    bool authentic = runCipher(derived, data, payload, payloadLength, tag, false);
    wipeBytes(derived, sizeof derived);
    PackStatus status = authentic ? unpackSealedPayload(payload, payloadLength, plain) : PACK_ALTERED;
    wipeBytes(payload, payloadLength);
    std::free(payload);
    return status;
}
