#include "documentText.h"

#include "debugLog.h"
#include "editorState.h"
#include "textConversions.h"

#include <windows.h>

#include <cstdlib>

bool documentTextCopy(wchar_t** text, int32_t* units, long long* textBytes) {
    *text = nullptr;
    *units = 0;
    const int length = GetWindowTextLengthW(editorState.editControl);
    *textBytes = (static_cast<long long>(length) + 1) * static_cast<long long>(sizeof(wchar_t));
    wchar_t* copy = static_cast<wchar_t*>(malloc(static_cast<size_t>(*textBytes)));
    if (copy == nullptr) return false;
    copy[0] = L'\0';
    *units = GetWindowTextW(editorState.editControl, copy, length + 1);
    *text = copy;
    return true;
}

DocumentTextResult documentAsUtf8(bool logSteps, char** bytes, int32_t* byteCount, long long* textBytes) {
    *bytes = nullptr;
    *byteCount = 0;
    if (logSteps) logMessage("Edit Text, utf16 chard:%d", GetWindowTextLengthW(editorState.editControl));
    wchar_t* text = nullptr;
    int32_t copied = 0;
    if (!documentTextCopy(&text, &copied, textBytes)) return DOCUMENT_TEXT_NO_MEMORY;
    if (logSteps) logMessage("Edit control text extracted, chars:%d, at:%p", copied * 2, static_cast<void*>(text));
    const bool converted = utf16ToUtf8(text, copied, bytes, byteCount);
    free(text);
    if (!converted) {
        free(*bytes);
        *bytes = nullptr;
        *byteCount = 0;
        return DOCUMENT_TEXT_NOT_UTF8;
    }
    if (logSteps && copied > 0) logMessage("Converting to utf8, chars:%d", *byteCount);
    if (logSteps) logMessage("Converted to utf8, chars:%d, at:%p", *byteCount, static_cast<void*>(*bytes));
    return DOCUMENT_TEXT_OK;
}

namespace {

// Whether the edit control's undo holds a translation (and not what was
// typed after it), and the modified flag the document had before it.
bool translationToUndo = false;
LRESULT modifiedBeforeTranslation = 0;

}  // namespace

bool replaceDocumentUndoably(const wchar_t* text, int32_t units) {
    HWND edit = editorState.editControl;
    const LRESULT modified = SendMessageW(edit, EM_GETMODIFY, 0, 0);
    SendMessageW(edit, WM_SETREDRAW, FALSE, 0);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text));
    SendMessageW(edit, EM_SETSEL, 0, 0);
    SendMessageW(edit, EM_SCROLLCARET, 0, 0);
    SendMessageW(edit, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(edit, nullptr, TRUE);
    SendMessageW(edit, EM_SETMODIFY, modified, 0);
    const bool replaced = GetWindowTextLengthW(edit) == units;
    translationToUndo = replaced;
    modifiedBeforeTranslation = modified;
    return replaced;
}

void documentEdited() {
    translationToUndo = false;
}

void undoDocumentChange() {
    const bool translation = translationToUndo && SendMessageW(editorState.editControl, EM_CANUNDO, 0, 0) != 0;
    SendMessageW(editorState.editControl, WM_UNDO, 0, 0);
    if (translation) {
        // Undone and done again, the document stays as modified as it was.
        SendMessageW(editorState.editControl, EM_SETMODIFY, modifiedBeforeTranslation, 0);
        translationToUndo = true;
    }
}
