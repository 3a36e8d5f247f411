#include "editorJob.h"

void beginEditorJob(EditorJob* job, JobKind kind, uint64_t nowMs) {
    resetJobProgress(&job->progress);
    job->kind = kind;
    job->running = true;
    job->cancel = JOB_NOT_CANCELLED;
    job->startMs = nowMs;
}

void cancelEditorJob(EditorJob* job, JobCancel why) {
    if (why > job->cancel) job->cancel = why;
    if (why != JOB_NOT_CANCELLED) job->progress.cancelled = true;
}

const char* jobTitle(JobKind kind) {
    switch (kind) {
    case JOB_TO_ZARNOGLOT: return "Translating into ZarnoGlot\u2026";
    case JOB_FROM_ZARNOGLOT: return "Translating from ZarnoGlot\u2026";
    case JOB_CLIPBOARD_TO_ZARNOGLOT: return "Translating the clipboard into ZarnoGlot\u2026";
    case JOB_CLIPBOARD_FROM_ZARNOGLOT: return "Translating the clipboard from ZarnoGlot\u2026";
    case JOB_HARVEST: return "Harvesting words\u2026";
    case JOB_SHUFFLE: return "Making the vocabulary\u2026";
    case JOB_SHOWING_DOCUMENT:
    case JOB_SHOWING_TRANSLATION: return "Showing the text\u2026";
    }
    return "";
}

const char* jobCancelledNotice(const EditorJob& job) {
    if (job.cancel != JOB_CANCELLED_BY_USER) return nullptr;
    switch (job.kind) {
    case JOB_TO_ZARNOGLOT:
    case JOB_FROM_ZARNOGLOT: return "The translation was cancelled; the document is unchanged.";
    case JOB_CLIPBOARD_TO_ZARNOGLOT:
    case JOB_CLIPBOARD_FROM_ZARNOGLOT: return "The translation was cancelled; the clipboard is unchanged.";
    case JOB_HARVEST: return "Harvest was cancelled; no word list was made.";
    case JOB_SHUFFLE: return "Shuffle was cancelled; no vocabulary was made.";
    case JOB_SHOWING_DOCUMENT: return "Opening was cancelled; the document is empty and has no file.";
    case JOB_SHOWING_TRANSLATION: return "The translation was cancelled; the document is unchanged.";
    }
    return nullptr;
}

bool closeAfterJob(const EditorJob& job) {
    return job.cancel == JOB_CANCELLED_FOR_EXIT;
}
