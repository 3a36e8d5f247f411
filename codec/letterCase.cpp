#include "letterCase.h"

// Every Lu code point of U+00C0..U+017E with its simple lowercase mapping,
// ascending by capital. U+0130 maps to plain 'i' (one byte shorter in UTF-8)
// and U+0178 to U+00FF, outside its own block.
const CasePair CasePairTable[CASE_PAIR_COUNT] = {
    {0x00C0, 0x00E0}, {0x00C1, 0x00E1}, {0x00C2, 0x00E2}, {0x00C3, 0x00E3},
    {0x00C4, 0x00E4}, {0x00C5, 0x00E5}, {0x00C6, 0x00E6}, {0x00C7, 0x00E7},
    {0x00C8, 0x00E8}, {0x00C9, 0x00E9}, {0x00CA, 0x00EA}, {0x00CB, 0x00EB},
    {0x00CC, 0x00EC}, {0x00CD, 0x00ED}, {0x00CE, 0x00EE}, {0x00CF, 0x00EF},
    {0x00D0, 0x00F0}, {0x00D1, 0x00F1}, {0x00D2, 0x00F2}, {0x00D3, 0x00F3},
    {0x00D4, 0x00F4}, {0x00D5, 0x00F5}, {0x00D6, 0x00F6}, {0x00D8, 0x00F8},
    {0x00D9, 0x00F9}, {0x00DA, 0x00FA}, {0x00DB, 0x00FB}, {0x00DC, 0x00FC},
    {0x00DD, 0x00FD}, {0x00DE, 0x00FE}, {0x0100, 0x0101}, {0x0102, 0x0103},
    {0x0104, 0x0105}, {0x0106, 0x0107}, {0x0108, 0x0109}, {0x010A, 0x010B},
    {0x010C, 0x010D}, {0x010E, 0x010F}, {0x0110, 0x0111}, {0x0112, 0x0113},
    {0x0114, 0x0115}, {0x0116, 0x0117}, {0x0118, 0x0119}, {0x011A, 0x011B},
    {0x011C, 0x011D}, {0x011E, 0x011F}, {0x0120, 0x0121}, {0x0122, 0x0123},
    {0x0124, 0x0125}, {0x0126, 0x0127}, {0x0128, 0x0129}, {0x012A, 0x012B},
    {0x012C, 0x012D}, {0x012E, 0x012F}, {0x0130, 0x0069}, {0x0132, 0x0133},
    {0x0134, 0x0135}, {0x0136, 0x0137}, {0x0139, 0x013A}, {0x013B, 0x013C},
    {0x013D, 0x013E}, {0x013F, 0x0140}, {0x0141, 0x0142}, {0x0143, 0x0144},
    {0x0145, 0x0146}, {0x0147, 0x0148}, {0x014A, 0x014B}, {0x014C, 0x014D},
    {0x014E, 0x014F}, {0x0150, 0x0151}, {0x0152, 0x0153}, {0x0154, 0x0155},
    {0x0156, 0x0157}, {0x0158, 0x0159}, {0x015A, 0x015B}, {0x015C, 0x015D},
    {0x015E, 0x015F}, {0x0160, 0x0161}, {0x0162, 0x0163}, {0x0164, 0x0165},
    {0x0166, 0x0167}, {0x0168, 0x0169}, {0x016A, 0x016B}, {0x016C, 0x016D},
    {0x016E, 0x016F}, {0x0170, 0x0171}, {0x0172, 0x0173}, {0x0174, 0x0175},
    {0x0176, 0x0177}, {0x0178, 0x00FF}, {0x0179, 0x017A}, {0x017B, 0x017C},
    {0x017D, 0x017E},
};

static bool isAsciiCapital(std::uint32_t codePoint) {
    return codePoint >= 0x41 && codePoint <= 0x5A;
}

static bool isAsciiSmall(std::uint32_t codePoint) {
    return codePoint >= 0x61 && codePoint <= 0x7A;
}

bool isCapitalLetter(std::uint32_t codePoint) {
    if (isAsciiCapital(codePoint)) return true;
    if (codePoint < 0xC0) return false;
    for (const CasePair& pair : CasePairTable) {
        if (pair.capital == codePoint) return true;
    }
    return false;
}

std::uint32_t toLowercaseLetter(std::uint32_t codePoint) {
    if (isAsciiCapital(codePoint)) return codePoint + 0x20;
    if (codePoint < 0xC0) return codePoint;
    for (const CasePair& pair : CasePairTable) {
        if (pair.capital == codePoint) return pair.lowercase;
    }
    return codePoint;
}

bool isWordLetter(std::uint32_t codePoint) {
    if (isAsciiCapital(codePoint) || isAsciiSmall(codePoint) || codePoint == 0xDF) return true;
    // Below U+00C0 the table holds nothing (its one small letter there, 'i',
    // is ASCII and already answered above).
    if (codePoint < 0xC0) return false;
    for (const CasePair& pair : CasePairTable) {
        if (pair.capital == codePoint || pair.lowercase == codePoint) return true;
    }
    return false;
}

static bool isContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

bool decodeUtf8Char(const unsigned char* bytes, std::uint64_t available, Utf8Width width,
                    std::uint32_t* codePoint, int* length) {
    if (available == 0) return false;
    unsigned char lead = bytes[0];
    if (lead < 0x80) {
        *codePoint = lead;
        *length = 1;
        return true;
    }
    int count = 0;
    std::uint32_t value = 0;
    if ((lead & 0xE0) == 0xC0) {
        count = 2;
        value = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        count = 3;
        value = lead & 0x0F;
    } else if (width == UTF8_UP_TO_4_BYTES && (lead & 0xF8) == 0xF0) {
        count = 4;
        value = lead & 0x07;
    } else {
        return false;
    }
    if (available < static_cast<std::uint64_t>(count)) return false;
    for (int i = 1; i < count; ++i) {
        if (!isContinuation(bytes[i])) return false;
        value = (value << 6) | (bytes[i] & 0x3F);
    }
    *codePoint = value;
    *length = count;
    return true;
}

bool isWellFormedChar(std::uint32_t codePoint, int length) {
    static const std::uint32_t SMALLEST_OF_LENGTH[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (length < 1 || length > 4 || codePoint < SMALLEST_OF_LENGTH[length]) return false;
    return codePoint <= 0x10FFFF && (codePoint < 0xD800 || codePoint > 0xDFFF);
}

bool isWellFormedUtf8(const unsigned char* bytes, std::size_t length) {
    std::size_t offset = 0;
    while (offset < length) {
        if (bytes[offset] < 0x80) {
            ++offset;
            continue;
        }
        std::uint32_t codePoint = 0;
        int characterLength = 0;
        if (!decodeUtf8Char(bytes + offset, length - offset, UTF8_UP_TO_4_BYTES, &codePoint, &characterLength) ||
            !isWellFormedChar(codePoint, characterLength)) {
            return false;
        }
        offset += static_cast<std::size_t>(characterLength);
    }
    return true;
}

int encodeUtf8Char(std::uint32_t codePoint, unsigned char* output, Utf8Width width) {
    if (codePoint <= 0x7F) {
        output[0] = static_cast<unsigned char>(codePoint);
        return 1;
    }
    if (codePoint <= 0x7FF) {
        output[0] = static_cast<unsigned char>(0xC0 | (codePoint >> 6));
        output[1] = static_cast<unsigned char>(0x80 | (codePoint & 0x3F));
        return 2;
    }
    if (codePoint <= 0xFFFF) {
        output[0] = static_cast<unsigned char>(0xE0 | (codePoint >> 12));
        output[1] = static_cast<unsigned char>(0x80 | ((codePoint >> 6) & 0x3F));
        output[2] = static_cast<unsigned char>(0x80 | (codePoint & 0x3F));
        return 3;
    }
    if (width != UTF8_UP_TO_4_BYTES || codePoint > 0x10FFFF) return 0;
    output[0] = static_cast<unsigned char>(0xF0 | (codePoint >> 18));
    output[1] = static_cast<unsigned char>(0x80 | ((codePoint >> 12) & 0x3F));
    output[2] = static_cast<unsigned char>(0x80 | ((codePoint >> 6) & 0x3F));
    output[3] = static_cast<unsigned char>(0x80 | (codePoint & 0x3F));
    return 4;
}

bool lowercaseFirstLetter(unsigned char* word, std::size_t length, Utf8Width width) {
    std::uint32_t codePoint = 0;
    int decodedLength = 0;
    if (!decodeUtf8Char(word, length, width, &codePoint, &decodedLength)) return false;
    if (!isCapitalLetter(codePoint)) return false;
    unsigned char lowered[4];
    int loweredLength = encodeUtf8Char(toLowercaseLetter(codePoint), lowered, width);
    if (loweredLength != decodedLength) return false;
    for (int i = 0; i < loweredLength; ++i) word[i] = lowered[i];
    return true;
}
