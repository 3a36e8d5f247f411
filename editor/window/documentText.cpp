#include "documentText.h"

#include "debugLog.h"
#include "editorState.h"
#include "textConversions.h"

#include <windows.h>

#include <cstdlib>

DocumentTextResult documentAsUtf8(bool logSteps, char** bytes, int32_t* byteCount, long long* textBytes) {
    *bytes = nullptr;
    *byteCount = 0;
    const int units = GetWindowTextLengthW(editorState.editControl);
    if (logSteps) logMessage("Edit Text, utf16 chard:%d", units);
    *textBytes = (static_cast<long long>(units) + 1) * static_cast<long long>(sizeof(wchar_t));
    wchar_t* text = static_cast<wchar_t*>(malloc(static_cast<size_t>(*textBytes)));
    if (text == nullptr) return DOCUMENT_TEXT_NO_MEMORY;
    text[0] = L'\0';
    const int copied = GetWindowTextW(editorState.editControl, text, units + 1);
    if (logSteps) logMessage("Edit control text extracted, chars:%d, at:%p", copied * 2, static_cast<void*>(text));
    const bool converted = utf16ToUtf8(text, copied, bytes, byteCount);
    free(text);
    if (!converted) {
        free(*bytes);
        *bytes = nullptr;
        *byteCount = 0;
        return DOCUMENT_TEXT_NOT_UTF8;
    }
    if (logSteps) logMessage("Converted to utf8, chars:%d, at:%p", *byteCount, static_cast<void*>(*bytes));
    return DOCUMENT_TEXT_OK;
}
