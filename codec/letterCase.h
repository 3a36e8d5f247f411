// Letter case for ASCII and Latin-1 Supplement / Latin Extended-A capitals,
// and UTF-8 decoding and encoding in two widths: sequences of up to 3 bytes
// (the decoder) and up to 4 bytes (the harvester).
#pragma once

#include <cstddef>
#include <cstdint>

enum Utf8Width {
    UTF8_UP_TO_3_BYTES = 3,
    UTF8_UP_TO_4_BYTES = 4,
};

struct CasePair {
    std::uint32_t capital;
    std::uint32_t lowercase;
};

constexpr int CASE_PAIR_COUNT = 93;
extern const CasePair CasePairTable[CASE_PAIR_COUNT];

bool isCapitalLetter(std::uint32_t codePoint);
std::uint32_t toLowercaseLetter(std::uint32_t codePoint);
bool isWordLetter(std::uint32_t codePoint);

// Decodes the character at bytes[0]. On success stores the code point and its
// length in bytes (1..width); on failure writes nothing. Only the structure of
// the sequence is checked: overlong forms and surrogates decode as their bits say.
bool decodeUtf8Char(const unsigned char* bytes, std::uint64_t available, Utf8Width width,
                    std::uint32_t* codePoint, int* length);

// Whether a character decoded from length bytes is well-formed UTF-8: in
// its shortest form, not a surrogate and not beyond U+10FFFF.
bool isWellFormedChar(std::uint32_t codePoint, int length);

// Whether the bytes are well-formed UTF-8 from the first to the last
// (sequences of up to 4 bytes, each well-formed).
bool isWellFormedUtf8(const unsigned char* bytes, std::size_t length);

// Writes the UTF-8 form of the code point (no terminator) and returns its
// length; returns 0 and writes nothing when the width cannot hold it.
int encodeUtf8Char(std::uint32_t codePoint, unsigned char* output, Utf8Width width);

// Replaces the word's first character by its lowercase letter when it is a
// capital whose lowercase form has the same UTF-8 length. Returns whether the
// word changed; its length never does.
bool lowercaseFirstLetter(unsigned char* word, std::size_t length, Utf8Width width);
