// The File menu's document commands (file_new, file_open, file_save,
// file_save_as, declared in commands.h) and the save prompt they share with
// closing the editor.
#pragma once

#include <windows.h>
#include <commdlg.h>

// Opens the file at path as File > Open opens the file chosen in its dialog,
// with the same refusals; for a file given on the command line or dropped on
// the window. Asks nothing first: the caller has offered to save.
bool file_open_path(HWND owner, const wchar_t* path);

// Shows the document's name and the vocabulary in use in the main window's
// title (formatWindowTitle).
void showWindowTitle();

// After a setting was chosen in a dialog: writes the configuration at once,
// so that an editor that is killed starts again with it, and shows the
// title.
void settingsChanged();

// The busy cursor while a long command runs; endBusyCursor puts back the
// cursor beginBusyCursor returned.
HCURSOR beginBusyCursor();
void endBusyCursor(HCURSOR previous);

// Offers to save a modified document before it is dropped. Returns true
// when the caller may go on (saved, discarded, or nothing to save) and false
// when it must stop (cancelled, or the save failed or was cancelled).
bool saveChangesFirst(HWND owner);

// Fills the record of a common Open or Save As dialog: its owner, its filter
// (the first entry chosen), the file buffer of units units (which offers a
// name and receives the choice), title and flags; the rest is empty.
void prepareFileDialog(OPENFILENAMEW* dialog, HWND owner, const wchar_t* filter, wchar_t* file, int units,
                       const wchar_t* title, DWORD flags);

// Shows the common Open (saving false) or Save As dialog. The dialogs make
// the chosen file's folder the current directory; it is put back at once,
// so that the configuration is written beside the program at exit and the
// filter programs keep finding the vocabulary in the program's folder.
BOOL runFileDialog(OPENFILENAMEW* dialog, bool saving);

// runFileDialog opening in the data directory; without one, the dialog
// chooses the folder.
BOOL runFileDialogInDataDirectory(OPENFILENAMEW* dialog, bool saving);

// After a file dialog that returned no choice: a box when it failed on the
// path (too long for the dialog's room, or a name it could not take); false
// either way, as after a cancelled dialog.
bool showFileDialogFailure(HWND owner);
