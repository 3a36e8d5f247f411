// A translation as a job of the main window: the window answers while it
// runs, its progress window's Cancel stops the filter and keeps the
// document, and a document of 20 MB goes to ZarnoGlot and back byte for byte.
#include "messageBoxDriver.h"
#include "translateTest.h"

#include <algorithm>
#include <cstdlib>
#include <string>

namespace {

const char* const PROGRESS_CLASS = "zarnoGlotProgressClass";
const int PROGRESS_TITLE_ID = 101;
// How long the main window may take to answer a message during a job, and
// how often it is asked.
const DWORD ANSWER_MS = 1000;
const DWORD SAMPLE_EVERY_MS = 400;
// A 20 MB translation under Wine on a shared machine.
const int LARGE_JOB_MS = 600000;

// Milliseconds the main window took to answer a sent message, or
// ANSWER_MS * 10 when it did not answer within that.
DWORD answerTime(const EditorSession& session) {
    const ULONGLONG begin = GetTickCount64();
    DWORD_PTR result = 0;
    if (SendMessageTimeoutW(session.mainWindow, WM_NULL, 0, 0, SMTO_NORMAL, ANSWER_MS * 10, &result) == 0) {
        return ANSWER_MS * 10;
    }
    return static_cast<DWORD>(GetTickCount64() - begin);
}

// What the window did during a job the test watched.
struct JobWatch {
    int samples = 0;
    DWORD slowestMs = 0;
    bool progressShown = false;
};

// Waits for the job the posted command starts, then asks the main window
// every SAMPLE_EVERY_MS until the job and the command after it have ended
// (the last answer comes once the result is shown).
JobWatch watchJob(const EditorSession& session) {
    JobWatch watch;
    EXPECT_TRUE(waitFor("the job to start", [&] { return jobRunsIn(session); }, COMMAND_WAIT_MS));
    const ULONGLONG deadline = GetTickCount64() + LARGE_JOB_MS;
    // A long result is shown as a job of its own right after the filters'
    // one: the watch ends when two samples in a row find no job.
    int idleSamples = 0;
    while (idleSamples < 2 && GetTickCount64() < deadline) {
        idleSamples = jobRunsIn(session) ? 0 : idleSamples + 1;
        watch.slowestMs = std::max(watch.slowestMs, answerTime(session));
        watch.samples++;
        watch.progressShown |= findProcessWindow(session.process.dwProcessId, PROGRESS_CLASS, true) != nullptr;
        Sleep(SAMPLE_EVERY_MS);
    }
    watch.slowestMs = std::max(watch.slowestMs, answerTime(session));
    return watch;
}

}  // namespace

TEST_F(TranslateCommandsTest, CancelStopsTheFilterAndKeepsTheDocument) {
    SetEnvironmentVariableA(FAKE_MODE_VARIABLE, "hang");
    start();
    useFakePack();
    const std::wstring letter = L"Liebe Oma,\r\nbis bald.";
    setEditText(session, letter);
    postTranslateCommand(CMD_TO_ZARNOGLOT);
    HWND progress = nullptr;
    ASSERT_TRUE(waitFor("the progress window", [&] {
        progress = findProcessWindow(session.process.dwProcessId, PROGRESS_CLASS, true);
        return progress != nullptr;
    }, COMMAND_WAIT_MS));
    EXPECT_EQ(GetWindow(progress, GW_OWNER), session.mainWindow);
    EXPECT_EQ(windowText(GetDlgItem(progress, PROGRESS_TITLE_ID)), "Translating into ZarnoGlot\u2026");
    EXPECT_TRUE(jobRunsIn(session)) << "the document is not read-only during the job";
    EXPECT_LT(answerTime(session), ANSWER_MS);
    // A command that would change the document is refused meanwhile.
    DWORD_PTR result = 0;
    SendMessageTimeoutW(session.mainWindow, WM_COMMAND, CMD_FILE_NEW, 0, SMTO_NORMAL, ANSWER_MS, &result);
    EXPECT_TRUE(editText(session) == letter) << "File > New ran during the job";

    std::string pidText;
    ASSERT_TRUE(waitFor("the stand-in's process id", [&] {
        pidText = readFile(joinPath(session.folder, "hanging.pid"));
        return !pidText.empty();
    }, COMMAND_WAIT_MS));
    HANDLE filter = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(strtoul(pidText.c_str(), nullptr, 10)));
    ASSERT_NE(filter, nullptr);
    PostMessageW(GetDlgItem(progress, IDCANCEL), BM_CLICK, 0, 0);
    MessageBoxInfo box;
    ASSERT_TRUE(waitForMessageBox(session, &box, COMMAND_WAIT_MS)) << "no box after Cancel";
    EXPECT_EQ(box.text, "The translation was cancelled; the document is unchanged.");
    EXPECT_EQ(box.icon, ICON_INFORMATION);
    EXPECT_EQ(WaitForSingleObject(filter, EDITOR_WAIT_MS), WAIT_OBJECT_0) << "the filter still runs";
    CloseHandle(filter);
    answerMessageBox(box, IDOK);
    sync();
    EXPECT_TRUE(editText(session) == letter) << "the cancelled translation changed the document";
    EXPECT_FALSE(jobRunsIn(session)) << "the document stays read-only";
    EXPECT_EQ(findProcessWindow(session.process.dwProcessId, PROGRESS_CLASS, true), nullptr);
}

// One round trip of 20 MB: the document is opened from its file, goes to
// ZarnoGlot and back while the window answers every sample within a
// second (the texts go into the edit control in pieces), and File > Save
// writes the same bytes again. About four minutes under Wine on a 2-core
// machine, most of it the edit control laying out the 45M characters of
// the ZarnoGlot; the one case of its size in the suite.
TEST_F(TranslateCommandsTest, TwentyMegabytesGoToZarnoGlotAndBackWhileTheWindowAnswers) {
    if (!releaseFolder().empty()) GTEST_SKIP() << "the build's filters are checked here";
    const std::string bytes = toUtf8(benchmarkDocument(20 * 1000 * 1000));
    const std::string folder = makeTempDirectory();
    const std::string path = joinPath(folder, "large letter.txt");
    ASSERT_NO_FATAL_FAILURE(openLetterFile(path, bytes, LARGE_JOB_MS));
    const LRESULT units = static_cast<LRESULT>(fromUtf8(bytes).size());

    agreeToThePublicVocabulary(CMD_TO_ZARNOGLOT);
    const JobWatch there = watchJob(session);
    EXPECT_NE(sendToEdit(session, WM_GETTEXTLENGTH), units) << "nothing was translated";
    postCommand(session, CMD_FROM_ZARNOGLOT);
    const JobWatch back = watchJob(session);
    for (const JobWatch& watch : {there, back}) {
        EXPECT_GE(watch.samples, 3);
        EXPECT_LT(watch.slowestMs, ANSWER_MS) << "the window did not answer in time";
        EXPECT_TRUE(watch.progressShown);
    }
    EXPECT_TRUE(noMessageBoxFor(session, 100));
    ASSERT_TRUE(sendCommand(session, CMD_FILE_SAVE, COMMAND_WAIT_MS));
    EXPECT_TRUE(readFile(path) == bytes) << "the round trip changed the document";
    removeTree(folder);
}

// A result long enough to be shown in pieces (1.5 MB of letter is about
// 3.4M characters of ZarnoGlot, pieces begin at 2.5M) takes the document's
// place, the way back gives the letter again and File > Save writes its
// bytes unchanged.
TEST_F(TranslateCommandsTest, AResultShownInPiecesReplacesTheDocument) {
    if (!releaseFolder().empty()) GTEST_SKIP() << "the build's filters are checked here";
    const std::string bytes = toUtf8(benchmarkDocument(1500 * 1000));
    const std::string folder = makeTempDirectory();
    const std::string path = joinPath(folder, "long letter.txt");
    ASSERT_NO_FATAL_FAILURE(openLetterFile(path, bytes, LARGE_JOB_MS));

    agreeToThePublicVocabulary(CMD_TO_ZARNOGLOT);
    const JobWatch there = watchJob(session);
    EXPECT_TRUE(noMessageBoxFor(session, 100));
    const LRESULT zarnoGlotUnits = sendToEdit(session, WM_GETTEXTLENGTH);
    EXPECT_GT(zarnoGlotUnits, 5 << 19) << "the result is not all in the window, or too short for pieces";
    EXPECT_TRUE(there.progressShown);
    postCommand(session, CMD_FROM_ZARNOGLOT);
    watchJob(session);
    EXPECT_TRUE(noMessageBoxFor(session, 100));
    ASSERT_TRUE(sendCommand(session, CMD_FILE_SAVE, COMMAND_WAIT_MS));
    EXPECT_TRUE(readFile(path) == bytes) << "the round trip changed the document";
    removeTree(folder);
}

// Cancel while a long file's text is put into the window: the part shown
// goes, and the document is bound to no file, so that Save cannot write the
// part over the file.
TEST_F(TranslateCommandsTest, CancelWhileALongFileIsShownLeavesNoPartOfIt) {
    const std::string bytes = toUtf8(benchmarkDocument(3 * 1000 * 1000));
    const std::string folder = makeTempDirectory();
    const std::string path = joinPath(folder, "long letter.txt");
    ASSERT_TRUE(writeFile(path, bytes));
    ASSERT_TRUE(startEditor(&session, DEFAULT_INI, FILTER_FILES, "\"" + path + "\""));
    HWND progress = nullptr;
    ASSERT_TRUE(waitFor("the progress window", [&] {
        progress = findProcessWindow(session.process.dwProcessId, PROGRESS_CLASS, true);
        return progress != nullptr;
    }, COMMAND_WAIT_MS));
    EXPECT_EQ(windowText(GetDlgItem(progress, PROGRESS_TITLE_ID)), "Showing the text\u2026");
    EXPECT_LT(answerTime(session), ANSWER_MS);
    PostMessageW(GetDlgItem(progress, IDCANCEL), BM_CLICK, 0, 0);
    MessageBoxInfo box;
    ASSERT_TRUE(waitForMessageBox(session, &box, COMMAND_WAIT_MS)) << "no box after Cancel";
    EXPECT_EQ(box.text, "Opening was cancelled; the document is empty and has no file.");
    answerMessageBox(box, IDOK);
    sync();
    EXPECT_TRUE(editText(session).empty()) << "a part of the file stayed";
    EXPECT_EQ(windowText(session.mainWindow).rfind("Untitled - ", 0), 0u) << windowText(session.mainWindow);
    EXPECT_TRUE(readFile(path) == bytes);
    removeTree(folder);
}
