// A long job of the editor run so that the main window keeps answering: the
// work goes on a worker thread while the window's thread pumps messages,
// the main window's commands are refused and the document is read-only
// meanwhile, and after half a second a progress window owned by the main
// window shows what runs, with a Cancel button.
#pragma once

#include "editorJob.h"

#include <windows.h>

// Message the worker sends the main window to have a call made on the
// window's thread (a question's box): wParam a JobCall, lParam its context.
constexpr UINT WM_JOB_CALL = WM_APP + 2;
using JobCall = LRESULT (*)(void* context);

// The progress window's class, and its two lines' control ids (its button
// is IDCANCEL).
constexpr const wchar_t* PROGRESS_WINDOW_CLASS = L"zarnoGlotProgressClass";
constexpr int PROGRESS_TITLE_ID = 101;
constexpr int PROGRESS_LINE_ID = 102;

// Runs work(progress, context) on a worker thread and returns once it has
// ended, pumping the window's messages meanwhile. Returns true when the
// work ran to its end uncancelled; false when the job was cancelled, after
// the box that says so (when one is due), and the work's result is then to
// be dropped. Once a job that the exit cancelled has ended, the main window
// is asked to close again.
bool runJob(HWND owner, JobKind kind, void (*work)(JobProgress* progress, void* context), void* context);

// Runs step(progress, context) on the window's thread until it returns
// false, serving the window's messages between two steps (a long text put
// into the edit control piece by piece); the step itself looks at
// progress->cancelled. Returns as runJob does.
bool runWindowJob(HWND owner, JobKind kind, bool (*step)(JobProgress* progress, void* context), void* context);

// Whether a job runs now; whether it is one that runs on the window's
// thread (the document is then only partly in the window).
bool jobRunning();
bool windowJobRunning();

// Cancels the running job, if any, for that reason.
void cancelJob(JobCancel why);

// Cancels the running job for the session's end and waits (pumping the
// messages the job sends) until it has ended.
void endJobForSessionEnd();

// Makes the call on the main window's thread: at once when this is that
// thread, else through WM_JOB_CALL, waiting for its result.
LRESULT callOnWindowThread(HWND mainWindow, JobCall call, void* context);
