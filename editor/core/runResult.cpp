#include "runResult.h"

#include <cstdio>

namespace {

// The number a sentence carries after the program's name.
enum SentenceNumber { NO_NUMBER, EXIT_STATUS, TIMEOUT_SECONDS };

const struct {
    RunResult result;
    const char* format;   // %s is the program, then the number, if any
    SentenceNumber number;
} RUN_SENTENCES[] = {
    {RUN_PROGRAM_FAILED, "%s ended with exit status %d without saying why", EXIT_STATUS},
    {RUN_OK, "%s ended normally", NO_NUMBER},
    {RUN_ARGUMENTS_REFUSED, "%s was not started: there was nothing to give it", NO_NUMBER},
    {RUN_INPUT_PIPE_FAILED, "%s was not started: Windows could not connect it to the editor", NO_NUMBER},
    {RUN_OUTPUT_PIPE_FAILED, "%s was not started: Windows could not connect it to the editor", NO_NUMBER},
    {RUN_ERROR_PIPE_FAILED, "%s was not started: Windows could not connect it to the editor", NO_NUMBER},
    {RUN_INHERITANCE_FAILED, "%s was not started: Windows could not connect it to the editor", NO_NUMBER},
    {RUN_NO_MEMORY, "%s was not started: there was not enough memory", NO_NUMBER},
    {RUN_START_FAILED, "%s.exe was not found in the editor's folder", NO_NUMBER},
    {RUN_FEEDER_NOT_STARTED, "%s was stopped: the editor could not start a thread to serve it", NO_NUMBER},
    {RUN_COLLECTOR_NOT_STARTED, "%s was stopped: the editor could not start a thread to serve it", NO_NUMBER},
    {RUN_DRAIN_NOT_STARTED, "%s was stopped: the editor could not start a thread to serve it", NO_NUMBER},
    {RUN_TIMED_OUT, "%s did not answer within %u seconds", TIMEOUT_SECONDS},
    {RUN_EXIT_STATUS_UNKNOWN, "%s ended, but Windows could not tell how", NO_NUMBER},
    {RUN_OUTPUT_NO_MEMORY, "%s wrote more than there was memory for", NO_NUMBER},
    {RUN_OUTPUT_TOO_LARGE, "%s wrote far more than the editor expects of it", NO_NUMBER},
    {RUN_OUTPUT_READ_FAILED, "what %s wrote could not be read", NO_NUMBER},
    {RUN_ERROR_READ_FAILED, "what %s wrote about its errors could not be read", NO_NUMBER},
    {RUN_INPUT_WRITE_FAILED, "%s stopped before it had read the whole text", NO_NUMBER},
    {RUN_FEEDER_LATE, "%s did not take the whole text within %u seconds", TIMEOUT_SECONDS},
    {RUN_COLLECTOR_LATE, "%s's output did not end within %u seconds", TIMEOUT_SECONDS},
    {RUN_DRAIN_LATE, "%s's error output did not end within %u seconds", TIMEOUT_SECONDS},
    {RUN_CANCELLED, "%s was stopped: the job was cancelled", NO_NUMBER},
};

// The system's errors for a program file that is not there.
constexpr uint32_t FILE_NOT_FOUND = 2;
constexpr uint32_t PATH_NOT_FOUND = 3;

}  // namespace

void describeRunResult(RunResult result, const char* program, const RunFacts& facts,
                       char sentence[RUN_SENTENCE_SIZE]) {
    if (result == RUN_START_FAILED && facts.startError != FILE_NOT_FOUND && facts.startError != PATH_NOT_FOUND) {
        snprintf(sentence, RUN_SENTENCE_SIZE, "%s.exe could not be started (Windows error %u)", program,
                 static_cast<unsigned>(facts.startError));
        return;
    }
    for (const auto& known : RUN_SENTENCES) {
        if (known.result != result) continue;
        if (known.number == EXIT_STATUS) {
            snprintf(sentence, RUN_SENTENCE_SIZE, known.format, program, static_cast<int32_t>(facts.exitStatus));
        } else if (known.number == TIMEOUT_SECONDS) {
            snprintf(sentence, RUN_SENTENCE_SIZE, known.format, program, static_cast<unsigned>(facts.timeoutSeconds));
        } else {
            snprintf(sentence, RUN_SENTENCE_SIZE, known.format, program);
        }
        return;
    }
    snprintf(sentence, RUN_SENTENCE_SIZE, "%s failed in a way the editor does not know (%d)", program,
             static_cast<int>(result));
}
