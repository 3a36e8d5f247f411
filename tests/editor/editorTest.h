// The base of the end-to-end tests of the editor: it starts the real
// zarnoGlotWriteW.exe with a given configuration, ends it after each test,
// and holds the steps with checks that the tests share.
#pragma once

#include "commands.h"
#include "editorDriver.h"
#include "fileDialogDriver.h"
#include "messageBoxDriver.h"
#include "testSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

class EditorTest : public ::testing::Test {
protected:
    void TearDown() override { stopEditor(&session); }

    // Starts the editor with this configuration and these files of the
    // build's bin folder beside it, and waits for its window.
    // The arguments follow the program's name on its command line.
    void start(const std::string& configuration, const std::vector<std::string>& companionFiles = {},
               const std::string& arguments = "") {
        ini = configuration;
        ASSERT_TRUE(startEditor(&session, ini, companionFiles, arguments)) << "the editor's window did not appear";
    }

    // Returns once the editor has carried out the command in hand.
    void sync() { EXPECT_TRUE(sendCommand(session, 0)); }

    // Posts the command and waits for its dialog of that caption, which the
    // main window must own. None when it did not appear.
    HWND showCommandDialog(MenuCommand command, const char* caption) {
        postCommand(session, command);
        HWND dialog = waitForDialog(session, caption);
        EXPECT_NE(dialog, nullptr) << "no dialog " << caption;
        if (dialog != nullptr) {
            EXPECT_EQ(GetWindow(dialog, GW_OWNER), session.mainWindow);
        }
        return dialog;
    }

    // Waits for a box with this caption, text and icon, owned by the main
    // window (by none before the window is there). False when none came.
    bool expectBox(const std::string& caption, const std::string& text, BoxIcon icon, MessageBoxInfo* box) {
        const bool shown = waitForMessageBox(session, box);
        EXPECT_TRUE(shown) << "no box for: " << text;
        EXPECT_EQ(box->caption, caption);
        EXPECT_EQ(box->text, text);
        EXPECT_EQ(box->icon, icon);
        EXPECT_EQ(box->owner, session.mainWindow);
        return shown;
    }

    // Expects such a box with an OK button alone and presses OK.
    void expectOkBox(const std::string& caption, const std::string& text, BoxIcon icon) {
        MessageBoxInfo box;
        ASSERT_TRUE(expectBox(caption, text, icon, &box));
        ASSERT_EQ(box.buttons.size(), 1u);
        EXPECT_EQ(box.buttons[0].id, IDOK);
        answerMessageBox(box, IDOK);
    }

    // Expects a question box with this caption and text and gives the
    // answer (IDYES, IDNO, IDCANCEL).
    void answerQuestion(const std::string& caption, const std::string& text, int answer) {
        MessageBoxInfo box;
        ASSERT_TRUE(expectBox(caption, text, ICON_QUESTION, &box));
        answerMessageBox(box, answer);
    }

    // Ends the editor with File > Exit on an unmodified document: it must
    // end with status 0.
    void exitNormally() {
        postCommand(session, CMD_FILE_EXIT);
        int status = -2;
        ASSERT_TRUE(waitForExit(session, &status)) << "the editor did not end";
        EXPECT_EQ(status, 0);
    }

    // exitNormally, then the configuration the editor wrote.
    std::string exitAndReadConfiguration() {
        exitNormally();
        return configurationText(session);
    }

    EditorSession session;
    std::string ini;   // the configuration of the last start
};
