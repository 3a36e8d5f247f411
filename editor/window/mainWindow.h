// The main window: its class, menu, edit control, colours and the
// dispatcher of the menu commands (ids and commands in commands.h).
#pragma once

#include <windows.h>

constexpr const wchar_t* WINDOW_CLASS_WIDE_NAME = L"zarnoGlotWriteClass";
// The title until the window shows the document's (formatWindowTitle).
constexpr const wchar_t* WINDOW_TITLE = L"zarnoGlotWrite";

constexpr int EDIT_CONTROL_ID = 1;
// The product's icon among the program's resources (windows/program.rc.in).
constexpr int PRODUCT_ICON_ID = 1;
constexpr int MAIN_WINDOW_WIDTH = 900;
constexpr int MAIN_WINDOW_HEIGHT = 650;

HMENU buildMenu();
// The keyboard shortcuts of the message loop: Ctrl+N, Ctrl+O, Ctrl+S, F1 for
// Help and Ctrl+A for Select All (which not every edit control knows).
HACCEL createShortcuts();
LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void onCommand(HWND mainWindow, int commandId);
void switchColors();

// Registers the window class; false when the platform refuses.
bool registerMainWindowClass(HINSTANCE instance);
// Creates the main window with its menu; none when it cannot be made.
HWND createMainWindow(HINSTANCE instance, HMENU menu);
