// What one run of an external filter gives back: its outcome, named, with a
// text for each, and the first bytes the program wrote to standard error;
// and the limit on the growths of the run's output block.
#pragma once

#include <cstdint>

// Most growths of the output block in one run.
constexpr int32_t EXTERN_PROG_MAX_GROWTHS = 16;

// The outcome of one run. The numbers are those the translate boxes and the
// log show, so they never change.
enum RunResult : int32_t {
    RUN_PROGRAM_FAILED = -1,       // as RUN_OK, but the program's exit status is not 0
    RUN_OK = 0,                    // the program ended with status 0; output collected
    RUN_ARGUMENTS_REFUSED = 1,
    RUN_INPUT_PIPE_FAILED = 2,     // creating the standard input pipe failed
    RUN_OUTPUT_PIPE_FAILED = 3,
    RUN_ERROR_PIPE_FAILED = 4,
    RUN_INHERITANCE_FAILED = 5,    // keeping one of the editor's pipe ends out of the program failed
    RUN_NO_MEMORY = 6,             // for the command line
    RUN_START_FAILED = 7,
    RUN_FEEDER_NOT_STARTED = 8,    // a pipe thread did not start: the program is terminated
    RUN_COLLECTOR_NOT_STARTED = 9,
    RUN_DRAIN_NOT_STARTED = 10,
    RUN_TIMED_OUT = 11,            // nothing moved on its pipes for the limit: terminated, with exit status 1
    RUN_EXIT_STATUS_UNKNOWN = 12,
    RUN_OUTPUT_NO_MEMORY = 13,     // growing the output block failed
    RUN_OUTPUT_TOO_LARGE = 14,     // the output needs more room than the growths give
    RUN_OUTPUT_READ_FAILED = 15,
    RUN_ERROR_READ_FAILED = 16,
    RUN_INPUT_WRITE_FAILED = 17,
    RUN_FEEDER_LATE = 18,          // a pipe thread did not end within the time limit
    RUN_COLLECTOR_LATE = 19,
    RUN_DRAIN_LATE = 20,
    RUN_CANCELLED = 21,            // the job was cancelled: the program was terminated, with exit status 1
};

// What else a run tells of its failure: how the program ended, why it did
// not start, and the time limit it had.
struct RunFacts {
    uint32_t exitStatus;
    uint32_t startError;       // the system's error when the program could not be started
    uint32_t timeoutSeconds;
};

// Room for a run's sentence, terminator included.
constexpr int RUN_SENTENCE_SIZE = 160;

// What happened to the program, in one sentence without a full stop, for
// the line beneath a failure box's headline: "zarnoGlotPack.exe was not
// found in the editor's folder", "zarnoGlotPack stopped before it had read
// the whole text", "zarnoGlotDecode did not answer within 60 seconds".
// program is the name the program was started by, without ".exe".
void describeRunResult(RunResult result, const char* program, const RunFacts& facts,
                       char sentence[RUN_SENTENCE_SIZE]);

// Bytes of standard error a run keeps; whatever follows is still read, so
// that the program never blocks on a full pipe, and then discarded.
constexpr int32_t RUN_ERROR_TEXT_BYTES = 1024;

// The first bytes a program wrote to standard error, as written, with a 0
// byte after them; and why it could not be started, when it could not.
struct RunErrorText {
    char bytes[RUN_ERROR_TEXT_BYTES + 1];
    int32_t length;
    uint32_t startError;   // the system's error when the program could not be started, else 0
};
