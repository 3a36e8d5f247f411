#include "keyDerivation.h"

#include <gcrypt.h>

#include <cstdlib>

#include "platform.h"

// Its secure memory is left off: it needs locked pages, which a user
// account may not have; the programs wipe their own copies of every secret
// instead.
bool startCrypto() {
    static bool started = false;
    if (started) return true;
    if (gcry_check_version(GCRYPT_VERSION) == nullptr) return false;
    gcry_control(GCRYCTL_DISABLE_SECMEM, 0);
    gcry_control(GCRYCTL_INITIALIZATION_FINISHED, 0);
    started = true;
    return true;
}

bool deriveArgon2id(const FormatVersion& version, const unsigned char* secret, std::size_t secretLength,
                    const unsigned char* salt, std::size_t saltLength, unsigned char* output) {
    if (version.function != DERIVE_ARGON2ID || !startCrypto()) return false;
    const std::size_t passwordLength = derivationPasswordLength(version, secretLength);
    unsigned char* password = static_cast<unsigned char*>(std::malloc(passwordLength));
    if (password == nullptr) return false;
    writeDerivationPassword(version, secret, secretLength, password);
    unsigned long parameters[4] = {static_cast<unsigned long>(version.outputBytes), version.passes,
                                   version.memoryKib, version.lanes};
    gcry_kdf_hd_t kdf = nullptr;
    gcry_error_t error = gcry_kdf_open(&kdf, GCRY_KDF_ARGON2, GCRY_KDF_ARGON2ID, parameters, 4, password,
                                       passwordLength, salt, saltLength, nullptr, 0, nullptr, 0);
    if (error == 0) error = gcry_kdf_compute(kdf, nullptr);
    if (error == 0) error = gcry_kdf_final(kdf, version.outputBytes, output);
    if (kdf != nullptr) gcry_kdf_close(kdf);
    wipeBytes(password, passwordLength);
    std::free(password);
    return error == 0;
}

bool sha256Digest(const unsigned char* bytes, std::size_t length, unsigned char digest[SHA256_BYTES]) {
    if (!startCrypto()) return false;
    gcry_md_hash_buffer(GCRY_MD_SHA256, digest, bytes, length);
    return true;
}
