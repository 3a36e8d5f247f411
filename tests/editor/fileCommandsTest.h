// What the end-to-end tests of the File menu share: the editor started with
// a data directory of the test's own, and the steps that open, save and
// answer the save question through the real dialogs and boxes.
#pragma once

#include "editorTest.h"
#include "testFiles.h"

#include <algorithm>
#include <string>
#include <vector>

const char* const CAPTION = "zarnoGlotWriteW";
const char* const SAVE_QUESTION = "Do you want to save changes?";
// BOM, CR LF, two- and three-byte characters and a surrogate pair.
const std::wstring RICH_TEXT = L"\uFEFFcaf\u00e9 \u20ac\r\nclef \U0001D11E\r\n";
const std::string RICH_BYTES = "\xEF\xBB\xBF" "caf\xC3\xA9 \xE2\x82\xAC\r\nclef \xF0\x9D\x84\x9E\r\n";
// Folders of the data directory, in UTF-8: a German user's, and one whose
// name no single-byte code page holds.
#define BRIEFE "Briefe f\xC3\xBCr Oma"
#define JAPANESE "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E"

// The question before a file in the system's code page is opened; the
// tests write windows-1252, the code page Wine gives an English system.
const char* const CODE_PAGE_QUESTION = "This file is not UTF-8. Open it as Windows-1252 (code page 1252)?";
// The offer after a save that a read-only or held file refused.
const char* const SAVE_AS_OFFER = "\n\nDo you want to save the document under another name?";

class FileCommandsTest : public EditorTest {
protected:
    void SetUp() override { docs = makeTempDirectory(); }

    void TearDown() override {
        EditorTest::TearDown();
        removeWritableTree(docs);
    }

    // The configuration's data directory is the test's own folder.
    void start() { EditorTest::start("w.vcb\r\n" + docs + "\r\nConsolas,10\r\n"); }

    std::string doc(const std::string& name) const { return joinPath(docs, name); }

    void makeNonAsciiFolders() {
        for (const char* folder : {BRIEFE, JAPANESE}) {
            ASSERT_TRUE(CreateDirectoryW(widen(doc(folder)).c_str(), nullptr));
        }
    }

    bool modified() { return sendToEdit(session, EM_GETMODIFY) != 0; }

    void setModifiedText(const std::wstring& text) {
        setEditText(session, text);
        sendToEdit(session, EM_SETMODIFY, TRUE);
    }

    void expectError(const std::string& text) { expectOkBox(CAPTION, text, ICON_ERROR); }

    // Expects the save-changes question and gives the answer.
    void answerSaveQuestion(int answer) {
        MessageBoxInfo box;
        ASSERT_TRUE(waitForMessageBox(session, &box)) << "no save question";
        EXPECT_EQ(box.caption, CAPTION);
        EXPECT_EQ(box.text, SAVE_QUESTION);
        EXPECT_EQ(box.icon, ICON_QUESTION);
        EXPECT_EQ(box.owner, session.mainWindow);
        std::vector<int> ids;
        for (const BoxButton& button : box.buttons) {
            ids.push_back(button.id);
        }
        std::sort(ids.begin(), ids.end());
        EXPECT_EQ(ids, (std::vector<int>{IDCANCEL, IDYES, IDNO}));
        answerMessageBox(box, answer);
    }

    void openFile(const std::wstring& path) {
        HWND dialog = showCommandDialog(CMD_FILE_OPEN, "Open");
        ASSERT_NE(dialog, nullptr);
        ASSERT_TRUE(chooseInFileDialog(dialog, path));
    }

    // Save As with a name; a replaced file's question is answered with Yes.
    void saveAs(const std::wstring& name, bool replaces = false) {
        HWND dialog = showCommandDialog(CMD_FILE_SAVE_AS, "Save As");
        ASSERT_NE(dialog, nullptr);
        SendMessageW(fileNameField(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
        pressDialogButton(dialog, IDOK);
        if (replaces) {
            HWND question = waitForDialog(session, "Save As", dialog);
            ASSERT_NE(question, nullptr) << "no question before replacing";
            pressDialogButton(question, IDYES);
        }
        ASSERT_TRUE(waitUntilClosed(dialog));
    }

    // The name the Save As dialog offers for the document (the dialog shows
    // the folder of a full path as its current folder and the name alone).
    std::wstring offeredName() {
        HWND dialog = showCommandDialog(CMD_FILE_SAVE_AS, "Save As");
        if (dialog == nullptr) {
            return L"<no dialog>";
        }
        const std::wstring name = wideWindowText(fileNameField(dialog));
        pressDialogButton(dialog, IDCANCEL);
        EXPECT_TRUE(waitUntilClosed(dialog));
        return name;
    }

    std::string docs;   // the data directory of the configuration
};
