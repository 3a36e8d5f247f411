// The document's text: the edit control's whole text taken out (as UTF-8
// converted once, for saving and for the translations alike), a text put in
// its place, and a translation as one step that Edit > Undo and Ctrl+Z undo.
#pragma once

#include <cstdint>

enum DocumentTextResult {
    DOCUMENT_TEXT_OK,
    DOCUMENT_TEXT_NO_MEMORY,    // no room for the edit control's text
    DOCUMENT_TEXT_NOT_UTF8,     // no room for its UTF-8, or an unpaired surrogate
};

// Hands over the edit control's whole text in a new malloc'ed block of
// *units units and a 0 unit; false when there is no memory for it.
// *textBytes receives the size of the block.
bool documentTextCopy(wchar_t** text, int32_t* units, long long* textBytes);

// Hands over the document's UTF-8 in a new malloc'ed block (absent for an
// empty document) and its length; on failure hands over nothing.
// *textBytes receives the size of the UTF-16 copy it needed. With
// logSteps the translations' log lines of each step are written.
DocumentTextResult documentAsUtf8(bool logSteps, char** bytes, int32_t* byteCount, long long* textBytes);

enum DocumentShow {
    DOCUMENT_SHOWN,
    DOCUMENT_NOT_SHOWN,        // the edit control refused it, or did not take it all
    DOCUMENT_SHOW_CANCELLED,   // a long text's showing was cancelled, after the box that says so
};

// Puts text (units units) in place of the whole document without repainting
// on the way, then repaints once; what Undo held is dropped. A long text goes
// in in pieces as a job, the window answering between them; cancelled, the
// document is left empty.
DocumentShow replaceDocumentText(const wchar_t* text, int32_t units);

// Puts the translation's text (units units) in place of the whole document
// as one undoable step, keeping the modified flag. A long text goes in in
// pieces as a job; cancelled, the document gets back the text it had.
DocumentShow replaceDocumentUndoably(const wchar_t* text, int32_t units);

// The edit control's change notice: what is typed afterwards is undone first.
void documentEdited();

// Edit > Undo and Ctrl+Z: undoes (or does again) the last change; after a
// translation, the modified flag is the one the document had before it.
void undoDocumentChange();
