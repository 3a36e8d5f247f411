// The few places where Windows and POSIX differ for the console programs.
// Only the frame's start of a program uses it: the libraries read and write
// the streams they are given, as they are given them.
#pragma once

#include <cstdio>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

// The exit status of a wrong command line; a POSIX shell sees it as 255.
constexpr int USAGE_EXIT_STATUS = -1;

// Switches a standard stream to raw bytes: on Windows the C runtime would
// otherwise turn "\r\n" into "\n" on input, "\n" into "\r\n" on output, and
// stop reading at a 0x1A byte. POSIX streams are always raw.
inline void setBinaryMode(std::FILE* stream) {
#ifdef _WIN32
    _setmode(_fileno(stream), _O_BINARY);
#else
    (void)stream;
#endif
}
