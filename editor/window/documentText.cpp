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

// The document as it was before the last translation (or after it, once
// undone), while nothing else has changed it since; none otherwise. The
// edit control's own undo would hold it too, but replacing a long text
// through it takes a fifth longer than setting the text.
wchar_t* translationUndo = nullptr;
int32_t translationUndoUnits = 0;
LRESULT modifiedBeforeTranslation = 0;

void dropTranslationUndo() {
    if (translationUndo != nullptr) {
        SecureZeroMemory(translationUndo, (static_cast<size_t>(translationUndoUnits) + 1) * sizeof(wchar_t));
        free(translationUndo);
    }
    translationUndo = nullptr;
    translationUndoUnits = 0;
}

// Sets the edit control's text without repainting on the way (laying out a
// long text is slow enough without), then repaints once.
bool setEditText(const wchar_t* text) {
    SendMessageW(editorState.editControl, WM_SETREDRAW, FALSE, 0);
    const BOOL replaced = SetWindowTextW(editorState.editControl, text);
    SendMessageW(editorState.editControl, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(editorState.editControl, nullptr, TRUE);
    return replaced != FALSE;
}

// Puts text in place of the document and keeps what it replaces for the
// undo, with the modified flag as it was.
bool swapInTranslation(const wchar_t* text) {
    wchar_t* previous = nullptr;
    int32_t previousUnits = 0;
    long long previousBytes = 0;
    const bool kept = documentTextCopy(&previous, &previousUnits, &previousBytes);
    const LRESULT modified = SendMessageW(editorState.editControl, EM_GETMODIFY, 0, 0);
    const bool replaced = setEditText(text);
    SendMessageW(editorState.editControl, EM_SETMODIFY, modified, 0);
    dropTranslationUndo();
    if (replaced && kept) {
        translationUndo = previous;
        translationUndoUnits = previousUnits;
        modifiedBeforeTranslation = modified;
    } else if (kept) {
        SecureZeroMemory(previous, static_cast<size_t>(previousBytes));
        free(previous);
    }
    return replaced;
}

}  // namespace

bool replaceDocumentText(const wchar_t* text) {
    dropTranslationUndo();
    return setEditText(text);
}

bool replaceDocumentUndoably(const wchar_t* text, int32_t units) {
    return swapInTranslation(text) && GetWindowTextLengthW(editorState.editControl) == units;
}

void documentEdited() {
    dropTranslationUndo();
}

void undoDocumentChange() {
    if (translationUndo == nullptr) {
        SendMessageW(editorState.editControl, WM_UNDO, 0, 0);
        return;
    }
    // Undone, the translation can be done again: the undo keeps the text
    // it replaces, and the flag stays the document's.
    wchar_t* undone = translationUndo;
    const int32_t undoneUnits = translationUndoUnits;
    const LRESULT modified = modifiedBeforeTranslation;
    translationUndo = nullptr;
    translationUndoUnits = 0;
    swapInTranslation(undone);
    SendMessageW(editorState.editControl, EM_SETMODIFY, modified, 0);
    SecureZeroMemory(undone, (static_cast<size_t>(undoneUnits) + 1) * sizeof(wchar_t));
    free(undone);
}
