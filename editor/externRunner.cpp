#include "externRunner.h"

#include "debugLog.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const DWORD PIPE_READ_BYTES = 4096;
const UINT TERMINATED_EXIT_STATUS = 1;
const int32_t MAX_OUTPUT_CAPACITY = 2147483647;
// How long to wait between requests to a pipe thread to give up its blocked
// read or write.
const DWORD CANCEL_RETRY_MS = 50;

struct StdinFeederJob {
    HANDLE pipe;
    const char* data;
    DWORD length;
    DWORD error;
};

struct StdoutCollectorJob {
    HANDLE pipe;
    char** buffer;
    int32_t* size;
    int32_t initialCapacity;
    DWORD error;
    int32_t growths;
};

struct StderrDrainJob {
    HANDLE pipe;
    DWORD error;
};

// Handles of one run. A pipe end is null once it is closed or handed to the
// thread that serves it.
struct RunHandles {
    HANDLE inputRead;    // program's end of standard input
    HANDLE inputWrite;   // editor's end
    HANDLE outputRead;   // editor's end of standard output
    HANDLE outputWrite;  // program's end
    HANDLE errorRead;    // editor's end of standard error
    HANDLE errorWrite;   // program's end
    PROCESS_INFORMATION process;
    HANDLE feeder;
    HANDLE collector;
    HANDLE drain;
};

void closeHandleOnce(HANDLE* handle) {
    if (*handle != nullptr) {
        CloseHandle(*handle);
        *handle = nullptr;
    }
}

void closePipeEnds(RunHandles* run) {
    closeHandleOnce(&run->inputRead);
    closeHandleOnce(&run->inputWrite);
    closeHandleOnce(&run->outputRead);
    closeHandleOnce(&run->outputWrite);
    closeHandleOnce(&run->errorRead);
    closeHandleOnce(&run->errorWrite);
}

void releaseRun(RunHandles* run) {
    closeHandleOnce(&run->feeder);
    closeHandleOnce(&run->collector);
    closeHandleOnce(&run->drain);
    closeHandleOnce(&run->process.hThread);
    closeHandleOnce(&run->process.hProcess);
    closePipeEnds(run);
}

DWORD WINAPI stdinFeeder(LPVOID parameter) {
    StdinFeederJob* job = static_cast<StdinFeederJob*>(parameter);
    DWORD written = 0;
    while (written < job->length) {
        DWORD count = 0;
        if (!WriteFile(job->pipe, job->data + written, job->length - written, &count, nullptr)) {
            job->error = GetLastError();
            break;
        }
        if (count == 0) {
            job->error = ERROR_WRITE_FAULT;
            break;
        }
        written += count;
    }
    closeHandleOnce(&job->pipe);
    return 0;
}

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

DWORD WINAPI stdoutCollector(LPVOID parameter) {
    StdoutCollectorJob* job = static_cast<StdoutCollectorJob*>(parameter);
    int32_t collected = 0;
    int32_t capacity = *job->size;
    bool roomEnough = true;
    char chunk[PIPE_READ_BYTES];
    DWORD count = 0;
    while (readPipeChunk(job->pipe, chunk, &count, &job->error)) {
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
    char chunk[PIPE_READ_BYTES];
    DWORD count = 0;
    while (readPipeChunk(job->pipe, chunk, &count, &job->error)) {
    }
    closeHandleOnce(&job->pipe);
    return 0;
}

bool argumentsAccepted(const char* input, int32_t inputLength, const char* program, char** output,
                       const int32_t* outputSize, const uint32_t* exitStatus) {
    return input != nullptr && inputLength > 0 && program != nullptr && program[0] != '\0' &&
           output != nullptr && *output != nullptr && outputSize != nullptr && *outputSize > 0 &&
           exitStatus != nullptr;
}

// Creates the three pipes with inheritable ends and keeps the editor's ends
// out of the program. Returns 0 or the result code of the failed step, with
// every end made so far closed.
int32_t createPipes(RunHandles* run) {
    SECURITY_ATTRIBUTES inheritable;
    std::memset(&inheritable, 0, sizeof inheritable);
    inheritable.nLength = sizeof inheritable;
    inheritable.bInheritHandle = TRUE;
    inheritable.lpSecurityDescriptor = nullptr;
    int32_t result = 0;
    if (!CreatePipe(&run->inputRead, &run->inputWrite, &inheritable, 0)) return 2;
    if (!SetHandleInformation(run->inputWrite, HANDLE_FLAG_INHERIT, 0)) {
        result = 5;
    } else if (!CreatePipe(&run->outputRead, &run->outputWrite, &inheritable, 0)) {
        result = 3;
    } else if (!SetHandleInformation(run->outputRead, HANDLE_FLAG_INHERIT, 0)) {
        result = 5;
    } else if (!CreatePipe(&run->errorRead, &run->errorWrite, &inheritable, 0)) {
        result = 4;
    } else if (!SetHandleInformation(run->errorRead, HANDLE_FLAG_INHERIT, 0)) {
        result = 5;
    }
    if (result != 0) closePipeEnds(run);
    return result;
}

// Starts the program on the program's ends of the pipes, then closes those
// ends here so that the editor's reads see the end of the data when the
// program ends. Returns 0, 6 or 7; after a failure every end is closed.
int32_t startProgram(RunHandles* run, const char* program, const char* argument) {
    size_t length = std::strlen(program) + 3;
    if (argument != nullptr) length += std::strlen(argument) + 3;
    char* commandLine = static_cast<char*>(std::malloc(length));
    if (commandLine == nullptr) {
        closePipeEnds(run);
        return 6;
    }
    if (argument != nullptr) {
        std::snprintf(commandLine, length, "\"%s\" \"%s\"", program, argument);
    } else {
        std::snprintf(commandLine, length, "\"%s\"", program);
    }
    logMessage("runExternProg: c/l: [%s]", commandLine);

    STARTUPINFOA startup;
    std::memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = run->inputRead;
    startup.hStdOutput = run->outputWrite;
    startup.hStdError = run->errorWrite;
    BOOL started = CreateProcessA(nullptr, commandLine, nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                  &startup, &run->process);
    std::free(commandLine);
    if (!started) {
        std::memset(&run->process, 0, sizeof run->process);
        closePipeEnds(run);
        return 7;
    }
    closeHandleOnce(&run->inputRead);
    closeHandleOnce(&run->outputWrite);
    closeHandleOnce(&run->errorWrite);
    return 0;
}

void terminateProgram(RunHandles* run) {
    TerminateProcess(run->process.hProcess, TERMINATED_EXIT_STATUS);
    WaitForSingleObject(run->process.hProcess, INFINITE);
}

// Waits until a pipe thread has ended, cancelling the read or write it is
// blocked in. Another process (a grandchild of the program) may still hold
// the far end of its pipe open; the thread must not outlive the run, since
// it uses the runner's job record and the caller's output block.
void endPipeThread(HANDLE thread) {
    for (;;) {
        CancelSynchronousIo(thread);
        if (WaitForSingleObject(thread, CANCEL_RETRY_MS) != WAIT_TIMEOUT) return;
    }
}

// The ordinary wait for a pipe thread after the program has ended. A thread
// that is late gives lateResult (unless an earlier result stands) and is
// then made to end.
int32_t waitForPipeThread(HANDLE thread, DWORD timeoutMs, int32_t lateResult, int32_t result) {
    if (WaitForSingleObject(thread, timeoutMs) == WAIT_OBJECT_0) return result;
    endPipeThread(thread);
    return result != 0 ? result : lateResult;
}

// Starts the three pipe threads, handing each its pipe end. A failure
// terminates the program and ends the threads already running.
int32_t startPipeThreads(RunHandles* run, StdinFeederJob* feederJob, StdoutCollectorJob* collectorJob,
                         StderrDrainJob* drainJob) {
    run->feeder = CreateThread(nullptr, 0, stdinFeeder, feederJob, 0, nullptr);
    if (run->feeder == nullptr) {
        terminateProgram(run);
        return 8;
    }
    run->inputWrite = nullptr;
    run->collector = CreateThread(nullptr, 0, stdoutCollector, collectorJob, 0, nullptr);
    if (run->collector == nullptr) {
        terminateProgram(run);
        endPipeThread(run->feeder);
        return 9;
    }
    run->outputRead = nullptr;
    run->drain = CreateThread(nullptr, 0, stderrDrain, drainJob, 0, nullptr);
    if (run->drain == nullptr) {
        terminateProgram(run);
        endPipeThread(run->feeder);
        endPipeThread(run->collector);
        return 10;
    }
    run->errorRead = nullptr;
    return 0;
}

int32_t collectorResult(const StdoutCollectorJob* job) {
    if (job->growths >= EXTERN_PROG_MAX_GROWTHS) return 14;
    if (job->error == ERROR_NOT_ENOUGH_MEMORY) return 13;
    return 15;
}

}  // namespace

int32_t runExternProgWithTimeout(const char* input, int32_t inputLength, const char* program,
                                 const char* argument, char** output, int32_t* outputSize,
                                 uint32_t* exitStatus, uint32_t timeoutMs) {
    logMessage("runExternProg: start");
    if (!argumentsAccepted(input, inputLength, program, output, outputSize, exitStatus)) return 1;
    *exitStatus = 0;
    RunHandles run;
    std::memset(&run, 0, sizeof run);
    StdinFeederJob feederJob;
    StdoutCollectorJob collectorJob;
    StderrDrainJob drainJob;
    std::memset(&feederJob, 0, sizeof feederJob);
    std::memset(&collectorJob, 0, sizeof collectorJob);
    std::memset(&drainJob, 0, sizeof drainJob);

    int32_t result = createPipes(&run);
    if (result != 0) return result;
    result = startProgram(&run, program, argument);
    if (result != 0) return result;

    feederJob.pipe = run.inputWrite;
    feederJob.data = input;
    feederJob.length = static_cast<DWORD>(inputLength);
    collectorJob.pipe = run.outputRead;
    collectorJob.buffer = output;
    collectorJob.size = outputSize;
    collectorJob.initialCapacity = *outputSize;
    drainJob.pipe = run.errorRead;
    result = startPipeThreads(&run, &feederJob, &collectorJob, &drainJob);
    if (result != 0) {
        releaseRun(&run);
        return result;
    }

    if (WaitForSingleObject(run.process.hProcess, timeoutMs) != WAIT_OBJECT_0) {
        terminateProgram(&run);
        result = 11;
    }
    DWORD status = 0;
    if (GetExitCodeProcess(run.process.hProcess, &status)) {
        *exitStatus = status;
    } else if (result == 0) {
        result = 12;
    }
    result = waitForPipeThread(run.feeder, timeoutMs, 18, result);
    result = waitForPipeThread(run.collector, timeoutMs, 19, result);
    result = waitForPipeThread(run.drain, timeoutMs, 20, result);
    if (result == 0 && feederJob.error != 0) result = 17;
    if (result == 0 && collectorJob.error != 0) result = collectorResult(&collectorJob);
    if (result == 0 && drainJob.error != 0) result = 16;
    releaseRun(&run);
    if (result != 0) return result;
    return *exitStatus != 0 ? -1 : 0;
}

int32_t runExternProg(const char* input, int32_t inputLength, const char* program,
                      const char* argument, char** output, int32_t* outputSize,
                      uint32_t* exitStatus) {
    return runExternProgWithTimeout(input, inputLength, program, argument, output, outputSize,
                                    exitStatus, EXTERN_PROG_TIMEOUT_MS);
}
