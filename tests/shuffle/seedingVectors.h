// tests/shuffle/seedingVectors.txt, the vocabulary seedings that the
// native, Windows and page tests all check: for each passphrase over a word
// list, the salt, the seed and the SHA-256 of the vocabulary.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "testSupport.h"

struct SeedingVector {
    std::string name;
    std::string wordList;    // its file name beside the test programs
    std::string passphrase;  // bytes
    std::string salt;        // bytes
    std::string seed;        // bytes
    std::string vocabulary;  // its SHA-256 as 64 lowercase hexadecimal digits
};

inline void PrintTo(const SeedingVector& vector, std::ostream* out) {
    *out << vector.name;
}

inline std::string bytesFromHex(const std::string& hex) {
    std::string bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return bytes;
}

inline std::string hexOf(const unsigned char* bytes, size_t count) {
    static const char DIGITS[] = "0123456789abcdef";
    std::string hex;
    for (size_t i = 0; i < count; ++i) {
        hex += DIGITS[bytes[i] >> 4];
        hex += DIGITS[bytes[i] & 0x0F];
    }
    return hex;
}

inline std::vector<std::string> splitFields(const std::string& line) {
    std::vector<std::string> fields;
    size_t at = 0;
    for (size_t bar; (bar = line.find('|', at)) != std::string::npos; at = bar + 1) fields.push_back(line.substr(at, bar - at));
    fields.push_back(line.substr(at));
    return fields;
}

// The vectors of the file beside the test programs; none when it cannot be
// read, which the tests that use them then report.
inline std::vector<SeedingVector> seedingVectors() {
    std::vector<SeedingVector> vectors;
    const std::string text = readFile(joinPath(binaryDirectory(), "seedingVectors.txt"));
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        if (line.empty() || line[0] == '#') continue;
        const std::vector<std::string> fields = splitFields(line);
        if (fields.size() != 6) continue;
        const std::string listName = fields[1].substr(fields[1].rfind('/') + 1);
        vectors.push_back({fields[0], listName, bytesFromHex(fields[2]), bytesFromHex(fields[3]),
                           bytesFromHex(fields[4]), fields[5]});
    }
    return vectors;
}
