// How a document's bytes are text: UTF-8 (with or without its mark),
// UTF-16 of either byte order with its mark, or the system's ANSI code
// page, and the bytes of UTF-16 text. Nothing here calls Windows, so that
// the rules are checked natively too; the code page itself is converted in
// textConversions.
#pragma once

#include <cstdint>

enum TextEncoding {
    ENCODING_UTF8,        // a UTF-8 mark stays in the text as U+FEFF, as it always did
    ENCODING_UTF16_LE,    // FF FE first; the mark is not part of the text and is written back
    ENCODING_UTF16_BE,    // FE FF first
    ENCODING_CODE_PAGE,   // the system's ANSI code page: not well-formed UTF-8 and no UTF-16 mark
};

// Bytes of the byte-order mark a UTF-16 file begins with.
constexpr int32_t UTF16_MARK_BYTES = 2;

// Whether the bytes are well-formed UTF-8, as Windows' strict conversion
// takes it: no overlong forms, no encoded surrogates, nothing past U+10FFFF.
bool isWellFormedUtf8(const char* bytes, int32_t length);

// The encoding of a file's bytes: by a UTF-16 mark, else UTF-8 when they
// are well-formed, else the code page.
TextEncoding detectEncoding(const char* bytes, int32_t length);

// The units of UTF-16 bytes (after the mark) in a new malloc'ed block
// followed by a 0 unit. False for an odd number of bytes or no memory.
bool unitsOfUtf16Bytes(const char* bytes, int32_t length, bool bigEndian, wchar_t** text, int32_t* units);

// The UTF-16 bytes of units units, after their mark, in a new malloc'ed
// block. False when there is no memory or the text is too long.
bool utf16BytesOfUnits(const wchar_t* text, int32_t units, bool bigEndian, char** bytes, int32_t* length);

// Whether the text holds a 0 unit, where the edit control would cut it.
bool holdsZeroUnit(const wchar_t* text, int32_t units);

// The name the boxes give a code page: "Windows-1252 (code page 1252)".
void codePageName(unsigned codePage, char* text, int size);
