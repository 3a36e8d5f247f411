#include "runResult.h"

const char* runResultText(RunResult result) {
    switch (result) {
    case RUN_PROGRAM_FAILED: return "the program ended with an exit status other than 0";
    case RUN_OK: return "the program ended with exit status 0";
    case RUN_ARGUMENTS_REFUSED: return "the arguments were refused";
    case RUN_INPUT_PIPE_FAILED: return "the standard input pipe could not be created";
    case RUN_OUTPUT_PIPE_FAILED: return "the standard output pipe could not be created";
    case RUN_ERROR_PIPE_FAILED: return "the standard error pipe could not be created";
    case RUN_INHERITANCE_FAILED: return "a pipe end could not be kept from the program";
    case RUN_NO_MEMORY: return "no memory for the command line";
    case RUN_START_FAILED: return "the program could not be started";
    case RUN_FEEDER_NOT_STARTED: return "the standard input thread could not be started";
    case RUN_COLLECTOR_NOT_STARTED: return "the standard output thread could not be started";
    case RUN_DRAIN_NOT_STARTED: return "the standard error thread could not be started";
    case RUN_TIMED_OUT: return "the program did not end in time and was terminated";
    case RUN_EXIT_STATUS_UNKNOWN: return "the program's exit status could not be read";
    case RUN_OUTPUT_NO_MEMORY: return "no memory for the program's output";
    case RUN_OUTPUT_TOO_LARGE: return "the program's output is too large";
    case RUN_OUTPUT_READ_FAILED: return "reading the program's standard output failed";
    case RUN_ERROR_READ_FAILED: return "reading the program's standard error failed";
    case RUN_INPUT_WRITE_FAILED: return "writing the program's standard input failed";
    case RUN_FEEDER_LATE: return "the standard input thread did not end in time";
    case RUN_COLLECTOR_LATE: return "the standard output thread did not end in time";
    case RUN_DRAIN_LATE: return "the standard error thread did not end in time";
    }
    return "unknown result";
}
