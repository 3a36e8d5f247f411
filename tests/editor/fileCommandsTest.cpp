// End-to-end tests of the File menu: New, Open and Exit in the real editor,
// through the platform's real Open and Save As dialogs; Save and Save As are
// in fileSaveCommandsTest.cpp.
#include "fileCommandsTest.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

TEST_F(FileCommandsTest, NewAsksFirstAndFollowsTheAnswer) {
    start();
    // Nothing modified: no question.
    setEditText(session, L"typed");
    sendToEdit(session, EM_SETMODIFY, FALSE);
    EXPECT_TRUE(sendCommand(session, CMD_FILE_NEW));
    EXPECT_EQ(editText(session), L"");
    EXPECT_TRUE(noMessageBoxFor(session, 100));

    setModifiedText(L"draft");
    postCommand(session, CMD_FILE_NEW);
    answerSaveQuestion(IDCANCEL);
    sync();
    EXPECT_EQ(editText(session), L"draft");
    EXPECT_TRUE(modified());

    // Yes on a document without a file asks for a name; cancelling that cancels New.
    postCommand(session, CMD_FILE_NEW);
    answerSaveQuestion(IDYES);
    ASSERT_TRUE(cancelDialog(session, "Save As"));
    sync();
    EXPECT_EQ(editText(session), L"draft");
    EXPECT_TRUE(modified());

    postCommand(session, CMD_FILE_NEW);
    answerSaveQuestion(IDYES);
    ASSERT_TRUE(chooseFile(session, "Save As", widen(doc("draft.text"))));
    sync();
    EXPECT_EQ(readFile(doc("draft.text")), "draft");
    EXPECT_EQ(editText(session), L"");
    EXPECT_FALSE(modified());
    EXPECT_EQ(offeredName(), L"Untitled.text");

    // Yes on a document with a file saves it there.
    openFile(widen(doc("draft.text")));
    sync();
    setModifiedText(L"second draft");
    postCommand(session, CMD_FILE_NEW);
    answerSaveQuestion(IDYES);
    sync();
    EXPECT_EQ(readFile(doc("draft.text")), "second draft");
    EXPECT_EQ(editText(session), L"");

    setModifiedText(L"thrown away");
    postCommand(session, CMD_FILE_NEW);
    answerSaveQuestion(IDNO);
    sync();
    EXPECT_EQ(editText(session), L"");
    EXPECT_FALSE(modified());
    EXPECT_EQ(readFile(doc("draft.text")), "second draft");
    // Save on a document without a file name asks for one, from the menu
    // and from Ctrl+S; cancelling that saves nothing.
    setModifiedText(L"no name");
    postCommand(session, CMD_FILE_SAVE);
    ASSERT_TRUE(cancelDialog(session, "Save As"));
    sync();
    EXPECT_TRUE(modified());
    EXPECT_EQ(folderEntries(docs).size(), 1u);
    ASSERT_TRUE(pressKeys(session, {VK_CONTROL, 'S'}));
    ASSERT_TRUE(chooseFile(session, "Save As", L"named by Save.text"));
    sync();
    EXPECT_EQ(readFile(doc("named by Save.text")), "no name");
    EXPECT_FALSE(modified());
    EXPECT_EQ(offeredName(), L"named by Save.text");

    const std::vector<std::string> lines = logLines(session);
    EXPECT_NE(std::find(lines.begin(), lines.end(), "file_new() start"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "file_save_as() start"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "file_save() start"), lines.end());
}

TEST_F(FileCommandsTest, OpenLoadsFilesExactly) {
    const struct { const char* name; std::string bytes; std::wstring text; } cases[] = {
        {"empty.text", "", L""},
        {"bom.text", "\xEF\xBB\xBF" "line 1\r\nline 2\r\n", L"\uFEFFline 1\r\nline 2\r\n"},
        {BRIEFE "\\Brief an Jos\xC3\xA9.text", "Liebe Oma", L"Liebe Oma"},
        {JAPANESE "\\\xE6\x89\x8B\xE7\xB4\x99.text", "\xE6\x89\x8B\xE7\xB4\x99", L"\u624b\u7d19"},
        {"rich.text", RICH_BYTES, RICH_TEXT},
    };
    makeNonAsciiFolders();
    start();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(writeFile(doc(c.name), c.bytes));
        setEditText(session, L"before");
        openFile(widen(doc(c.name)));
        sync();
        EXPECT_EQ(editText(session), c.text);
        EXPECT_FALSE(modified());
    }
    EXPECT_EQ(offeredName(), L"rich.text");
    // The file stays as it was, and saving gives back the same bytes.
    EXPECT_EQ(readFile(doc("rich.text")), RICH_BYTES);
    sendToEdit(session, EM_SETMODIFY, TRUE);
    EXPECT_TRUE(sendCommand(session, CMD_FILE_SAVE));
    EXPECT_EQ(readFile(doc("rich.text")), RICH_BYTES);
    EXPECT_EQ(folderEntries(docs).size(), 5u) << "no temporary file is left";
}

// A file named on the command line (Open With, or dropped on the program's
// icon) is opened as File > Open opens one, with the same refusals; a name
// without a folder is found in the current directory of the one who started
// the editor.
TEST_F(FileCommandsTest, FileGivenAtStartIsOpened) {
    makeNonAsciiFolders();
    ASSERT_TRUE(writeFile(doc("given file.text"), RICH_BYTES));
    ASSERT_TRUE(writeFile(doc("relative.text"), "relative"));
    ASSERT_TRUE(writeFile(doc("invalid.text"), "ab\xC3\x28"));
    ASSERT_TRUE(writeFile(doc(BRIEFE "\\Brief an Jos\xC3\xA9.text"), "Liebe Oma"));
    ASSERT_TRUE(writeFile(doc(JAPANESE "\\\xE6\x89\x8B\xE7\xB4\x99.text"), "\xE6\x89\x8B\xE7\xB4\x99"));
    const std::string tooLong = doc(std::string(260, 'x') + ".text");
    const struct {
        std::string argument;
        std::wstring text;
        const char* message;
        std::wstring offered;   // by Save As: the name of the document's file
    } cases[] = {
        {"\"" + doc("given file.text") + "\"", RICH_TEXT, nullptr, L"given file.text"},
        {"relative.text", L"relative", nullptr, L"relative.text"},
        {doc("invalid.text"), L"", "The file does not contain valid UTF-8 text.", L"Untitled.text"},
        {doc("missing.text"), L"", "Could not open the file.", L"Untitled.text"},
        {"\"" + doc(BRIEFE "\\Brief an Jos\xC3\xA9.text") + "\"", L"Liebe Oma", nullptr, L"Brief an Jos\u00e9.text"},
        {"\"" + doc(JAPANESE "\\\xE6\x89\x8B\xE7\xB4\x99.text") + "\"", L"\u624b\u7d19", nullptr, L"\u624b\u7d19.text"},
        {tooLong, L"",
         "The path is too long: Windows takes at most 259 characters for the folders and the file name together.",
         L"Untitled.text"},
        {"\"" + doc("what?.text") + "\"", L"",
         "Windows cannot store a file of this name: a name cannot be empty, hold \\ / : * ? \" < > | or a control "
         "character, end with a dot or a blank, or be a device name such as CON or NUL.",
         L"Untitled.text"},
    };
    wchar_t previousDirectory[MAX_PATH] = L"";
    GetCurrentDirectoryW(MAX_PATH, previousDirectory);
    SetCurrentDirectoryW(widen(docs).c_str());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.argument);
        EditorTest::start("w.vcb\r\n" + docs + "\r\nConsolas,10\r\n", {}, c.argument);
        if (c.message != nullptr) {
            expectError(c.message);
        }
        EXPECT_EQ(editText(session), c.text);
        EXPECT_EQ(offeredName(), c.offered);
        EXPECT_FALSE(modified());
        stopEditor(&session);
    }
    SetCurrentDirectoryW(previousDirectory);
}

TEST_F(FileCommandsTest, OpenRefusesBadFilesAndKeepsTheDocument) {
    ASSERT_TRUE(writeFile(doc("invalid.text"), "ab\xC3\x28"));
    ASSERT_TRUE(writeFile(doc("zero.text"), std::string("ab\0cd", 5)));
    ASSERT_TRUE(makeSparseFile(doc("large.text"), 0xC0000000LL));
    ASSERT_TRUE(writeFile(doc("previous.text"), "previous"));
    // The first case has unsaved changes, which are kept with their flag.
    const struct { std::wstring path; const char* message; bool changed; } cases[] = {
        {widen(doc("invalid.text")), "The file does not contain valid UTF-8 text.", true},
        {widen(doc("zero.text")), "The file contains a zero byte and cannot be edited.", false},
        {widen(doc("large.text")), "The file is too large.", false},
    };
    start();
    openFile(widen(doc("previous.text")));
    sync();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        setEditText(session, L"previous, changed");
        sendToEdit(session, EM_SETMODIFY, c.changed);
        postCommand(session, CMD_FILE_OPEN);
        if (c.changed) {
            answerSaveQuestion(IDNO);
        }
        ASSERT_TRUE(chooseFile(session, "Open", c.path));
        expectError(c.message);
        EXPECT_EQ(editText(session), L"previous, changed");
        EXPECT_EQ(modified(), c.changed);
    }
    // A cancelled Open changes nothing either.
    postCommand(session, CMD_FILE_OPEN);
    ASSERT_TRUE(cancelDialog(session, "Open"));
    sync();
    EXPECT_EQ(editText(session), L"previous, changed");
    EXPECT_EQ(offeredName(), L"previous.text");
    EXPECT_EQ(readFile(doc("previous.text")), "previous");
}

TEST_F(FileCommandsTest, ExitAndCloseAskFirst) {
    // Cancel keeps the editor; No ends it with the configuration written.
    start();
    setModifiedText(L"unsaved");
    postCommand(session, CMD_FILE_EXIT);
    answerSaveQuestion(IDCANCEL);
    PostMessageA(session.mainWindow, WM_SYSCOMMAND, SC_CLOSE, 0);
    answerSaveQuestion(IDCANCEL);
    sync();
    EXPECT_EQ(editText(session), L"unsaved");
    PostMessageA(session.mainWindow, WM_SYSCOMMAND, SC_CLOSE, 0);
    answerSaveQuestion(IDNO);
    int status = -2;
    ASSERT_TRUE(waitForExit(session, &status));
    EXPECT_EQ(status, 0);
    EXPECT_EQ(configurationText(session), ini);
    stopEditor(&session);

    // Yes on an unnamed document: a cancelled Save As keeps the editor open,
    // a completed one saves and ends it.
    start();
    setModifiedText(L"to keep");
    postCommand(session, CMD_FILE_EXIT);
    answerSaveQuestion(IDYES);
    ASSERT_TRUE(cancelDialog(session, "Save As"));
    sync();
    EXPECT_TRUE(IsWindow(session.mainWindow));
    PostMessageA(session.mainWindow, WM_SYSCOMMAND, SC_CLOSE, 0);
    answerSaveQuestion(IDYES);
    ASSERT_TRUE(chooseFile(session, "Save As", L"kept.text"));
    ASSERT_TRUE(waitForExit(session, &status));
    EXPECT_EQ(status, 0);
    EXPECT_EQ(readFile(doc("kept.text")), "to keep");
    stopEditor(&session);

    // Yes on a named document saves it; a failed save keeps the editor open.
    ASSERT_TRUE(writeFile(doc("named.text"), "named"));
    start();
    openFile(widen(doc("named.text")));
    sync();
    ASSERT_TRUE(SetFileAttributesA(doc("named.text").c_str(), FILE_ATTRIBUTE_READONLY));
    setModifiedText(L"named, changed");
    postCommand(session, CMD_FILE_EXIT);
    answerSaveQuestion(IDYES);
    expectError("Could not open the file for writing.");
    sync();
    EXPECT_TRUE(IsWindow(session.mainWindow));
    ASSERT_TRUE(SetFileAttributesA(doc("named.text").c_str(), FILE_ATTRIBUTE_NORMAL));
    postCommand(session, CMD_FILE_EXIT);
    answerSaveQuestion(IDYES);
    ASSERT_TRUE(waitForExit(session, &status));
    EXPECT_EQ(status, 0);
    EXPECT_EQ(readFile(doc("named.text")), "named, changed");
}

}  // namespace
