#include "documentText.h"

#include "debugLog.h"
#include "editorState.h"
#include "jobWindow.h"
#include "textConversions.h"
#include "textLayout.h"

#include <windows.h>

#include <climits>
#include <cstdlib>
#include <cstring>

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

// From this length on a text goes into the edit control in pieces, the
// window answering between them; a shorter one in one step, which is faster
// in all: under Wine the 2.26M units of 1 MB of ZarnoGlot open in 3.7 s in
// one step against 4.7 s in pieces, and one step stays at about 3 s up to
// here (the ZarnoGlot of a megabyte and a bit).
constexpr int32_t PIECES_FROM_UNITS = 5 << 19;

// The document as it was before the last translation (or after it, once
// undone), while nothing else has changed it since; none otherwise. The
// edit control's own undo would hold it too, but replacing a long text
// through it takes a fifth longer than setting the text.
wchar_t* translationUndo = nullptr;
int32_t translationUndoUnits = 0;
LRESULT modifiedBeforeTranslation = 0;

// Frees a copy of document text (none: nothing), its bytes wiped first:
// it may be plaintext.
void freeWiped(wchar_t* text, size_t bytes) {
    if (text == nullptr) return;
    SecureZeroMemory(text, bytes);
    free(text);
}

void dropTranslationUndo() {
    freeWiped(translationUndo, (static_cast<size_t>(translationUndoUnits) + 1) * sizeof(wchar_t));
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

// A long text put into the edit control piece by piece. Cancelled, the
// control gets back the text it had (previous), or none, and that cannot be
// cancelled: the document is never left half shown.
struct TextShowing {
    const wchar_t* text;
    int32_t units;
    int32_t nextUnits;
    const wchar_t* previous;
    int32_t previousUnits;
    bool started;
    bool puttingBack;
};

// Puts text's units from start to end in front of the control's text.
bool prependPiece(const wchar_t* text, int32_t start, int32_t end) {
    const size_t count = static_cast<size_t>(end - start);
    wchar_t* piece = static_cast<wchar_t*>(malloc((count + 1) * sizeof(wchar_t)));
    if (piece == nullptr) return false;
    memcpy(piece, text + start, count * sizeof(wchar_t));
    piece[count] = L'\0';
    SendMessageW(editorState.editControl, EM_SETSEL, 0, 0);
    SendMessageW(editorState.editControl, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(piece));
    freeWiped(piece, (count + 1) * sizeof(wchar_t));
    return true;
}

void startShowing(TextShowing* showing, JobProgress* progress, const wchar_t* text, int32_t units) {
    showing->text = text;
    showing->units = units;
    showing->nextUnits = FIRST_PIECE_UNITS;
    progress->unitsToShow = units;
    progress->shownUnits = 0;
    setEditText(L"");
}

// One piece; true while there is more to do. Once the whole text is in, one
// more call is made after the messages were served, so that a Cancel that
// came with the last piece still puts the previous text back.
bool showNextPiece(JobProgress* progress, void* context) {
    TextShowing* showing = static_cast<TextShowing*>(context);
    if (!showing->started) {
        // The control's text goes first: the pieces are put in front of
        // what is shown, from the text's end backwards.
        showing->started = true;
        startShowing(showing, progress, showing->text, showing->units);
    }
    if (progress->cancelled && !showing->puttingBack) {
        showing->puttingBack = true;
        logMessage("Showing cancelled: %d units put back", showing->previousUnits);
        startShowing(showing, progress, showing->previous, showing->previousUnits);
    }
    // The text's last shownUnits units are in the control.
    if (progress->shownUnits >= showing->units) return false;
    const ULONGLONG started = GetTickCount64();
    const int32_t end = showing->units - static_cast<int32_t>(progress->shownUnits);
    const int32_t start = pieceStart(showing->text, end, showing->nextUnits);
    if (!prependPiece(showing->text, start, end)) return false;
    showing->nextUnits = nextPieceUnits(end - start, static_cast<uint32_t>(GetTickCount64() - started));
    progress->shownUnits = showing->units - start;
    return true;
}

// Puts text in place of the control's text, in pieces when it is long;
// previous (absent: none) is what a cancelled showing puts back.
DocumentShow showText(JobKind kind, const wchar_t* text, int32_t units, const wchar_t* previous,
                      int32_t previousUnits) {
    if (units < PIECES_FROM_UNITS) return setEditText(text) ? DOCUMENT_SHOWN : DOCUMENT_NOT_SHOWN;
    TextShowing showing = {text, units, 0, previous != nullptr ? previous : L"", previousUnits, false, false};
    HWND owner = GetParent(editorState.editControl);
    const bool whole = runWindowJob(owner, kind, showNextPiece, &showing);
    InvalidateRect(editorState.editControl, nullptr, TRUE);
    SendMessageW(editorState.editControl, EM_SETSEL, 0, 0);
    SendMessageW(editorState.editControl, EM_SCROLLCARET, 0, 0);
    if (!whole) return DOCUMENT_SHOW_CANCELLED;
    return GetWindowTextLengthW(editorState.editControl) == units ? DOCUMENT_SHOWN : DOCUMENT_NOT_SHOWN;
}

// Puts text in place of the document and keeps what it replaces for the
// undo, with the modified flag as it was.
DocumentShow swapInTranslation(const wchar_t* text, int32_t units) {
    wchar_t* previous = nullptr;
    int32_t previousUnits = 0;
    long long previousBytes = 0;
    const bool kept = documentTextCopy(&previous, &previousUnits, &previousBytes);
    const LRESULT modified = SendMessageW(editorState.editControl, EM_GETMODIFY, 0, 0);
    const DocumentShow replaced =
        showText(JOB_SHOWING_TRANSLATION, text, units, kept ? previous : nullptr, kept ? previousUnits : 0);
    SendMessageW(editorState.editControl, EM_SETMODIFY, modified, 0);
    if (replaced == DOCUMENT_SHOW_CANCELLED) {
        freeWiped(previous, static_cast<size_t>(previousBytes));
        return replaced;
    }
    dropTranslationUndo();
    if (replaced == DOCUMENT_SHOWN && kept) {
        translationUndo = previous;
        translationUndoUnits = previousUnits;
        modifiedBeforeTranslation = modified;
    } else {
        freeWiped(previous, static_cast<size_t>(previousBytes));
    }
    return replaced;
}

}  // namespace

DocumentShow replaceDocumentText(const wchar_t* text, int32_t units) {
    dropTranslationUndo();
    return showText(JOB_SHOWING_DOCUMENT, text, units, nullptr, 0);
}

DocumentShow replaceDocumentUndoably(const wchar_t* text, int32_t units) {
    const DocumentShow shown = swapInTranslation(text, units);
    if (shown == DOCUMENT_SHOWN && GetWindowTextLengthW(editorState.editControl) != units) return DOCUMENT_NOT_SHOWN;
    return shown;
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
    if (swapInTranslation(undone, undoneUnits) == DOCUMENT_SHOW_CANCELLED) {
        // Cancelled, the document is the translation again, and can be undone.
        translationUndo = undone;
        translationUndoUnits = undoneUnits;
        return;
    }
    SendMessageW(editorState.editControl, EM_SETMODIFY, modified, 0);
    freeWiped(undone, (static_cast<size_t>(undoneUnits) + 1) * sizeof(wchar_t));
}
