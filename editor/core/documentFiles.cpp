#include "documentFiles.h"

#include "editorState.h"
#include "textConversions.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace {


// Copies text into a destination of size units, cutting it to fit.
void copyBounded(wchar_t* destination, const wchar_t* text, size_t size) {
    const size_t length = wcsnlen(text, size - 1);
    wmemmove(destination, text, length);
    destination[length] = L'\0';
}

void stampOf(const BY_HANDLE_FILE_INFORMATION& information, FileStamp* stamp) {
    stamp->known = true;
    stamp->size = (static_cast<int64_t>(information.nFileSizeHigh) << 32) | information.nFileSizeLow;
    stamp->lastWriteTime = (static_cast<uint64_t>(information.ftLastWriteTime.dwHighDateTime) << 32) |
                           information.ftLastWriteTime.dwLowDateTime;
}

// Device names that Windows keeps for itself in every folder, with or
// without an extension.
bool deviceName(const wchar_t* name, size_t length) {
    static const wchar_t* const DEVICES[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
    size_t stem = 0;
    while (stem < length && name[stem] != L'.') stem++;
    while (stem > 0 && name[stem - 1] == L' ') stem--;
    for (const wchar_t* device : DEVICES) {
        if (stem == wcslen(device) && _wcsnicmp(name, device, stem) == 0) return true;
    }
    const bool numbered = stem == 4 && (_wcsnicmp(name, L"COM", 3) == 0 || _wcsnicmp(name, L"LPT", 3) == 0);
    return numbered && name[3] >= L'1' && name[3] <= L'9';
}

// Where the names of a path begin: after a drive ("C:", "C:\"), a network
// share ("\\server\share\") or a leading backslash.
size_t rootLength(const wchar_t* path) {
    if (path[0] != L'\0' && path[1] == L':') {
        return path[2] == L'\\' || path[2] == L'/' ? 3 : 2;
    }
    if ((path[0] == L'\\' || path[0] == L'/') && (path[1] == L'\\' || path[1] == L'/')) {
        size_t position = 2;
        for (int part = 0; part < 2 && path[position] != L'\0'; part++) {
            while (path[position] != L'\0' && path[position] != L'\\' && path[position] != L'/') position++;
            if (path[position] != L'\0') position++;
        }
        return position;
    }
    return path[0] == L'\\' || path[0] == L'/' ? 1 : 0;
}

DocumentFileResult readOpenFile(HANDLE file, char** bytes, int32_t* byteCount) {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size)) {
        return DOCUMENT_SIZE_FAILED;
    }
    if (size.QuadPart > MAX_DOCUMENT_BYTES) {
        return DOCUMENT_TOO_LARGE;
    }
    const DWORD length = static_cast<DWORD>(size.QuadPart);
    char* data = static_cast<char*>(malloc(static_cast<size_t>(length) + 1));
    if (data == nullptr) {
        return DOCUMENT_NO_MEMORY;
    }
    if (length > 0) {
        DWORD read = 0;
        if (!ReadFile(file, data, length, &read, nullptr) || read != length) {
            free(data);
            return DOCUMENT_READ_FAILED;
        }
    }
    data[length] = '\0';
    const TextEncoding encoding = length >= UTF16_MARK_BYTES ? detectEncoding(data, UTF16_MARK_BYTES) : ENCODING_UTF8;
    const bool utf16 = encoding == ENCODING_UTF16_LE || encoding == ENCODING_UTF16_BE;
    if (!utf16 && memchr(data, '\0', length) != nullptr) {
        free(data);
        return DOCUMENT_ZERO_BYTE;
    }
    *bytes = data;
    *byteCount = static_cast<int32_t>(length);
    return DOCUMENT_OK;
}

// What the file system knows of a file or folder, its identity included.
bool fileInformation(const wchar_t* path, BY_HANDLE_FILE_INFORMATION* information) {
    HANDLE handle = CreateFileW(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    const BOOL known = GetFileInformationByHandle(handle, information);
    CloseHandle(handle);
    return known != FALSE;
}

bool sameFileObject(const wchar_t* first, const wchar_t* second) {
    BY_HANDLE_FILE_INFORMATION one;
    BY_HANDLE_FILE_INFORMATION other;
    return fileInformation(first, &one) && fileInformation(second, &other) &&
           one.dwVolumeSerialNumber == other.dwVolumeSerialNumber && one.nFileIndexHigh == other.nFileIndexHigh &&
           one.nFileIndexLow == other.nFileIndexLow;
}

// Reads both files to their ends; true when they hold the same bytes.
bool sameBytes(HANDLE first, HANDLE second) {
    char one[4096];
    char other[4096];
    for (;;) {
        DWORD oneCount = 0;
        DWORD otherCount = 0;
        if (!ReadFile(first, one, sizeof one, &oneCount, nullptr) ||
            !ReadFile(second, other, sizeof other, &otherCount, nullptr)) {
            return false;
        }
        if (oneCount != otherCount || memcmp(one, other, oneCount) != 0) {
            return false;
        }
        if (oneCount == 0) {
            return true;
        }
    }
}

}  // namespace

const char* documentFileMessage(DocumentFileResult result) {
    switch (result) {
    case DOCUMENT_OK: return "";
    case DOCUMENT_OPEN_FAILED: return "Could not open the file.";
    case DOCUMENT_SIZE_FAILED: return "Could not determine the file size.";
    case DOCUMENT_TOO_LARGE: return "The file is too large.";
    case DOCUMENT_NO_MEMORY: return "Not enough memory.";
    case DOCUMENT_READ_FAILED: return "Could not read the file.";
    case DOCUMENT_ZERO_BYTE: return "The file contains a zero byte and cannot be edited.";
    case DOCUMENT_CREATE_FAILED: return "Could not open the file for writing.";
    case DOCUMENT_WRITE_FAILED: return "Could not write the file.";
    case DOCUMENT_NOT_UTF8:
    case DOCUMENT_NOT_CODE_PAGE: return "The file does not contain valid UTF-8 text.";
    case DOCUMENT_BAD_UTF16: return "The file is not complete UTF-16 text: it has an odd number of bytes.";
    case DOCUMENT_ZERO_CHARACTER: return "The file contains a zero character (U+0000) and cannot be edited.";
    case DOCUMENT_NOT_IN_CODE_PAGE: return "The document holds characters the system's code page does not have.";
    case DOCUMENT_NOT_UNICODE: return "Could not convert the document to UTF-8.";
    }
    return "";
}

DocumentFileResult readDocumentFile(const wchar_t* path, char** bytes, int32_t* byteCount, FileStamp* stamp,
                                    unsigned long* systemError) {
    *bytes = nullptr;
    *byteCount = 0;
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (systemError != nullptr) *systemError = file == INVALID_HANDLE_VALUE ? GetLastError() : 0;
    if (file == INVALID_HANDLE_VALUE) {
        return DOCUMENT_OPEN_FAILED;
    }
    // The stamp comes from the handle the bytes are read through, so it
    // tells of the very bytes read.
    BY_HANDLE_FILE_INFORMATION information;
    if (stamp != nullptr) {
        stamp->known = false;
        if (GetFileInformationByHandle(file, &information)) {
            stampOf(information, stamp);
        }
    }
    const DocumentFileResult result = readOpenFile(file, bytes, byteCount);
    if (systemError != nullptr && (result == DOCUMENT_READ_FAILED || result == DOCUMENT_SIZE_FAILED)) {
        *systemError = GetLastError();
    }
    CloseHandle(file);
    return result;
}

DocumentFileResult decodeDocument(const char* bytes, int32_t byteCount, bool codePageAccepted, wchar_t** text,
                                  int32_t* units, TextEncoding* encoding) {
    *text = nullptr;
    *units = 0;
    *encoding = detectEncoding(bytes, byteCount);
    if (*encoding == ENCODING_UTF16_LE || *encoding == ENCODING_UTF16_BE) {
        if (byteCount % 2 != 0) return DOCUMENT_BAD_UTF16;
        if (!unitsOfUtf16Bytes(bytes + UTF16_MARK_BYTES, byteCount - UTF16_MARK_BYTES,
                               *encoding == ENCODING_UTF16_BE, text, units)) {
            return DOCUMENT_NO_MEMORY;
        }
        if (!holdsZeroUnit(*text, *units)) return DOCUMENT_OK;
        free(*text);
        *text = nullptr;
        *units = 0;
        return DOCUMENT_ZERO_CHARACTER;
    }
    if (*encoding == ENCODING_UTF8) {
        return utf8ToUtf16(bytes, byteCount, text, units) ? DOCUMENT_OK : DOCUMENT_NO_MEMORY;
    }
    if (GetACP() == CP_UTF8) return DOCUMENT_NOT_CODE_PAGE;
    if (!codePageAccepted) return DOCUMENT_NOT_UTF8;
    const int length = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes, byteCount, nullptr, 0);
    if (length <= 0) return DOCUMENT_NOT_CODE_PAGE;
    wchar_t* block = static_cast<wchar_t*>(malloc((static_cast<size_t>(length) + 1) * sizeof(wchar_t)));
    if (block == nullptr) return DOCUMENT_NO_MEMORY;
    MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes, byteCount, block, length);
    block[length] = L'\0';
    *text = block;
    *units = length;
    return DOCUMENT_OK;
}

bool userDocumentsFolder(wchar_t folder[PATH_UNITS]) {
    folder[0] = L'\0';
    return SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, folder)) &&
           folder[0] != L'\0';
}

void readFileStamp(const wchar_t* path, FileStamp* stamp) {
    BY_HANDLE_FILE_INFORMATION information;
    stamp->known = false;
    if (fileInformation(path, &information) && (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        stampOf(information, stamp);
    }
}

bool fileUnchangedSince(const wchar_t* path, const FileStamp& stamp) {
    FileStamp now;
    readFileStamp(path, &now);
    return !now.known || (now.size == stamp.size && now.lastWriteTime == stamp.lastWriteTime);
}

bool validFileName(const wchar_t* name, size_t length) {
    if (length == 0 || name[length - 1] == L'.' || name[length - 1] == L' ') {
        return false;
    }
    for (size_t i = 0; i < length; i++) {
        if (name[i] < 32 || wcschr(L"\\/:*?\"<>|", name[i]) != nullptr) return false;
    }
    return !deviceName(name, length);
}

PathProblem pathProblem(const wchar_t* path, bool isFolder) {
    const size_t length = wcslen(path);
    if (length >= static_cast<size_t>(PATH_UNITS) || (isFolder && length > MAX_FOLDER_UNITS)) {
        return PATH_TOO_LONG;
    }
    size_t begin = rootLength(path);
    while (begin < length) {
        size_t end = begin;
        while (end < length && path[end] != L'\\' && path[end] != L'/') end++;
        const bool last = end == length;
        const size_t nameLength = end - begin;
        const bool dots = (nameLength == 1 && path[begin] == L'.') ||
                          (nameLength == 2 && path[begin] == L'.' && path[begin + 1] == L'.');
        if (!dots && !validFileName(path + begin, nameLength)) {
            return last && !isFolder ? PATH_BAD_FILE_NAME : PATH_BAD_FOLDER_NAME;
        }
        if (last && !isFolder && dots) {
            return PATH_BAD_FILE_NAME;
        }
        begin = end + 1;
    }
    // A file's path names the file last.
    const bool noFileName = length == 0 || path[length - 1] == L'\\' || path[length - 1] == L'/' ||
                            rootLength(path) == length;
    return !isFolder && noFileName ? PATH_BAD_FILE_NAME : PATH_FINE;
}

const char* pathProblemMessage(PathProblem problem) {
    switch (problem) {
    case PATH_FINE: return "";
    case PATH_TOO_LONG:
        return "The path is too long: Windows takes at most 259 characters for the folders and the file name "
               "together.";
    case PATH_BAD_FILE_NAME:
        return "Windows cannot store a file of this name: a name cannot be empty, hold \\ / : * ? \" < > | or "
               "a control character, end with a dot or a blank, or be a device name such as CON or NUL.";
    case PATH_BAD_FOLDER_NAME:
        return "Windows cannot store a folder of this name: a name cannot be empty, hold \\ / : * ? \" < > | or "
               "a control character, end with a dot or a blank, or be a device name such as CON or NUL.";
    }
    return "";
}

void updateDataDirectory() {
    wchar_t folder[PATH_UNITS];
    copyBounded(folder, editorState.currentFileName, PATH_UNITS);
    wchar_t* lastBackslash = wcsrchr(folder, L'\\');
    if (lastBackslash == nullptr) {
        return;
    }
    *lastBackslash = L'\0';
    copyBounded(editorState.dataDirectory, folder, PATH_UNITS);
}

const wchar_t* fileNamePart(const wchar_t* path) {
    const wchar_t* lastBackslash = wcsrchr(path, L'\\');
    return lastBackslash == nullptr ? path : lastBackslash + 1;
}

VocabularyNameResult vocabularyNameOfPath(const wchar_t* path, wchar_t* name) {
    const wchar_t* fileName = fileNamePart(path);
    if (wcslen(fileName) >= static_cast<size_t>(NAME_SIZE)) {
        return VOCABULARY_NAME_TOO_LONG;
    }
    copyBounded(name, fileName, NAME_SIZE);
    return VOCABULARY_NAME_OK;
}

bool fileLiesInFolder(const wchar_t* path, const wchar_t* folder) {
    const wchar_t* lastBackslash = wcsrchr(path, L'\\');
    if (lastBackslash == nullptr) {
        return sameFileObject(L".", folder);
    }
    wchar_t pathFolder[PATH_UNITS + 1];
    const size_t length = static_cast<size_t>(lastBackslash - path);
    if (length + 2 > static_cast<size_t>(PATH_UNITS)) {
        return false;
    }
    wmemcpy(pathFolder, path, length);
    // The top folder of a drive keeps its backslash: "C:" alone would be
    // the drive's current directory.
    const bool driveTop = length == 2 && path[1] == L':';
    pathFolder[length] = driveTop ? L'\\' : L'\0';
    pathFolder[length + 1] = L'\0';
    return sameFileObject(pathFolder, folder);
}

CopyTarget compareCopyTarget(const wchar_t* source, const wchar_t* target) {
    HANDLE targetFile = CreateFileW(target, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (targetFile == INVALID_HANDLE_VALUE) {
        return GetLastError() == ERROR_FILE_NOT_FOUND ? COPY_TARGET_ABSENT : COPY_TARGET_DIFFERENT;
    }
    HANDLE sourceFile = CreateFileW(source, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    const bool same = sourceFile != INVALID_HANDLE_VALUE && sameBytes(sourceFile, targetFile);
    if (sourceFile != INVALID_HANDLE_VALUE) {
        CloseHandle(sourceFile);
    }
    CloseHandle(targetFile);
    return same ? COPY_TARGET_SAME : COPY_TARGET_DIFFERENT;
}
