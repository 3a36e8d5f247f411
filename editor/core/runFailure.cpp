#include "runFailure.h"

#include <cstring>

namespace {

bool isLineEnd(char c) {
    return c == '\n' || c == '\r';
}

// A blank, a tab or another control character that does not end a line.
bool isBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ' && !isLineEnd(c);
}

// Finds the first line of the bytes holding more than blanks: its first
// byte and its length without the blanks around it.
bool firstErrorLine(const char* bytes, int32_t length, int32_t* start, int32_t* lineLength) {
    int32_t position = 0;
    while (position < length) {
        int32_t end = position;
        while (end < length && !isLineEnd(bytes[end])) end++;
        int32_t first = position;
        while (first < end && isBlank(bytes[first])) first++;
        int32_t last = end;
        while (last > first && isBlank(bytes[last - 1])) last--;
        if (last > first) {
            *start = first;
            *lineLength = last - first;
            return true;
        }
        position = end + 1;
    }
    return false;
}

char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Whether the line begins with the program's name in any case of its ASCII
// letters, as the C runtime's case-blind compare reads it.
bool beginsWithProgramName(const char* line, int32_t lineLength, const char* program) {
    const size_t nameLength = strlen(program);
    if (nameLength == 0 || static_cast<size_t>(lineLength) <= nameLength || line[nameLength] != ':') return false;
    for (size_t i = 0; i < nameLength; i++) {
        if (asciiLower(line[i]) != asciiLower(program[i])) return false;
    }
    return true;
}

// Appends count bytes to text, which holds used bytes, as far as they fit
// before the terminator, never ending inside a UTF-8 character. Control
// characters become blanks.
void appendText(char text[RUN_FAILURE_TEXT_SIZE], int32_t* used, const char* bytes, int32_t count) {
    const int32_t room = RUN_FAILURE_TEXT_SIZE - 1 - *used;
    int32_t taken = count < room ? count : room;
    if (taken < count) {
        while (taken > 0 && (static_cast<unsigned char>(bytes[taken]) & 0xC0) == 0x80) taken--;
    }
    for (int32_t i = 0; i < taken; i++) {
        const unsigned char byte = static_cast<unsigned char>(bytes[i]);
        text[*used + i] = byte < 0x20 ? ' ' : static_cast<char>(byte);
    }
    *used += taken;
    text[*used] = '\0';
}

}  // namespace

bool hasErrorLine(const RunErrorText* errorText) {
    int32_t start = 0;
    int32_t lineLength = 0;
    return errorText != nullptr && firstErrorLine(errorText->bytes, errorText->length, &start, &lineLength);
}

void formatRunFailure(const char* headline, const char* sentence, const char* program, const RunErrorText* errorText,
                      char text[RUN_FAILURE_TEXT_SIZE]) {
    int32_t used = 0;
    text[0] = '\0';
    appendText(text, &used, headline, static_cast<int32_t>(strlen(headline)));
    if (sentence != nullptr && used < RUN_FAILURE_TEXT_SIZE - 1) {
        text[used++] = '\n';
        text[used] = '\0';
        appendText(text, &used, sentence, static_cast<int32_t>(strlen(sentence)));
    }
    int32_t start = 0;
    int32_t lineLength = 0;
    if (errorText == nullptr || used >= RUN_FAILURE_TEXT_SIZE - 1 ||
        !firstErrorLine(errorText->bytes, errorText->length, &start, &lineLength)) {
        return;
    }
    const char* line = errorText->bytes + start;
    text[used++] = '\n';
    text[used] = '\0';
    if (!beginsWithProgramName(line, lineLength, program)) {
        appendText(text, &used, program, static_cast<int32_t>(strlen(program)));
        appendText(text, &used, ": ", 2);
    }
    appendText(text, &used, line, lineLength);
}
