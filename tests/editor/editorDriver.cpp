#include "editorDriver.h"

#include "testFiles.h"
#include "testSupport.h"
#include "testWait.h"

#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>

namespace {

const char* const WINDOW_CLASS = "zarnoGlotWriteClass";

struct WindowSearch {
    DWORD processId;
    const char* className;
    bool visibleOnly;
    const std::string* caption;
    HWND skip;
    HWND found;
};

BOOL CALLBACK matchWindow(HWND window, LPARAM data) {
    WindowSearch* search = reinterpret_cast<WindowSearch*>(data);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId != search->processId || window == search->skip) {
        return TRUE;
    }
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    if (strcmp(className, search->className) != 0 || (search->visibleOnly && !IsWindowVisible(window)) ||
        (search->caption != nullptr && windowText(window) != *search->caption)) {
        return TRUE;
    }
    search->found = window;
    return FALSE;
}

long long fileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(widen(path).c_str(), GetFileExInfoStandard, &data)) {
        return 0;
    }
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::string windowsPathOfUnixPath(const std::string& unixPath) {
    std::string path = "Z:" + unixPath;
    for (char& c : path) {
        if (c == '/') {
            c = '\\';
        }
    }
    return path;
}

std::string sessionLogPath(const EditorSession& session) {
    return session.logPath.empty() ? logFilePath() : session.logPath;
}

// The environment block of the test process with the session's settings in
// place of those of the same names.
std::wstring environmentBlock(const std::vector<std::string>& settings) {
    std::wstring block;
    wchar_t* inherited = GetEnvironmentStringsW();
    for (const wchar_t* entry = inherited; entry != nullptr && *entry != L'\0'; entry += wcslen(entry) + 1) {
        const std::wstring text = entry;
        bool replaced = false;
        for (const std::string& setting : settings) {
            const std::wstring name = widen(setting.substr(0, setting.find('=') + 1));
            replaced = replaced || _wcsnicmp(text.c_str(), name.c_str(), name.size()) == 0;
        }
        if (!replaced) {
            block += text + L'\0';
        }
    }
    FreeEnvironmentStringsW(inherited);
    for (const std::string& setting : settings) {
        block += widen(setting) + L'\0';
    }
    return block + L'\0';
}

}  // namespace

const char* const EDITOR_FOLDER_NAME = "Editor \xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E f\xC3\xBCr Jos\xC3\xA9";

HWND findProcessWindow(DWORD processId, const char* className, bool visibleOnly, const std::string* caption,
                       HWND skip) {
    WindowSearch search = {processId, className, visibleOnly, caption, skip, nullptr};
    EnumWindows(matchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string windowText(HWND window) {
    wchar_t text[4096] = L"";
    DWORD_PTR length = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, &length);
    text[4095] = L'\0';
    return narrow(text);
}

bool programEnded(const EditorSession& session) {
    return WaitForSingleObject(session.process.hProcess, 0) == WAIT_OBJECT_0;
}

std::string driveTFolder() {
    const char* folder = getenv("ZG_DRIVE_T");
    if (folder == nullptr || folder[0] == '\0') {
        fprintf(stderr, "editorDriver: ZG_DRIVE_T is not set; run the editor tests through ctest\n");
        return "";
    }
    return folder[0] == '/' ? windowsPathOfUnixPath(folder) : folder;
}

std::string logFilePath() {
    return "T:\\zarnoGlotWriteW.log";
}

bool launchEditor(EditorSession* session, const std::string& iniBytes, bool writeIni,
                  const std::vector<std::string>& companionFiles, const std::string& arguments,
                  const std::string& started) {
    session->base = makeTempDirectory();
    session->folder = joinPath(session->base, EDITOR_FOLDER_NAME);
    const std::string editor = joinPath(session->folder, "zarnoGlotWriteW.exe");
    const std::string program = joinPath(session->folder, started);
    if (!CreateDirectoryW(widen(session->folder).c_str(), nullptr) ||
        !CopyFileW(widen(programPath("zarnoGlotWriteW")).c_str(), widen(editor).c_str(), FALSE)) {
        fprintf(stderr, "editorDriver: cannot copy the editor into %s\n", session->folder.c_str());
        return false;
    }
    for (const std::string& name : companionFiles) {
        if (!CopyFileW(widen(joinPath(binaryDirectory(), name)).c_str(), widen(joinPath(session->folder, name)).c_str(),
                       FALSE)) {
            fprintf(stderr, "editorDriver: cannot copy %s\n", name.c_str());
            return false;
        }
    }
    if (writeIni && !writeFile(joinPath(session->folder, "zarnoGlotWriteW.ini"), iniBytes)) {
        return false;
    }
    return startProgram(session, program, arguments);
}

bool startProgram(EditorSession* session, const std::string& program, const std::string& arguments) {
    session->logStart = fileSize(sessionLogPath(*session));
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    std::wstring commandLine = L"\"" + widen(program) + L"\"";
    if (!arguments.empty()) {
        commandLine += L" " + widen(arguments);
    }
    if (!session->launcher.empty()) {
        commandLine = widen(session->launcher) + L" " + commandLine;
    }
    std::wstring environment = environmentBlock(session->environment);
    // The test's current directory is not the program's folder, so that the
    // program has to find its own folder itself.
    if (!CreateProcessW(session->launcher.empty() ? widen(program).c_str() : nullptr, &commandLine[0], nullptr,
                        nullptr, FALSE,
                        session->creationFlags | (session->environment.empty() ? 0 : CREATE_UNICODE_ENVIRONMENT),
                        session->environment.empty() ? nullptr : &environment[0], nullptr, &startup,
                        &session->process)) {
        fprintf(stderr, "editorDriver: cannot start %s (%lu)\n", program.c_str(), GetLastError());
        return false;
    }
    return true;
}

bool startEditor(EditorSession* session, const std::string& iniBytes, const std::vector<std::string>& companionFiles,
                 const std::string& arguments) {
    return launchEditor(session, iniBytes, true, companionFiles, arguments) && waitForMainWindow(session);
}

bool followStartedProcess(EditorSession* session, const char* fileName) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return false;
    }
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    DWORD childId = 0;
    for (BOOL more = Process32First(snapshot, &entry); more && childId == 0; more = Process32Next(snapshot, &entry)) {
        if (entry.th32ParentProcessID == session->process.dwProcessId && _stricmp(entry.szExeFile, fileName) == 0) {
            childId = entry.th32ProcessID;
        }
    }
    CloseHandle(snapshot);
    HANDLE child = childId != 0 ? OpenProcess(PROCESS_ALL_ACCESS, FALSE, childId) : nullptr;
    if (child == nullptr) {
        return false;
    }
    CloseHandle(session->process.hProcess);
    CloseHandle(session->process.hThread);
    session->process = {};
    session->process.hProcess = child;
    session->process.dwProcessId = childId;
    return true;
}

bool waitUntilSettled(const EditorSession& session, HWND window, int timeoutMs) {
    const ULONGLONG start = GetTickCount64();
    if (!waitFor("a window of the editor to be shown", [&] { return IsWindowVisible(window) != FALSE; }, timeoutMs,
                 [&] { return !IsWindow(window) || programEnded(session); }, "it went away, or the editor ended")) {
        return false;
    }
    const ULONGLONG waited = GetTickCount64() - start;
    DWORD_PTR answer = 0;
    DWORD left = static_cast<DWORD>(static_cast<ULONGLONG>(timeoutMs) > waited ? timeoutMs - waited : 1);
    // A window answers a sent message only from its message loop, so an
    // answer means its set-up (WM_INITDIALOG and the like) has finished.
    // Not SMTO_ABORTIFHUNG: under load a busy editor is not a hung one.
    if (SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, left, &answer) != 0) return true;
    std::fprintf(stderr, "editor driver: a window found did not answer (Windows error %lu)\n",
                 static_cast<unsigned long>(GetLastError()));
    return false;
}

bool waitForMainWindow(EditorSession* session, int timeoutMs) {
    HWND window = nullptr;
    const bool shown = waitFor("the editor's main window", [&] {
        window = findProcessWindow(session->process.dwProcessId, WINDOW_CLASS, false);
        return window != nullptr && IsWindowVisible(window);
    }, timeoutMs, [&] { return programEnded(*session); }, "the editor ended");
    if (!shown) return false;
    session->mainWindow = window;
    session->editControl = GetDlgItem(window, 1);
    return session->editControl != nullptr;
}

bool pressKeys(const EditorSession& session, const std::vector<WORD>& keys) {
    SetForegroundWindow(session.mainWindow);
    waitFor("the editor's window in front", [&] { return GetForegroundWindow() == session.mainWindow; },
            EDITOR_WAIT_MS);
    std::vector<INPUT> inputs(keys.size() * 2);
    for (size_t i = 0; i < keys.size(); i++) {
        inputs[i].type = INPUT_KEYBOARD;
        inputs[i].ki.wVk = keys[i];
        INPUT& release = inputs[inputs.size() - 1 - i];
        release.type = INPUT_KEYBOARD;
        release.ki.wVk = keys[i];
        release.ki.dwFlags = KEYEVENTF_KEYUP;
    }
    return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
}

void postCommand(const EditorSession& session, int commandId) {
    PostMessageA(session.mainWindow, WM_COMMAND, MAKEWPARAM(commandId, 0), 0);
}

bool jobRunsIn(const EditorSession& session) {
    return (GetWindowLongW(session.editControl, GWL_STYLE) & ES_READONLY) != 0;
}

bool sendCommand(const EditorSession& session, int commandId, int timeoutMs) {
    // The main window answers during a job, and refuses commands meanwhile:
    // the command goes once the job in hand has ended, and counts as carried
    // out once the job it started has ended too.
    const auto jobEnded = [&] { return !jobRunsIn(session); };
    if (!waitFor("the running job to end", jobEnded, timeoutMs)) return false;
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(session.mainWindow, WM_COMMAND, MAKEWPARAM(commandId, 0), 0, SMTO_NORMAL, timeoutMs,
                               &result) != 0 &&
           waitFor("the command's job to end", jobEnded, timeoutMs);
}

std::wstring editText(const EditorSession& session) {
    const LRESULT length = SendMessageW(session.editControl, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied = SendMessageW(session.editControl, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<size_t>(copied));
    return text;
}

void setEditText(const EditorSession& session, const std::wstring& text) {
    SendMessageW(session.editControl, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

LRESULT sendToEdit(const EditorSession& session, UINT message, WPARAM wParam, LPARAM lParam) {
    return SendMessageW(session.editControl, message, wParam, lParam);
}

std::string logText(const EditorSession& session) {
    const std::string all = readFile(sessionLogPath(session));
    return static_cast<long long>(all.size()) >= session.logStart ? all.substr(session.logStart) : all;
}

std::vector<std::string> logLines(const EditorSession& session) {
    std::vector<std::string> lines;
    const std::string text = logText(session);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

std::string configurationText(const EditorSession& session) {
    return readFile(joinPath(session.folder, "zarnoGlotWriteW.ini"));
}

bool waitForExit(const EditorSession& session, int* exitStatus, int timeoutMs) {
    if (WaitForSingleObject(session.process.hProcess, timeoutMs) != WAIT_OBJECT_0) {
        return false;
    }
    DWORD code = 0;
    GetExitCodeProcess(session.process.hProcess, &code);
    *exitStatus = static_cast<int>(code);
    return true;
}

void stopEditor(EditorSession* session) {
    if (session->process.hProcess != nullptr) {
        if (!programEnded(*session)) {
            TerminateProcess(session->process.hProcess, 99);
            WaitForSingleObject(session->process.hProcess, EDITOR_WAIT_MS);
        }
        CloseHandle(session->process.hProcess);
        CloseHandle(session->process.hThread);
    }
    session->process = {};
    if (!session->base.empty()) {
        removeTree(session->base);
    }
    session->folder.clear();
    session->base.clear();
}
