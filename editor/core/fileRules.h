// Window-free rules of the document files: what a system error means to
// the user, which failures a save under another name gets round, and the
// names of the temporary files a save writes. Built without Windows, so that
// they are checked natively too.
#pragma once

#include <cstddef>

// The system's error codes the rules know (the values of winerror.h).
constexpr unsigned long FILE_ERROR_NOT_FOUND = 2;
constexpr unsigned long FILE_ERROR_PATH_NOT_FOUND = 3;
constexpr unsigned long FILE_ERROR_ACCESS_DENIED = 5;
constexpr unsigned long FILE_ERROR_WRITE_PROTECT = 19;
constexpr unsigned long FILE_ERROR_SHARING_VIOLATION = 32;
constexpr unsigned long FILE_ERROR_LOCK_VIOLATION = 33;
constexpr unsigned long FILE_ERROR_HANDLE_DISK_FULL = 39;
constexpr unsigned long FILE_ERROR_DISK_FULL = 112;
constexpr unsigned long FILE_ERROR_DIRECTORY = 267;
constexpr unsigned long FILE_ERROR_READ_ONLY = 6009;

// The cause of a failed file operation in the user's words ("the drive is
// full"), or none for an error the system's own message has to tell.
const char* fileErrorCause(unsigned long error);

// Whether saving under another name gets round the failure: the file is
// read-only, another program holds it, or it may not be written.
bool saveAsHelps(unsigned long error);

// Units of a temporary file's own name, terminator included.
constexpr size_t TEMPORARY_NAME_UNITS = 18;

// "~zgw-0123abcd.tmp": a name no document has, with number in hexadecimal.
void temporarySaveName(unsigned long number, wchar_t name[TEMPORARY_NAME_UNITS]);

// Whether a file name is one of the save's temporary files: this version's
// form, or the "~zgwXXXX.tmp" of earlier versions.
bool isTemporarySaveName(const wchar_t* name);
