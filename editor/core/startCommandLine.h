// The command line with which zarnoGlotStart starts the editor: the
// editor's path and the start program's own arguments (a file to open);
// and where it looks for the editor.
#pragma once

#include <cstddef>

constexpr const wchar_t* EDITOR_FILE_NAME = L"zarnoGlotWriteW.exe";

// Where the per-user installer records, for the current user, the folder it
// installed into (under HKEY_CURRENT_USER; windows/zarnoglot.wxs.in writes
// it): the start program looks there when the editor is not beside it.
constexpr const wchar_t* INSTALL_REGISTRY_KEY = L"Software\\ZarnoGlot";
constexpr const wchar_t* INSTALL_FOLDER_VALUE = L"InstallFolder";

// Builds into result (of resultUnits units) the path of the editor in
// folder: the folder, a backslash unless it ends with one, and
// EDITOR_FILE_NAME. False when the folder is empty or the path does not fit.
bool editorPathIn(const wchar_t* folder, wchar_t* result, size_t resultUnits);

// Builds into result (of resultUnits units) the command line that starts the
// program at programPath with the arguments of commandLine: everything after
// its first word, the name it was started by. False when it does not fit.
bool forwardedCommandLine(const wchar_t* commandLine, const wchar_t* programPath, wchar_t* result,
                          size_t resultUnits);
