// Entry point of zarnoGlotWriteW. The program is linked for the console
// subsystem; with no main of its own, the MinGW runtime's main calls WinMain
// with the show command the program was started with.
#include "configuration.h"
#include "debugLog.h"
#include "documentFiles.h"
#include "editorConsole.h"
#include "mainWindow.h"
#include "messageBoxes.h"

#include "fileCommands.h"

#include "textConversions.h"

#include <objbase.h>
#include <shellapi.h>

#include <cstdlib>
#include <cwchar>

// The log (on drive T:, else in the local application data), the
// program's own folder as the current directory and the configuration, in
// this order; a failure of any ends the process with its fatal box.
static void startUp() {
    if (!openDebugLog()) {
        fatalError("Fatal Error - No Debug Log", "Failed to open debug log file:\n%s\n\n", debugLogPlaces());
    }
    unsigned long error = 0;
    if (!setWorkingDirectory(&error)) {
        fatalError("Fatal Error - Unable to set working directory", "SetCurrentDirectory failed: %lu\n", error);
    }
    if (!readConfiguration()) {
        fatalError("Fatal Error - No configuttation file", "Failed to open configration file:\n[%s]\n\n",
                   CONFIGURATION_FILE_NAME);
    }
    // A new configuration names no folder: the user's own Documents, never
    // a folder other users of the machine can read.
    if (editorState.dataDirectory[0] == L'\0' && userDocumentsFolder(editorState.dataDirectory)) {
        logMessage("data directory: [%s] (the user's Documents)", utf8Name(editorState.dataDirectory).text);
    }
}

// The file named by the first argument (Open With, or a file dropped on the
// program's icon) as a full path, taken before the program makes its own
// folder the current directory; a new block, or none without an argument.
static wchar_t* startFileArgument() {
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (arguments == nullptr) {
        return nullptr;
    }
    wchar_t* path = nullptr;
    if (count > 1 && arguments[1][0] != L'\0') {
        // The size asked for first counts the terminator.
        const DWORD units = GetFullPathNameW(arguments[1], 0, nullptr, nullptr);
        path = units > 0 ? static_cast<wchar_t*>(malloc(units * sizeof(wchar_t))) : nullptr;
        const DWORD written = path != nullptr ? GetFullPathNameW(arguments[1], units, path, nullptr) : 0;
        if (written == 0 || written >= units) {
            free(path);
            path = _wcsdup(arguments[1]);
        }
    }
    LocalFree(arguments);
    return path;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    wchar_t* startFile = startFileArgument();
    startUp();
    const bool sharedConsole = releaseOwnConsole();
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
    if (sharedConsole) {
        watchConsole(mainWindow);
    }
    ShowWindow(mainWindow, showCommand);
    UpdateWindow(mainWindow);
    if (startFile != nullptr) {
        file_open_path(mainWindow, startFile);
        free(startFile);
    }

    HACCEL shortcuts = createShortcuts();
    MSG message = {};
    // A wide message loop, so typed characters reach the UTF-16 edit control
    // without passing through the ANSI code page.
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (shortcuts != nullptr && TranslateAcceleratorW(mainWindow, shortcuts, &message)) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    if (shortcuts != nullptr) {
        DestroyAcceleratorTable(shortcuts);
    }

    CoUninitialize();
    writeConfiguration();
    closeDebugLog();
    return static_cast<int>(message.wParam);
}
