// End-to-end tests of the File menu: New, Open and Exit in the real editor,
// through the platform's real Open and Save As dialogs; Save and Save As are
// in fileSaveCommandsTest.cpp.
#include "fileCommandsTest.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

bool writeWideFile(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
    CloseHandle(file);
    return ok;
}

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
    // Save without a file name does nothing.
    setModifiedText(L"no name");
    EXPECT_TRUE(sendCommand(session, CMD_FILE_SAVE));
    EXPECT_TRUE(noMessageBoxFor(session, 200));
    EXPECT_TRUE(modified());

    const std::vector<std::string> lines = logLines(session);
    EXPECT_NE(std::find(lines.begin(), lines.end(), "file_new() start"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "file_save_as() start"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "file_save() start"), lines.end());
}

TEST_F(FileCommandsTest, OpenLoadsFilesExactly) {
    const struct { const char* name; std::string bytes; std::wstring text; } cases[] = {
        {"empty.text", "", L""},
        {"bom.text", "\xEF\xBB\xBF" "line 1\r\nline 2\r\n", L"\uFEFFline 1\r\nline 2\r\n"},
        {"rich.text", RICH_BYTES, RICH_TEXT},
    };
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
    EXPECT_EQ(folderEntries(docs).size(), 3u) << "no temporary file is left";
}

// A file named on the command line (Open With, or dropped on the program's
// icon) is opened as File > Open opens one, with the same refusals; a name
// without a folder is found in the current directory of the one who started
// the editor.
TEST_F(FileCommandsTest, FileGivenAtStartIsOpened) {
    ASSERT_TRUE(writeFile(doc("given file.text"), RICH_BYTES));
    ASSERT_TRUE(writeFile(doc("relative.text"), "relative"));
    ASSERT_TRUE(writeFile(doc("invalid.text"), "ab\xC3\x28"));
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
    };
    char previousDirectory[MAX_PATH] = "";
    GetCurrentDirectoryA(MAX_PATH, previousDirectory);
    SetCurrentDirectoryA(docs.c_str());
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
    SetCurrentDirectoryA(previousDirectory);
}

TEST_F(FileCommandsTest, OpenRefusesBadFilesAndKeepsTheDocument) {
    const std::wstring accented = widen(docs) + L"\\d\u00e9j\u00e0";
    ASSERT_TRUE(CreateDirectoryW(accented.c_str(), nullptr));
    ASSERT_TRUE(writeWideFile(accented + L"\\a.text", "fine"));
    ASSERT_TRUE(writeFile(doc("invalid.text"), "ab\xC3\x28"));
    ASSERT_TRUE(writeFile(doc("zero.text"), std::string("ab\0cd", 5)));
    ASSERT_TRUE(makeSparseFile(doc("large.text"), 0xC0000000LL));
    ASSERT_TRUE(writeFile(doc("previous.text"), "previous"));
    // The first case has unsaved changes, which are kept with their flag.
    const struct { std::wstring path; const char* message; bool changed; } cases[] = {
        {widen(doc("invalid.text")), "The file does not contain valid UTF-8 text.", true},
        {widen(doc("zero.text")), "The file contains a zero byte and cannot be edited.", false},
        {accented + L"\\a.text", "The filename must contain ASCII characters only.", false},
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
