#include "configuration.h"

#include "debugLog.h"

#include <climits>
#include <cstdio>
#include <cstring>

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

// Reads one line of at most size - 1 characters into line, as fgets does,
// and cuts it at its first CR or LF. A line that exactly fills the room has
// its line end taken with it, so a setting of the greatest length reads back
// whole. At the end of the text, line is left as it was.
void readLine(TextCursor* cursor, char* line, int size) {
    if (atEnd(*cursor)) {
        return;
    }
    int count = 0;
    bool ended = false;
    while (count < size - 1 && !atEnd(*cursor) && !ended) {
        line[count] = takeChar(cursor);
        ended = line[count] == '\n';
        count++;
    }
    line[count] = '\0';
    if (!ended && !atEnd(*cursor) && peekChar(*cursor) == '\n') {
        takeChar(cursor);
    }
    cutAtLineEnd(line);
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
    TextCursor cursor = {text, length, 0};
    readLine(&cursor, settings->vocabularyName, NAME_SIZE);
    readLine(&cursor, settings->dataDirectory, PATH_SIZE);
    readLine(&cursor, settings->fontFace, NAME_SIZE);
    splitFontLine(settings->fontFace, &settings->fontPointSize);
}

int formatConfiguration(const Configuration& settings, char* text, int size) {
    const int length = snprintf(text, size, "%s\n%s\n%s,%d\n", settings.vocabularyName,
                                settings.dataDirectory, settings.fontFace, settings.fontPointSize);
    return (length < 0 || length >= size) ? -1 : length;
}

void cutToFolder(char* path) {
    char* cut = strrchr(path, '\\');
    if (cut == nullptr) {
        cut = strrchr(path, ':');
    }
    if (cut == nullptr) {
        cut = path;
    }
    *cut = '\0';
}

bool setWorkingDirectory(unsigned long* error) {
    char path[PATH_SIZE] = "";
    const DWORD length = GetModuleFileNameA(nullptr, path, PATH_SIZE - 1);
    path[PATH_SIZE - 1] = '\0';
    logMessage("executable: [%s]", path);
    // A path that filled the buffer was cut short and names no real folder.
    if (length == 0 || length >= PATH_SIZE - 1) {
        *error = length == 0 ? GetLastError() : ERROR_INSUFFICIENT_BUFFER;
        return false;
    }
    cutToFolder(path);
    if (!SetCurrentDirectoryA(path)) {
        *error = GetLastError();
        return false;
    }
    logMessage("Working directory: [%s]", path);
    return true;
}

bool readConfiguration() {
    logMessage("reading configuration from: [%s]", CONFIGURATION_FILE_NAME);
    FILE* file = fopen(CONFIGURATION_FILE_NAME, "r");
    if (file == nullptr) {
        return false;
    }
    // The three settings never take more than this from the file.
    char text[1024];
    const int length = static_cast<int>(fread(text, 1, sizeof text, file));
    fclose(file);

    Configuration settings = {"", "", "", DEFAULT_FONT_POINT_SIZE};
    parseConfiguration(text, length, &settings);
    memcpy(editorState.vocabularyName, settings.vocabularyName, NAME_SIZE);
    memcpy(editorState.dataDirectory, settings.dataDirectory, PATH_SIZE);
    memcpy(editorState.fontFace, settings.fontFace, NAME_SIZE);
    editorState.fontPointSize = settings.fontPointSize;
    logMessage("vocabulary: [%s]", editorState.vocabularyName);
    logMessage("data directory: [%s]", editorState.dataDirectory);
    logMessage("text edit font: %s,%d", editorState.fontFace, editorState.fontPointSize);
    return true;
}

void writeConfiguration() {
    logMessage("Saving configuration to: [%s]", CONFIGURATION_FILE_NAME);
    Configuration settings;
    memcpy(settings.vocabularyName, editorState.vocabularyName, NAME_SIZE);
    memcpy(settings.dataDirectory, editorState.dataDirectory, PATH_SIZE);
    memcpy(settings.fontFace, editorState.fontFace, NAME_SIZE);
    settings.fontPointSize = editorState.fontPointSize;
    char text[NAME_SIZE + PATH_SIZE + NAME_SIZE + 16];
    const int length = formatConfiguration(settings, text, sizeof text);

    FILE* file = fopen(CONFIGURATION_FILE_NAME, "w");
    if (file == nullptr) {
        logMessage("Unable to open configuration file for writing");
        return;
    }
    const bool written = length >= 0 && fwrite(text, 1, length, file) == static_cast<size_t>(length);
    if (fclose(file) != 0 || !written) {
        logMessage("Unable to write the configuration file");
    }
}
