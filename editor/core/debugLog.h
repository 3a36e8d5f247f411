// The editor's diagnostic log "t:zarnoGlotWriteW.log" (main thread only).
#pragma once

// Opens the log for appending and writes its header; false when the file
// cannot be opened. Opening an open log does nothing.
bool openDebugLog();
// printf-style; writes one line and flushes it. Does nothing while no log is open.
void logMessage(const char* format, ...)
#ifdef __GNUC__
    __attribute__((format(printf, 1, 2)))
#endif
    ;
void closeDebugLog();
