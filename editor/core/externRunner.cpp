#include "externRunner.h"

#include "commandLine.h"
#include "debugLog.h"
#include "runnerPipes.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const UINT TERMINATED_EXIT_STATUS = 1;
// How often the wait for the program looks at its progress and at Cancel.
const DWORD WATCH_INTERVAL_MS = 50;

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

bool argumentsAccepted(const char* input, int32_t inputLength, const char* program, char** output,
                       const int32_t* outputSize, const uint32_t* exitStatus) {
    return input != nullptr && inputLength > 0 && program != nullptr && program[0] != '\0' &&
           output != nullptr && *output != nullptr && outputSize != nullptr && *outputSize > 0 &&
           exitStatus != nullptr;
}

// Creates the three pipes with inheritable ends and keeps the editor's ends
// out of the program. Returns RUN_OK or the failed step's result, with every
// end made so far closed.
RunResult createPipes(RunHandles* run) {
    SECURITY_ATTRIBUTES inheritable;
    std::memset(&inheritable, 0, sizeof inheritable);
    inheritable.nLength = sizeof inheritable;
    inheritable.bInheritHandle = TRUE;
    inheritable.lpSecurityDescriptor = nullptr;
    RunResult result = RUN_OK;
    if (!CreatePipe(&run->inputRead, &run->inputWrite, &inheritable, 0)) return RUN_INPUT_PIPE_FAILED;
    if (!SetHandleInformation(run->inputWrite, HANDLE_FLAG_INHERIT, 0)) {
        result = RUN_INHERITANCE_FAILED;
    } else if (!CreatePipe(&run->outputRead, &run->outputWrite, &inheritable, 0)) {
        result = RUN_OUTPUT_PIPE_FAILED;
    } else if (!SetHandleInformation(run->outputRead, HANDLE_FLAG_INHERIT, 0)) {
        result = RUN_INHERITANCE_FAILED;
    } else if (!CreatePipe(&run->errorRead, &run->errorWrite, &inheritable, 0)) {
        result = RUN_ERROR_PIPE_FAILED;
    } else if (!SetHandleInformation(run->errorRead, HANDLE_FLAG_INHERIT, 0)) {
        result = RUN_INHERITANCE_FAILED;
    }
    if (result != RUN_OK) closePipeEnds(run);
    return result;
}

// The UTF-16 form CreateProcessW takes, in a new malloc'ed block *wide of
// *units units. RUN_ARGUMENTS_REFUSED for a text that is not UTF-8.
RunResult wideCommandLine(const char* commandLine, wchar_t** wide, size_t* units) {
    *wide = nullptr;
    *units = 0;
    const int count = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, commandLine, -1, nullptr, 0);
    if (count <= 0) return RUN_ARGUMENTS_REFUSED;
    *wide = static_cast<wchar_t*>(std::malloc(static_cast<size_t>(count) * sizeof(wchar_t)));
    if (*wide == nullptr) return RUN_NO_MEMORY;
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, commandLine, -1, *wide, count);
    *units = static_cast<size_t>(count);
    return RUN_OK;
}

// Starts the program with the UTF-16 command line; the editor's folder
// first, then the usual places, find a program named without a folder.
BOOL createProcess(RunHandles* run, wchar_t* commandLine) {
    STARTUPINFOW startup;
    std::memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = run->inputRead;
    startup.hStdOutput = run->outputWrite;
    startup.hStdError = run->errorWrite;
    // The editor may have released its console, so a filter would get a
    // console window of its own: it gets no console at all, and needs none
    // beside its three pipes.
    return CreateProcessW(nullptr, commandLine, nullptr, nullptr, TRUE, DETACHED_PROCESS, nullptr, nullptr, &startup,
                          &run->process);
}

// Starts the program on the program's ends of the pipes, then closes those
// ends here so that the editor's reads see the end of the data when the
// program ends. After a failure every end is closed.
// A secret argument (a passphrase) never reaches the log, and the command
// line that held it is wiped before its memory is given back.
RunResult startProgram(RunHandles* run, const char* program, const char* const* arguments, int argumentCount,
                       bool secretArgument, DWORD* startError) {
    size_t length = 0;
    char* commandLine = quotedCommandLine(program, arguments, argumentCount, &length);
    if (commandLine == nullptr) {
        closePipeEnds(run);
        return RUN_NO_MEMORY;
    }
    if (secretArgument) {
        logMessage("runExternProg: c/l: [\"%s\" %s]", program, SECRET_ARGUMENT_IN_LOG);
    } else {
        logMessage("runExternProg: c/l: [%s]", commandLine);
    }

    wchar_t* wide = nullptr;
    size_t units = 0;
    const RunResult converted = wideCommandLine(commandLine, &wide, &units);
    SecureZeroMemory(commandLine, length);
    std::free(commandLine);
    if (converted != RUN_OK) {
        closePipeEnds(run);
        return converted;
    }
    const BOOL started = createProcess(run, wide);
    *startError = started ? 0 : GetLastError();
    SecureZeroMemory(wide, units * sizeof(wchar_t));
    std::free(wide);
    if (!started) {
        std::memset(&run->process, 0, sizeof run->process);
        closePipeEnds(run);
        return RUN_START_FAILED;
    }
    closeHandleOnce(&run->inputRead);
    closeHandleOnce(&run->outputWrite);
    closeHandleOnce(&run->errorWrite);
    return RUN_OK;
}

void terminateProgram(RunHandles* run) {
    TerminateProcess(run->process.hProcess, TERMINATED_EXIT_STATUS);
    WaitForSingleObject(run->process.hProcess, INFINITE);
}

// Waits for the program to end while bytes keep moving on its pipes. It is
// terminated when none has moved for timeoutMs (RUN_TIMED_OUT) or when the
// job is cancelled (RUN_CANCELLED); a failed wait counts as the former.
RunResult waitForProgram(RunHandles* run, uint32_t timeoutMs, const JobProgress& progress) {
    for (;;) {
        const DWORD waited = WaitForSingleObject(run->process.hProcess, WATCH_INTERVAL_MS);
        if (waited == WAIT_OBJECT_0) return RUN_OK;
        const RunStop stop = waited == WAIT_TIMEOUT ? runStop(progress, GetTickCount64(), timeoutMs)
                                                    : RUN_STOP_NO_PROGRESS;
        if (stop != RUN_GOES_ON) {
            terminateProgram(run);
            return stop == RUN_STOP_CANCELLED ? RUN_CANCELLED : RUN_TIMED_OUT;
        }
    }
}

// The wait for a pipe thread after the program has ended. A thread that is
// late gives lateResult, one still running once the job is cancelled
// RUN_CANCELLED (unless an earlier result stands); it is then made to end.
RunResult waitForPipeThread(HANDLE thread, DWORD timeoutMs, const JobProgress& progress, RunResult lateResult,
                            RunResult result) {
    const uint64_t deadline = GetTickCount64() + timeoutMs;
    while (!progress.cancelled && GetTickCount64() < deadline) {
        if (WaitForSingleObject(thread, WATCH_INTERVAL_MS) == WAIT_OBJECT_0) return result;
    }
    if (WaitForSingleObject(thread, 0) == WAIT_OBJECT_0) return result;
    endPipeThread(thread);
    if (result != RUN_OK) return result;
    return progress.cancelled ? RUN_CANCELLED : lateResult;
}

// The records of the three pipe threads of one run.
struct PipeJobs {
    StdinFeederJob feeder;
    StdoutCollectorJob collector;
    StderrDrainJob drain;
};

// Fills the records: the editor's end of each pipe, the input, the caller's
// output block, and the progress record each thread counts its bytes in.
void preparePipeJobs(const RunHandles& run, const char* input, int32_t inputLength, char** output,
                     int32_t* outputSize, JobProgress* progress, PipeJobs* jobs) {
    std::memset(jobs, 0, sizeof *jobs);
    jobs->feeder.pipe = run.inputWrite;
    jobs->feeder.data = input;
    jobs->feeder.length = static_cast<DWORD>(inputLength);
    jobs->feeder.progress = progress;
    jobs->collector.pipe = run.outputRead;
    jobs->collector.buffer = output;
    jobs->collector.size = outputSize;
    jobs->collector.initialCapacity = *outputSize;
    jobs->collector.progress = progress;
    jobs->drain.pipe = run.errorRead;
    jobs->drain.progress = progress;
}

// Once the threads run: waits for the program, reads its exit status, waits
// for the threads, and gives the first result that applies, in the order
// the program's end, its status, the threads' ends, their errors.
RunResult finishRun(RunHandles* run, const PipeJobs& jobs, uint32_t timeoutMs, const JobProgress& progress,
                    uint32_t* exitStatus) {
    RunResult result = waitForProgram(run, timeoutMs, progress);
    DWORD status = 0;
    if (GetExitCodeProcess(run->process.hProcess, &status)) {
        *exitStatus = status;
    } else if (result == RUN_OK) {
        result = RUN_EXIT_STATUS_UNKNOWN;
    }
    result = waitForPipeThread(run->feeder, timeoutMs, progress, RUN_FEEDER_LATE, result);
    result = waitForPipeThread(run->collector, timeoutMs, progress, RUN_COLLECTOR_LATE, result);
    result = waitForPipeThread(run->drain, timeoutMs, progress, RUN_DRAIN_LATE, result);
    if (result == RUN_OK && jobs.feeder.error != 0) result = RUN_INPUT_WRITE_FAILED;
    if (result == RUN_OK && jobs.collector.error != 0) result = collectorResult(&jobs.collector);
    if (result == RUN_OK && jobs.drain.error != 0) result = RUN_ERROR_READ_FAILED;
    return result;
}

// Starts the three pipe threads, handing each its pipe end. A failure
// terminates the program and ends the threads already running.
RunResult startPipeThreads(RunHandles* run, StdinFeederJob* feederJob, StdoutCollectorJob* collectorJob,
                           StderrDrainJob* drainJob) {
    const struct {
        LPTHREAD_START_ROUTINE routine;
        void* job;
        HANDLE* thread;
        HANDLE* pipeEnd;   // handed over to the thread, which closes it
        RunResult failure;
    } starts[] = {
        {stdinFeeder, feederJob, &run->feeder, &run->inputWrite, RUN_FEEDER_NOT_STARTED},
        {stdoutCollector, collectorJob, &run->collector, &run->outputRead, RUN_COLLECTOR_NOT_STARTED},
        {stderrDrain, drainJob, &run->drain, &run->errorRead, RUN_DRAIN_NOT_STARTED},
    };
    for (int i = 0; i < 3; i++) {
        *starts[i].thread = CreateThread(nullptr, 0, starts[i].routine, starts[i].job, 0, nullptr);
        if (*starts[i].thread == nullptr) {
            terminateProgram(run);
            for (int started = 0; started < i; started++) endPipeThread(*starts[started].thread);
            return starts[i].failure;
        }
        *starts[i].pipeEnd = nullptr;
    }
    return RUN_OK;
}

}  // namespace

RunResult runExternProgWithArguments(const char* input, int32_t inputLength, const char* program,
                                     const char* const* arguments, int argumentCount, char** output,
                                     int32_t* outputSize, uint32_t* exitStatus, uint32_t timeoutMs,
                                     RunErrorText* errorText, bool secretArgument, JobProgress* progress) {
    logMessage("runExternProg: start");
    if (errorText != nullptr) {
        errorText->bytes[0] = '\0';
        errorText->length = 0;
        errorText->startError = 0;
    }
    if (!argumentsAccepted(input, inputLength, program, output, outputSize, exitStatus) || argumentCount < 0 ||
        argumentCount > MAX_PROGRAM_ARGUMENTS) {
        return RUN_ARGUMENTS_REFUSED;
    }
    *exitStatus = 0;
    JobProgress ownProgress;
    if (progress == nullptr) {
        resetJobProgress(&ownProgress);
        progress = &ownProgress;
    }
    RunHandles run;
    std::memset(&run, 0, sizeof run);
    RunResult result = createPipes(&run);
    if (result != RUN_OK) return result;
    DWORD startError = 0;
    result = startProgram(&run, program, arguments, argumentCount, secretArgument, &startError);
    if (result != RUN_OK) {
        if (errorText != nullptr) errorText->startError = startError;
        return result;
    }

    beginJobStep(progress, program, inputLength, GetTickCount64());
    PipeJobs jobs;
    preparePipeJobs(run, input, inputLength, output, outputSize, progress, &jobs);
    result = startPipeThreads(&run, &jobs.feeder, &jobs.collector, &jobs.drain);
    if (result == RUN_OK) result = finishRun(&run, jobs, timeoutMs, *progress, exitStatus);
    releaseRun(&run);
    handOverErrorText(&jobs.drain, errorText);
    if (result != RUN_OK) return result;
    return *exitStatus != 0 ? RUN_PROGRAM_FAILED : RUN_OK;
}

RunResult runExternProgWithTimeout(const char* input, int32_t inputLength, const char* program,
                                   const char* argument, char** output, int32_t* outputSize, uint32_t* exitStatus,
                                   uint32_t timeoutMs, RunErrorText* errorText, bool secretArgument) {
    return runExternProgWithArguments(input, inputLength, program, &argument, argument != nullptr ? 1 : 0, output,
                                      outputSize, exitStatus, timeoutMs, errorText, secretArgument);
}

RunResult runExternProg(const char* input, int32_t inputLength, const char* program, const char* argument,
                        char** output, int32_t* outputSize, uint32_t* exitStatus, RunErrorText* errorText) {
    return runExternProgWithTimeout(input, inputLength, program, argument, output, outputSize, exitStatus,
                                    EXTERN_PROG_TIMEOUT_MS, errorText);
}
