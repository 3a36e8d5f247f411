// The main window: its class, menu, edit control, colours and the
// dispatcher of the menu commands (ids and commands in commands.h).
#pragma once

#include <windows.h>

extern const char* const WINDOW_CLASS_NAME;   // "zarnoGlotWriteClass"
extern const char* const WINDOW_TITLE;        // "zarnoGlotWrite"
extern const char* const HELP_TEXT;
extern const char* const USER_GUIDE_FILE;   // opened beside the program by Help > User Guide

constexpr int EDIT_CONTROL_ID = 1;
constexpr int MAIN_WINDOW_WIDTH = 900;
constexpr int MAIN_WINDOW_HEIGHT = 650;

HMENU buildMenu();
LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void onCommand(HWND mainWindow, int commandId);
void switchColors();

// Registers the window class; false when the platform refuses.
bool registerMainWindowClass(HINSTANCE instance);
// Creates the main window with its menu; none when it cannot be made.
HWND createMainWindow(HINSTANCE instance, HMENU menu);
