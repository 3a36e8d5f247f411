// Entry point of zarnoGlotStart, the program a user starts the editor with.
// The editor is built for the console subsystem, so started from Explorer
// it would open a console window beside its own; this window program starts
// zarnoGlotWriteW from its own folder without one, passing on its arguments
// (a file to open), and ends.
#include "editorState.h"
#include "messageBoxes.h"
#include "startCommandLine.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>

namespace {

const wchar_t* const EDITOR_FILE_NAME = L"zarnoGlotWriteW.exe";
// Room for the editor's command line: its path and a file to open.
constexpr size_t COMMAND_LINE_UNITS = 2 * PATH_UNITS + 64;

// The editor beside this program; false when the path does not fit.
bool editorPath(wchar_t path[PATH_UNITS]) {
    const DWORD length = GetModuleFileNameW(nullptr, path, PATH_UNITS);
    wchar_t* folderEnd = length > 0 && length < static_cast<DWORD>(PATH_UNITS) ? wcsrchr(path, L'\\') : nullptr;
    if (folderEnd == nullptr || (folderEnd - path) + 1 + wcslen(EDITOR_FILE_NAME) >= static_cast<size_t>(PATH_UNITS)) {
        return false;
    }
    wcscpy(folderEnd + 1, EDITOR_FILE_NAME);
    return true;
}

// Starts the editor with this program's arguments and show command. The
// editor is a console program: it gets no console window of its own.
bool startEditor(int showCommand) {
    wchar_t editor[PATH_UNITS];
    wchar_t commandLine[COMMAND_LINE_UNITS];
    if (!editorPath(editor) || !forwardedCommandLine(GetCommandLineW(), editor, commandLine, COMMAND_LINE_UNITS)) {
        return showError(nullptr, "The path of zarnoGlotWriteW.exe or of the file to open is too long.");
    }
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(showCommand);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(editor, commandLine, nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                        &process)) {
        char message[128];
        snprintf(message, sizeof message, "Could not start zarnoGlotWriteW.exe beside this program (error %lu).",
                 GetLastError());
        return showError(nullptr, message);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int showCommand) {
    return startEditor(showCommand) ? 0 : 1;
}
