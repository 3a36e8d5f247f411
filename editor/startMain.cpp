// Entry point of zarnoGlotStart, the program a user starts the editor with.
// The editor keeps its log on drive T: and refuses to start without it; when
// the drive is missing this program maps it to a per-user folder for the
// rest of the session. Then it starts zarnoGlotWriteW from its own folder,
// passing on its arguments (a file to open), and ends.
#include "messageBoxes.h"
#include "sessionDrive.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>

namespace {

const wchar_t* const EDITOR_FILE_NAME = L"zarnoGlotWriteW.exe";
// Room for the editor's command line: its path and a file to open.
constexpr size_t COMMAND_LINE_UNITS = 2 * MAX_PATH + 64;

bool makeDriveT() {
    wchar_t folder[MAX_PATH];
    const DrivePreparation prepared =
        perUserDriveFolder(folder) ? prepareDrive(LOG_DRIVE, folder) : DRIVE_FOLDER_FAILED;
    if (prepared == DRIVE_FOLDER_FAILED) {
        return showError(nullptr, "Could not make the folder for drive T: in the user's application data.");
    }
    if (prepared == DRIVE_MAPPING_FAILED) {
        char message[128];
        snprintf(message, sizeof message, "Could not map drive T:, where the editor keeps its log (error %lu).",
                 GetLastError());
        return showError(nullptr, message);
    }
    return true;
}

// The editor beside this program; false when the path does not fit.
bool editorPath(wchar_t path[MAX_PATH]) {
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    wchar_t* folderEnd = length > 0 && length < MAX_PATH ? wcsrchr(path, L'\\') : nullptr;
    if (folderEnd == nullptr || (folderEnd - path) + 1 + wcslen(EDITOR_FILE_NAME) >= MAX_PATH) {
        return false;
    }
    wcscpy(folderEnd + 1, EDITOR_FILE_NAME);
    return true;
}

// Starts the editor with this program's arguments and show command. The
// editor is a console program: it gets no console window of its own.
bool startEditor(int showCommand) {
    wchar_t editor[MAX_PATH];
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
    return makeDriveT() && startEditor(showCommand) ? 0 : 1;
}
