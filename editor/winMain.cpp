// Entry point of zarnoGlotWriteW. The program is linked for the console
// subsystem; with no main of its own, the MinGW runtime's main calls WinMain
// with the show command the program was started with.
#include "configuration.h"
#include "debugLog.h"
#include "editorState.h"
#include "mainWindow.h"

#include <objbase.h>

#include <cstdio>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    openDebugLog();
    setWorkingDirectory();
    readConfiguration();

    SetProcessDPIAware();
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
        fatalError("Fatal Error - COM initialization failed", "CoInitializeEx() failed: %lu\n", GetLastError());
    }
    if (!registerMainWindowClass(instance)) {
        MessageBoxA(nullptr, "Unable to register application window class.", PROGRAM_CAPTION, MB_OK | MB_ICONERROR);
        return 1;
    }
    HWND mainWindow = createMainWindow(instance, buildMenu());
    if (mainWindow == nullptr) {
        MessageBoxA(nullptr, "Unable to create application window class.", PROGRAM_CAPTION, MB_OK | MB_ICONERROR);
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
