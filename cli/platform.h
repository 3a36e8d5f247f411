// The few places where Windows and POSIX differ for the console programs:
// binary standard streams (set by the frame's start of a program; the
// libraries read and write the streams they are given, as they are given
// them), the arguments as UTF-8 and files opened by UTF-8 names, the
// system's random source, keeping secrets out of core dumps, and wiping them.
#pragma once

#include <cstddef>
#include <cstdio>
#include <cstdlib>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <bcrypt.h>
#include <shellapi.h>
#else
#include <cerrno>
#include <sys/prctl.h>
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

// The program's arguments as UTF-8, in place of argv. On Windows the C
// runtime's argv holds them in the ANSI code page, where a character outside
// it arrives as another one; they are read from the wide command line
// instead (CommandLineToArgvW, which reads quotes and backslashes as the C
// runtime does) and kept for the rest of the run. Elsewhere argv is UTF-8
// already and is returned as it is.
inline char** utf8Arguments(int* argc, char** argv) {
#ifdef _WIN32
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr) return argv;
    std::size_t bytes = (static_cast<std::size_t>(count) + 1) * sizeof(char*);
    for (int i = 0; i < count; i++) {
        bytes += static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr));
    }
    char** arguments = static_cast<char**>(std::malloc(bytes));
    if (arguments == nullptr) {
        LocalFree(wide);
        return argv;
    }
    char* text = reinterpret_cast<char*>(arguments + count + 1);
    char* const end = reinterpret_cast<char*>(arguments) + bytes;
    for (int i = 0; i < count; i++) {
        arguments[i] = text;
        text += WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, text, static_cast<int>(end - text), nullptr, nullptr);
    }
    arguments[count] = nullptr;
    LocalFree(wide);
    *argc = count;
    return arguments;
#else
    (void)argc;
    return argv;
#endif
}

// Opens a file named in UTF-8 (as utf8Arguments gives names) to read its
// bytes; none when it cannot be opened. On Windows the name is turned back
// into UTF-16 for _wfopen, so that any name Windows allows opens.
inline std::FILE* openFileForReading(const char* utf8Name) {
#ifdef _WIN32
    const int units = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8Name, -1, nullptr, 0);
    wchar_t* name = units > 0 ? static_cast<wchar_t*>(std::malloc(static_cast<std::size_t>(units) * sizeof(wchar_t)))
                              : nullptr;
    if (name == nullptr) return nullptr;
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8Name, -1, name, units);
    std::FILE* file = _wfopen(name, L"rb");
    std::free(name);
    return file;
#else
    return std::fopen(utf8Name, "rb");
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

// Keeps the process's memory out of core dumps for the rest of its run: the
// packer and the shuffler hold vocabularies, passphrases and seeds. On Linux
// PR_SET_DUMPABLE 0, which also stops other processes of the same user from
// attaching to it (ptrace) or reading its memory through /proc. On Windows
// nothing is done: a crash dump is written only by Windows Error Reporting
// where an administrator has turned its local dumps on, or by a debugger the
// user attaches, and no call of the process itself keeps it out of those;
// there the programs rely on wiping each secret as soon as it has served.
inline void keepSecretsOutOfCoreDumps() {
#ifndef _WIN32
    prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
#endif
}

// Overwrites secret bytes in a way the compiler may not leave out, as it
// may a memset of memory that is freed next.
inline void wipeBytes(void* bytes, std::size_t count) {
    volatile unsigned char* place = static_cast<volatile unsigned char*>(bytes);
    while (count-- > 0) *place++ = 0;
}
