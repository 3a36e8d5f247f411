// The editor's process-wide state, touched only from the main thread: the
// settings the configuration holds, the document's file name, and the edit
// control with its font and colours (those belong to the window layer; the
// core only keeps the record).
#pragma once

#include <windows.h>

constexpr int NAME_SIZE = 64;    // vocabulary name, font face
constexpr int PATH_SIZE = 260;   // data directory, document path

// The version the log's header and the About box show.
constexpr const char* EDITOR_VERSION = "26.260";

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
