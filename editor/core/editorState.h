// The editor's process-wide state, touched only from the main thread: the
// settings the configuration holds, the document's file name, and the edit
// control with its font and colours (those belong to the window layer; the
// core only keeps the record). Names and paths are UTF-16, as Windows keeps
// them, so that any name Windows allows can be kept.
#pragma once

#include <windows.h>

#include <cstdint>

#include "documentEncoding.h"

#include "versions.h"  // EDITOR_VERSION, which the log's header and the About box show

constexpr int NAME_SIZE = 64;     // units of the vocabulary name and the font face, terminator included
constexpr int PATH_UNITS = 260;   // units of every path the editor keeps or asks for, terminator included


// What a file on disk looked like when the editor last read or wrote it:
// another program (or another window) that changes it changes these.
struct FileStamp {
    bool known;                  // false for a document without a file
    int64_t size;
    uint64_t lastWriteTime;      // 100-ns intervals, as the file system keeps it
};

struct EditorState {
    HWND editControl;
    wchar_t vocabularyName[NAME_SIZE];
    wchar_t dataDirectory[PATH_UNITS];
    wchar_t fontFace[NAME_SIZE];
    int fontPointSize;
    wchar_t currentFileName[PATH_UNITS];   // empty while the document has no file
    FileStamp currentFileStamp;            // the document's file as last opened or saved
    HFONT editFont;
    COLORREF backgroundColor;
    COLORREF textColor;
    HBRUSH backgroundBrush;
    TextEncoding currentEncoding;          // how the document's file holds its text
};

extern EditorState editorState;
