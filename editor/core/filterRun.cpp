#include "filterRun.h"

#include "externRunner.h"

#include <cstdio>
#include <cstdlib>

RunResult decideRunResult(RunResult result, uint32_t exitStatus, bool stopsReadingWhenDone) {
    if (result != RUN_INPUT_WRITE_FAILED) return result;
    if (exitStatus != 0) return RUN_PROGRAM_FAILED;
    return stopsReadingWhenDone ? RUN_OK : result;
}

bool runFilter(const FilterRun& run, const char* input, int32_t inputLength, uint32_t timeoutMs, char** output,
               int32_t* outputLength, FilterOutcome* outcome, JobProgress* progress) {
    *output = nullptr;
    *outputLength = 0;
    outcome->exitStatus = 0;
    outcome->errorText.bytes[0] = '\0';
    outcome->errorText.length = 0;
    outcome->noOutputBlock = false;
    outcome->errorText.startError = 0;
    outcome->timeoutMs = timeoutMs;
    // An empty input gives capacity 0; asking for one byte keeps that
    // allocation from failing, and the runner then refuses the empty run.
    char* block = static_cast<char*>(malloc(run.capacity > 0 ? static_cast<size_t>(run.capacity) : 1));
    if (block == nullptr) {
        outcome->result = RUN_OUTPUT_NO_MEMORY;
        outcome->noOutputBlock = true;
        return false;
    }
    int32_t size = run.capacity;
    const RunResult result =
        runExternProgWithArguments(input, inputLength, run.program, run.arguments, run.argumentCount, &block, &size,
                                   &outcome->exitStatus, timeoutMs, &outcome->errorText, run.secretArgument,
                                   progress);
    outcome->result = decideRunResult(result, outcome->exitStatus, run.stopsReadingWhenDone);
    if (outcome->result != RUN_OK) {
        free(block);
        return false;
    }
    *output = block;
    *outputLength = size;
    return true;
}

namespace {

// What happened to the program, or none when its own reason tells it.
const char* runSentence(const char* program, const FilterOutcome& outcome, char sentence[RUN_SENTENCE_SIZE]) {
    if (outcome.result == RUN_PROGRAM_FAILED && hasErrorLine(&outcome.errorText)) return nullptr;
    const RunFacts facts = {outcome.exitStatus, outcome.errorText.startError, (outcome.timeoutMs + 999) / 1000};
    describeRunResult(outcome.result, program, facts, sentence);
    return sentence;
}

}  // namespace

void describeTranslateFailure(const FilterRun& run, const FilterOutcome& outcome,
                              char message[RUN_FAILURE_TEXT_SIZE]) {
    if (outcome.noOutputBlock) {
        snprintf(message, RUN_FAILURE_TEXT_SIZE, "No memory (%d) for first program initial output buffer",
                 run.capacity);
        return;
    }
    char headline[RUN_FAILURE_TEXT_SIZE];
    if (outcome.result == RUN_PROGRAM_FAILED) {
        snprintf(headline, sizeof headline, "First external program failed, error code: %d.",
                 static_cast<int32_t>(outcome.exitStatus));
    } else {
        snprintf(headline, sizeof headline, "First runExternal failed, error code: %d.",
                 static_cast<int>(outcome.result));
    }
    char sentence[RUN_SENTENCE_SIZE];
    formatRunFailure(headline, runSentence(run.program, outcome, sentence), run.program, &outcome.errorText, message);
}

void describeToolFailure(const char* notMade, const char* program, const FilterOutcome& outcome,
                         char message[RUN_FAILURE_TEXT_SIZE]) {
    char headline[RUN_FAILURE_TEXT_SIZE];
    if (outcome.result == RUN_PROGRAM_FAILED) {
        snprintf(headline, sizeof headline, "%s: %s ended with exit status %d.", notMade, program,
                 static_cast<int32_t>(outcome.exitStatus));
        formatRunFailure(headline, nullptr, program, &outcome.errorText, message);
        return;
    }
    char sentence[RUN_SENTENCE_SIZE];
    runSentence(program, outcome, sentence);
    snprintf(headline, sizeof headline, "%s: %s.", notMade, sentence);
    formatRunFailure(headline, nullptr, program, &outcome.errorText, message);
}
