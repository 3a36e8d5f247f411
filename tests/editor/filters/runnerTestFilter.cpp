// A filter for the runner's tests. Its single argument picks what it does:
//   echo              read all input, write it back
//   write:N           read all input, then write N bytes
//   exit:S            read all input, write it back, end with status S
//   stderr:S          read all input, write it to standard error, end with S
//   hang              read all input, then never end
//   trickle:N         read all input, then write N bytes, one every 400 ms
//   noread            end at once without reading
//   flood:N           read 4096 bytes, write N bytes, then read the rest
//   grandchild:DIR    start a grandchild that keeps the pipes open, read all
//                     input, end
//   grandchild-noread:DIR   the same without reading the input
//   grandchild-stderr:DIR   the same, but the grandchild keeps only standard
//                     error open
//   late:DIR          (the grandchild) wait for DIR\go, then try to write
//                     100 bytes and record in DIR\done "wrote" or "failed"
//                     with the error code
//   late-stderr:DIR   the same on standard error, the one pipe it keeps
//   anything else     read all input, write the command line it was given,
//                     a line feed and its first argument as
//                     CommandLineToArgvW reads it (both UTF-8)
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "filterStreams.h"

static std::string utf8(const wchar_t* text) {
    char bytes[4096] = "";
    WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes, sizeof bytes, nullptr, nullptr);
    return bytes;
}

static std::string patternBytes(unsigned long count) {
    std::string bytes(count, '\0');
    for (unsigned long i = 0; i < count; ++i) bytes[i] = static_cast<char>('a' + i % 26);
    return bytes;
}

static bool startsWith(const char* text, const char* prefix) {
    return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

static unsigned long numberAfter(const char* text, const char* prefix) {
    return std::strtoul(text + std::strlen(prefix), nullptr, 0);
}

static void startGrandchild(const char* folder, bool onlyStandardError) {
    if (onlyStandardError) {
        SetHandleInformation(GetStdHandle(STD_INPUT_HANDLE), HANDLE_FLAG_INHERIT, 0);
        SetHandleInformation(GetStdHandle(STD_OUTPUT_HANDLE), HANDLE_FLAG_INHERIT, 0);
    }
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string commandLine = std::string("\"") + self + (onlyStandardError ? "\" \"late-stderr:" : "\" \"late:") +
                              folder + "\"";
    STARTUPINFOA startup;
    std::memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = onlyStandardError ? nullptr : GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = onlyStandardError ? nullptr : GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process;
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &process)) {
        std::exit(90);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

static int writeLate(const std::string& folder, DWORD stream) {
    std::string go = folder + "\\go";
    for (int tries = 0; tries < 1200 && GetFileAttributesA(go.c_str()) == INVALID_FILE_ATTRIBUTES; ++tries) {
        Sleep(50);
    }
    bool wrote = writeAll(stream, patternBytes(100));
    DWORD lastError = GetLastError();
    std::FILE* done = std::fopen((folder + "\\done").c_str(), "wb");
    if (done == nullptr) return 91;
    std::fputs(wrote ? "wrote" : "failed", done);
    if (!wrote) std::fprintf(done, " %lu", lastError);
    std::fclose(done);
    return 0;
}

int main(int argc, char** argv) {
    const char* mode = argc > 1 ? argv[1] : "";
    if (std::strcmp(mode, "echo") == 0) {
        writeAll(STD_OUTPUT_HANDLE, readAllInput());
        return 0;
    }
    if (startsWith(mode, "write:")) {
        readAllInput();
        writeAll(STD_OUTPUT_HANDLE, patternBytes(numberAfter(mode, "write:")));
        return 0;
    }
    if (startsWith(mode, "exit:")) {
        writeAll(STD_OUTPUT_HANDLE, readAllInput());
        return static_cast<int>(numberAfter(mode, "exit:"));
    }
    if (startsWith(mode, "stderr:")) {
        writeAll(STD_ERROR_HANDLE, readAllInput());
        return static_cast<int>(numberAfter(mode, "stderr:"));
    }
    if (startsWith(mode, "trickle:")) {
        readAllInput();
        const std::string bytes = patternBytes(numberAfter(mode, "trickle:"));
        for (char byte : bytes) {
            Sleep(400);
            writeAll(STD_OUTPUT_HANDLE, std::string(1, byte));
        }
        return 0;
    }
    if (std::strcmp(mode, "hang") == 0) {
        readAllInput();
        Sleep(INFINITE);
    }
    if (std::strcmp(mode, "noread") == 0) return 0;
    if (startsWith(mode, "flood:")) {
        char first[4096];
        DWORD count = 0;
        ReadFile(GetStdHandle(STD_INPUT_HANDLE), first, sizeof first, &count, nullptr);
        writeAll(STD_OUTPUT_HANDLE, patternBytes(numberAfter(mode, "flood:")));
        readAllInput();
        return 0;
    }
    if (startsWith(mode, "grandchild:")) {
        startGrandchild(mode + std::strlen("grandchild:"), false);
        readAllInput();
        return 0;
    }
    if (startsWith(mode, "grandchild-noread:")) {
        startGrandchild(mode + std::strlen("grandchild-noread:"), false);
        return 0;
    }
    if (startsWith(mode, "grandchild-stderr:")) {
        startGrandchild(mode + std::strlen("grandchild-stderr:"), true);
        readAllInput();
        return 0;
    }
    if (startsWith(mode, "late:")) return writeLate(mode + std::strlen("late:"), STD_OUTPUT_HANDLE);
    if (startsWith(mode, "late-stderr:")) return writeLate(mode + std::strlen("late-stderr:"), STD_ERROR_HANDLE);
    readAllInput();
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    writeAll(STD_OUTPUT_HANDLE, utf8(GetCommandLineW()) + "\n" + (count > 1 ? utf8(arguments[1]) : ""));
    LocalFree(arguments);
    return 0;
}
