#include "textConversions.h"

#include "debugLog.h"

#include <windows.h>

#include <cstdlib>

int utf16ToUtf8(const wchar_t* text, int32_t units, char** block, int32_t* byteCount) {
    *block = nullptr;
    *byteCount = 0;
    if (units == 0) {
        return 0;
    }
    if (text == nullptr || units < 0) {
        return 1;
    }
    const int length = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text, units, nullptr, 0, nullptr, nullptr);
    if (length <= 0) {
        return 1;
    }
    logMessage("Converting to utf8, chars:%d", length);
    char* bytes = static_cast<char*>(malloc(length));
    if (bytes == nullptr) {
        return 1;
    }
    if (WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text, units, bytes, length, nullptr, nullptr) != length) {
        free(bytes);
        return 1;
    }
    *block = bytes;
    *byteCount = length;
    return 0;
}

int utf8ToUtf16(const char* bytes, int32_t byteCount, wchar_t** block, int32_t* units) {
    *block = nullptr;
    *units = 0;
    if (byteCount == 0) {
        wchar_t* empty = static_cast<wchar_t*>(malloc(sizeof(wchar_t)));
        if (empty == nullptr) {
            return 1;
        }
        empty[0] = 0;
        *block = empty;
        return 0;
    }
    if (bytes == nullptr || byteCount < 0) {
        return 1;
    }
    const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes, byteCount, nullptr, 0);
    if (length <= 0) {
        return 1;
    }
    wchar_t* text = static_cast<wchar_t*>(malloc((static_cast<size_t>(length) + 1) * sizeof(wchar_t)));
    if (text == nullptr) {
        return 1;
    }
    if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes, byteCount, text, length) != length) {
        free(text);
        return 1;
    }
    text[length] = 0;
    *block = text;
    *units = length;
    return 0;
}

int ansiToUtf16(const char* text, wchar_t* destination, int32_t capacity) {
    if (text == nullptr || destination == nullptr || capacity <= 0) {
        return 1;
    }
    return MultiByteToWideChar(CP_ACP, 0, text, -1, destination, capacity) > 0 ? 0 : 1;
}

int utf16ToAscii(const wchar_t* text, char* destination, int32_t size) {
    if (text == nullptr || destination == nullptr || size <= 0) {
        return 1;
    }
    int32_t position = 0;
    for (; text[position] != 0; position++) {
        if (text[position] >= 128) {
            return 1;
        }
        if (position >= size - 1) {
            return 1;
        }
        destination[position] = static_cast<char>(text[position]);
    }
    destination[position] = '\0';
    return 0;
}
