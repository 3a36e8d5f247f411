#include "fileRules.h"

#include <cwchar>

namespace {

const wchar_t* const HEX_DIGITS = L"0123456789abcdef";

bool isHexDigit(wchar_t c) {
    return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F');
}

wchar_t asciiLower(wchar_t c) {
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

// Whether text begins with lower (lower case) in any case of its letters.
bool beginsWith(const wchar_t* text, const wchar_t* lower) {
    for (; *lower != L'\0'; text++, lower++) {
        if (asciiLower(*text) != *lower) return false;
    }
    return true;
}

// Whether name is prefix, count hexadecimal digits and ".tmp", in any case.
bool hasShape(const wchar_t* name, const wchar_t* prefix, size_t count) {
    const size_t prefixLength = wcslen(prefix);
    if (wcslen(name) != prefixLength + count + 4 || !beginsWith(name, prefix)) return false;
    for (size_t i = 0; i < count; i++) {
        if (!isHexDigit(name[prefixLength + i])) return false;
    }
    return beginsWith(name + prefixLength + count, L".tmp");
}

}  // namespace

const char* fileErrorCause(unsigned long error) {
    switch (error) {
    case FILE_ERROR_DISK_FULL:
    case FILE_ERROR_HANDLE_DISK_FULL: return "the drive is full";
    case FILE_ERROR_READ_ONLY: return "the file is read-only";
    case FILE_ERROR_WRITE_PROTECT: return "the drive is write-protected";
    case FILE_ERROR_SHARING_VIOLATION:
    case FILE_ERROR_LOCK_VIOLATION: return "another program has it open";
    case FILE_ERROR_PATH_NOT_FOUND: return "the folder does not exist";
    case FILE_ERROR_NOT_FOUND: return "the file does not exist";
    case FILE_ERROR_ACCESS_DENIED: return "access denied: you may not change this file or write in its folder";
    case FILE_ERROR_DIRECTORY: return "it is a folder, not a file";
    default: return nullptr;
    }
}

bool saveAsHelps(unsigned long error) {
    return error == FILE_ERROR_READ_ONLY || error == FILE_ERROR_SHARING_VIOLATION ||
           error == FILE_ERROR_LOCK_VIOLATION || error == FILE_ERROR_ACCESS_DENIED ||
           error == FILE_ERROR_WRITE_PROTECT;
}

void temporarySaveName(unsigned long number, wchar_t name[TEMPORARY_NAME_UNITS]) {
    wmemcpy(name, L"~zgw-", 5);
    for (int digit = 0; digit < 8; digit++) {
        name[5 + digit] = HEX_DIGITS[(number >> (28 - 4 * digit)) & 0xF];
    }
    wmemcpy(name + 13, L".tmp", 5);
}

bool isTemporarySaveName(const wchar_t* name) {
    return hasShape(name, L"~zgw-", 8) || hasShape(name, L"~zgw", 4);
}
