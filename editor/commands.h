// The menu commands reached from the main window's dispatcher. Each takes
// the main window as the owner of its boxes and dialogs and returns 1 on
// success, 0 on failure or cancellation; the dispatcher ignores the result.
#pragma once

#include <windows.h>

// File menu (ids 11-14).
int file_new(HWND owner);
int file_open(HWND owner);
int file_save(HWND owner);
int file_save_as(HWND owner);

// Vocabulary > Select Vocabulary (31) and Configuration menu (51, 52).
int select_vcb(HWND owner);
int select_font(HWND owner);
int select_data_dir(HWND owner);

// Translate menu (ids 41-44).
int translate_to_clipboard(HWND owner);
int translate_from_clipboard(HWND owner);
int translate_to_zarnoglot(HWND owner);
int translate_from_zarnoglot(HWND owner);

// Shows text in a box with the caption "zarnoGlotWriteW" and the
// information icon, owned by owner.
void showInformation(HWND owner, const char* text);

// Offers to save a modified document: returns IDYES (6), IDNO (7, also
// when the document is unmodified, without asking) or IDCANCEL (2).
int askSaveChanges(HWND owner);
