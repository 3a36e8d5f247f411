// Entry point of zarnoGlotStart, the program a user starts the editor with.
// The editor is built for the console subsystem, so started from Explorer
// it would open a console window beside its own; this window program starts
// zarnoGlotWriteW without one, passing on its arguments (a file to open),
// and ends. It looks for the editor beside itself first, then in the folder
// the installer recorded, so that a copy of it elsewhere (on the desktop,
// say) still starts the installed editor.
#include "configuration.h"
#include "editorState.h"
#include "messageBoxes.h"
#include "startCommandLine.h"
#include "textConversions.h"

#include <windows.h>

#include <cstdio>

namespace {

// Room for the editor's command line: its path and a file to open.
constexpr size_t COMMAND_LINE_UNITS = 2 * PATH_UNITS + 64;

bool isFile(const wchar_t* path) {
    const DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// This program's folder; false when its path does not fit.
bool ownFolder(wchar_t folder[PATH_UNITS]) {
    const DWORD length = GetModuleFileNameW(nullptr, folder, PATH_UNITS);
    if (length == 0 || length >= static_cast<DWORD>(PATH_UNITS)) {
        return false;
    }
    cutToFolder(folder);
    return true;
}

// The folder the installer recorded for this user; false when there is none.
bool installedFolder(wchar_t folder[PATH_UNITS]) {
    DWORD bytes = PATH_UNITS * sizeof(wchar_t);
    return RegGetValueW(HKEY_CURRENT_USER, INSTALL_REGISTRY_KEY, INSTALL_FOLDER_VALUE, RRF_RT_REG_SZ, nullptr, folder,
                        &bytes) == ERROR_SUCCESS;
}

bool editorIn(bool (*folderOf)(wchar_t*), wchar_t editor[PATH_UNITS]) {
    wchar_t folder[PATH_UNITS];
    return folderOf(folder) && editorPathIn(folder, editor, PATH_UNITS) && isFile(editor);
}

// Starts the editor with this program's arguments and show command. The
// editor is a console program: it gets no console window of its own.
bool startEditor(int showCommand) {
    wchar_t editor[PATH_UNITS];
    if (!editorIn(ownFolder, editor) && !editorIn(installedFolder, editor)) {
        return showError(nullptr,
                         "zarnoGlotWriteW.exe is neither beside this program nor in the folder ZarnoGlot was installed "
                         "to.\n\nStart ZarnoGlot from its Start-menu entry or from the folder that holds all its "
                         "programs; a shortcut to zarnoGlotStart.exe there may be anywhere.");
    }
    wchar_t commandLine[COMMAND_LINE_UNITS];
    if (!forwardedCommandLine(GetCommandLineW(), editor, commandLine, COMMAND_LINE_UNITS)) {
        return showError(nullptr, "The path of zarnoGlotWriteW.exe or of the file to open is too long.");
    }
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(showCommand);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(editor, commandLine, nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                        &process)) {
        const DWORD error = GetLastError();
        char message[UTF8_PATH_BYTES + 64];
        snprintf(message, sizeof message, "Could not start %s (error %lu).", utf8Name(editor).text, error);
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
