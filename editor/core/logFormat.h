// Text of the diagnostic log's lines, kept apart from the file so it can be
// checked on its own.
#pragma once

#include <cstdarg>
#include <ctime>

// The log on drive T:, relative to that drive's current directory.
constexpr const char* LOG_FILE_PATH = "t:zarnoGlotWriteW.log";
constexpr const wchar_t* LOG_FILE_WIDE_PATH = L"t:zarnoGlotWriteW.log";
constexpr const char* LOG_CLOSED_LINE = "============== Log closed ===============\n";

constexpr int LOG_TIME_SIZE = 16;
// Room for the longest line the editor writes: a label and a path of 259
// UTF-16 units in UTF-8.
constexpr int LOG_MESSAGE_SIZE = 1024;

// Local time as "%y.%j %H.%M", e.g. "26.260 15.06".
void formatLogTime(const struct tm& localTime, char text[LOG_TIME_SIZE]);

// The four lines that begin each run's part of the log. Returns the length,
// or -1 when the text does not fit in size bytes with its terminator.
int formatLogHeader(char* text, int size, const char* timeText, const char* logPath,
                    const char* version, long processId);

// Formats one message into text, cut to size - 1 characters when longer.
// Returns the length actually held.
int formatLogMessage(char* text, int size, const char* format, va_list arguments);
