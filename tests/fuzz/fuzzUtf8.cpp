// The letter-case and UTF-8 helpers on arbitrary bytes, in both widths.
// Checked: a decoded character encodes back to exactly its bytes (and never
// past the width); a code point that encodes decodes back to itself;
// lowercaseFirstLetter never changes a word's length or any byte after its
// first character, and changes a word only from a capital to its lowercase
// letter; and the case functions agree with each other.
#include <cstdint>
#include <cstring>

#include "fuzzSupport.h"
#include "letterCase.h"

static void checkDecodeEncode(const unsigned char* bytes, std::size_t count, Utf8Width width) {
    std::uint32_t codePoint = 0xFFFFFFFF;
    int length = -1;
    if (!decodeUtf8Char(bytes, count, width, &codePoint, &length)) {
        FUZZ_CHECK(codePoint == 0xFFFFFFFF && length == -1, "a failed decode wrote its results");
        return;
    }
    FUZZ_CHECK(length >= 1 && length <= static_cast<int>(width) && static_cast<std::size_t>(length) <= count,
               "decoded length out of range");
    unsigned char encoded[4];
    int encodedLength = encodeUtf8Char(codePoint, encoded, width);
    // Only the structure is checked: a four-byte form may decode beyond
    // U+10FFFF, which does not encode, and an overlong form decodes to a
    // code point whose shortest form is shorter.
    if (encodedLength == 0) {
        FUZZ_CHECK(codePoint > 0x10FFFF, "a decoded character does not encode");
        return;
    }
    FUZZ_CHECK(encodedLength <= length, "a character encodes longer than it decoded");
    if (encodedLength == length) {
        FUZZ_CHECK(std::memcmp(encoded, bytes, static_cast<std::size_t>(length)) == 0,
                   "decode then encode changes the bytes");
    }
}

static void checkCodePoint(std::uint32_t codePoint, Utf8Width width) {
    unsigned char encoded[4] = {0xEE, 0xEE, 0xEE, 0xEE};
    int length = encodeUtf8Char(codePoint, encoded, width);
    FUZZ_CHECK(length >= 0 && length <= static_cast<int>(width), "encoded length out of range");
    if (length == 0) {
        FUZZ_CHECK(encoded[0] == 0xEE, "a failed encode wrote bytes");
        FUZZ_CHECK(codePoint > 0xFFFF, "a code point of 3 bytes or less does not encode");
        return;
    }
    for (int i = length; i < 4; ++i) FUZZ_CHECK(encoded[i] == 0xEE, "encode wrote past its length");
    std::uint32_t decoded = 0;
    int decodedLength = 0;
    FUZZ_CHECK(decodeUtf8Char(encoded, static_cast<std::uint64_t>(length), width, &decoded, &decodedLength),
               "an encoded code point does not decode");
    FUZZ_CHECK(decoded == codePoint && decodedLength == length, "encode then decode changes the code point");
}

static void checkCase(std::uint32_t codePoint) {
    std::uint32_t lower = toLowercaseLetter(codePoint);
    if (isCapitalLetter(codePoint)) {
        FUZZ_CHECK(lower != codePoint, "a capital has no lowercase letter");
        FUZZ_CHECK(isWordLetter(codePoint) && isWordLetter(lower), "a case pair is not made of letters");
        FUZZ_CHECK(!isCapitalLetter(lower), "a lowercase letter counts as a capital");
    } else {
        FUZZ_CHECK(lower == codePoint, "a non-capital was lowercased");
    }
}

static void checkLowercaseFirst(const unsigned char* bytes, std::size_t count, Utf8Width width) {
    unsigned char word[16];
    std::size_t length = count < sizeof word ? count : sizeof word;
    std::memcpy(word, bytes, length);
    bool changed = lowercaseFirstLetter(word, length, width);
    std::uint32_t before = 0;
    int beforeLength = 0;
    bool decodes = decodeUtf8Char(bytes, length, width, &before, &beforeLength);
    if (!changed) {
        FUZZ_CHECK(std::memcmp(word, bytes, length) == 0, "an unchanged word was changed");
        return;
    }
    FUZZ_CHECK(decodes && isCapitalLetter(before), "a word without a capital first letter was changed");
    std::uint32_t after = 0;
    int afterLength = 0;
    FUZZ_CHECK(decodeUtf8Char(word, length, width, &after, &afterLength), "the lowercased word does not decode");
    FUZZ_CHECK(afterLength == beforeLength, "lowercasing changed the first character's length");
    FUZZ_CHECK(after == toLowercaseLetter(before), "the first letter was not lowercased");
    FUZZ_CHECK(std::memcmp(word + afterLength, bytes + afterLength, length - static_cast<std::size_t>(afterLength)) == 0,
               "lowercasing changed bytes after the first character");
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
        checkDecodeEncode(data + i, size - i, UTF8_UP_TO_3_BYTES);
        checkDecodeEncode(data + i, size - i, UTF8_UP_TO_4_BYTES);
        checkLowercaseFirst(data + i, size - i, UTF8_UP_TO_3_BYTES);
        checkLowercaseFirst(data + i, size - i, UTF8_UP_TO_4_BYTES);
    }
    for (std::size_t i = 0; i + 4 <= size; i += 4) {
        std::uint32_t codePoint = static_cast<std::uint32_t>(data[i]) | (static_cast<std::uint32_t>(data[i + 1]) << 8) |
                                  (static_cast<std::uint32_t>(data[i + 2]) << 16) |
                                  (static_cast<std::uint32_t>(data[i + 3]) << 24);
        std::uint32_t small = codePoint % 0x110000;
        checkCodePoint(codePoint, UTF8_UP_TO_3_BYTES);
        checkCodePoint(codePoint, UTF8_UP_TO_4_BYTES);
        checkCodePoint(small, UTF8_UP_TO_4_BYTES);
        checkCase(small);
        checkCase(small % 0x200);
    }
    return 0;
}
