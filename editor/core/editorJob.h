// The editor's one long job at a time (a translation of the document or the
// clipboard, Harvest, Shuffle): what it is called in its progress window,
// why it was cancelled, and what the window does once it has ended. The
// window layer runs the job (jobWindow.h); the rules here need no window.
#pragma once

#include "jobProgress.h"

#include <cstdint>

enum JobKind {
    JOB_TO_ZARNOGLOT,
    JOB_FROM_ZARNOGLOT,
    JOB_CLIPBOARD_TO_ZARNOGLOT,
    JOB_CLIPBOARD_FROM_ZARNOGLOT,
    JOB_HARVEST,
    JOB_SHUFFLE,
    JOB_SHOWING_DOCUMENT,     // an opened file's long text put into the window
    JOB_SHOWING_TRANSLATION,  // a translation's long result put into the window
};

// Why a job was cancelled, from the weakest reason to the strongest: a
// stronger one replaces a weaker one, never the other way round.
enum JobCancel {
    JOB_NOT_CANCELLED,
    JOB_CANCELLED_BY_USER,          // Cancel in the progress window
    JOB_CANCELLED_FOR_EXIT,         // File > Exit or the window closed during the job
    JOB_CANCELLED_FOR_SESSION_END,  // Windows is ending the session
};

struct EditorJob {
    JobKind kind;
    bool running;
    JobCancel cancel;
    uint64_t startMs;
    JobProgress progress;  // what the job's threads count, and its Cancel
};

// Starts a job of that kind at nowMs, its progress record emptied.
void beginEditorJob(EditorJob* job, JobKind kind, uint64_t nowMs);

// Cancels the job for that reason (the stronger one kept) and tells its
// threads through the progress record.
void cancelEditorJob(EditorJob* job, JobCancel why);

// The progress window's first line: "Translating into ZarnoGlot…" and so on.
const char* jobTitle(JobKind kind);

// The box to show once a job ended cancelled by the user ("The translation
// was cancelled; the document is unchanged."); none when it was not
// cancelled, or when it was cancelled for the exit or the session's end,
// whose own question follows.
const char* jobCancelledNotice(const EditorJob& job);

// Whether the main window is to be closed once the job has ended: the exit
// was asked during the job, and is asked again (with its save prompt).
bool closeAfterJob(const EditorJob& job);
