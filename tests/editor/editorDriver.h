// Drives the real zarnoGlotWriteW.exe for end-to-end tests under Windows or
// Wine: starts it in a fresh folder of its own with a given configuration,
// sends menu commands and keys, reads and sets the document, reads the
// diagnostic log and waits for the program to end. Its message boxes are
// read and answered through messageBoxDriver.h.
//
// Drive T: must map to a folder the tests may write: the ctest fixture
// "editorDriveT" links it in the Wine prefix and passes the folder's path in
// the environment variable ZG_DRIVE_T.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "testWait.h"

// Paths and texts are UTF-8, as in testSupport.h.
struct EditorSession {
    std::string folder;                  // fresh folder holding the program and its configuration
    std::string base;                    // the temporary folder that holds it
    PROCESS_INFORMATION process = {};
    HWND mainWindow = nullptr;
    HWND editControl = nullptr;
    std::string logPath;                 // the log the program writes; empty for logFilePath()
    long long logStart = 0;              // size of the log file before the start
    // "NAME=value" settings the program gets in its environment beside the
    // test's own (set before launchEditor).
    std::vector<std::string> environment;
    // Flags of the program's start (CREATE_NEW_CONSOLE: a console of its own).
    DWORD creationFlags = 0;
    // A program that starts the session's program: its command line comes
    // first ("cmd.exe /c"); followStartedProcess then follows the program.
    std::string launcher;
};

// The folder the program is copied into: a name outside every single-byte
// code page, so that each end-to-end test runs the editor from such a folder.
extern const char* const EDITOR_FOLDER_NAME;

// Default time limit of the waits, in milliseconds (each looks again every
// POLL_MS, through waitFor: testWait.h).
constexpr int EDITOR_WAIT_MS = 10000;

// Path of the folder that drive T: maps to (a Windows path), or empty with a
// note on standard error when the fixture has not set it.
std::string driveTFolder();
// The log file as the tests see it, "T:\zarnoGlotWriteW.log".
std::string logFilePath();

// Makes a fresh folder (EDITOR_FOLDER_NAME in a new temporary folder), copies zarnoGlotWriteW.exe and each named companion
// file of the build's bin folder into it, writes the configuration bytes as
// zarnoGlotWriteW.ini (none when writeIni is false) and starts the program
// of that folder (the editor unless another is named) with the arguments
// after its name on the command line. Does not wait for the window.
bool launchEditor(EditorSession* session, const std::string& iniBytes, bool writeIni = true,
                  const std::vector<std::string>& companionFiles = {}, const std::string& arguments = "",
                  const std::string& program = "zarnoGlotWriteW.exe");
// Starts the program at that path with the arguments after its name, in the
// session's environment, as the session's process, and reads the log from
// here on; launchEditor's last step.
bool startProgram(EditorSession* session, const std::string& program, const std::string& arguments = "");
// launchEditor, then waitForMainWindow.
bool startEditor(EditorSession* session, const std::string& iniBytes,
                 const std::vector<std::string>& companionFiles = {}, const std::string& arguments = "");
// Makes the session follow the process that the session's program started
// from the file of that name (zarnoGlotWriteW.exe), closing the handles of
// the first: for the start program, which starts the editor and ends.
bool followStartedProcess(EditorSession* session, const char* fileName);
// Waits for the program's window of class "zarnoGlotWriteClass" and its edit control.
bool waitForMainWindow(EditorSession* session, int timeoutMs = EDITOR_WAIT_MS);

// Brings the main window to the front and presses the keys one after the
// other, then lets them go in reverse order: {VK_CONTROL, 'N'} is Ctrl+N.
// The program handles them later, as it takes its input.
bool pressKeys(const EditorSession& session, const std::vector<WORD>& keys);

// Posts a menu command (WM_COMMAND with the id) to the main window and
// returns at once: for commands that open a box or a dialog.
void postCommand(const EditorSession& session, int commandId);
// Sends a menu command and returns when the editor has carried it out: for
// commands that open nothing. A job that runs (jobRunsIn) ends first, and
// the job the command starts ends before it returns. False when it took
// longer than the limit.
bool sendCommand(const EditorSession& session, int commandId, int timeoutMs = EDITOR_WAIT_MS);

// Whether a job of the editor runs now: its document is read-only meanwhile.
bool jobRunsIn(const EditorSession& session);

std::wstring editText(const EditorSession& session);
void setEditText(const EditorSession& session, const std::wstring& text);
// Runs a message through the edit control and returns its result.
LRESULT sendToEdit(const EditorSession& session, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

// What the program has written to the log (session.logPath, else
// logFilePath()) since this session started it.
std::string logText(const EditorSession& session);
// The log's lines since the start, without line ends.
std::vector<std::string> logLines(const EditorSession& session);

// The configuration file in the session's folder as it is now.
std::string configurationText(const EditorSession& session);

// Whether the program has ended.
bool programEnded(const EditorSession& session);

// Waits until a window of the editor is shown and answers a message sent
// to it: a dialog or box has then finished setting itself up.
bool waitUntilSettled(const EditorSession& session, HWND window, int timeoutMs = EDITOR_WAIT_MS);
// Waits for the program to end; false when it is still running at the limit.
bool waitForExit(const EditorSession& session, int* exitStatus, int timeoutMs = EDITOR_WAIT_MS);
// Ends the program if it still runs, closes its handles and removes its folder.
void stopEditor(EditorSession* session);

// The first top-level window of the process with that class: with
// visibleOnly a visible one, with a caption one of exactly that caption, and
// never the window to skip. None when there is no such window.
HWND findProcessWindow(DWORD processId, const char* className, bool visibleOnly,
                       const std::string* caption = nullptr, HWND skip = nullptr);

// Text of a window (a control of any process) through WM_GETTEXT, as UTF-8.
std::string windowText(HWND window);
