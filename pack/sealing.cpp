#include "sealing.h"

#include <gcrypt.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform.h"

namespace {

const char SEAL_CONTEXT[] = "ZarnoGlot sealed v1";  // its terminating zero is the separator
const std::size_t CONTEXT_BYTES = sizeof SEAL_CONTEXT;  // the text and one 0x00
const std::size_t KEY_BYTES = 32;
const std::size_t DERIVED_BYTES = KEY_BYTES + CHECK_BYTES;
const unsigned long ARGON2_PASSES = 3;
const unsigned long ARGON2_KIB = 65536;
const unsigned long ARGON2_LANES = 1;
const std::size_t NONCE_BYTES = 12;

// libgcrypt wants to be told once that the program is ready. Its secure
// memory is left off: it needs locked pages, which a user account may not
// have; the packer wipes its own copies of every secret instead.
bool startCrypto() {
    static bool started = false;
    if (started) return true;
    if (gcry_check_version(GCRYPT_VERSION) == nullptr) return false;
    gcry_control(GCRYCTL_DISABLE_SECMEM, 0);
    gcry_control(GCRYCTL_INITIALIZATION_FINISHED, 0);
    started = true;
    return true;
}

// K = Argon2id over the context and the canonical vocabulary.
bool deriveKey(const unsigned char* canonical, std::size_t canonicalLength, const unsigned char salt[SALT_BYTES],
               unsigned char derived[DERIVED_BYTES]) {
    if (!startCrypto()) return false;
    std::size_t passwordLength = CONTEXT_BYTES + canonicalLength;
    unsigned char* password = static_cast<unsigned char*>(std::malloc(passwordLength));
    if (password == nullptr) return false;
    std::memcpy(password, SEAL_CONTEXT, CONTEXT_BYTES);
    std::memcpy(password + CONTEXT_BYTES, canonical, canonicalLength);
    unsigned long parameters[4] = {DERIVED_BYTES, ARGON2_PASSES, ARGON2_KIB, ARGON2_LANES};
    gcry_kdf_hd_t kdf = nullptr;
    gcry_error_t error = gcry_kdf_open(&kdf, GCRY_KDF_ARGON2, GCRY_KDF_ARGON2ID, parameters, 4, password,
                                       passwordLength, salt, SALT_BYTES, nullptr, 0, nullptr, 0);
    if (error == 0) error = gcry_kdf_compute(kdf, nullptr);
    if (error == 0) error = gcry_kdf_final(kdf, DERIVED_BYTES, derived);
    if (kdf != nullptr) gcry_kdf_close(kdf);
    wipeBytes(password, passwordLength);
    std::free(password);
    return error == 0;
}

// AES-256-GCM with the zero nonce and salt | check as associated data, in
// place. Sealing writes the tag; opening checks it.
bool runCipher(const unsigned char* key, const unsigned char* header, unsigned char* bytes, std::size_t length,
               unsigned char tag[TAG_BYTES], bool sealing) {
    gcry_cipher_hd_t cipher = nullptr;
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
    if (!deriveKey(canonical, canonicalLength, salt, derived)) {
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

PackStatus openSealed(const unsigned char* canonical, std::size_t canonicalLength, const unsigned char* data,
                      std::size_t length, ByteBlock* plain) {
    *plain = ByteBlock{nullptr, 0, 0};
    if (length < SEALED_OVERHEAD_BYTES) return PACK_ALTERED;
    unsigned char derived[DERIVED_BYTES];
    if (!deriveKey(canonical, canonicalLength, data, derived)) return PACK_CRYPTO_FAILED;
    if (std::memcmp(derived + KEY_BYTES, data + SALT_BYTES, CHECK_BYTES) != 0) {
        wipeBytes(derived, sizeof derived);
        return PACK_WRONG_VOCABULARY;
    }
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
