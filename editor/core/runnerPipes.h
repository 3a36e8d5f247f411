// The pipe threads of one run of runExternProg: one feeds the program's
// standard input, one collects its standard output into the caller's block,
// one drains its standard error and keeps the first bytes. Each gets its
// job record and the editor's end of its pipe, which it closes when done.
#pragma once

#include "jobProgress.h"
#include "runResult.h"

#include <windows.h>

// Each thread counts the bytes it moves in the run's progress record,
// which the runner's wait reads (the time limit counts from the last byte
// moved) and the progress window shows.
struct StdinFeederJob {
    HANDLE pipe;
    const char* data;
    DWORD length;
    DWORD error;
    JobProgress* progress;
};

struct StdoutCollectorJob {
    HANDLE pipe;
    char** buffer;
    int32_t* size;
    int32_t initialCapacity;
    DWORD error;
    int32_t growths;
    JobProgress* progress;
};

struct StderrDrainJob {
    HANDLE pipe;
    DWORD error;
    char kept[RUN_ERROR_TEXT_BYTES];   // the first bytes read
    int32_t keptLength;
    JobProgress* progress;
};

// Closes the handle unless it is null already, and makes it null.
void closeHandleOnce(HANDLE* handle);

// The thread routines; each takes its job record.
DWORD WINAPI stdinFeeder(LPVOID parameter);
DWORD WINAPI stdoutCollector(LPVOID parameter);
// Keeps the first bytes of standard error for the caller and reads the rest
// to its end, so the program never waits for room in the pipe.
DWORD WINAPI stderrDrain(LPVOID parameter);

// Waits until a pipe thread has ended, cancelling the read or write it is
// blocked in. Another process (a grandchild of the program) may still hold
// the far end of its pipe open; the thread must not outlive the run, since
// it uses the runner's job record and the caller's output block.
void endPipeThread(HANDLE thread);

// The result of a collector that stopped with an error.
RunResult collectorResult(const StdoutCollectorJob* job);

// Hands the kept bytes of standard error to the caller, once the drain has
// ended (or never started).
void handOverErrorText(const StderrDrainJob* job, RunErrorText* errorText);
