#include "sealing.h"

#include <gcrypt.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "keyDerivation.h"
#include "platform.h"

static_assert(SEALING_VERSION.outputBytes == DERIVED_BYTES, "a sealed text's derivation gives its key and check");

bool deriveSealingKey(const FormatVersion& version, const unsigned char* canonical, std::size_t canonicalLength,
                      const unsigned char salt[SALT_BYTES], unsigned char derived[DERIVED_BYTES]) {
    return version.outputBytes == DERIVED_BYTES &&
           deriveArgon2id(version, canonical, canonicalLength, salt, SALT_BYTES, derived);
}

// AES-256-GCM with the zero nonce and the header as associated data, in
// place. Sealing writes the tag; opening checks it.
static bool runCipher(const unsigned char* key, const unsigned char* header, unsigned char* bytes, std::size_t length,
                      unsigned char tag[TAG_BYTES], bool sealing) {
    gcry_cipher_hd_t cipher = nullptr;
    if (!startCrypto()) return false;
    if (gcry_cipher_open(&cipher, GCRY_CIPHER_AES256, GCRY_CIPHER_MODE_GCM, 0) != 0) return false;
    const unsigned char nonce[NONCE_BYTES] = {};
    gcry_error_t error = gcry_cipher_setkey(cipher, key, KEY_BYTES);
    if (error == 0) error = gcry_cipher_setiv(cipher, nonce, NONCE_BYTES);
    if (error == 0) error = gcry_cipher_authenticate(cipher, header, HEADER_BYTES);
    if (error == 0) gcry_cipher_final(cipher);
    if (error == 0) {
        error = sealing ? gcry_cipher_encrypt(cipher, bytes, length, nullptr, 0)
                        : gcry_cipher_decrypt(cipher, bytes, length, nullptr, 0);
    }
    if (error == 0) error = sealing ? gcry_cipher_gettag(cipher, tag, TAG_BYTES) : gcry_cipher_checktag(cipher, tag, TAG_BYTES);
    gcry_cipher_close(cipher);
    return error == 0;
}

PackStatus sealWithKey(const unsigned char derived[DERIVED_BYTES], const unsigned char salt[SALT_BYTES],
                       const unsigned char* stream, std::size_t streamLength, ByteBlock* sealed) {
    *sealed = ByteBlock{nullptr, 0, 0};
    std::size_t payloadLength = paddedLength(streamLength);
    if (payloadLength > SIZE_MAX - SEALED_OVERHEAD_BYTES) return PACK_NO_MEMORY;
    std::size_t length = SEALED_OVERHEAD_BYTES + payloadLength;
    unsigned char* bytes = static_cast<unsigned char*>(std::calloc(length, 1));
    if (bytes == nullptr) return PACK_NO_MEMORY;
    writeSealedHeader(salt, derived, bytes);
    unsigned char* payload = bytes + HEADER_BYTES;
    std::memcpy(payload, stream, streamLength);
    if (!runCipher(derived, bytes, payload, payloadLength, payload + payloadLength, true)) {
        wipeBytes(bytes, length);
        std::free(bytes);
        return PACK_CRYPTO_FAILED;
    }
    *sealed = ByteBlock{bytes, length, length};
    return PACK_OK;
}

PackStatus sealWithSalt(const unsigned char* canonical, std::size_t canonicalLength,
                        const unsigned char salt[SALT_BYTES], const unsigned char* stream,
                        std::size_t streamLength, ByteBlock* sealed) {
    *sealed = ByteBlock{nullptr, 0, 0};
    unsigned char derived[DERIVED_BYTES];
    if (!deriveSealingKey(SEALING_VERSION, canonical, canonicalLength, salt, derived)) return PACK_CRYPTO_FAILED;
    PackStatus status = sealWithKey(derived, salt, stream, streamLength, sealed);
    wipeBytes(derived, sizeof derived);
    return status;
}

PackStatus sealPacked(const unsigned char* canonical, std::size_t canonicalLength, const unsigned char* stream,
                      std::size_t streamLength, ByteBlock* sealed) {
    *sealed = ByteBlock{nullptr, 0, 0};
    unsigned char salt[SALT_BYTES];
    do {
        if (!systemRandomBytes(salt, sizeof salt)) return PACK_NO_RANDOM;
    } while (!takesSalt(salt));
    return sealWithSalt(canonical, canonicalLength, salt, stream, streamLength, sealed);
}

PackStatus unpackSealedPayload(const unsigned char* payload, std::size_t length, ByteBlock* plain) {
    std::size_t streamLength = 0;
    PackStatus status = unpackLeadingStream(payload, length, maxUnpackedBytes(length), plain, &streamLength);
    status = sealedPayloadStatus(status, payload, length, streamLength);
    if (status != PACK_OK) freeByteBlock(plain);
    return status;
}

PackStatus openWithKey(const unsigned char derived[DERIVED_BYTES], const unsigned char* data, std::size_t length,
                       ByteBlock* plain) {
    *plain = ByteBlock{nullptr, 0, 0};
    if (length < SEALED_OVERHEAD_BYTES) return PACK_ALTERED;
    if (!checkMatches(derived, data)) return PACK_WRONG_VOCABULARY;
    std::size_t payloadLength = length - SEALED_OVERHEAD_BYTES;
    unsigned char* payload = static_cast<unsigned char*>(std::malloc(payloadLength > 0 ? payloadLength : 1));
    if (payload == nullptr) return PACK_NO_MEMORY;
    std::memcpy(payload, data + HEADER_BYTES, payloadLength);
    unsigned char tag[TAG_BYTES];
    std::memcpy(tag, data + length - TAG_BYTES, TAG_BYTES);
    bool authentic = runCipher(derived, data, payload, payloadLength, tag, false);
    PackStatus status = authentic ? unpackSealedPayload(payload, payloadLength, plain) : PACK_ALTERED;
    wipeBytes(payload, payloadLength);
    std::free(payload);
    return status;
}

PackStatus openSealed(const unsigned char* canonical, std::size_t canonicalLength, const unsigned char* data,
                      std::size_t length, ByteBlock* plain) {
    *plain = ByteBlock{nullptr, 0, 0};
    if (length < SEALED_OVERHEAD_BYTES) return PACK_ALTERED;
    unsigned char derived[DERIVED_BYTES];
    PackStatus status = PACK_WRONG_VOCABULARY;
    for (int version = 0; version < SEALED_VERSION_COUNT && status == PACK_WRONG_VOCABULARY; ++version) {
        if (!deriveSealingKey(SEALED_VERSIONS[version], canonical, canonicalLength, data, derived)) {
            status = PACK_CRYPTO_FAILED;
        } else {
            status = openWithKey(derived, data, length, plain);
        }
    }
    wipeBytes(derived, sizeof derived);
    return status;
}
