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
        {doc("invalid.text"), L"", CODE_PAGE_QUESTION, L"Untitled.text"},
        {doc("missing.text"), L"", "Could not open the file.\nmissing.text: the file does not exist.", L"Untitled.text"},
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
        if (c.message == CODE_PAGE_QUESTION) {
            answerQuestion(CAPTION, c.message, IDNO);
        } else if (c.message != nullptr) {
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
    ASSERT_TRUE(writeFile(doc("odd.text"), std::string("\xFF\xFE" "a\0b", 5)));
    ASSERT_TRUE(writeFile(doc("zero16.text"), std::string("\xFE\xFF\0a\0\0", 6)));
    ASSERT_TRUE(writeFile(doc("zero.text"), std::string("ab\0cd", 5)));
    ASSERT_TRUE(makeSparseFile(doc("large.text"), 0xC0000000LL));
    ASSERT_TRUE(writeFile(doc("previous.text"), "previous"));
    // The first case has unsaved changes, which are kept with their flag.
    const struct { std::wstring path; const char* message; bool changed; } cases[] = {
        {widen(doc("odd.text")), "The file is not complete UTF-16 text: it has an odd number of bytes.\nodd.text",
         true},
        {widen(doc("zero16.text")), "The file contains a zero character (U+0000) and cannot be edited.\nzero16.text",
         false},
        {widen(doc("zero.text")), "The file contains a zero byte and cannot be edited.\nzero.text", false},
        {widen(doc("large.text")), "The file is too large.\nlarge.text", false},
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
    answerQuestion(CAPTION, std::string("Could not open the file for writing.\nnamed.text: the file is read-only.") +
                                SAVE_AS_OFFER, IDNO);
    sync();
    EXPECT_TRUE(IsWindow(session.mainWindow));
    ASSERT_TRUE(SetFileAttributesA(doc("named.text").c_str(), FILE_ATTRIBUTE_NORMAL));
    postCommand(session, CMD_FILE_EXIT);
    answerSaveQuestion(IDYES);
    ASSERT_TRUE(waitForExit(session, &status));
    EXPECT_EQ(status, 0);
    EXPECT_EQ(readFile(doc("named.text")), "named, changed");
}

// The text as Notepad saves it as "Unicode" (little-endian) or "Unicode big
// endian": its mark, then the units.
std::string utf16Bytes(const std::wstring& text, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (wchar_t unit : text) {
        const char high = static_cast<char>(unit >> 8);
        const char low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

// Files as Windows users have them: Notepad's UTF-16 of either byte order
// with its mark, windows-1252 (after a question) and UTF-8 are shown as
// text and saved back byte for byte; a windows-1252 document given a
// character the code page lacks is saved as UTF-8 only after a question.
TEST_F(FileCommandsTest, EncodingsWindowsUsersHaveGoBothWaysByteForByte) {
    if (GetACP() != 1252) GTEST_SKIP() << "the system's code page is " << GetACP() << ", not windows-1252";
    const std::wstring text = L"Gr\u00fc\u00dfe aus M\u00fcnchen \u20ac\r\nzweite Zeile";
    const struct { const char* name; std::string bytes; bool asked; } cases[] = {
        {"utf-16 le.txt", utf16Bytes(text, false), false},
        {"utf-16 be.txt", utf16Bytes(text, true), false},
        {"windows-1252.txt", "Gr\xFC\xDF" "e aus M\xFC" "nchen \x80\r\nzweite Zeile", true},
        {"utf-8.text", "Gr\xC3\xBC\xC3\x9F" "e aus M\xC3\xBC" "nchen \xE2\x82\xAC\r\nzweite Zeile", false},
    };
    start();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(writeFile(doc(c.name), c.bytes));
        openFile(widen(doc(c.name)));
        if (c.asked) answerQuestion(CAPTION, CODE_PAGE_QUESTION, IDYES);
        sync();
        EXPECT_TRUE(editText(session) == text);
        sendToEdit(session, EM_SETMODIFY, TRUE);
        EXPECT_TRUE(sendCommand(session, CMD_FILE_SAVE));
        EXPECT_TRUE(readFile(doc(c.name)) == c.bytes) << "saved other bytes";
    }
    // No to the question opens nothing.
    setModifiedText(L"kept");
    postCommand(session, CMD_FILE_OPEN);
    answerSaveQuestion(IDNO);
    ASSERT_TRUE(chooseFile(session, "Open", widen(doc("windows-1252.txt"))));
    answerQuestion(CAPTION, CODE_PAGE_QUESTION, IDNO);
    sync();
    EXPECT_TRUE(editText(session) == L"kept");
    EXPECT_EQ(offeredName(), L"utf-8.text");

    postCommand(session, CMD_FILE_OPEN);
    answerSaveQuestion(IDNO);
    ASSERT_TRUE(chooseFile(session, "Open", widen(doc("windows-1252.txt"))));
    answerQuestion(CAPTION, CODE_PAGE_QUESTION, IDYES);
    sync();
    setModifiedText(text + L" \u65e5\u672c");
    const std::string question = "windows-1252.txt holds characters that Windows-1252 (code page 1252) does not have."
                                 "\n\nSave it as UTF-8 instead? The file is then read as UTF-8 too.";
    postCommand(session, CMD_FILE_SAVE);
    answerQuestion(CAPTION, question, IDNO);
    sync();
    EXPECT_TRUE(readFile(doc("windows-1252.txt")) == cases[2].bytes);
    EXPECT_TRUE(modified());
    postCommand(session, CMD_FILE_SAVE);
    answerQuestion(CAPTION, question, IDYES);
    sync();
    EXPECT_TRUE(readFile(doc("windows-1252.txt")) == cases[3].bytes + " \xE6\x97\xA5\xE6\x9C\xAC");
    EXPECT_FALSE(modified());
}

// The title names the document and the vocabulary, through New, Open and Save As.
TEST_F(FileCommandsTest, TitleNamesTheDocument) {
    makeNonAsciiFolders();
    ASSERT_TRUE(writeFile(doc("Brief.text"), "Liebe Oma"));
    start();
    EXPECT_EQ(windowText(session.mainWindow), "Untitled - zarnoGlotWrite - w.vcb");
    openFile(widen(doc("Brief.text")));
    sync();
    EXPECT_EQ(windowText(session.mainWindow), "Brief.text - zarnoGlotWrite - w.vcb");
    saveAs(widen(doc(JAPANESE "\\\xE6\x89\x8B\xE7\xB4\x99.text")));
    sync();
    EXPECT_EQ(windowText(session.mainWindow), "\xE6\x89\x8B\xE7\xB4\x99.text - zarnoGlotWrite - w.vcb");
    EXPECT_TRUE(sendCommand(session, CMD_FILE_NEW));
    EXPECT_EQ(windowText(session.mainWindow), "Untitled - zarnoGlotWrite - w.vcb");
}

// The temporary files an interrupted save left (this version's and an
// earlier one's) are gone once the editor has started again on the
// document, and a save leaves none and no hidden document.
TEST_F(FileCommandsTest, TemporaryFilesOfAnInterruptedSaveAreRemoved) {
    ASSERT_TRUE(writeFile(doc("Brief.text"), "Liebe Oma"));
    for (const char* left : {"~zgw-0123abcd.tmp", "~zgw1a2b.tmp"}) {
        ASSERT_TRUE(writeFile(doc(left), "Liebe Oma, ich"));
        SetFileAttributesW(widen(doc(left)).c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY);
    }
    ASSERT_TRUE(writeFile(doc("~zgw-notes.txt"), "not ours"));
    EditorTest::start("w.vcb\r\n" + docs + "\r\nConsolas,10\r\n", {}, "\"" + doc("Brief.text") + "\"");
    sync();
    std::vector<std::string> entries = folderEntries(docs);
    std::sort(entries.begin(), entries.end());
    EXPECT_EQ(entries, (std::vector<std::string>{"Brief.text", "~zgw-notes.txt"}));
    ASSERT_TRUE(writeFile(doc("~zgw-89abcdef.tmp"), "left by another save"));
    setModifiedText(L"Liebe Oma, ich komme.");
    EXPECT_TRUE(sendCommand(session, CMD_FILE_SAVE));
    entries = folderEntries(docs);
    std::sort(entries.begin(), entries.end());
    EXPECT_EQ(entries, (std::vector<std::string>{"Brief.text", "~zgw-notes.txt"}));
    EXPECT_EQ(GetFileAttributesW(widen(doc("Brief.text")).c_str()) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY),
              0u);
}

}  // namespace
