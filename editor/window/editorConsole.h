// The console the editor may have: it is a console program, so started on
// its own (a double click) Windows gives it a console window of its own,
// which it releases at once; started from a command window it shares that
// console, keeps it, and writes its configuration when the console closes.
#pragma once

#include <windows.h>

// The message the main window gets when the console it shares is closing.
constexpr UINT WM_CONSOLE_CLOSING = WM_APP + 1;

// Releases a console that only the editor is attached to. True when the
// editor keeps a console it shares (watchConsole then follows it).
bool releaseOwnConsole();

// Follows the shared console's events: Ctrl+C and Ctrl+Break close the
// window as its close button does; closing the console (or the session
// ending) has the main window write the configuration before the end.
void watchConsole(HWND mainWindow);

// The main window's part when the console is closing: writes the
// configuration and lets the console's event go on to the end.
void consoleClosing();
