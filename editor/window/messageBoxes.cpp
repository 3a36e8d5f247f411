#include "messageBoxes.h"

#include "editorState.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace {

// Room for the UTF-16 form of an error box's text and caption.
constexpr int ERROR_TEXT_UNITS = 1024;
constexpr int CAPTION_UNITS = 64;

}  // namespace

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
    wchar_t wideText[ERROR_TEXT_UNITS];
    wchar_t wideCaption[CAPTION_UNITS];
    // Bytes that are not UTF-8 are shown as replacement characters.
    if (MultiByteToWideChar(CP_UTF8, 0, text, -1, wideText, ERROR_TEXT_UNITS) == 0 ||
        MultiByteToWideChar(CP_UTF8, 0, caption, -1, wideCaption, CAPTION_UNITS) == 0) {
        MessageBoxA(owner, text, caption, MB_OK | MB_ICONERROR);
    } else {
        MessageBoxW(owner, wideText, wideCaption, MB_OK | MB_ICONERROR);
    }
    return false;
}

int askYesNo(HWND owner, const char* text, const char* caption) {
    return MessageBoxA(owner, text, caption, MB_YESNO | MB_ICONQUESTION);
}

int askSaveChanges(HWND owner) {
    if (SendMessageA(editorState.editControl, EM_GETMODIFY, 0, 0) == 0) {
        return IDNO;
    }
    return MessageBoxA(owner, "Do you want to save changes?", PROGRAM_CAPTION, MB_YESNOCANCEL | MB_ICONQUESTION);
}
