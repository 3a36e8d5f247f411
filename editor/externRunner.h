// Runs one external filter program over a block of bytes: its standard
// input, output and error go through three anonymous pipes, each served by a
// thread of its own, and the program must end within the time limit.
#pragma once

#include <cstdint>

// Milliseconds allowed for the program and then for each pipe thread.
#define EXTERN_PROG_TIMEOUT_MS 60000
// Most growths of the output block in one run.
#define EXTERN_PROG_MAX_GROWTHS 16

// Runs program (with argument, when given) over inputLength input bytes.
// *output is a malloc'ed block of *outputSize bytes; on return it may have
// moved (grown in steps of a quarter of the initial capacity, at most 16
// times) and *outputSize is the number of bytes collected. The caller always
// frees *output. *exitStatus receives the program's exit status.
// Result: 0 success; -1 the program's exit status was not 0; 1 to 20 the
// runner failed (1 arguments refused, 2-4 pipes, 5 inheritance, 6 memory,
// 7 start, 8-10 threads, 11 time-out, 12 exit status, 13-15 output,
// 16 standard error, 17 input, 18-20 a pipe thread did not end in time).
int32_t runExternProg(const char* input, int32_t inputLength, const char* program,
                      const char* argument, char** output, int32_t* outputSize,
                      uint32_t* exitStatus);

// The same with another time limit, for the tests.
int32_t runExternProgWithTimeout(const char* input, int32_t inputLength, const char* program,
                                 const char* argument, char** output, int32_t* outputSize,
                                 uint32_t* exitStatus, uint32_t timeoutMs);
