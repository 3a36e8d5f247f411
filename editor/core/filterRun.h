// One run of a filter program for every caller in the editor (the
// translations, the clipboard translations, Harvest and Shuffle): its
// output block made and freed, the runner's outcome decided by one rule,
// and the text of a failure described in the caller's words.
#pragma once

#include "jobProgress.h"
#include "runFailure.h"
#include "runResult.h"

#include <cstdint>

// A filter and how to run it.
struct FilterRun {
    const char* program;
    const char* const* arguments;  // argumentCount of them
    int argumentCount;
    int32_t capacity;       // of the output block at the start; the runner grows it
    bool secretArgument;    // the argument is a passphrase: never logged
    // The program stops reading its input once its output is complete, so
    // that the rest of a long input cannot be written to it.
    bool stopsReadingWhenDone;
};

// What a run came to, once decided.
struct FilterOutcome {
    RunResult result;
    uint32_t exitStatus;
    RunErrorText errorText;
    bool noOutputBlock;  // the output block could not be made: nothing ran
    uint32_t timeoutMs;  // the time limit the program had
};

// The one rule for an input the program did not read to its end: with a
// non-zero exit status the program refused it, and its status and reason
// win (RUN_PROGRAM_FAILED); with exit status 0 the run succeeded when the
// program stops reading once it is done. Every other result stands.
RunResult decideRunResult(RunResult result, uint32_t exitStatus, bool stopsReadingWhenDone);

// Runs the filter over inputLength bytes of input (which stay the
// caller's). On success hands over the malloc'ed output and its length; on
// failure hands over nothing. *outcome receives the decided result, the
// exit status and the program's error text either way. With progress the
// run counts its bytes there and ends soon after the job is cancelled.
bool runFilter(const FilterRun& run, const char* input, int32_t inputLength, uint32_t timeoutMs, char** output,
               int32_t* outputLength, FilterOutcome* outcome, JobProgress* progress = nullptr);

// The failure of a translation step: "First external program failed,
// error code: %d." with the exit status, or "First runExternal failed,
// error code: %d." with the runner's result; beneath, what happened
// (describeRunResult; for a program that failed, only when it gave no
// reason) and the program's own reason (formatRunFailure); "No memory (%d) for first program initial
// output buffer" when the block could not be made.
void describeTranslateFailure(const FilterRun& run, const FilterOutcome& outcome,
                              char message[RUN_FAILURE_TEXT_SIZE]);

// The failure of Harvest or Shuffle: what was not made ("No word list was
// made"), then what happened to the program, and its own reason beneath.
void describeToolFailure(const char* notMade, const char* program, const FilterOutcome& outcome,
                         char message[RUN_FAILURE_TEXT_SIZE]);
