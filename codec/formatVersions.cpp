#include "formatVersions.h"

#include <cstring>

std::size_t derivationPasswordLength(const FormatVersion& version, std::size_t secretLength) {
    // The label's terminating zero is the separator.
    return std::strlen(version.label) + 1 + secretLength;
}

void writeDerivationPassword(const FormatVersion& version, const unsigned char* secret, std::size_t secretLength,
                             unsigned char* password) {
    const std::size_t labelBytes = std::strlen(version.label) + 1;
    std::memcpy(password, version.label, labelBytes);
    if (secretLength > 0) std::memcpy(password + labelBytes, secret, secretLength);
}
