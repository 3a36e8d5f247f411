// Stands in for zarnoGlotPack in the editor's end-to-end tests, copied beside
// the editor under that name. The environment variable ZG_TRANSLATE_FAKE,
// which the editor passes on, picks what it does after reading its input:
//   zero     write text holding a zero byte, end with status 0
//   status   end with status C0000005 (an access violation's code)
//   invalid  write bytes that are not UTF-8, end with status 0
//   killed   end at once, unread, as a program killed by another does
//   hang     write its process id to hanging.pid in the current folder,
//            then wait without reading or writing, until it is stopped
//   anything else: write the input back
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "filterStreams.h"

int main() {
    const char* mode = std::getenv("ZG_TRANSLATE_FAKE");
    if (mode == nullptr) mode = "";
    if (std::strcmp(mode, "killed") == 0) TerminateProcess(GetCurrentProcess(), 1);
    if (std::strcmp(mode, "hang") == 0) {
        FILE* pid = std::fopen("hanging.pid", "w");
        if (pid != nullptr) {
            std::fprintf(pid, "%lu", GetCurrentProcessId());
            std::fclose(pid);
        }
        Sleep(INFINITE);
    }
    const std::string input = readAllInput();
    if (std::strcmp(mode, "zero") == 0) {
        writeAll(STD_OUTPUT_HANDLE, std::string("shown\0lost", 10));
        return 0;
    }
    if (std::strcmp(mode, "status") == 0) return static_cast<int>(0xC0000005u);
    if (std::strcmp(mode, "invalid") == 0) {
        writeAll(STD_OUTPUT_HANDLE, "ab\xff\xfe");
        return 0;
    }
    writeAll(STD_OUTPUT_HANDLE, input);
    return 0;
}
