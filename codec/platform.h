// The few places where Windows and POSIX differ for the console programs.
#pragma once

#include <cstdio>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

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
