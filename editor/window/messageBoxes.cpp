#include "messageBoxes.h"

#include "editorState.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

void fatalError(const char* caption, const char* format, ...) {
    char message[256];
    va_list arguments;
    va_start(arguments, format);
    vsnprintf(message, sizeof message, format, arguments);
    va_end(arguments);
    MessageBoxA(nullptr, message, caption, MB_OK | MB_ICONERROR);
    exit(1);
}

void showInformation(HWND owner, const char* text, const char* caption) {
    MessageBoxA(owner, text, caption, MB_OK | MB_ICONINFORMATION);
}

bool showError(HWND owner, const char* text, const char* caption) {
    MessageBoxA(owner, text, caption, MB_OK | MB_ICONERROR);
    return false;
}

int askSaveChanges(HWND owner) {
    if (SendMessageA(editorState.editControl, EM_GETMODIFY, 0, 0) == 0) {
        return IDNO;
    }
    return MessageBoxA(owner, "Do you want to save changes?", PROGRAM_CAPTION, MB_YESNOCANCEL | MB_ICONQUESTION);
}
