#include "editorConsole.h"

#include "configuration.h"
#include "debugLog.h"

namespace {

// Windows ends a process five seconds after its console closed: the main
// window has a little less for the configuration.
constexpr DWORD CONSOLE_CLOSE_WAIT_MS = 4000;

HWND consoleWindowOwner = nullptr;
HANDLE settingsWritten = nullptr;

// Runs on a thread of its own, which Windows starts for the event: the
// editor's state belongs to the main thread, which is asked to do the work.
BOOL WINAPI consoleEvent(DWORD event) {
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
        PostMessageW(consoleWindowOwner, WM_CLOSE, 0, 0);
        return TRUE;
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
        if (PostMessageW(consoleWindowOwner, WM_CONSOLE_CLOSING, 0, 0)) {
            WaitForSingleObject(settingsWritten, CONSOLE_CLOSE_WAIT_MS);
        }
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace

bool releaseOwnConsole() {
    DWORD processes[2] = {0, 0};
    const DWORD count = GetConsoleProcessList(processes, 2);
    if (count == 1) {
        FreeConsole();
        logMessage("console: the editor's own, released");
        return false;
    }
    if (count >= 2) logMessage("console: shared with %lu other processes, kept", static_cast<unsigned long>(count - 1));
    return count >= 2;
}

void watchConsole(HWND mainWindow) {
    consoleWindowOwner = mainWindow;
    settingsWritten = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    SetConsoleCtrlHandler(consoleEvent, TRUE);
}

void consoleClosing() {
    logMessage("console: closing");
    writeConfiguration();
    SetEvent(settingsWritten);
}
