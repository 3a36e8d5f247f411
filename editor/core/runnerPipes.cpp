#include "runnerPipes.h"

#include <cstdlib>
#include <cstring>

namespace {

// Bytes asked for in each read, and handed to each write: under Wine every
// pipe call is a round trip to its server, and pieces of 64 KiB take a
// quarter less time for a long text than pieces of 4 KiB; the feeder's
// pieces also let the progress and the time limit follow the input.
const DWORD PIPE_READ_BYTES = 65536;
const DWORD PIPE_WRITE_BYTES = 65536;
const int32_t MAX_OUTPUT_CAPACITY = 2147483647;
// How long to wait between requests to a pipe thread to give up its blocked
// read or write.
const DWORD CANCEL_RETRY_MS = 50;

// Reads the next chunk of a pipe, up to PIPE_READ_BYTES. False at the end of
// the data: every writing end is closed (a read of 0 bytes or a broken pipe),
// or the read failed, and then its error is stored in *error.
bool readPipeChunk(HANDLE pipe, char* chunk, DWORD* count, DWORD* error) {
    *count = 0;
    if (!ReadFile(pipe, chunk, PIPE_READ_BYTES, count, nullptr)) {
        const DWORD failure = GetLastError();
        if (failure != ERROR_BROKEN_PIPE) *error = failure;
        return false;
    }
    return *count > 0;
}

// Grows the caller's block in fixed steps of a quarter of the initial
// capacity until it holds needed bytes. Fails when the run's growths are used
// up, the capacity would pass its limit or the allocator refuses; the last
// block then stays in place.
bool growOutput(StdoutCollectorJob* job, int32_t* capacity, int64_t needed) {
    int32_t step = job->initialCapacity / 4;
    if (step <= 0) step = 1;
    while (*capacity < needed) {
        if (job->growths >= EXTERN_PROG_MAX_GROWTHS) return false;
        if (*capacity > MAX_OUTPUT_CAPACITY - step) return false;
        char* grown = static_cast<char*>(std::realloc(*job->buffer, static_cast<size_t>(*capacity) + step));
        if (grown == nullptr) return false;
        *job->buffer = grown;
        *capacity += step;
        job->growths += 1;
    }
    return true;
}

}  // namespace

void closeHandleOnce(HANDLE* handle) {
    if (*handle != nullptr) {
        CloseHandle(*handle);
        *handle = nullptr;
    }
}

DWORD WINAPI stdinFeeder(LPVOID parameter) {
    StdinFeederJob* job = static_cast<StdinFeederJob*>(parameter);
    DWORD written = 0;
    while (written < job->length) {
        DWORD count = 0;
        const DWORD rest = job->length - written;
        if (!WriteFile(job->pipe, job->data + written, rest < PIPE_WRITE_BYTES ? rest : PIPE_WRITE_BYTES, &count,
                       nullptr)) {
            job->error = GetLastError();
            break;
        }
        if (count == 0) {
            job->error = ERROR_WRITE_FAULT;
            break;
        }
        written += count;
        noteBytesFed(job->progress, count, GetTickCount64());
    }
    closeHandleOnce(&job->pipe);
    return 0;
}

DWORD WINAPI stdoutCollector(LPVOID parameter) {
    StdoutCollectorJob* job = static_cast<StdoutCollectorJob*>(parameter);
    int32_t collected = 0;
    int32_t capacity = *job->size;
    bool roomEnough = true;
    char chunk[PIPE_READ_BYTES];   // on the thread's stack (a megabyte or more)
    DWORD count = 0;
    while (readPipeChunk(job->pipe, chunk, &count, &job->error)) {
        noteOutputRead(job->progress, count, GetTickCount64());
        int64_t needed = static_cast<int64_t>(collected) + count;
        if (needed > capacity && !growOutput(job, &capacity, needed)) {
            job->error = ERROR_NOT_ENOUGH_MEMORY;
            roomEnough = false;
            break;
        }
        std::memcpy(*job->buffer + collected, chunk, count);
        collected += static_cast<int32_t>(count);
    }
    // Closing the end even after a failed growth makes the program's next
    // write fail instead of blocking.
    if (roomEnough) *job->size = collected;
    closeHandleOnce(&job->pipe);
    return 0;
}

DWORD WINAPI stderrDrain(LPVOID parameter) {
    StderrDrainJob* job = static_cast<StderrDrainJob*>(parameter);
    char chunk[PIPE_READ_BYTES];   // on the thread's stack (a megabyte or more)
    DWORD count = 0;
    while (readPipeChunk(job->pipe, chunk, &count, &job->error)) {
        notePipeActivity(job->progress, GetTickCount64());
        const int32_t room = RUN_ERROR_TEXT_BYTES - job->keptLength;
        const int32_t taken = static_cast<int32_t>(count) < room ? static_cast<int32_t>(count) : room;
        std::memcpy(job->kept + job->keptLength, chunk, static_cast<size_t>(taken));
        job->keptLength += taken;
    }
    closeHandleOnce(&job->pipe);
    return 0;
}

void endPipeThread(HANDLE thread) {
    for (;;) {
        CancelSynchronousIo(thread);
        if (WaitForSingleObject(thread, CANCEL_RETRY_MS) != WAIT_TIMEOUT) return;
    }
}

RunResult collectorResult(const StdoutCollectorJob* job) {
    if (job->growths >= EXTERN_PROG_MAX_GROWTHS) return RUN_OUTPUT_TOO_LARGE;
    if (job->error == ERROR_NOT_ENOUGH_MEMORY) return RUN_OUTPUT_NO_MEMORY;
    return RUN_OUTPUT_READ_FAILED;
}

void handOverErrorText(const StderrDrainJob* job, RunErrorText* errorText) {
    if (errorText == nullptr) return;
    std::memcpy(errorText->bytes, job->kept, static_cast<size_t>(job->keptLength));
    errorText->bytes[job->keptLength] = '\0';
    errorText->length = job->keptLength;
}
