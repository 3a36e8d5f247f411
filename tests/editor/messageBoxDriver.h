// Reads and answers the message boxes of the editor under test: finds them
// among the program's windows, takes their caption, text and buttons, and
// tells their icon by its pixels on the screen.
#pragma once

#include "editorDriver.h"

#include <windows.h>

#include <string>
#include <vector>

enum BoxIcon { ICON_NONE, ICON_INFORMATION, ICON_ERROR, ICON_WARNING, ICON_QUESTION, ICON_UNKNOWN };

struct BoxButton {
    int id;              // IDOK, IDYES, ...
    std::string label;   // as shown, "&" included
};

struct MessageBoxInfo {
    HWND window = nullptr;
    HWND owner = nullptr;
    std::string caption;
    std::string text;
    BoxIcon icon = ICON_NONE;
    std::vector<BoxButton> buttons;
};

// Waits for a visible dialog box (class "#32770") of the program, other
// than the window to skip (a dialog that stays open below the box), and
// describes it.
bool waitForMessageBox(const EditorSession& session, MessageBoxInfo* box, int timeoutMs = EDITOR_WAIT_MS,
                       HWND skip = nullptr);
// True when the program shows no dialog box during waitMs.
bool noMessageBoxFor(const EditorSession& session, int waitMs);
// Presses the box's button with that id (IDOK, IDYES, IDNO, IDCANCEL, ...).
void answerMessageBox(const MessageBoxInfo& box, int buttonId);
