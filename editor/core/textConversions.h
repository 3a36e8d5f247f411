// Conversions between the edit control's UTF-16 text, UTF-8 bytes (files,
// the filters, the configuration, the log and the boxes) and names. Each
// returns false on failure; none shows a message.
#pragma once

#include "editorState.h"

#include <cstdint>

// Room for the UTF-8 form of a path of PATH_UNITS units: a unit takes at
// most three bytes, a surrogate pair four.
constexpr int UTF8_PATH_BYTES = PATH_UNITS * 3;

// Converts units UTF-16 units (no terminator needed) into a new malloc'ed
// block of UTF-8 bytes without terminator. Units 0 gives no block and a
// count of 0. Fails on an unpaired surrogate; no block is handed out then.
bool utf16ToUtf8(const wchar_t* text, int32_t units, char** block, int32_t* byteCount);

// Converts byteCount bytes of strict UTF-8 into a new malloc'ed block of
// UTF-16 units followed by a 0 unit; units excludes that terminator. An
// empty input gives a block holding only the 0 unit.
bool utf8ToUtf16(const char* bytes, int32_t byteCount, wchar_t** block, int32_t* units);

// Converts terminated text in the system's ANSI code page into destination,
// which holds capacity units, terminator included.
bool ansiToUtf16(const char* text, wchar_t* destination, int32_t capacity);

// Copies terminated UTF-16 text of ASCII characters only into destination,
// which holds size bytes, terminator included.
bool utf16ToAscii(const wchar_t* text, char* destination, int32_t size);

// Converts terminated UTF-16 text into terminated UTF-8 in destination of
// size bytes; false when it does not fit or holds an unpaired surrogate.
bool utf16ToUtf8Name(const wchar_t* text, char* destination, int32_t size);

// Converts terminated strict UTF-8 into terminated UTF-16 in destination of
// units units; false when it does not fit or is not UTF-8.
bool utf8ToUtf16Name(const char* text, wchar_t* destination, int32_t units);

// A name or path in UTF-8 for a log line or a box; "?" for a text that does
// not convert.
struct Utf8Name {
    char text[UTF8_PATH_BYTES];
};
Utf8Name utf8Name(const wchar_t* name);

// Copies units UTF-16 units into a new malloc'ed block, followed by a 0
// unit, with a carriage return put before every line feed that lacks one:
// the line end of text on the platform's clipboard.
bool withCrLfLineEnds(const wchar_t* text, int32_t units, wchar_t** block, int32_t* blockUnits);
