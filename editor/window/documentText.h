// The document as UTF-8: the edit control's whole text taken out and
// converted once, for saving and for the translations alike.
#pragma once

#include <cstdint>

enum DocumentTextResult {
    DOCUMENT_TEXT_OK,
    DOCUMENT_TEXT_NO_MEMORY,    // no room for the edit control's text
    DOCUMENT_TEXT_NOT_UTF8,     // no room for its UTF-8, or an unpaired surrogate
};

// Hands over the document's UTF-8 in a new malloc'ed block (absent for an
// empty document) and its length; on failure hands over nothing.
// *textBytes receives the size of the UTF-16 copy it needed. With
// logSteps the translations' log lines of each step are written.
DocumentTextResult documentAsUtf8(bool logSteps, char** bytes, int32_t* byteCount, long long* textBytes);
