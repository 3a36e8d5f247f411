// End-to-end tests of how a run of the editor ends: the end of the Windows
// session, and the console the editor is started with.
#include "editorTest.h"
#include "testFiles.h"

#include <atomic>
#include <string>
#include <thread>

namespace {

const std::string INI = "w.vcb\r\nC:\\Data\r\nConsolas,10\r\n";

using EditorSessionTest = EditorTest;

// WM_QUERYENDSESSION sent as Windows sends it, from another thread, since
// the editor may answer only after its save question.
class EndSessionQuery {
public:
    explicit EndSessionQuery(HWND window)
        : sender([this, window]() {
              DWORD_PTR result = 2;
              SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 60000, &result);
              answer = static_cast<int>(result);
          }) {}
    int result() {
        sender.join();
        return answer;
    }

private:
    std::atomic<int> answer{-1};
    std::thread sender;
};

// A visible console window of any process: Wine's or Windows' own class.
HWND consoleWindow() {
    HWND window = FindWindowA("WineConsoleClass", nullptr);
    if (window == nullptr) window = FindWindowA("ConsoleWindowClass", nullptr);
    return window != nullptr && IsWindowVisible(window) ? window : nullptr;
}

// The end of the session is asked as File > Exit asks: Cancel keeps the
// session and the text; after No the editor writes its configuration at
// WM_ENDSESSION and ends.
TEST_F(EditorSessionTest, TheSessionsEndAsksAsExitDoes) {
    start(INI);
    setEditText(session, L"typed, not saved");
    sendToEdit(session, EM_SETMODIFY, TRUE);
    EndSessionQuery cancelled(session.mainWindow);
    answerQuestion("zarnoGlotWriteW", "Do you want to save changes?", IDCANCEL);
    EXPECT_EQ(cancelled.result(), FALSE);
    EXPECT_TRUE(editText(session) == L"typed, not saved");
    EXPECT_FALSE(programEnded(session));

    EndSessionQuery agreed(session.mainWindow);
    answerQuestion("zarnoGlotWriteW", "Do you want to save changes?", IDNO);
    EXPECT_EQ(agreed.result(), TRUE);
    ASSERT_TRUE(DeleteFileW(widen(joinPath(session.folder, "zarnoGlotWriteW.ini")).c_str()));
    PostMessageW(session.mainWindow, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    int status = -2;
    ASSERT_TRUE(waitForExit(session, &status));
    EXPECT_EQ(status, 0);
    EXPECT_EQ(configurationText(session), INI);
    EXPECT_NE(logText(session).find("The session is ending\r\n"), std::string::npos);
}

// Started on its own, the editor releases the console Windows gave it, so
// that no console window stands beside it; started from a command window it
// keeps that console, and closing the console keeps its configuration.
TEST_F(EditorSessionTest, ItsOwnConsoleIsReleasedAndASharedOneKept) {
    session.creationFlags = CREATE_NEW_CONSOLE;
    start(INI);
    EXPECT_NE(logText(session).find("console: the editor's own, released\r\n"), std::string::npos) << logText(session);
    waitFor("the released console window to go", [] { return consoleWindow() == nullptr; }, EDITOR_WAIT_MS);
    EXPECT_EQ(consoleWindow(), nullptr) << "a console window is shown";
    exitNormally();
    stopEditor(&session);

    const std::string docs = makeTempDirectory();
    const std::string letter = joinPath(docs, "Brief.text");
    ASSERT_TRUE(writeFile(letter, "Liebe Oma"));
    session = EditorSession();
    session.creationFlags = CREATE_NEW_CONSOLE;
    // cmd /s /c takes off the first and the last quote of the rest of the line.
    session.launcher = "cmd.exe /s /c \"";
    ASSERT_TRUE(launchEditor(&session, INI, true, {}, "\"" + letter + "\"\""));
    waitFor("the editor that cmd.exe starts", [&] { return followStartedProcess(&session, "zarnoGlotWriteW.exe"); },
            EDITOR_WAIT_MS);
    ASSERT_TRUE(waitForMainWindow(&session));
    EXPECT_TRUE(editText(session) == L"Liebe Oma");
    EXPECT_NE(logText(session).find("console: shared with 1 other processes, kept\r\n"), std::string::npos)
        << logText(session);
    HWND console = consoleWindow();
    ASSERT_NE(console, nullptr);
    PostMessageW(console, WM_CLOSE, 0, 0);
    waitFor("the closed console window to go", [&] { return !IsWindow(console); }, EDITOR_WAIT_MS);
    // Windows ends the editor now; Wine lets it run. Either way the
    // configuration holds the document's folder.
    int status = -2;
    waitForExit(session, &status, 5000);
    EXPECT_EQ(configurationText(session), "w.vcb\r\n" + docs + "\r\nConsolas,10\r\n");
    stopEditor(&session);
    removeTree(docs);
}

}  // namespace
