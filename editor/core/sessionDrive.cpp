#include "sessionDrive.h"

#include <shlobj.h>

#include <cwchar>

namespace {

const wchar_t* const DRIVE_FOLDER_NAMES[] = {L"\\ZarnoGlot", L"\\DriveT"};

bool folderExists(const wchar_t* folder) {
    const DWORD attributes = GetFileAttributesW(folder);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool driveReachable(const wchar_t* drive) {
    const wchar_t top[4] = {drive[0], L':', L'\\', L'\0'};
    return folderExists(top);
}

// Where the program's first word, the name it was started by, ends: at the
// closing quote when it begins with one, else at the first blank.
const wchar_t* afterProgramName(const wchar_t* commandLine) {
    const wchar_t* position = commandLine;
    if (*position == L'"') {
        position++;
        while (*position != L'\0' && *position != L'"') position++;
        if (*position == L'"') position++;
    } else {
        while (*position != L'\0' && *position != L' ' && *position != L'\t') position++;
    }
    while (*position == L' ' || *position == L'\t') position++;
    return position;
}

}  // namespace

DrivePreparation prepareDrive(const wchar_t* drive, const wchar_t* folder) {
    if (driveReachable(drive)) {
        return DRIVE_PRESENT;
    }
    if (!folderExists(folder) && !CreateDirectoryW(folder, nullptr)) {
        return DRIVE_FOLDER_FAILED;
    }
    return DefineDosDeviceW(0, drive, folder) ? DRIVE_MAPPED : DRIVE_MAPPING_FAILED;
}

bool perUserDriveFolder(wchar_t folder[MAX_PATH]) {
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT,
                                folder))) {
        return false;
    }
    for (const wchar_t* name : DRIVE_FOLDER_NAMES) {
        if (wcslen(folder) + wcslen(name) >= MAX_PATH) {
            return false;
        }
        wcscat(folder, name);
        // The last folder is made, or its failure reported, by prepareDrive.
        CreateDirectoryW(folder, nullptr);
    }
    return true;
}

bool forwardedCommandLine(const wchar_t* commandLine, const wchar_t* programPath, wchar_t* result,
                          size_t resultUnits) {
    const wchar_t* arguments = afterProgramName(commandLine);
    const size_t pathLength = wcslen(programPath);
    const size_t argumentsLength = wcslen(arguments);
    // The quoted path, a blank and the arguments when there are any, the terminator.
    if (pathLength + 2 + (argumentsLength > 0 ? argumentsLength + 1 : 0) + 1 > resultUnits) {
        return false;
    }
    wchar_t* end = result;
    *end++ = L'"';
    wmemcpy(end, programPath, pathLength);
    end += pathLength;
    *end++ = L'"';
    if (argumentsLength > 0) {
        *end++ = L' ';
        wmemcpy(end, arguments, argumentsLength);
        end += argumentsLength;
    }
    *end = L'\0';
    return true;
}
