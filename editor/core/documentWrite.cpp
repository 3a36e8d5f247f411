// Writing document files (declared in documentFiles.h): the bytes in the
// document's encoding, a temporary file beside the target that replaces it
// in one step, and the removal of temporary files an interrupted save left.
#include "documentFiles.h"

#include "documentEncoding.h"
#include "fileRules.h"
#include "textConversions.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace {

// Room for a folder of a path of PATH_UNITS, the long-path prefix and a
// name of the folder's own.
constexpr int BESIDE_PATH_SIZE = PATH_UNITS + 40;
constexpr int TEMPORARY_NAME_TRIES = 100;
// The attributes a saved document keeps from the file it replaces.
constexpr DWORD KEPT_ATTRIBUTES = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                  FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// Forms the path of the name in the folder of path. A path that would be
// too long for the plain form gets the long-path prefix.
bool pathBeside(const wchar_t* path, const wchar_t* ownName, wchar_t name[BESIDE_PATH_SIZE]) {
    const wchar_t* slash = wcsrchr(path, L'\\');
    const wchar_t* forward = wcsrchr(path, L'/');
    if (forward != nullptr && (slash == nullptr || forward > slash)) {
        slash = forward;
    }
    const int folderLength = slash == nullptr ? 0 : static_cast<int>(slash - path) + 1;
    const int ownLength = static_cast<int>(wcslen(ownName));
    const bool drivePath = folderLength >= 3 && path[1] == L':' && path[2] == L'\\';
    const bool networkPath = folderLength >= 2 && path[0] == L'\\' && path[1] == L'\\' && path[2] != L'?';
    const bool tooLong = folderLength + ownLength >= PATH_UNITS;
    const wchar_t* prefix = L"";
    const wchar_t* folder = path;
    if (tooLong && drivePath) {
        prefix = L"\\\\?\\";
    } else if (tooLong && networkPath) {
        prefix = L"\\\\?\\UNC\\";
        folder = path + 2;
    }
    const int prefixLength = static_cast<int>(wcslen(prefix));
    const int copiedLength = folderLength - static_cast<int>(folder - path);
    if (prefixLength + copiedLength + ownLength + 1 > BESIDE_PATH_SIZE) {
        return false;
    }
    wmemcpy(name, prefix, prefixLength);
    wmemcpy(name + prefixLength, folder, copiedLength);
    wmemcpy(name + prefixLength + copiedLength, ownName, ownLength + 1);
    return true;
}

// False when an existing target could not be replaced: a read-only file, a
// folder, a file another program holds open, or a missing folder; *error
// says which. *attributes receives those the saved file is to keep.
bool targetIsReplaceable(const wchar_t* path, DWORD* attributes, unsigned long* error) {
    const DWORD existing = GetFileAttributesW(path);
    *attributes = FILE_ATTRIBUTE_ARCHIVE;
    if (existing == INVALID_FILE_ATTRIBUTES) {
        *error = GetLastError();
        return *error == ERROR_FILE_NOT_FOUND;
    }
    if (existing & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) {
        *error = (existing & FILE_ATTRIBUTE_DIRECTORY) ? FILE_ERROR_DIRECTORY : FILE_ERROR_READ_ONLY;
        return false;
    }
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        *error = GetLastError();
        return false;
    }
    CloseHandle(file);
    *attributes = existing & KEPT_ATTRIBUTES;
    if (*attributes == 0) *attributes = FILE_ATTRIBUTE_NORMAL;
    return true;
}

// A new hidden temporary file of a name no document has, in the folder of
// path, written through to the disk.
HANDLE createTemporaryBeside(const wchar_t* path, wchar_t name[BESIDE_PATH_SIZE], unsigned long* error) {
    const unsigned long seed = GetCurrentProcessId() * 2654435761u + static_cast<unsigned long>(GetTickCount64());
    for (unsigned long attempt = 0; attempt < TEMPORARY_NAME_TRIES; attempt++) {
        wchar_t ownName[TEMPORARY_NAME_UNITS];
        temporarySaveName(seed + attempt * 40503u, ownName);
        if (!pathBeside(path, ownName, name)) {
            *error = ERROR_FILENAME_EXCED_RANGE;
            break;
        }
        HANDLE file = CreateFileW(name, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_WRITE_THROUGH, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            return file;
        }
        *error = GetLastError();
        if (*error != ERROR_FILE_EXISTS && *error != ERROR_ALREADY_EXISTS) {
            break;
        }
    }
    return INVALID_HANDLE_VALUE;
}

bool writeAndFlush(HANDLE file, const char* bytes, int32_t byteCount, unsigned long* error) {
    if (byteCount > 0) {
        DWORD written = 0;
        if (!WriteFile(file, bytes, static_cast<DWORD>(byteCount), &written, nullptr)) {
            *error = GetLastError();
            return false;
        }
        if (written != static_cast<DWORD>(byteCount)) {
            *error = ERROR_DISK_FULL;
            return false;
        }
    }
    if (!FlushFileBuffers(file)) {
        *error = GetLastError();
        return false;
    }
    return true;
}

// The code page's bytes of the text; *representable false when a character
// has none there (nothing is handed out then).
bool codePageBytes(const wchar_t* text, int32_t units, char** bytes, int32_t* byteCount, bool* representable) {
    *representable = true;
    if (units == 0) return true;
    BOOL defaulted = FALSE;
    const int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, units, nullptr, 0, nullptr, &defaulted);
    if (defaulted || length <= 0) {
        *representable = !defaulted;
        return !defaulted && length > 0;
    }
    char* block = static_cast<char*>(malloc(static_cast<size_t>(length)));
    if (block == nullptr) return false;
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, units, block, length, nullptr, &defaulted);
    *bytes = block;
    *byteCount = length;
    return true;
}

}  // namespace

int removeTemporaryFiles(const wchar_t* path) {
    wchar_t pattern[BESIDE_PATH_SIZE];
    if (!pathBeside(path, L"~zgw*.tmp", pattern)) return 0;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern, &found);
    if (search == INVALID_HANDLE_VALUE) return 0;
    int removed = 0;
    do {
        wchar_t name[BESIDE_PATH_SIZE];
        // A save under way in another window holds its file open: that one stays.
        if (isTemporarySaveName(found.cFileName) && (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
            pathBeside(path, found.cFileName, name) && DeleteFileW(name)) {
            removed++;
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return removed;
}

DocumentFileResult encodeDocument(const wchar_t* text, int32_t units, TextEncoding encoding, char** bytes,
                                  int32_t* byteCount, bool* representable) {
    *bytes = nullptr;
    *byteCount = 0;
    *representable = true;
    bool converted = false;
    if (encoding == ENCODING_UTF16_LE || encoding == ENCODING_UTF16_BE) {
        converted = utf16BytesOfUnits(text, units, encoding == ENCODING_UTF16_BE, bytes, byteCount);
    } else if (encoding == ENCODING_CODE_PAGE && GetACP() != CP_UTF8) {
        converted = codePageBytes(text, units, bytes, byteCount, representable);
        if (!*representable) return DOCUMENT_NOT_IN_CODE_PAGE;
    } else if (!utf16ToUtf8(text, units, bytes, byteCount)) {
        return DOCUMENT_NOT_UNICODE;
    } else {
        converted = true;
    }
    return converted ? DOCUMENT_OK : DOCUMENT_NO_MEMORY;
}

DocumentFileResult writeDocumentFile(const wchar_t* path, const char* bytes, int32_t byteCount,
                                     unsigned long* systemError) {
    unsigned long ignored = 0;
    unsigned long* error = systemError != nullptr ? systemError : &ignored;
    *error = 0;
    DWORD attributes = FILE_ATTRIBUTE_NORMAL;
    if (!targetIsReplaceable(path, &attributes, error)) {
        return DOCUMENT_CREATE_FAILED;
    }
    removeTemporaryFiles(path);
    wchar_t temporary[BESIDE_PATH_SIZE];
    HANDLE file = createTemporaryBeside(path, temporary, error);
    if (file == INVALID_HANDLE_VALUE) {
        return DOCUMENT_CREATE_FAILED;
    }
    const bool written = writeAndFlush(file, bytes, byteCount, error);
    CloseHandle(file);
    // The replaced file's attributes, not the temporary file's hidden ones.
    if (written && SetFileAttributesW(temporary, attributes) &&
        MoveFileExW(temporary, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return DOCUMENT_OK;
    }
    if (written) *error = GetLastError();
    DeleteFileW(temporary);
    return DOCUMENT_WRITE_FAILED;
}

void describeFileFailure(const char* headline, const wchar_t* path, unsigned long error, char* text, int size) {
    if (error == 0) {
        snprintf(text, static_cast<size_t>(size), "%s\n%s", headline, utf8Name(fileNamePart(path)).text);
        return;
    }
    char cause[512];
    const char* ours = fileErrorCause(error);
    wchar_t systemText[256];
    const DWORD length = ours != nullptr ? 0
                                         : FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                                          nullptr, error, 0, systemText, 256, nullptr);
    if (ours != nullptr) {
        snprintf(cause, sizeof cause, "%s", ours);
    } else if (length > 0 && utf16ToUtf8Name(systemText, cause, sizeof cause)) {
        // The system's sentence without its full stop and line end.
        size_t end = strlen(cause);
        while (end > 0 && (cause[end - 1] == '\r' || cause[end - 1] == '\n' || cause[end - 1] == ' ' ||
                           cause[end - 1] == '.')) {
            end--;
        }
        cause[end] = '\0';
    } else {
        snprintf(cause, sizeof cause, "Windows error %lu", error);
    }
    snprintf(text, static_cast<size_t>(size), "%s\n%s: %s.", headline, utf8Name(fileNamePart(path)).text, cause);
}
