#include "jobWindow.h"

#include "debugLog.h"
#include "editorState.h"
#include "messageBoxes.h"
#include "textConversions.h"

#include <cstring>

namespace {

// How often the pump looks at the job when no message comes.
constexpr DWORD PUMP_TICK_MS = 100;
// The longest the session's end waits for a cancelled job: the runner ends
// a cancelled filter within a tick of its own.
constexpr DWORD SESSION_END_WAIT_MS = 10000;
constexpr int PROGRESS_WIDTH = 420;
constexpr int PROGRESS_HEIGHT = 150;

struct JobThread {
    void (*work)(JobProgress* progress, void* context);
    void* context;
    JobProgress* progress;
};

// The one job; touched by the window's thread only, except its progress record.
EditorJob job;
HANDLE jobThread = nullptr;
HWND progressWindow = nullptr;

DWORD WINAPI runJobThread(LPVOID parameter) {
    const JobThread* thread = static_cast<const JobThread*>(parameter);
    thread->work(thread->progress, thread->context);
    return 0;
}

void setWindowUtf8(HWND window, const char* text) {
    wchar_t wide[PROGRESS_TEXT_SIZE];
    if (!utf8ToUtf16Name(text, wide, PROGRESS_TEXT_SIZE)) wide[0] = L'\0';
    SetWindowTextW(window, wide);
}

LRESULT CALLBACK progressWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) {
            logMessage("The job was cancelled");
            cancelJob(JOB_CANCELLED_BY_USER);
            EnableWindow(GetDlgItem(window, IDCANCEL), FALSE);
        }
        return 0;
    case WM_CLOSE:
        SendMessageW(window, WM_COMMAND, IDCANCEL, 0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

HWND addControl(HWND parent, const wchar_t* className, DWORD style, int id, int x, int y, int width, int height) {
    HWND control = CreateWindowExW(0, className, L"", WS_CHILD | WS_VISIBLE | style, x, y, width, height, parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                                   nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return control;
}

// The progress window, centred over the main window: the job's title, its
// progress line and Cancel.
HWND createProgressWindow(HWND owner) {
    static bool registered = false;
    if (!registered) {
        WNDCLASSEXW windowClass = {};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = progressWindowProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
        windowClass.lpszClassName = PROGRESS_WINDOW_CLASS;
        registered = RegisterClassExW(&windowClass) != 0;
    }
    RECT ownerBox = {};
    GetWindowRect(owner, &ownerBox);
    const int x = (ownerBox.left + ownerBox.right - PROGRESS_WIDTH) / 2;
    const int y = (ownerBox.top + ownerBox.bottom - PROGRESS_HEIGHT) / 2;
    HWND window = CreateWindowExW(WS_EX_DLGMODALFRAME, PROGRESS_WINDOW_CLASS, L"zarnoGlotWriteW",
                                  WS_POPUP | WS_CAPTION | WS_SYSMENU, x, y, PROGRESS_WIDTH, PROGRESS_HEIGHT, owner,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
    if (window == nullptr) return nullptr;
    setWindowUtf8(addControl(window, L"STATIC", SS_LEFT, PROGRESS_TITLE_ID, 16, 14, 380, 20), jobTitle(job.kind));
    addControl(window, L"STATIC", SS_LEFT, PROGRESS_LINE_ID, 16, 40, 380, 20);
    HWND cancel = addControl(window, L"BUTTON", BS_DEFPUSHBUTTON | WS_TABSTOP, IDCANCEL, 300, 74, 96, 28);
    SetWindowTextW(cancel, L"Cancel");
    ShowWindow(window, SW_SHOW);
    SetFocus(cancel);
    return window;
}

void showProgress() {
    if (progressWindow == nullptr) {
        if (!progressWindowDue(job.startMs, GetTickCount64())) return;
        progressWindow = createProgressWindow(editorState.editControl != nullptr ? GetParent(editorState.editControl)
                                                                                 : nullptr);
        if (progressWindow == nullptr) return;
    }
    char line[PROGRESS_TEXT_SIZE];
    describeJobProgress(job.progress, line);
    HWND lineControl = GetDlgItem(progressWindow, PROGRESS_LINE_ID);
    char shown[PROGRESS_TEXT_SIZE];
    shown[0] = '\0';
    // Set only when it changed, so that the line does not flicker.
    GetWindowTextA(lineControl, shown, sizeof shown);
    if (strcmp(shown, line) != 0) setWindowUtf8(lineControl, line);
}

// Dispatches the messages that wait; false once WM_QUIT came (*quitCode).
bool pumpMessages(int* quitCode) {
    MSG message;
    bool quit = false;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            quit = true;
            *quitCode = static_cast<int>(message.wParam);
            continue;
        }
        if (progressWindow != nullptr && IsDialogMessageW(progressWindow, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return !quit;
}

}  // namespace

bool jobRunning() {
    return job.running;
}

void cancelJob(JobCancel why) {
    if (job.running) cancelEditorJob(&job, why);
}

void endJobForSessionEnd() {
    if (!job.running || jobThread == nullptr) return;
    cancelJob(JOB_CANCELLED_FOR_SESSION_END);
    const uint64_t deadline = GetTickCount64() + SESSION_END_WAIT_MS;
    // Only sent messages are served here: the job may send a question.
    while (MsgWaitForMultipleObjects(1, &jobThread, FALSE, PUMP_TICK_MS, QS_SENDMESSAGE) != WAIT_OBJECT_0 &&
           GetTickCount64() < deadline) {
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

LRESULT callOnWindowThread(HWND mainWindow, JobCall call, void* context) {
    if (GetWindowThreadProcessId(mainWindow, nullptr) == GetCurrentThreadId()) return call(context);
    return SendMessageW(mainWindow, WM_JOB_CALL, reinterpret_cast<WPARAM>(call), reinterpret_cast<LPARAM>(context));
}

namespace {

// The job's end, whichever thread it ran on: the window and the read-only
// state go, a quit that came meanwhile is posted again, the box of a
// cancelled job shows, and an exit asked meanwhile is asked again. True
// when the job was not cancelled.
bool endJob(HWND owner, bool quit, int quitCode) {
    if (progressWindow != nullptr) DestroyWindow(progressWindow);
    progressWindow = nullptr;
    job.running = false;
    if (IsWindow(editorState.editControl)) SendMessageW(editorState.editControl, EM_SETREADONLY, FALSE, 0);
    if (quit) PostQuitMessage(quitCode);
    const bool cancelled = job.cancel != JOB_NOT_CANCELLED;
    if (cancelled) logMessage("The job ended cancelled");
    const char* notice = jobCancelledNotice(job);
    if (notice != nullptr) showInformation(owner, notice);
    if (closeAfterJob(job)) PostMessageW(owner, WM_CLOSE, 0, 0);
    return !cancelled;
}

// Serves the messages that wait; a quit cancels the job as the session's
// end does, and is posted again once the job has ended.
void serveMessages(bool* quit, int* quitCode) {
    if (!pumpMessages(quitCode) && !*quit) {
        *quit = true;
        cancelJob(JOB_CANCELLED_FOR_SESSION_END);
    }
    showProgress();
}

}  // namespace

bool runJob(HWND owner, JobKind kind, void (*work)(JobProgress* progress, void* context), void* context) {
    if (job.running) return false;
    beginEditorJob(&job, kind, GetTickCount64());
    JobThread thread = {work, context, &job.progress};
    jobThread = CreateThread(nullptr, 0, runJobThread, &thread, 0, nullptr);
    if (jobThread == nullptr) {
        // No thread: the work runs here, as it did before jobs had threads.
        logMessage("No thread for the job (%lu): it runs on the window's thread", GetLastError());
        work(&job.progress, context);
        job.running = false;
        return true;
    }
    SendMessageW(editorState.editControl, EM_SETREADONLY, TRUE, 0);
    bool quit = false;
    int quitCode = 0;
    while (MsgWaitForMultipleObjects(1, &jobThread, FALSE, PUMP_TICK_MS, QS_ALLINPUT) != WAIT_OBJECT_0) {
        serveMessages(&quit, &quitCode);
    }
    CloseHandle(jobThread);
    jobThread = nullptr;
    return endJob(owner, quit, quitCode);
}

bool runWindowJob(HWND owner, JobKind kind, bool (*step)(JobProgress* progress, void* context), void* context) {
    if (job.running) return false;
    beginEditorJob(&job, kind, GetTickCount64());
    SendMessageW(editorState.editControl, EM_SETREADONLY, TRUE, 0);
    bool quit = false;
    int quitCode = 0;
    while (step(&job.progress, context)) serveMessages(&quit, &quitCode);
    return endJob(owner, quit, quitCode);
}

bool windowJobRunning() {
    return job.running && jobThread == nullptr;
}
