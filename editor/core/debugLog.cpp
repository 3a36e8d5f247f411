#include "debugLog.h"

#include "editorState.h"
#include "logFormat.h"

#include <cstdio>
#include <cstring>

namespace {

FILE* logFile = nullptr;
char messageBuffer[LOG_MESSAGE_SIZE];

}  // namespace

bool openDebugLog() {
    if (logFile != nullptr) {
        return true;
    }
    logFile = fopen(LOG_FILE_PATH, "a");
    if (logFile == nullptr) {
        return false;
    }
    const time_t now = time(nullptr);
    struct tm localTime = {};
    char timeText[LOG_TIME_SIZE] = "";
    if (localtime_s(&localTime, &now) == 0) {
        formatLogTime(localTime, timeText);
    }
    setvbuf(logFile, nullptr, _IONBF, 0);
    char header[512];
    if (formatLogHeader(header, sizeof header, timeText, LOG_FILE_PATH, EDITOR_VERSION,
                        static_cast<long>(GetCurrentProcessId())) > 0) {
        fputs(header, logFile);
    }
    fflush(logFile);
    return true;
}

void logMessage(const char* format, ...) {
    if (logFile == nullptr) {
        return;
    }
    va_list arguments;
    va_start(arguments, format);
    const int length = formatLogMessage(messageBuffer, LOG_MESSAGE_SIZE, format, arguments);
    va_end(arguments);
    fwrite(messageBuffer, 1, length, logFile);
    fputc('\n', logFile);
    fflush(logFile);
}

void closeDebugLog() {
    if (logFile == nullptr) {
        return;
    }
    fputs(LOG_CLOSED_LINE, logFile);
    fflush(logFile);
    fclose(logFile);
    logFile = nullptr;
}
