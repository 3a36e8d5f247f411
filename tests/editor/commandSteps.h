// Steps with checks shared by the end-to-end tests of the editor's commands:
// a command's dialog, a box with only an OK button, and ending the editor.
#pragma once

#include "editorDriver.h"
#include "fileDialogDriver.h"

#include <gtest/gtest.h>

#include <string>

// Posts the command and waits for its dialog of that caption, which the main
// window must own. None when it did not appear.
inline HWND showCommandDialog(const EditorSession& session, int command, const char* caption) {
    postCommand(session, command);
    HWND dialog = waitForDialog(session, caption);
    EXPECT_NE(dialog, nullptr) << "no dialog " << caption;
    if (dialog != nullptr) {
        EXPECT_EQ(GetWindow(dialog, GW_OWNER), session.mainWindow);
    }
    return dialog;
}

// Expects a box of the main window with this caption, text and icon and an
// OK button alone, and presses it.
inline void expectOkBox(const EditorSession& session, const std::string& caption, const std::string& text,
                        BoxIcon icon) {
    MessageBoxInfo box;
    ASSERT_TRUE(waitForMessageBox(session, &box)) << "no box for: " << text;
    EXPECT_EQ(box.caption, caption);
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.icon, icon);
    EXPECT_EQ(box.owner, session.mainWindow);
    ASSERT_EQ(box.buttons.size(), 1u);
    EXPECT_EQ(box.buttons[0].id, IDOK);
    answerMessageBox(box, IDOK);
}

// Ends the editor with File > Exit on an unmodified document and returns
// the configuration it wrote.
inline std::string exitAndReadConfiguration(const EditorSession& session) {
    postCommand(session, 15);
    int status = -2;
    EXPECT_TRUE(waitForExit(session, &status)) << "the editor did not end";
    EXPECT_EQ(status, 0);
    return configurationText(session);
}
