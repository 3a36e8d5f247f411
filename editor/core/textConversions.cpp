#include "textConversions.h"

#include <windows.h>

#include <cstdlib>

bool utf16ToUtf8(const wchar_t* text, int32_t units, char** block, int32_t* byteCount) {
    *block = nullptr;
    *byteCount = 0;
    if (units == 0) {
        return true;
    }
    if (text == nullptr || units < 0) {
        return false;
    }
    const int length = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text, units, nullptr, 0, nullptr, nullptr);
    if (length <= 0) {
        return false;
    }
    char* bytes = static_cast<char*>(malloc(length));
    if (bytes == nullptr) {
        return false;
    }
    if (WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text, units, bytes, length, nullptr, nullptr) != length) {
        free(bytes);
        return false;
    }
    *block = bytes;
    *byteCount = length;
    return true;
}

bool utf8ToUtf16(const char* bytes, int32_t byteCount, wchar_t** block, int32_t* units) {
    *block = nullptr;
    *units = 0;
    if (byteCount == 0) {
        wchar_t* empty = static_cast<wchar_t*>(malloc(sizeof(wchar_t)));
        if (empty == nullptr) {
            return false;
        }
        empty[0] = 0;
        *block = empty;
        return true;
    }
    if (bytes == nullptr || byteCount < 0) {
        return false;
    }
    const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes, byteCount, nullptr, 0);
    if (length <= 0) {
        return false;
    }
    wchar_t* text = static_cast<wchar_t*>(malloc((static_cast<size_t>(length) + 1) * sizeof(wchar_t)));
    if (text == nullptr) {
        return false;
    }
    if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes, byteCount, text, length) != length) {
        free(text);
        return false;
    }
    text[length] = 0;
    *block = text;
    *units = length;
    return true;
}

bool ansiToUtf16(const char* text, wchar_t* destination, int32_t capacity) {
    if (text == nullptr || destination == nullptr || capacity <= 0) {
        return false;
    }
    return MultiByteToWideChar(CP_ACP, 0, text, -1, destination, capacity) > 0;
}

bool utf16ToAscii(const wchar_t* text, char* destination, int32_t size) {
    if (text == nullptr || destination == nullptr || size <= 0) {
        return false;
    }
    int32_t position = 0;
    for (; text[position] != 0; position++) {
        if (text[position] >= 128) {
            return false;
        }
        if (position >= size - 1) {
            return false;
        }
        destination[position] = static_cast<char>(text[position]);
    }
    destination[position] = '\0';
    return true;
}

bool utf16ToUtf8Name(const wchar_t* text, char* destination, int32_t size) {
    if (text == nullptr || destination == nullptr || size <= 0) {
        return false;
    }
    return WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text, -1, destination, size, nullptr, nullptr) > 0;
}

bool utf8ToUtf16Name(const char* text, wchar_t* destination, int32_t units) {
    if (text == nullptr || destination == nullptr || units <= 0) {
        return false;
    }
    return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, -1, destination, units) > 0;
}

Utf8Name utf8Name(const wchar_t* name) {
    Utf8Name converted;
    if (!utf16ToUtf8Name(name, converted.text, UTF8_PATH_BYTES)) {
        converted.text[0] = '?';
        converted.text[1] = '\0';
    }
    return converted;
}

bool withCrLfLineEnds(const wchar_t* text, int32_t units, wchar_t** block, int32_t* blockUnits) {
    *block = nullptr;
    *blockUnits = 0;
    int64_t needed = units;
    for (int32_t i = 0; i < units; i++) {
        needed += text[i] == L'\n' && (i == 0 || text[i - 1] != L'\r');
    }
    if (needed >= INT32_MAX) {
        return false;
    }
    wchar_t* converted = static_cast<wchar_t*>(malloc((static_cast<size_t>(needed) + 1) * sizeof(wchar_t)));
    if (converted == nullptr) {
        return false;
    }
    int32_t used = 0;
    for (int32_t i = 0; i < units; i++) {
        if (text[i] == L'\n' && (i == 0 || text[i - 1] != L'\r')) converted[used++] = L'\r';
        converted[used++] = text[i];
    }
    converted[used] = L'\0';
    *block = converted;
    *blockUnits = used;
    return true;
}
