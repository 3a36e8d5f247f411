#include "debugLog.h"

#include "editorState.h"
#include "logFormat.h"
#include "textConversions.h"

#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace {

FILE* logFile = nullptr;
char messageBuffer[LOG_MESSAGE_SIZE];
// A job's worker thread logs its filter runs while the window's thread
// logs too: one line at a time goes through the message buffer.
SRWLOCK logLock = SRWLOCK_INIT;
// The path of the log in use, and the places tried, as UTF-8.
char logPath[UTF8_PATH_BYTES] = "";
char logPlaces[UTF8_PATH_BYTES + 64] = "";

// The user's local application data: %LOCALAPPDATA%, else what the shell
// knows of it. False when neither is known or the path would be too long.
bool localApplicationData(wchar_t folder[PATH_UNITS]) {
    const DWORD length = GetEnvironmentVariableW(L"LOCALAPPDATA", folder, PATH_UNITS);
    if (length > 0 && length < static_cast<DWORD>(PATH_UNITS)) {
        return true;
    }
    return SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder));
}

// The log's place in the local application data; its folder is made when
// missing. False when the path is not known or too long.
bool localLogPath(wchar_t path[PATH_UNITS]) {
    wchar_t folder[PATH_UNITS];
    if (!localApplicationData(folder)) {
        return false;
    }
    const int length = swprintf(path, PATH_UNITS, L"%ls\\%ls", folder, LOCAL_LOG_FOLDER);
    if (length < 0 || length + 1 + static_cast<int>(wcslen(LOCAL_LOG_FILE)) >= PATH_UNITS) {
        return false;
    }
    CreateDirectoryW(path, nullptr);
    wcscat(path, L"\\");
    wcscat(path, LOCAL_LOG_FILE);
    return true;
}

// Drive T: first, as the log always was; then the local application data.
FILE* openLogFile() {
    wchar_t local[PATH_UNITS];
    const bool localKnown = localLogPath(local);
    snprintf(logPlaces, sizeof logPlaces, "%s\n%s", LOG_FILE_PATH,
             localKnown ? utf8Name(local).text : "(no local application data folder)");
    FILE* file = _wfopen(LOG_FILE_WIDE_PATH, L"a");
    if (file != nullptr) {
        snprintf(logPath, sizeof logPath, "%s", LOG_FILE_PATH);
        return file;
    }
    file = localKnown ? _wfopen(local, L"a") : nullptr;
    if (file != nullptr) {
        snprintf(logPath, sizeof logPath, "%s", utf8Name(local).text);
    }
    return file;
}

}  // namespace

const char* debugLogPlaces() {
    return logPlaces;
}

bool openDebugLog() {
    if (logFile != nullptr) {
        return true;
    }
    logFile = openLogFile();
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
    char header[UTF8_PATH_BYTES + 256];
    if (formatLogHeader(header, sizeof header, timeText, logPath, EDITOR_VERSION,
                        static_cast<long>(GetCurrentProcessId())) > 0) {
        fputs(header, logFile);
    }
    fflush(logFile);
    return true;
}

void logMessage(const char* format, ...) {
    AcquireSRWLockExclusive(&logLock);
    if (logFile != nullptr) {
        va_list arguments;
        va_start(arguments, format);
        const int length = formatLogMessage(messageBuffer, LOG_MESSAGE_SIZE, format, arguments);
        va_end(arguments);
        fwrite(messageBuffer, 1, length, logFile);
        fputc('\n', logFile);
        fflush(logFile);
    }
    ReleaseSRWLockExclusive(&logLock);
}

void closeDebugLog() {
    AcquireSRWLockExclusive(&logLock);
    if (logFile != nullptr) {
        fputs(LOG_CLOSED_LINE, logFile);
        fflush(logFile);
        fclose(logFile);
        logFile = nullptr;
    }
    ReleaseSRWLockExclusive(&logLock);
}
