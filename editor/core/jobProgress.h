// What a long job of the editor (a filter run, a file read or written, a
// long text laid out in the window) and the window that shows it tell each
// other: how far the job has got, when a byte last moved on a filter's
// pipes, and whether the user cancelled. The job's threads write the
// counters and the window's thread reads them, hence atomics. The rules
// here (when a filter is stopped, what the progress window says) need no
// window and no Windows header.
#pragma once

#include <atomic>
#include <cstdint>

struct JobProgress {
    // What runs now: a filter's name, or a step such as "Reading the file";
    // a constant text (it must outlive the job), none before the first step.
    std::atomic<const char*> step;
    std::atomic<int64_t> inputBytes;    // the running filter's whole input
    std::atomic<int64_t> fedBytes;      // of it written to its standard input so far
    std::atomic<int64_t> outputBytes;   // read from its standard output so far
    std::atomic<uint64_t> lastMovedMs;  // clock of the last byte moved on any of its pipes
    std::atomic<bool> cancelled;        // Cancel was pressed, or the editor is closing
    // While the result is put into the window: units laid out, of all.
    std::atomic<int64_t> shownUnits;
    std::atomic<int64_t> unitsToShow;
};

// Empties the record for a new job.
void resetJobProgress(JobProgress* progress);

// A filter run (or another step) begins with that much input: its counters
// start from nothing and its clock from nowMs.
void beginJobStep(JobProgress* progress, const char* step, int64_t inputBytes, uint64_t nowMs);

// Bytes moved on a filter's pipes: written to its input, read from its
// output, read from its error output (which counts only for the clock).
void noteBytesFed(JobProgress* progress, int64_t count, uint64_t nowMs);
void noteOutputRead(JobProgress* progress, int64_t count, uint64_t nowMs);
void notePipeActivity(JobProgress* progress, uint64_t nowMs);

enum RunStop {
    RUN_GOES_ON,
    RUN_STOP_CANCELLED,     // the user cancelled the job
    RUN_STOP_NO_PROGRESS,   // no byte has moved on the program's pipes for the whole limit
};

// Whether a running filter is to be stopped now. A filter that is still
// reading or writing is never cut off: the limit counts from the last byte
// that moved on any of its pipes.
RunStop runStop(const JobProgress& progress, uint64_t nowMs, uint32_t limitMs);

// How long a job runs before its progress window shows.
constexpr uint32_t PROGRESS_WINDOW_DELAY_MS = 500;
bool progressWindowDue(uint64_t startMs, uint64_t nowMs);

// Room for a progress line, terminator included.
constexpr int PROGRESS_TEXT_SIZE = 160;

// A byte count as the progress window shows it: "512 bytes", "12.3 KB",
// "20.0 MB" (powers of 1000, one decimal).
void formatByteCount(int64_t bytes, char* text, int size);

// The progress window's second line: "zarnoGlotPack has read 3.2 MB of
// 20.0 MB", "zarnoGlotPack has read all 20.0 MB and written 9.1 MB",
// "Showing the result: 45%", the step alone when it counts no bytes, or
// an empty line before the first step. "Cancelling..." once cancelled.
void describeJobProgress(const JobProgress& progress, char text[PROGRESS_TEXT_SIZE]);
