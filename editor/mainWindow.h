// The main window: its class, menu, edit control, colours and the
// dispatcher of the menu commands.
#pragma once

#include <windows.h>

extern const char* const WINDOW_CLASS_NAME;   // "zarnoGlotWriteClass"
extern const char* const WINDOW_TITLE;        // "zarnoGlotWrite"
extern const char* const HELP_TEXT;
extern const char* const USER_GUIDE_FILE;   // opened beside the program by Help > User Guide

enum MenuCommand {
    CMD_FILE_NEW = 11,
    CMD_FILE_OPEN = 12,
    CMD_FILE_SAVE = 13,
    CMD_FILE_SAVE_AS = 14,
    CMD_FILE_EXIT = 15,
    CMD_EDIT_UNDO = 21,
    CMD_EDIT_CUT = 22,
    CMD_EDIT_COPY = 23,
    CMD_EDIT_PASTE = 24,
    CMD_EDIT_DELETE = 25,
    CMD_EDIT_SELECT_ALL = 26,
    CMD_SELECT_VOCABULARY = 31,
    CMD_SHUFFLE = 32,
    CMD_HARVEST = 33,
    CMD_TO_ZARNOGLOT_CLIPBOARD = 41,
    CMD_FROM_ZARNOGLOT_CLIPBOARD = 42,
    CMD_TO_ZARNOGLOT = 43,
    CMD_FROM_ZARNOGLOT = 44,
    CMD_SELECT_FONT = 51,
    CMD_SELECT_DATA_DIRECTORY = 52,
    CMD_HELP = 91,
    CMD_USER_GUIDE = 92,
    CMD_ABOUT = 93,
};

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
