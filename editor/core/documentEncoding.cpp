#include "documentEncoding.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// The length of the well-formed UTF-8 character at bytes[position], or 0.
int32_t utf8CharacterLength(const unsigned char* bytes, int32_t length, int32_t position) {
    const unsigned char lead = bytes[position];
    if (lead < 0x80) return 1;
    int32_t count = 0;
    unsigned char low = 0x80;   // the second byte's range, narrowed against overlong forms and surrogates
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        count = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        count = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        count = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (position + count > length || bytes[position + 1] < low || bytes[position + 1] > high) return 0;
    for (int32_t i = 2; i < count; i++) {
        if ((bytes[position + i] & 0xC0) != 0x80) return 0;
    }
    return count;
}

const struct {
    unsigned codePage;
    const char* name;
} CODE_PAGE_NAMES[] = {
    {874, "Windows-874"},   {932, "Shift_JIS"},     {936, "GBK"},           {949, "Korean (Unified Hangul)"},
    {950, "Big5"},          {1250, "Windows-1250"}, {1251, "Windows-1251"}, {1252, "Windows-1252"},
    {1253, "Windows-1253"}, {1254, "Windows-1254"}, {1255, "Windows-1255"}, {1256, "Windows-1256"},
    {1257, "Windows-1257"}, {1258, "Windows-1258"},
};

}  // namespace

bool isWellFormedUtf8(const char* bytes, int32_t length) {
    const unsigned char* data = reinterpret_cast<const unsigned char*>(bytes);
    for (int32_t position = 0; position < length;) {
        const int32_t count = utf8CharacterLength(data, length, position);
        if (count == 0) return false;
        position += count;
    }
    return true;
}

TextEncoding detectEncoding(const char* bytes, int32_t length) {
    if (length >= UTF16_MARK_BYTES && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        return ENCODING_UTF16_LE;
    }
    if (length >= UTF16_MARK_BYTES && static_cast<unsigned char>(bytes[0]) == 0xFE &&
        static_cast<unsigned char>(bytes[1]) == 0xFF) {
        return ENCODING_UTF16_BE;
    }
    return isWellFormedUtf8(bytes, length) ? ENCODING_UTF8 : ENCODING_CODE_PAGE;
}

bool unitsOfUtf16Bytes(const char* bytes, int32_t length, bool bigEndian, wchar_t** text, int32_t* units) {
    *text = nullptr;
    *units = 0;
    if (length < 0 || length % 2 != 0) return false;
    const int32_t count = length / 2;
    wchar_t* block = static_cast<wchar_t*>(malloc((static_cast<size_t>(count) + 1) * sizeof(wchar_t)));
    if (block == nullptr) return false;
    const unsigned char* data = reinterpret_cast<const unsigned char*>(bytes);
    for (int32_t i = 0; i < count; i++) {
        const unsigned first = data[2 * i];
        const unsigned second = data[2 * i + 1];
        block[i] = static_cast<wchar_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
    }
    block[count] = L'\0';
    *text = block;
    *units = count;
    return true;
}

bool utf16BytesOfUnits(const wchar_t* text, int32_t units, bool bigEndian, char** bytes, int32_t* length) {
    *bytes = nullptr;
    *length = 0;
    const int64_t size = static_cast<int64_t>(units) * 2 + UTF16_MARK_BYTES;
    if (units < 0 || size > INT32_MAX) return false;
    unsigned char* block = static_cast<unsigned char*>(malloc(static_cast<size_t>(size)));
    if (block == nullptr) return false;
    block[0] = bigEndian ? 0xFE : 0xFF;
    block[1] = bigEndian ? 0xFF : 0xFE;
    for (int32_t i = 0; i < units; i++) {
        const unsigned unit = static_cast<unsigned>(text[i]) & 0xFFFF;
        block[2 + 2 * i] = static_cast<unsigned char>(bigEndian ? unit >> 8 : unit & 0xFF);
        block[3 + 2 * i] = static_cast<unsigned char>(bigEndian ? unit & 0xFF : unit >> 8);
    }
    *bytes = reinterpret_cast<char*>(block);
    *length = static_cast<int32_t>(size);
    return true;
}

bool holdsZeroUnit(const wchar_t* text, int32_t units) {
    for (int32_t i = 0; i < units; i++) {
        if (text[i] == L'\0') return true;
    }
    return false;
}

void codePageName(unsigned codePage, char* text, int size) {
    for (const auto& known : CODE_PAGE_NAMES) {
        if (known.codePage == codePage) {
            snprintf(text, static_cast<size_t>(size), "%s (code page %u)", known.name, codePage);
            return;
        }
    }
    snprintf(text, static_cast<size_t>(size), "code page %u", codePage);
}
