// Runs one external filter program over a block of bytes: its standard
// input, output and error go through three anonymous pipes, each served by a
// thread of its own, and the program is stopped when nothing has moved on
// its pipes for the time limit, or when its job is cancelled.
#pragma once

#include "jobProgress.h"
#include "runResult.h"

#include <cstdint>

// Milliseconds a program may go without a byte moving on its pipes, and
// then allowed for each pipe thread once the program has ended.
constexpr uint32_t EXTERN_PROG_TIMEOUT_MS = 60000;

// Runs program (with argument, when given) over inputLength input bytes.
// *output is a malloc'ed block of *outputSize bytes; on return it may have
// moved (grown in steps of a quarter of the initial capacity, at most 16
// times) and *outputSize is the number of bytes collected. The caller always
// frees *output. *exitStatus receives the program's exit status. When
// errorText is given it receives what the program wrote to standard error
// (its first RUN_ERROR_TEXT_BYTES bytes), whatever the result; it is empty
// when the program did not run.
RunResult runExternProg(const char* input, int32_t inputLength, const char* program, const char* argument,
                        char** output, int32_t* outputSize, uint32_t* exitStatus, RunErrorText* errorText = nullptr);

// The most arguments a program is given ("-d", "-u" and a vocabulary).
constexpr int MAX_PROGRAM_ARGUMENTS = 3;

// What the log shows in place of a secret argument.
constexpr const char* SECRET_ARGUMENT_IN_LOG = "(argument not logged)";

// The same with another time limit. With secretArgument the log shows
// SECRET_ARGUMENT_IN_LOG in place of the argument, and the command line is
// wiped as soon as the program's start has been tried.
RunResult runExternProgWithTimeout(const char* input, int32_t inputLength, const char* program,
                                   const char* argument, char** output, int32_t* outputSize, uint32_t* exitStatus,
                                   uint32_t timeoutMs, RunErrorText* errorText = nullptr,
                                   bool secretArgument = false);

// The same with up to MAX_PROGRAM_ARGUMENTS arguments: the first
// argumentCount entries of arguments, each quoted on the command line so
// that the program's C runtime (or CommandLineToArgvW) gives it back as it
// is. The program and the arguments are UTF-8 (RUN_ARGUMENTS_REFUSED
// otherwise); the program is started with the UTF-16 command line, so that
// it receives names and passphrases of any script. With progress, the run
// counts its bytes there (program must then outlive the job) and ends with
// RUN_CANCELLED soon after the job is cancelled.
RunResult runExternProgWithArguments(const char* input, int32_t inputLength, const char* program,
                                     const char* const* arguments, int argumentCount, char** output,
                                     int32_t* outputSize, uint32_t* exitStatus, uint32_t timeoutMs,
                                     RunErrorText* errorText = nullptr, bool secretArgument = false,
                                     JobProgress* progress = nullptr);
