// The frame of the console programs: what a program says about itself, how
// its main starts, and the one way every program and library reports:
// "name: message" lines on the error stream. Header only, standard library only.
#pragma once

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "platform.h"

// An option beyond -h, which every program has.
struct ProgramOption {
    const char* flag;     // "-d"; none past the program's last option
    const char* meaning;
};

// The most options a program has beyond -h.
constexpr int MAX_PROGRAM_OPTIONS = 4;

enum StreamMode {
    BINARY_STREAMS,   // standard input and output are raw bytes
    TEXT_STREAMS,     // they are text with the platform's line ends
};

struct ConsoleProgram {
    const char* name;
    const char* version;
    const char* summary;   // the rest of the usage's first line
    const char* synopsis;  // the command line after the program's name
    ProgramOption options[MAX_PROGRAM_OPTIONS];  // in the order the usage lists them
    StreamMode streams;
};

// The usage text on the error stream: name, version and summary; the
// synopsis; the options.
inline void printUsage(const ConsoleProgram& program, std::FILE* errors) {
    std::fprintf(errors, "%s (version: %s) %s\n", program.name, program.version, program.summary);
    std::fprintf(errors, "%s %s\n", program.name, program.synopsis);
    std::fputs(program.options[0].flag == nullptr ? "Option:\n" : "Options:\n", errors);
    std::fputs("  -h print version, usage and exit.\n", errors);
    for (const ProgramOption& option : program.options) {
        if (option.flag == nullptr) break;
        std::fprintf(errors, "  %s %s\n", option.flag, option.meaning);
    }
}

// Whether the command line holds exactly one argument, and that is not -h.
inline bool hasOneArgument(int argc, char** argv) {
    return argc == 2 && std::strcmp(argv[1], "-h") != 0;
}

// Every main's first step. A command line that does not fit the program
// (or asks for -h) gets the usage on standard error and false: the main
// then ends with USAGE_EXIT_STATUS. Otherwise the standard streams are set
// to the program's mode.
inline bool startProgram(const ConsoleProgram& program, bool commandLineFits) {
    if (!commandLineFits) {
        printUsage(program, stderr);
        return false;
    }
    if (program.streams == BINARY_STREAMS) {
        setBinaryMode(stdin);
        setBinaryMode(stdout);
    }
    return true;
}

// Writes "programName: " and the printf-formatted message as one line.
#ifdef __GNUC__
__attribute__((format(printf, 3, 4)))
#endif
inline void report(std::FILE* errors, const char* programName, const char* format, ...) {
    std::fprintf(errors, "%s: ", programName);
    va_list arguments;
    va_start(arguments, format);
    std::vfprintf(errors, format, arguments);
    va_end(arguments);
    std::fputc('\n', errors);
}
