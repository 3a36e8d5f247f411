// Entry point of zarnoGlotWriteW. The program is linked for the console
// subsystem; with no main of its own, the MinGW runtime's main calls WinMain
// with the show command the program was started with.
#include "configuration.h"
#include "debugLog.h"
#include "logFormat.h"
#include "mainWindow.h"
#include "messageBoxes.h"

#include <objbase.h>

// The log, the program's own folder as the current directory and the
// configuration, in this order; a failure of any ends the process with its
// fatal box.
static void startUp() {
    if (!openDebugLog()) {
        fatalError("Fatal Error - No Debug Log", "Failed to open debug log file:\n%s\n\n", LOG_FILE_PATH);
    }
    unsigned long error = 0;
    if (!setWorkingDirectory(&error)) {
        fatalError("Fatal Error - Unable to set working directory", "SetCurrentDirectory failed: %lu\n", error);
    }
    if (!readConfiguration()) {
        fatalError("Fatal Error - No configuttation file", "Failed to open configration file:\n[%s]\n\n",
                   CONFIGURATION_FILE_NAME);
    }
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    startUp();
    SetProcessDPIAware();
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
        fatalError("Fatal Error - COM initialization failed", "CoInitializeEx() failed: %lu\n", GetLastError());
    }
    if (!registerMainWindowClass(instance)) {
        showError(nullptr, "Unable to register application window class.");
        return 1;
    }
    HWND mainWindow = createMainWindow(instance, buildMenu());
    if (mainWindow == nullptr) {
        showError(nullptr, "Unable to create application window class.");
        return 1;
    }
    ShowWindow(mainWindow, showCommand);
    UpdateWindow(mainWindow);

    MSG message = {};
    // A wide message loop, so typed characters reach the UTF-16 edit control
    // without passing through the ANSI code page.
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }

    CoUninitialize();
    writeConfiguration();
    closeDebugLog();
    return static_cast<int>(message.wParam);
}
