// The menu's command ids and the commands the main window's dispatcher runs
// for them. Each command takes the main window as the owner of its boxes and
// dialogs and returns false on failure or cancellation; the dispatcher
// ignores the result.
#pragma once

#include <windows.h>

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

// File menu (fileCommands.cpp).
bool file_new(HWND owner);
bool file_open(HWND owner);
bool file_save(HWND owner);
bool file_save_as(HWND owner);

// Vocabulary > Select Vocabulary and the Configuration menu (settingsDialogs.cpp).
bool select_vcb(HWND owner);
bool select_font(HWND owner);
bool select_data_dir(HWND owner);

// Vocabulary > Shuffle and Vocabulary > Harvest (vocabularyCommands.cpp).
bool shuffle_vcb(HWND owner);
bool harvest_words(HWND owner);

// Translate menu: the clipboard (clipboardCommands.cpp) and the document
// (translateCommands.cpp).
bool translate_to_clipboard(HWND owner);
bool translate_from_clipboard(HWND owner);
bool translate_to_zarnoglot(HWND owner);
bool translate_from_zarnoglot(HWND owner);
