// End-to-end tests of File > Save and File > Save As in the real editor,
// through the platform's real Save As dialog.
#include "fileCommandsTest.h"

#include <string>
#include <vector>

namespace {

TEST_F(FileCommandsTest, SaveAsWritesTheNameAsTypedInTheDataDirectory) {
    ASSERT_TRUE(CreateDirectoryA(doc("sub").c_str(), nullptr));
    start();
    setModifiedText(RICH_TEXT);
    EXPECT_EQ(offeredName(), L"Untitled.text");
    // A bare name lands in the data directory and gets no extension.
    saveAs(L"plain");
    sync();
    EXPECT_EQ(readFile(doc("plain")), RICH_BYTES);
    EXPECT_FALSE(fileExists(doc("plain.text")));
    EXPECT_FALSE(modified());
    EXPECT_EQ(offeredName(), L"plain");

    // Saved and opened again: the same text, its U+FEFF included.
    EXPECT_TRUE(sendCommand(session, CMD_FILE_NEW));
    EXPECT_EQ(editText(session), L"");
    openFile(L"plain");
    sync();
    EXPECT_EQ(editText(session), RICH_TEXT);

    // Replacing an existing file is asked by the dialog; an empty document
    // gives an empty file.
    ASSERT_TRUE(writeFile(doc("sub\\old.text"), "old text"));
    setModifiedText(L"");
    saveAs(widen(doc("sub\\old.text")), true);
    sync();
    EXPECT_TRUE(fileExists(doc("sub\\old.text")));
    EXPECT_EQ(readFile(doc("sub\\old.text")), "");
    EXPECT_EQ(folderEntries(doc("sub")), std::vector<std::string>{"old.text"});

    // The data directory follows the document and is kept at exit, in the
    // program's own configuration.
    EXPECT_EQ(exitAndReadConfiguration(), "w.vcb\r\n" + doc("sub") + "\r\nConsolas,10\r\n");
    EXPECT_FALSE(fileExists(doc("sub\\zarnoGlotWriteW.ini")));
}

// Documents may have any name Windows allows, in folders of any name; the
// data directory follows them into the configuration.
TEST_F(FileCommandsTest, SaveAsTakesAnyNameWindowsAllows) {
    const std::string letter = doc(BRIEFE "\\Brief an Jos\xC3\xA9.text");
    const std::string japanese = doc(JAPANESE "\\\xE6\x89\x8B\xE7\xB4\x99.text");
    makeNonAsciiFolders();
    start();
    setModifiedText(RICH_TEXT);
    saveAs(widen(letter));
    sync();
    EXPECT_EQ(readFile(letter), RICH_BYTES);
    EXPECT_FALSE(modified());
    EXPECT_EQ(offeredName(), L"Brief an Jos\u00e9.text");
    setModifiedText(L"zweite Fassung");
    EXPECT_TRUE(sendCommand(session, CMD_FILE_SAVE));
    EXPECT_EQ(readFile(letter), "zweite Fassung");
    saveAs(widen(japanese));
    sync();
    EXPECT_EQ(readFile(japanese), "zweite Fassung");
    EXPECT_EQ(offeredName(), L"\u624b\u7d19.text");
    EXPECT_EQ(folderEntries(doc(BRIEFE)), std::vector<std::string>{"Brief an Jos\xC3\xA9.text"});
    EXPECT_EQ(exitAndReadConfiguration(), "w.vcb\r\n" + doc(JAPANESE) + "\r\nConsolas,10\r\n");
}

// Before the editor writes over its document's file, it checks that no
// other program or window has changed the file since it was opened or saved
// here; No leaves the other's text in the file and the document as it is.
TEST_F(FileCommandsTest, SaveAsksBeforeOverwritingAChangeMadeElsewhere) {
    const std::string letter = doc(BRIEFE "\\Brief.text");
    const std::string question =
        "Brief.text was changed by another program or window after it was opened or saved here.\n\n"
        "Do you want to overwrite it with this document?";
    makeNonAsciiFolders();
    ASSERT_TRUE(writeFile(letter, "first"));
    start();
    openFile(widen(letter));
    sync();
    setModifiedText(L"mine");
    ASSERT_TRUE(writeFile(letter, "written by another program"));
    postCommand(session, CMD_FILE_SAVE);
    answerQuestion(CAPTION, question, IDNO);
    sync();
    EXPECT_EQ(readFile(letter), "written by another program");
    EXPECT_EQ(editText(session), L"mine");
    EXPECT_TRUE(modified());
    postCommand(session, CMD_FILE_SAVE);
    answerQuestion(CAPTION, question, IDYES);
    sync();
    EXPECT_EQ(readFile(letter), "mine");
    EXPECT_FALSE(modified());
    // The file is as this window wrote it: no question.
    setModifiedText(L"mine again");
    EXPECT_TRUE(sendCommand(session, CMD_FILE_SAVE));
    EXPECT_TRUE(noMessageBoxFor(session, 200));
    EXPECT_EQ(readFile(letter), "mine again");

    // A second window on the same file saves; this one then asks, also when
    // it saves at the save-changes prompt, and No keeps it open.
    EditorSession other;
    ASSERT_TRUE(startEditor(&other, ini, {}, "\"" + letter + "\""));
    setEditText(other, L"the other window's text");
    sendToEdit(other, EM_SETMODIFY, TRUE);
    EXPECT_TRUE(sendCommand(other, CMD_FILE_SAVE));
    stopEditor(&other);
    EXPECT_EQ(readFile(letter), "the other window's text");
    setModifiedText(L"last words");
    postCommand(session, CMD_FILE_EXIT);
    answerSaveQuestion(IDYES);
    answerQuestion(CAPTION, question, IDNO);
    sync();
    EXPECT_TRUE(IsWindow(session.mainWindow));
    EXPECT_EQ(readFile(letter), "the other window's text");
    EXPECT_EQ(editText(session), L"last words");
}

TEST_F(FileCommandsTest, DataDirectoryOfADriveTopFolderIsTheDriveAlone) {
    const std::string top = "T:\\zgFileCommandsTop.text";
    ASSERT_TRUE(writeFile(top, "top"));
    start();
    openFile(widen(top));
    sync();
    EXPECT_EQ(editText(session), L"top");
    const std::string configuration = exitAndReadConfiguration();
    DeleteFileA(top.c_str());
    EXPECT_EQ(configuration, "w.vcb\r\nT:\r\nConsolas,10\r\n");
}

// A save that fails keeps the old file and names the file and the cause; a
// read-only file or one another program holds offers Save As, which saves
// the document under the name chosen.
TEST_F(FileCommandsTest, FailedSaveKeepsTheOldFileAndTheOldName) {
    const std::string old = "old \xC3\xA9 bytes\r\n";
    const std::string readOnlyBox = "Could not open the file for writing.\nreadonly.text: the file is read-only.";
    const std::string lockedBox = "Could not open the file for writing.\nlocked.text: another program has it open.";
    ASSERT_TRUE(writeFile(doc("readonly.text"), old));
    ASSERT_TRUE(writeFile(doc("locked.text"), old));
    ASSERT_TRUE(writeFile(doc("mine.text"), "mine"));
    start();
    openFile(widen(doc("readonly.text")));
    sync();
    ASSERT_TRUE(SetFileAttributesA(doc("readonly.text").c_str(), FILE_ATTRIBUTE_READONLY));
    setModifiedText(L"new text");
    postCommand(session, CMD_FILE_SAVE);
    answerQuestion(CAPTION, readOnlyBox + SAVE_AS_OFFER, IDNO);
    sync();
    EXPECT_EQ(readFile(doc("readonly.text")), old);
    EXPECT_TRUE(modified());
    EXPECT_EQ(editText(session), L"new text");

    // Save As onto a read-only file or one another program holds open keeps
    // the document's old name.
    postCommand(session, CMD_FILE_OPEN);
    answerSaveQuestion(IDNO);
    ASSERT_TRUE(chooseFile(session, "Open", widen(doc("mine.text"))));
    sync();
    HANDLE holder = CreateFileA(doc("locked.text").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    setModifiedText(L"new text");
    const struct { const char* target; const std::string& box; } targets[] = {
        {"readonly.text", readOnlyBox}, {"locked.text", lockedBox}};
    for (const auto& t : targets) {
        SCOPED_TRACE(t.target);
        saveAs(widen(doc(t.target)), true);
        answerQuestion(CAPTION, t.box + SAVE_AS_OFFER, IDNO);
        EXPECT_EQ(offeredName(), L"mine.text");
        EXPECT_TRUE(modified());
    }
    // Yes: the Save As dialog, offering the refused name.
    saveAs(widen(doc("locked.text")), true);
    answerQuestion(CAPTION, lockedBox + SAVE_AS_OFFER, IDYES);
    HWND dialog = waitForDialog(session, "Save As");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(wideWindowText(fileNameField(dialog)), L"locked.text");
    ASSERT_TRUE(chooseInFileDialog(dialog, widen(doc("elsewhere.text"))));
    sync();
    EXPECT_EQ(readFile(doc("elsewhere.text")), "new text");
    EXPECT_EQ(offeredName(), L"elsewhere.text");
    EXPECT_FALSE(modified());
    CloseHandle(holder);
    EXPECT_EQ(readFile(doc("readonly.text")), old);
    EXPECT_EQ(readFile(doc("locked.text")), old);
    EXPECT_EQ(readFile(doc("mine.text")), "mine");
    EXPECT_EQ(folderEntries(docs).size(), 4u) << "no temporary file is left";
}

// Drive S: is a small drive for this test (the fixture editorSmallDrive):
// a save that does not fit says so and keeps the old file.
TEST_F(FileCommandsTest, SaveOnAFullDriveSaysSoAndKeepsTheOldFile) {
    ULARGE_INTEGER free = {};
    if (!GetDiskFreeSpaceExW(L"S:\\", &free, nullptr, nullptr) || free.QuadPart > 1024 * 1024) {
        GTEST_SKIP() << "no small drive S: (the fixture could not mount one)";
    }
    const std::string letter = "S:\\Brief.text";
    ASSERT_TRUE(writeFile(letter, "Liebe Oma"));
    start();
    openFile(widen(letter));
    sync();
    setModifiedText(std::wstring(static_cast<size_t>(free.QuadPart) + 4096, L'x'));
    postCommand(session, CMD_FILE_SAVE);
    expectError("Could not write the file.\nBrief.text: the drive is full.");
    EXPECT_EQ(readFile(letter), "Liebe Oma");
    EXPECT_EQ(folderEntries("S:\\"), std::vector<std::string>{"Brief.text"});
    EXPECT_TRUE(modified());
    DeleteFileA(letter.c_str());
}

}  // namespace
