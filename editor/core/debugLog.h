// The editor's diagnostic log (main thread only): "t:zarnoGlotWriteW.log"
// when drive T: can be reached, else zarnoGlotWriteW.log in the folder
// ZarnoGlot of the user's local application data. Lines are UTF-8.
#pragma once

// The log's place when drive T: cannot be reached: this folder in the
// user's local application data (%LOCALAPPDATA%), and this file in it.
constexpr const wchar_t* LOCAL_LOG_FOLDER = L"ZarnoGlot";
constexpr const wchar_t* LOCAL_LOG_FILE = L"zarnoGlotWriteW.log";

// Opens the log for appending, on drive T: or else in the local application
// data, and writes its header; false when neither can be opened. Opening an
// open log does nothing.
bool openDebugLog();
// The places openDebugLog tries, as UTF-8 lines, for the box that says it
// could not open either.
const char* debugLogPlaces();
// printf-style; writes one line and flushes it. Does nothing while no log is open.
void logMessage(const char* format, ...)
#ifdef __GNUC__
    __attribute__((format(printf, 1, 2)))
#endif
    ;
void closeDebugLog();
