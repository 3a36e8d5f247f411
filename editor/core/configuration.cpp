#include "configuration.h"

#include "debugLog.h"
#include "documentFiles.h"
#include "textConversions.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <cwchar>

namespace {

// Walks the configuration text as a text-mode stream delivers it: a CR
// directly before an LF is dropped.
struct TextCursor {
    const char* text;
    int length;
    int position;
};

bool atEnd(const TextCursor& cursor) {
    return cursor.position >= cursor.length;
}

char peekChar(const TextCursor& cursor) {
    const char c = cursor.text[cursor.position];
    if (c == '\r' && cursor.position + 1 < cursor.length && cursor.text[cursor.position + 1] == '\n') {
        return '\n';
    }
    return c;
}

char takeChar(TextCursor* cursor) {
    const char c = peekChar(*cursor);
    cursor->position += (c == '\n' && cursor->text[cursor->position] == '\r') ? 2 : 1;
    return c;
}

void cutAtLineEnd(char* line) {
    line[strcspn(line, "\r\n")] = '\0';
}

// UTF-16 units a byte of UTF-8 adds: none for a continuation byte, two for
// the lead byte of a character beyond the first 65536.
int unitsOfByte(char c) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (byte >= 0x80 && byte <= 0xBF) {
        return 0;
    }
    return byte >= 0xF0 ? 2 : 1;
}

// Reads one line of at most units - 1 UTF-16 units into line (of size
// bytes), as fgets does, and cuts it at its first CR or LF. A line that
// exactly fills the room has its line end taken with it, so a setting of the
// greatest length reads back whole. At the end of the text, line is left as
// it was.
void readLine(TextCursor* cursor, char* line, int size, int units) {
    if (atEnd(*cursor)) {
        return;
    }
    int count = 0;
    int used = 0;
    while (!atEnd(*cursor)) {
        const char c = peekChar(*cursor);
        if (c == '\n') {
            takeChar(cursor);
            break;
        }
        if (count >= size - 1 || used + unitsOfByte(c) > units - 1) {
            break;
        }
        used += unitsOfByte(c);
        line[count++] = takeChar(cursor);
    }
    line[count] = '\0';
    cutAtLineEnd(line);
}

// Copies a line into a setting, as UTF-8 with replacement characters for
// what is not UTF-16 (nothing the dialogs give).
void lineOfSetting(const wchar_t* setting, char* line, int size) {
    if (WideCharToMultiByte(CP_UTF8, 0, setting, -1, line, size, nullptr, nullptr) == 0) {
        line[0] = '\0';
    }
}

}  // namespace

int parseLeadingInteger(const char* text) {
    while (*text == ' ' || (*text >= '\t' && *text <= '\r')) {
        text++;
    }
    const bool negative = *text == '-';
    if (*text == '-' || *text == '+') {
        text++;
    }
    long long value = 0;
    while (*text >= '0' && *text <= '9') {
        if (value <= INT_MAX) {
            value = value * 10 + (*text - '0');
        }
        text++;
    }
    if (negative) {
        value = -value;
    }
    if (value > INT_MAX) {
        return INT_MAX;
    }
    return value < INT_MIN ? INT_MIN : static_cast<int>(value);
}

void splitFontLine(char* line, int* pointSize) {
    char* comma = strrchr(line, ',');
    if (comma == nullptr) {
        *pointSize = DEFAULT_FONT_POINT_SIZE;
        return;
    }
    *pointSize = parseLeadingInteger(comma + 1);
    *comma = '\0';
}

void parseConfiguration(const char* text, int length, Configuration* settings) {
    const bool byteOrderMark = length >= 3 && memcmp(text, "\xEF\xBB\xBF", 3) == 0;
    TextCursor cursor = {text, length, byteOrderMark ? 3 : 0};
    readLine(&cursor, settings->vocabularyName, NAME_LINE_BYTES, NAME_SIZE);
    readLine(&cursor, settings->dataDirectory, PATH_LINE_BYTES, PATH_UNITS);
    readLine(&cursor, settings->fontFace, NAME_LINE_BYTES, NAME_SIZE);
    splitFontLine(settings->fontFace, &settings->fontPointSize);
}

int formatConfiguration(const Configuration& settings, char* text, int size) {
    // A name that itself begins with U+FEFF would be read as a byte-order
    // mark and lose it: a mark before it keeps it.
    const bool markFirst = strncmp(settings.vocabularyName, "\xEF\xBB\xBF", 3) == 0;
    const int length = snprintf(text, size, "%s%s\n%s\n%s,%d\n", markFirst ? "\xEF\xBB\xBF" : "", settings.vocabularyName,
                                settings.dataDirectory, settings.fontFace, settings.fontPointSize);
    return (length < 0 || length >= size) ? -1 : length;
}

void cutToFolder(wchar_t* path) {
    wchar_t* cut = wcsrchr(path, L'\\');
    if (cut == nullptr) {
        cut = wcsrchr(path, L':');
    }
    if (cut == nullptr) {
        cut = path;
    }
    *cut = L'\0';
}

void settingOfLine(const char* line, wchar_t* setting, int units) {
    wchar_t converted[PATH_LINE_BYTES];
    if (!utf8ToUtf16Name(line, converted, PATH_LINE_BYTES) && !ansiToUtf16(line, converted, PATH_LINE_BYTES)) {
        converted[0] = L'\0';
    }
    int length = static_cast<int>(wcsnlen(converted, static_cast<size_t>(units - 1)));
    // A pair of surrogates is one character: cut before it rather than through it.
    if (length == units - 1 && converted[length] != L'\0' && converted[length - 1] >= 0xD800 &&
        converted[length - 1] <= 0xDBFF) {
        length--;
    }
    wmemcpy(setting, converted, static_cast<size_t>(length));
    setting[length] = L'\0';
}

bool setWorkingDirectory(unsigned long* error) {
    wchar_t path[PATH_UNITS] = L"";
    const DWORD length = GetModuleFileNameW(nullptr, path, PATH_UNITS);
    path[PATH_UNITS - 1] = L'\0';
    logMessage("executable: [%s]", utf8Name(path).text);
    // A path that filled the buffer was cut short and names no real folder.
    if (length == 0 || length >= static_cast<DWORD>(PATH_UNITS)) {
        *error = length == 0 ? GetLastError() : ERROR_INSUFFICIENT_BUFFER;
        return false;
    }
    cutToFolder(path);
    if (!SetCurrentDirectoryW(path)) {
        *error = GetLastError();
        return false;
    }
    logMessage("Working directory: [%s]", utf8Name(path).text);
    return true;
}

bool readConfiguration() {
    logMessage("reading configuration from: [%s]", CONFIGURATION_FILE_NAME);
    FILE* file = _wfopen(CONFIGURATION_FILE_WIDE_NAME, L"r");
    if (file == nullptr) {
        return false;
    }
    // The three settings, a byte-order mark and the line ends never take
    // more than this from the file.
    char text[NAME_LINE_BYTES * 2 + PATH_LINE_BYTES + 64];
    const int length = static_cast<int>(fread(text, 1, sizeof text, file));
    fclose(file);

    Configuration settings = {"", "", "", DEFAULT_FONT_POINT_SIZE};
    parseConfiguration(text, length, &settings);
    settingOfLine(settings.vocabularyName, editorState.vocabularyName, NAME_SIZE);
    settingOfLine(settings.dataDirectory, editorState.dataDirectory, PATH_UNITS);
    settingOfLine(settings.fontFace, editorState.fontFace, NAME_SIZE);
    editorState.fontPointSize = settings.fontPointSize;
    logMessage("vocabulary: [%s]", utf8Name(editorState.vocabularyName).text);
    logMessage("data directory: [%s]", utf8Name(editorState.dataDirectory).text);
    logMessage("text edit font: %s,%d", utf8Name(editorState.fontFace).text, editorState.fontPointSize);
    return true;
}

int withCrLf(const char* text, int length, char* converted, int size) {
    int used = 0;
    for (int i = 0; i < length; i++) {
        if (used + 2 >= size) return -1;
        if (text[i] == '\n') converted[used++] = '\r';
        converted[used++] = text[i];
    }
    converted[used] = '\0';
    return used;
}

void writeConfiguration() {
    logMessage("Saving configuration to: [%s]", CONFIGURATION_FILE_NAME);
    Configuration settings;
    lineOfSetting(editorState.vocabularyName, settings.vocabularyName, NAME_LINE_BYTES);
    lineOfSetting(editorState.dataDirectory, settings.dataDirectory, PATH_LINE_BYTES);
    lineOfSetting(editorState.fontFace, settings.fontFace, NAME_LINE_BYTES);
    settings.fontPointSize = editorState.fontPointSize;
    char text[NAME_LINE_BYTES * 2 + PATH_LINE_BYTES + 16];
    char file[sizeof text + 8];
    int length = formatConfiguration(settings, text, sizeof text);
    length = length >= 0 ? withCrLf(text, length, file, sizeof file) : -1;
    // A new file that replaces the old one in one step: an editor that is
    // killed or loses power leaves the old settings or the new, never half.
    const DocumentFileResult written =
        length >= 0 ? writeDocumentFile(CONFIGURATION_FILE_WIDE_NAME, file, length) : DOCUMENT_WRITE_FAILED;
    if (written == DOCUMENT_CREATE_FAILED) {
        logMessage("Unable to open configuration file for writing");
    } else if (written != DOCUMENT_OK) {
        logMessage("Unable to write the configuration file");
    }
}
