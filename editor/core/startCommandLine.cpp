#include "startCommandLine.h"

#include <cwchar>

namespace {

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

bool editorPathIn(const wchar_t* folder, wchar_t* result, size_t resultUnits) {
    const size_t folderLength = wcslen(folder);
    if (folderLength == 0) {
        return false;
    }
    const bool separated = folder[folderLength - 1] == L'\\';
    const size_t nameLength = wcslen(EDITOR_FILE_NAME);
    if (folderLength + (separated ? 0 : 1) + nameLength + 1 > resultUnits) {
        return false;
    }
    wmemcpy(result, folder, folderLength);
    size_t end = folderLength;
    if (!separated) {
        result[end++] = L'\\';
    }
    wmemcpy(result + end, EDITOR_FILE_NAME, nameLength + 1);
    return true;
}
