// The File menu's document commands (file_new, file_open, file_save,
// file_save_as, declared in commands.h) and the save prompt they share with
// closing the editor.
#pragma once

#include <windows.h>
#include <commdlg.h>

// Offers to save a modified document before it is dropped. Returns true
// when the caller may go on (saved, discarded, or nothing to save) and false
// when it must stop (cancelled, or the save failed or was cancelled).
bool saveChangesFirst(HWND owner);

// Shows the common Open (saving false) or Save As dialog. The dialogs make
// the chosen file's folder the current directory; it is put back at once,
// so that the configuration is written beside the program at exit and the
// filter programs keep finding the vocabulary in the program's folder.
BOOL runFileDialog(OPENFILENAMEW* dialog, bool saving);
