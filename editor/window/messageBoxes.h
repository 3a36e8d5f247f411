// Every message box the editor shows: the fatal box at start, information
// and error boxes, and the questions. Texts and captions are UTF-8, so that
// a file's name is shown as written, whatever the system's code page.
#pragma once

#include <windows.h>

// Caption of every box unless another one is named.
constexpr const char* PROGRAM_CAPTION = "zarnoGlotWriteW";

// Shows a box without owner, with the caption, the error icon and the text
// formatted into 256 bytes (longer text is cut), then ends the process with
// exit status 1.
[[noreturn]] void fatalError(const char* caption, const char* format, ...)
#ifdef __GNUC__
    __attribute__((format(printf, 2, 3)))
#endif
    ;

// A box with the information icon, owned by owner.
void showInformation(HWND owner, const char* text, const char* caption = PROGRAM_CAPTION);

// A box with the error icon, owned by owner. Returns false, so that a
// command that fails ends with "return showError(...)".
bool showError(HWND owner, const char* text, const char* caption = PROGRAM_CAPTION);

// A question with Yes and No buttons and the question icon, owned by owner;
// returns IDYES or IDNO.
int askYesNo(HWND owner, const char* text, const char* caption = PROGRAM_CAPTION);

// Offers to save a modified document: returns IDYES (6), IDNO (7, also
// when the document is unmodified, without asking) or IDCANCEL (2).
int askSaveChanges(HWND owner);
