// The editor's process-wide state, touched only from the main thread.
#pragma once

#include <windows.h>

constexpr int NAME_SIZE = 64;    // vocabulary name, font face
constexpr int PATH_SIZE = 260;   // data directory, document path

struct EditorState {
    HWND editControl;
    char vocabularyName[NAME_SIZE];
    char dataDirectory[PATH_SIZE];
    char fontFace[NAME_SIZE];
    int fontPointSize;
    char currentFileName[PATH_SIZE];   // empty while the document has no file
    HFONT editFont;
    COLORREF backgroundColor;
    COLORREF textColor;
    HBRUSH backgroundBrush;
};

extern EditorState editorState;

extern const char* const PROGRAM_CAPTION;   // "zarnoGlotWriteW"
extern const char* const EDITOR_VERSION;    // "26.260"
