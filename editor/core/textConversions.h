// Conversions between the edit control's UTF-16 text, UTF-8 bytes and the
// narrow names kept in the editor's state. Each returns false on failure;
// none shows a message.
#pragma once

#include <cstdint>

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

// Copies units UTF-16 units into a new malloc'ed block, followed by a 0
// unit, with a carriage return put before every line feed that lacks one:
// the line end of text on the platform's clipboard.
bool withCrLfLineEnds(const wchar_t* text, int32_t units, wchar_t** block, int32_t* blockUnits);
