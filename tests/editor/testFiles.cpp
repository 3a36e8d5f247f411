#include "testFiles.h"

#include "testSupport.h"

#include <windows.h>
#include <winioctl.h>

#include <cstring>

std::vector<std::string> folderEntries(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA(joinPath(folder, "*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        if (strcmp(entry.cFileName, ".") != 0 && strcmp(entry.cFileName, "..") != 0) {
            names.push_back(entry.cFileName);
        }
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    return names;
}

bool makeSparseFile(const std::string& path, long long size) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD returned = 0;
    DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);
    LARGE_INTEGER end;
    end.QuadPart = size;
    const bool sized = SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    CloseHandle(file);
    return sized;
}

void removeWritableTree(const std::string& folder) {
    for (const std::string& name : folderEntries(folder)) {
        SetFileAttributesA(joinPath(folder, name).c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    removeTree(folder);
}
