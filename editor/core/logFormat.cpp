#include "logFormat.h"

#include <cstdio>

void formatLogTime(const struct tm& localTime, char text[LOG_TIME_SIZE]) {
    if (strftime(text, LOG_TIME_SIZE, "%y.%j %H.%M", &localTime) == 0) {
        text[0] = '\0';
    }
}

int formatLogHeader(char* text, int size, const char* timeText, const char* logPath,
                    const char* version, long processId) {
    const int length = snprintf(text, size,
                                "====== Log started at %s ======\n"
                                "Program/Log file: [%s]\n"
                                "Version: %s\n"
                                "Process ID: %ld\n",
                                timeText, logPath, version, processId);
    return (length < 0 || length >= size) ? -1 : length;
}

int formatLogMessage(char* text, int size, const char* format, va_list arguments) {
    if (size <= 0) {
        return 0;
    }
    const int length = vsnprintf(text, size, format, arguments);
    if (length < 0) {
        text[0] = '\0';
        return 0;
    }
    return length < size ? length : size - 1;
}
