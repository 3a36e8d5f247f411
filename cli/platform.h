// The few places where Windows and POSIX differ for the console programs:
// binary standard streams (set by the frame's start of a program; the
// libraries read and write the streams they are given, as they are given
// them), the system's random source, and wiping secrets.
#pragma once

#include <cstddef>
#include <cstdio>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <bcrypt.h>
#else
#include <cerrno>
#include <sys/random.h>
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

// Fills bytes from the operating system's random source (BCryptGenRandom,
// getrandom). False when the source fails, which a caller treats as fatal.
inline bool systemRandomBytes(void* bytes, std::size_t count) {
    unsigned char* place = static_cast<unsigned char*>(bytes);
#ifdef _WIN32
    while (count > 0) {
        ULONG step = count > 0x10000000 ? 0x10000000 : static_cast<ULONG>(count);
        if (BCryptGenRandom(nullptr, place, step, BCRYPT_USE_SYSTEM_PREFERRED_RNG) != 0) return false;
        place += step;
        count -= step;
    }
#else
    while (count > 0) {
        ssize_t got = getrandom(place, count, 0);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        place += got;
        count -= static_cast<std::size_t>(got);
    }
#endif
    return true;
}

// Overwrites secret bytes in a way the compiler may not leave out, as it
// may a memset of memory that is freed next.
inline void wipeBytes(void* bytes, std::size_t count) {
    volatile unsigned char* place = static_cast<volatile unsigned char*>(bytes);
    while (count-- > 0) *place++ = 0;
}
