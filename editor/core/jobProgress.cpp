#include "jobProgress.h"

#include <cstdio>

void resetJobProgress(JobProgress* progress) {
    progress->step = nullptr;
    progress->inputBytes = 0;
    progress->fedBytes = 0;
    progress->outputBytes = 0;
    progress->lastMovedMs = 0;
    progress->cancelled = false;
    progress->shownUnits = 0;
    progress->unitsToShow = 0;
}

void beginJobStep(JobProgress* progress, const char* step, int64_t inputBytes, uint64_t nowMs) {
    progress->inputBytes = inputBytes;
    progress->fedBytes = 0;
    progress->outputBytes = 0;
    progress->lastMovedMs = nowMs;
    progress->step = step;
}

void noteBytesFed(JobProgress* progress, int64_t count, uint64_t nowMs) {
    progress->fedBytes += count;
    progress->lastMovedMs = nowMs;
}

void noteOutputRead(JobProgress* progress, int64_t count, uint64_t nowMs) {
    progress->outputBytes += count;
    progress->lastMovedMs = nowMs;
}

void notePipeActivity(JobProgress* progress, uint64_t nowMs) {
    progress->lastMovedMs = nowMs;
}

RunStop runStop(const JobProgress& progress, uint64_t nowMs, uint32_t limitMs) {
    if (progress.cancelled) return RUN_STOP_CANCELLED;
    const uint64_t last = progress.lastMovedMs;
    return nowMs > last && nowMs - last >= limitMs ? RUN_STOP_NO_PROGRESS : RUN_GOES_ON;
}

bool progressWindowDue(uint64_t startMs, uint64_t nowMs) {
    return nowMs >= startMs + PROGRESS_WINDOW_DELAY_MS;
}

void formatByteCount(int64_t bytes, char* text, int size) {
    if (bytes < 1000) {
        snprintf(text, static_cast<size_t>(size), "%lld bytes", static_cast<long long>(bytes));
    } else if (bytes < 1000 * 1000) {
        snprintf(text, static_cast<size_t>(size), "%.1f KB", static_cast<double>(bytes) / 1e3);
    } else {
        snprintf(text, static_cast<size_t>(size), "%.1f MB", static_cast<double>(bytes) / 1e6);
    }
}

void describeJobProgress(const JobProgress& progress, char text[PROGRESS_TEXT_SIZE]) {
    if (progress.cancelled) {
        snprintf(text, PROGRESS_TEXT_SIZE, "Cancelling\u2026");
        return;
    }
    const int64_t toShow = progress.unitsToShow;
    if (toShow > 0) {
        const int64_t percent = progress.shownUnits * 100 / toShow;
        snprintf(text, PROGRESS_TEXT_SIZE, "Showing the result: %lld%%", static_cast<long long>(percent));
        return;
    }
    const char* step = progress.step;
    const int64_t input = progress.inputBytes;
    if (step == nullptr || input <= 0) {
        snprintf(text, PROGRESS_TEXT_SIZE, "%s", step != nullptr ? step : "");
        return;
    }
    char whole[32];
    char done[32];
    formatByteCount(input, whole, sizeof whole);
    const int64_t fed = progress.fedBytes;
    if (fed < input) {
        formatByteCount(fed, done, sizeof done);
        snprintf(text, PROGRESS_TEXT_SIZE, "%s has read %s of %s", step, done, whole);
        return;
    }
    formatByteCount(progress.outputBytes, done, sizeof done);
    snprintf(text, PROGRESS_TEXT_SIZE, "%s has read all %s and written %s", step, whole, done);
}
