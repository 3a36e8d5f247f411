#include "messageBoxes.h"

#include "editorState.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace {

// Room for the UTF-16 form of a box's text and caption.
constexpr int BOX_TEXT_UNITS = 1024;
constexpr int CAPTION_UNITS = 64;

// Every box: the text and caption are UTF-8, so that names and a filter's
// own words are shown as written. Bytes that are not UTF-8 are shown as
// replacement characters.
int showBox(HWND owner, const char* text, const char* caption, UINT style) {
    wchar_t wideText[BOX_TEXT_UNITS];
    wchar_t wideCaption[CAPTION_UNITS];
    if (MultiByteToWideChar(CP_UTF8, 0, text, -1, wideText, BOX_TEXT_UNITS) == 0 ||
        MultiByteToWideChar(CP_UTF8, 0, caption, -1, wideCaption, CAPTION_UNITS) == 0) {
        return MessageBoxA(owner, text, caption, style);
    }
    return MessageBoxW(owner, wideText, wideCaption, style);
}

}  // namespace

void fatalError(const char* caption, const char* format, ...) {
    char message[256];
    va_list arguments;
    va_start(arguments, format);
    vsnprintf(message, sizeof message, format, arguments);
    va_end(arguments);
    showBox(nullptr, message, caption, MB_OK | MB_ICONERROR);
    exit(1);
}

void showInformation(HWND owner, const char* text, const char* caption) {
    showBox(owner, text, caption, MB_OK | MB_ICONINFORMATION);
}

bool showError(HWND owner, const char* text, const char* caption) {
    showBox(owner, text, caption, MB_OK | MB_ICONERROR);
    return false;
}

int askYesNo(HWND owner, const char* text, const char* caption) {
    return showBox(owner, text, caption, MB_YESNO | MB_ICONQUESTION);
}

int askSaveChanges(HWND owner) {
    if (SendMessageW(editorState.editControl, EM_GETMODIFY, 0, 0) == 0) {
        return IDNO;
    }
    return showBox(owner, "Do you want to save changes?", PROGRAM_CAPTION, MB_YESNOCANCEL | MB_ICONQUESTION);
}
