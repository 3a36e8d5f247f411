// End-to-end tests of zarnoGlotWriteW: the real program, driven through its
// window, its message boxes, its configuration file and its log.
#include "editorTest.h"
#include "testFiles.h"

#include <shlobj.h>

#include <algorithm>
#include <memory>
#include <regex>
#include <string>
#include <vector>

namespace {

const std::string DEFAULT_INI = "sample.vcb\r\nC:\\users\\Public\\Documents\r\nConsolas,10\r\n";
const char* const CLOSED_LINE = "============== Log closed ===============";

using EditorWindowTest = EditorTest;

// Drive T: cannot be reached while this lives: the folder the tests' T:
// maps to is moved away, and back at the end.
class DriveTAway {
public:
    DriveTAway() : folder(driveTFolder()), away(folder + ".away") {
        moved = !folder.empty() && MoveFileW(widen(folder).c_str(), widen(away).c_str());
        EXPECT_TRUE(moved) << "drive T: could not be taken away";
    }
    ~DriveTAway() {
        if (moved) MoveFileW(widen(away).c_str(), widen(folder).c_str());
    }

private:
    std::string folder;
    std::string away;
    bool moved = false;
};

// A local application data folder of a user whose name is not ASCII, for
// the log when drive T: cannot be reached.
class LocalApplicationData {
public:
    LocalApplicationData() : base(makeTempDirectory()), folder(joinPath(base, "Jos\xC3\xA9 \xE3\x81\x95\xE3\x81\x8F\xE3\x82\x89")) {
        CreateDirectoryW(widen(folder).c_str(), nullptr);
    }
    ~LocalApplicationData() { removeTree(base); }
    // Gives the session this folder and reads the log there.
    void use(EditorSession* session) const {
        session->environment = {"LOCALAPPDATA=" + folder};
        session->logPath = logPath();
    }
    std::string logPath() const { return joinPath(folder, "ZarnoGlot\\zarnoGlotWriteW.log"); }

    std::string base;
    std::string folder;
};

// The text as the system's code page reads it, in UTF-8.
std::string codePageText(const std::string& bytes) {
    wchar_t wide[256] = L"";
    MultiByteToWideChar(CP_ACP, 0, bytes.c_str(), -1, wide, 256);
    return narrow(wide);
}

// The log records a run's start (when, which version, which process), the
// program and the settings it started with, and its end: the facts, not
// every line word for word.
TEST_F(EditorWindowTest, TheLogRecordsTheRunsStartItsSettingsAndItsEnd) {
    start(DEFAULT_INI);
    exitNormally();
    const std::vector<std::string> lines = logLines(session);
    ASSERT_GE(lines.size(), 3u) << logText(session);
    EXPECT_TRUE(std::regex_match(lines.front(), std::regex("====== Log started at \\d\\d\\.\\d\\d\\d \\d\\d\\.\\d\\d ======")))
        << lines.front();
    EXPECT_EQ(lines.back(), CLOSED_LINE);
    const auto logged = [&](const std::string& fact) {
        return std::any_of(lines.begin() + 1, lines.end() - 1,
                           [&](const std::string& line) { return line.find(fact) != std::string::npos; });
    };
    for (const std::string& fact : {std::string("26.343"), std::to_string(session.process.dwProcessId),
                                    session.folder + "\\zarnoGlotWriteW.exe", std::string("zarnoGlotWriteW.ini"),
                                    std::string("sample.vcb"), std::string("C:\\users\\Public\\Documents"),
                                    std::string("Consolas,10")}) {
        EXPECT_TRUE(logged(fact)) << "the log does not say " << fact << ":\n" << logText(session);
    }
    // Lines end with CR LF on disk.
    EXPECT_EQ(logText(session).find('\n'), logText(session).find("\r\n") + 1);
    EXPECT_EQ(configurationText(session), DEFAULT_INI);
}

TEST_F(EditorWindowTest, SecondRunAppendsToTheSameLog) {
    start(DEFAULT_INI);
    exitNormally();
    const long long firstStart = session.logStart;
    stopEditor(&session);
    start(DEFAULT_INI);
    exitNormally();
    session.logStart = firstStart;
    const std::string text = logText(session);
    const size_t first = text.find("====== Log started at ");
    ASSERT_NE(first, std::string::npos);
    EXPECT_NE(text.find("====== Log started at ", first + 1), std::string::npos);
}

TEST_F(EditorWindowTest, MainWindowHasItsTitleMenuAndEditControl) {
    start(DEFAULT_INI);
    EXPECT_EQ(windowText(session.mainWindow), "Untitled - zarnoGlotWrite - sample.vcb");
    HMENU bar = GetMenu(session.mainWindow);
    EXPECT_NE(bar, nullptr);
    // The platform reads another process's menu only where menus are shared
    // objects (Windows); the table itself is checked in-process by MenuTest.
    const int popups = GetMenuItemCount(bar);
    if (popups >= 0) {
        EXPECT_EQ(popups, 6);
    }
    char className[32] = "";
    GetClassNameA(session.editControl, className, sizeof className);
    EXPECT_STREQ(className, "Edit");
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(session.editControl, GWL_STYLE)) & 0x50200044u, 0x50200044u);
    EXPECT_TRUE(GetWindowLongA(session.editControl, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_EQ(editText(session), L"");
    EXPECT_EQ(sendToEdit(session, EM_GETMODIFY), 0);
    RECT window;
    GetWindowRect(session.mainWindow, &window);
    EXPECT_EQ(window.right - window.left, 900);
    EXPECT_EQ(window.bottom - window.top, 650);
}

TEST_F(EditorWindowTest, EditControlFillsTheWindowWhenResized) {
    start(DEFAULT_INI);
    const SIZE sizes[] = {{900, 650}, {500, 300}, {1000, 700}};
    for (const SIZE& size : sizes) {
        SetWindowPos(session.mainWindow, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
        RECT client;
        RECT edit;
        GetClientRect(session.mainWindow, &client);
        GetWindowRect(session.editControl, &edit);
        POINT corner = {0, 0};
        ClientToScreen(session.mainWindow, &corner);
        EXPECT_EQ(edit.left, corner.x);
        EXPECT_EQ(edit.top, corner.y);
        EXPECT_EQ(edit.right - edit.left, client.right);
        EXPECT_EQ(edit.bottom - edit.top, client.bottom);
    }
}

TEST_F(EditorWindowTest, EditControlShowsTheLanguageColours) {
    start(DEFAULT_INI);
    // A point in the empty middle of the control shows the background, once
    // the window has its place and has been painted.
    COLORREF background = CLR_INVALID;
    waitFor("the language colours on the screen", [&] {
        RECT edit;
        GetWindowRect(session.editControl, &edit);
        HDC screen = GetDC(nullptr);
        background = GetPixel(screen, (edit.left + edit.right) / 2, (edit.top + edit.bottom) / 2);
        ReleaseDC(nullptr, screen);
        return background == RGB(255, 240, 245);
    }, 2500);
    EXPECT_EQ(background, RGB(255, 240, 245));
}

TEST_F(EditorWindowTest, EditCommandsWorkOnTheSelection) {
    start(DEFAULT_INI);
    setEditText(session, L"hello world");
    // Delete with nothing selected changes nothing.
    sendToEdit(session, EM_SETSEL, 3, 3);
    sendCommand(session, CMD_EDIT_DELETE);
    EXPECT_EQ(editText(session), L"hello world");
    // Select All, Delete, Undo.
    sendCommand(session, CMD_EDIT_SELECT_ALL);
    sendCommand(session, CMD_EDIT_DELETE);
    EXPECT_EQ(editText(session), L"");
    sendCommand(session, CMD_EDIT_UNDO);
    EXPECT_EQ(editText(session), L"hello world");
    // Copy the first word, paste it at the end; cut the last word.
    sendToEdit(session, EM_SETSEL, 0, 5);
    sendCommand(session, CMD_EDIT_COPY);
    sendToEdit(session, EM_SETSEL, 11, 11);
    sendCommand(session, CMD_EDIT_PASTE);
    EXPECT_EQ(editText(session), L"hello worldhello");
    sendToEdit(session, EM_SETSEL, 6, 11);
    sendCommand(session, CMD_EDIT_CUT);
    EXPECT_EQ(editText(session), L"hello hello");
    sendCommand(session, CMD_EDIT_SELECT_ALL);
    const LRESULT selection = sendToEdit(session, EM_GETSEL);
    EXPECT_EQ(LOWORD(selection), 0);
    EXPECT_EQ(HIWORD(selection), 11);
    EXPECT_TRUE(noMessageBoxFor(session, 100));
}

TEST_F(EditorWindowTest, HelpAndAboutShowTheirBoxes) {
    start(DEFAULT_INI);
    const std::string help =
        "This program enables editing of text in natural language (English, French, German etc.) and the "
        "translation to and from ZarnoGlot \"pseudo-language\".\n\n"
        "Most other functions - in particular file read and write operations, clipboard access and text "
        "editor functions - are identical to their equivalents in the Notepad Windows application.\n\n"
        "(see menu item below: ZarnoGlot User Guide on Web).\n";
    const struct { MenuCommand command; const char* caption; std::string text; } cases[] = {
        {CMD_HELP, "zarnoGlotWriteW", help},
        {CMD_ABOUT, "About zarnoGlotWriteW", "zarnoGlotWriteW\nVersion 26.343"},
    };
    setEditText(session, L"unchanged");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        postCommand(session, c.command);
        expectOkBox(c.caption, c.text, ICON_INFORMATION);
    }
    EXPECT_EQ(editText(session), L"unchanged");
    // The user guide page opens outside the editor; nothing is shown.
    postCommand(session, CMD_USER_GUIDE);
    EXPECT_TRUE(noMessageBoxFor(session, 500));
    exitNormally();
}

// The keyboard shortcuts reach their commands through the message loop.
TEST_F(EditorWindowTest, KeyboardShortcutsReachTheirCommands) {
    start(DEFAULT_INI);
    setEditText(session, L"some text");
    sendToEdit(session, EM_SETMODIFY, TRUE);
    ASSERT_TRUE(pressKeys(session, {VK_CONTROL, 'N'}));
    answerQuestion("zarnoGlotWriteW", "Do you want to save changes?", IDNO);
    sync();
    EXPECT_EQ(editText(session), L"");
    ASSERT_TRUE(pressKeys(session, {VK_CONTROL, 'O'}));
    EXPECT_TRUE(cancelDialog(session, "Open"));
    exitNormally();
}

TEST_F(EditorWindowTest, UnknownCommandIdsAreIgnored) {
    start(DEFAULT_INI);
    setEditText(session, L"text");
    for (int command : {0, 10, 16, 27, 34, 45, 53, 90, 94, 1000}) {
        EXPECT_TRUE(sendCommand(session, command)) << command;
    }
    EXPECT_TRUE(noMessageBoxFor(session, 300));
    EXPECT_EQ(editText(session), L"text");
}

// Width of the text in the font, in pixels.
int textWidth(HGDIOBJ font, const std::wstring& text) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size = {};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return size.cx;
}

// The font of the configuration at that size, made as the editor makes it.
HFONT configuredFont(const wchar_t* face, int points) {
    HDC screen = GetDC(nullptr);
    const int pixelsPerInch = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return CreateFontW(-MulDiv(points, pixelsPerInch, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
}

// The edit control starts with the configured font; without a face it
// keeps the system's GUI font.
TEST_F(EditorWindowTest, ConfiguredFontIsAppliedAtStart) {
    const std::wstring sample = L"WWWWWWWWWWiiiiiiiiii";
    const struct { const char* line; HGDIOBJ font; } cases[] = {
        {"Courier New,12", configuredFont(L"Courier New", 12)},
        {"Courier New,24", configuredFont(L"Courier New", 24)},
        {",10", GetStockObject(DEFAULT_GUI_FONT)},
    };
    int previousWidth = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        start(std::string("a.vcb\r\nC:\\Data\r\n") + c.line + "\r\n");
        // The text is laid out in that font.
        setEditText(session, sample);
        const LRESULT first = sendToEdit(session, EM_POSFROMCHAR, 0);
        const LRESULT last = sendToEdit(session, EM_POSFROMCHAR, sample.size() - 1);
        const int width = static_cast<short>(LOWORD(last)) - static_cast<short>(LOWORD(first));
        EXPECT_EQ(width, textWidth(c.font, sample.substr(0, sample.size() - 1)));
        EXPECT_NE(width, previousWidth);
        previousWidth = width;
        exitNormally();
        EXPECT_EQ(configurationText(session), std::string("a.vcb\r\nC:\\Data\r\n") + c.line + "\r\n");
        stopEditor(&session);
    }
    DeleteObject(cases[0].font);
    DeleteObject(cases[1].font);
}

struct ConfigurationCase {
    const char* name;
    std::string ini;
    std::string logged;        // the three settings lines of the log
    std::string writtenBack;
};

TEST_F(EditorWindowTest, ReadsAndWritesBackTheConfiguration) {
    const std::string long70(70, 'v');
    // A configuration without a folder gets the user's own Documents.
    wchar_t documents[MAX_PATH] = L"";
    ASSERT_TRUE(SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, documents)));
    const ConfigurationCase cases[] = {
        {"CR LF", "w.vcb\r\nC:\\Data\r\nArial,9\r\n",
         "vocabulary: [w.vcb]\r\ndata directory: [C:\\Data]\r\ntext edit font: Arial,9\r\n",
         "w.vcb\r\nC:\\Data\r\nArial,9\r\n"},
        {"LF", "w.vcb\nC:\\Data\nArial,9\n",
         "vocabulary: [w.vcb]\r\ndata directory: [C:\\Data]\r\ntext edit font: Arial,9\r\n",
         "w.vcb\r\nC:\\Data\r\nArial,9\r\n"},
        {"no comma", "w.vcb\r\nC:\\Data\r\nConsolas\r\n",
         "vocabulary: [w.vcb]\r\ndata directory: [C:\\Data]\r\ntext edit font: Consolas,10\r\n",
         "w.vcb\r\nC:\\Data\r\nConsolas,10\r\n"},
        {"first line too long", long70 + "\r\nC:\\Data\r\nArial,9\r\n",
         "vocabulary: [" + long70.substr(0, 63) + "]\r\ndata directory: [vvvvvvv]\r\ntext edit font: C:\\Data,10\r\n",
         long70.substr(0, 63) + "\r\nvvvvvvv\r\nC:\\Data,10\r\n"},
        {"short file", "w.vcb\r\n",
         "vocabulary: [w.vcb]\r\ndata directory: []\r\ntext edit font: ,10\r\n",
         "w.vcb\r\n" + narrow(documents) + "\r\n,10\r\n"},
        {"UTF-8 names", "meine-w\xC3\xB6rter.vcb\r\nC:\\Users\\Jos\xC3\xA9\\Briefe f\xC3\xBCr Oma\r\nArial,9\r\n",
         "vocabulary: [meine-w\xC3\xB6rter.vcb]\r\ndata directory: [C:\\Users\\Jos\xC3\xA9\\Briefe f\xC3\xBCr Oma]\r\n"
         "text edit font: Arial,9\r\n",
         "meine-w\xC3\xB6rter.vcb\r\nC:\\Users\\Jos\xC3\xA9\\Briefe f\xC3\xBCr Oma\r\nArial,9\r\n"},
        {"Japanese folder", "w.vcb\r\nC:\\\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\r\nArial,9\r\n",
         "vocabulary: [w.vcb]\r\ndata directory: [C:\\\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E]\r\ntext edit font: Arial,9\r\n",
         "w.vcb\r\nC:\\\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\r\nArial,9\r\n"},
        {"byte-order mark", "\xEF\xBB\xBFw.vcb\r\nC:\\Data\r\nArial,9\r\n",
         "vocabulary: [w.vcb]\r\ndata directory: [C:\\Data]\r\ntext edit font: Arial,9\r\n",
         "w.vcb\r\nC:\\Data\r\nArial,9\r\n"},
        // Edited by hand in the code page: read as before, written as UTF-8.
        {"code page", "w.vcb\r\nC:\\Caf\xE9\r\nArial,9\r\n",
         "vocabulary: [w.vcb]\r\ndata directory: [" + codePageText("C:\\Caf\xE9") + "]\r\ntext edit font: Arial,9\r\n",
         "w.vcb\r\n" + codePageText("C:\\Caf\xE9") + "\r\nArial,9\r\n"},
    };
    for (const ConfigurationCase& c : cases) {
        SCOPED_TRACE(c.name);
        start(c.ini);
        exitNormally();
        EXPECT_NE(logText(session).find(c.logged), std::string::npos) << logText(session);
        EXPECT_EQ(configurationText(session), c.writtenBack);
        stopEditor(&session);
    }
}

TEST_F(EditorWindowTest, ExitAndCloseButtonEndTheRunAndSaveTheConfiguration) {
    for (const bool closeButton : {false, true}) {
        SCOPED_TRACE(closeButton ? "close button" : "File > Exit");
        start("w.vcb\r\nC:\\Data\r\nConsolas\r\n");
        setEditText(session, L"some text");
        sendToEdit(session, EM_SETMODIFY, FALSE);
        if (closeButton) {
            PostMessageA(session.mainWindow, WM_SYSCOMMAND, SC_CLOSE, 0);
        } else {
            postCommand(session, CMD_FILE_EXIT);
        }
        int status = -2;
        ASSERT_TRUE(waitForExit(session, &status)) << "a box may be waiting";
        EXPECT_EQ(status, 0);
        EXPECT_EQ(configurationText(session), "w.vcb\r\nC:\\Data\r\nConsolas,10\r\n");
        const std::vector<std::string> lines = logLines(session);
        ASSERT_GE(lines.size(), 2u);
        EXPECT_EQ(lines[lines.size() - 2], "Saving configuration to: [zarnoGlotWriteW.ini]");
        EXPECT_EQ(lines.back(), CLOSED_LINE);
        stopEditor(&session);
    }
}

TEST_F(EditorWindowTest, MissingConfigurationIsFatal) {
    ASSERT_TRUE(launchEditor(&session, "", false));
    // No window yet: the box has no owner.
    expectOkBox("Fatal Error - No configuttation file", "Failed to open configration file:\n[zarnoGlotWriteW.ini]\n\n",
                ICON_ERROR);
    int status = -2;
    ASSERT_TRUE(waitForExit(session, &status));
    EXPECT_EQ(status, 1);
    const std::vector<std::string> lines = logLines(session);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "reading configuration from: [zarnoGlotWriteW.ini]");
    EXPECT_FALSE(fileExists(joinPath(session.folder, "zarnoGlotWriteW.ini")));
}

// Without drive T: the editor starts all the same and keeps its log in the
// user's local application data, whatever the user's name.
TEST_F(EditorWindowTest, WithoutDriveTTheLogIsInTheLocalApplicationData) {
    const LocalApplicationData local;
    local.use(&session);
    DriveTAway away;
    start("w.vcb\r\nC:\\Data\r\nConsolas\r\n");
    exitNormally();
    const std::vector<std::string> lines = logLines(session);
    ASSERT_GE(lines.size(), 6u) << logText(session);
    EXPECT_EQ(lines[1], "Program/Log file: [" + local.logPath() + "]");
    EXPECT_EQ(lines[4], "executable: [" + session.folder + "\\zarnoGlotWriteW.exe]");
    EXPECT_EQ(lines.back(), CLOSED_LINE);
    EXPECT_EQ(configurationText(session), "w.vcb\r\nC:\\Data\r\nConsolas,10\r\n");
}

// Only when neither drive T: nor the local application data takes the log
// does the editor refuse to start.
TEST_F(EditorWindowTest, NoPlaceForTheLogIsFatal) {
    const LocalApplicationData local;
    // A file where the log's folder would be made.
    ASSERT_TRUE(writeFile(joinPath(local.folder, "ZarnoGlot"), "not a folder"));
    local.use(&session);
    DriveTAway away;
    ASSERT_TRUE(launchEditor(&session, "w.vcb\r\nC:\\Data\r\nConsolas\r\n"));
    MessageBoxInfo box;
    ASSERT_TRUE(waitForMessageBox(session, &box));
    EXPECT_EQ(box.caption, "Fatal Error - No Debug Log");
    EXPECT_EQ(box.text, "Failed to open debug log file:\nt:zarnoGlotWriteW.log\n" + local.logPath() + "\n\n");
    EXPECT_EQ(box.icon, ICON_ERROR);
    EXPECT_EQ(box.owner, nullptr);
    answerMessageBox(box, IDOK);
    int status = -2;
    ASSERT_TRUE(waitForExit(session, &status));
    EXPECT_EQ(status, 1);
    // Nothing was read or written back.
    EXPECT_EQ(configurationText(session), "w.vcb\r\nC:\\Data\r\nConsolas\r\n");
}

// The start program of the session ends, and the editor it started shows the text.
void followStartedEditor(EditorSession* session, const std::wstring& text) {
    int status = -2;
    ASSERT_TRUE(waitForExit(*session, &status));
    EXPECT_EQ(status, 0);
    ASSERT_TRUE(followStartedProcess(session, "zarnoGlotWriteW.exe"));
    ASSERT_TRUE(waitForMainWindow(session));
    EXPECT_EQ(editText(*session), text);
}

// The start program starts the editor beside it with its own arguments, a
// file to open, with drive T: and without it.
TEST_F(EditorWindowTest, StartProgramStartsTheEditorWithItsArguments) {
    const std::string docs = makeTempDirectory();
    const std::string letter = joinPath(docs, "Brief f\xC3\xBCr Oma \xE6\x97\xA5\xE6\x9C\xAC.text");
    ASSERT_TRUE(writeFile(letter, "Liebe Oma"));
    for (const bool withDriveT : {true, false}) {
        SCOPED_TRACE(withDriveT ? "with drive T:" : "without drive T:");
        const LocalApplicationData local;
        std::unique_ptr<DriveTAway> away;
        if (!withDriveT) {
            local.use(&session);
            away.reset(new DriveTAway);
        }
        ASSERT_TRUE(launchEditor(&session, DEFAULT_INI, true, {"zarnoGlotStart.exe"}, "\"" + letter + "\"",
                                 "zarnoGlotStart.exe"));
        ASSERT_NO_FATAL_FAILURE(followStartedEditor(&session, L"Liebe Oma"));
        exitNormally();
        EXPECT_NE(logText(session).find("file_open_path() start"), std::string::npos);
        stopEditor(&session);
        session = EditorSession();
    }
    removeTree(docs);
}

// The folder the installer records for the user, set while this lives; the
// value and a key made for it are removed at the end.
class RecordedInstallFolder {
public:
    explicit RecordedInstallFolder(const std::string& folder) {
        const std::wstring value = widen(folder) + L"\\";
        DWORD disposition = 0;
        set = RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\ZarnoGlot", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                              &disposition) == ERROR_SUCCESS &&
              RegSetValueExW(key, L"InstallFolder", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                             static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
        made = disposition == REG_CREATED_NEW_KEY;
        EXPECT_TRUE(set) << "the installed folder could not be recorded";
    }
    ~RecordedInstallFolder() { forget(); }
    void forget() {
        if (key == nullptr) return;
        RegDeleteValueW(key, L"InstallFolder");
        RegCloseKey(key);
        key = nullptr;
        if (made) RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\ZarnoGlot");
    }

private:
    HKEY key = nullptr;
    bool set = false;
    bool made = false;
};

// A copy of the start program away from the editor (on the desktop, say)
// starts the editor of the folder the installer recorded, with its
// arguments; when the editor is in neither place it says where to start it.
TEST_F(EditorWindowTest, StartProgramElsewhereStartsTheInstalledEditor) {
    session.base = makeTempDirectory();
    session.folder = joinPath(session.base, EDITOR_FOLDER_NAME);
    const std::string desktop = joinPath(session.base, "Desktop");
    const std::string copy = joinPath(desktop, "zarnoGlotStart.exe");
    const std::string letter = joinPath(desktop, "Brief.text");
    ASSERT_TRUE(CreateDirectoryW(widen(session.folder).c_str(), nullptr) &&
                CreateDirectoryW(widen(desktop).c_str(), nullptr));
    ASSERT_TRUE(CopyFileW(widen(programPath("zarnoGlotWriteW")).c_str(),
                          widen(joinPath(session.folder, "zarnoGlotWriteW.exe")).c_str(), FALSE) &&
                CopyFileW(widen(programPath("zarnoGlotStart")).c_str(), widen(copy).c_str(), FALSE));
    ASSERT_TRUE(writeFile(joinPath(session.folder, "zarnoGlotWriteW.ini"), DEFAULT_INI) &&
                writeFile(letter, "Liebe Oma"));
    RecordedInstallFolder recorded(session.folder);
    ASSERT_TRUE(startProgram(&session, copy, "\"" + letter + "\""));
    ASSERT_NO_FATAL_FAILURE(followStartedEditor(&session, L"Liebe Oma"));
    exitNormally();
    EXPECT_NE(logText(session).find("executable: [" + session.folder + "\\zarnoGlotWriteW.exe]"), std::string::npos);

    recorded.forget();
    ASSERT_TRUE(startProgram(&session, copy));
    MessageBoxInfo box;
    ASSERT_TRUE(waitForMessageBox(session, &box));
    int status = -2;
    EXPECT_EQ(box.caption, "zarnoGlotWriteW");
    EXPECT_EQ(box.text, "zarnoGlotWriteW.exe is neither beside this program nor in the folder ZarnoGlot was installed "
                        "to.\n\nStart ZarnoGlot from its Start-menu entry or from the folder that holds all its "
                        "programs; a shortcut to zarnoGlotStart.exe there may be anywhere.");
    EXPECT_EQ(box.icon, ICON_ERROR);
    answerMessageBox(box, IDOK);
    ASSERT_TRUE(waitForExit(session, &status));
    EXPECT_EQ(status, 1);
}

}  // namespace
