// Drives the platform's common dialogs that the editor shows (Open, Save As,
// font, folder) from the test process: finds them by caption, fills their
// fields and presses their buttons.
#pragma once

#include "editorDriver.h"
#include "testFiles.h"

#include <string>

// Waits for a visible dialog of the program with exactly this caption,
// other than the window to skip; none at the limit.
HWND waitForDialog(const EditorSession& session, const std::string& caption, HWND skip = nullptr,
                   int timeoutMs = EDITOR_WAIT_MS);
// Waits until the window is gone; false at the limit.
bool waitUntilClosed(HWND window, int timeoutMs = EDITOR_WAIT_MS);
// Presses a dialog's button (IDOK, IDCANCEL, ...) without waiting.
void pressDialogButton(HWND dialog, int buttonId);

// The file name field of a file or folder dialog.
HWND fileNameField(HWND dialog);
std::wstring wideWindowText(HWND window);

// Types the name into the dialog's file name field and presses its OK
// button. Waits until the dialog has closed; false when it stayed open.
bool chooseInFileDialog(HWND dialog, const std::wstring& name);
// Waits for the dialog of that caption, types the name and presses OK.
bool chooseFile(const EditorSession& session, const std::string& caption, const std::wstring& name);
// Waits for the dialog of that caption and cancels it.
bool cancelDialog(const EditorSession& session, const std::string& caption);
