#include "fileCommands.h"

#include "commands.h"
#include "configuration.h"
#include "debugLog.h"
#include "documentText.h"
#include "documentFiles.h"
#include "editorState.h"
#include "fileRules.h"
#include "messageBoxes.h"
#include "textConversions.h"
#include "windowTitle.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace {

static_assert(sizeof(OPENFILENAMEW) == 152, "the file dialogs take the full 152-byte record");

const wchar_t DOCUMENT_FILTER[] = L"Text Files (*.text;*.txt)\0*.text;*.txt\0All Files (*.*)\0*.*\0";
const wchar_t UNTITLED_NAME[] = L"Untitled.text";
constexpr DWORD OPEN_FLAGS = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
constexpr DWORD SAVE_AS_FLAGS = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST;

void setCurrentFile(const wchar_t* path, const FileStamp& stamp) {
    const size_t length = wcsnlen(path, PATH_UNITS - 1);
    wmemmove(editorState.currentFileName, path, length);
    editorState.currentFileName[length] = L'\0';
    editorState.currentFileStamp = stamp;
    showWindowTitle();
}

// The failure's box, with the file's name and the cause beneath its line.
bool showFileFailure(HWND owner, DocumentFileResult result, const wchar_t* path, unsigned long error) {
    char text[FILE_FAILURE_TEXT_SIZE];
    describeFileFailure(documentFileMessage(result), path, error, text, sizeof text);
    logMessage("%s", text);
    return showError(owner, text);
}

// Whether a file that is neither UTF-8 nor UTF-16 is to be read in the
// system's code page.
bool codePageAgreed(HWND owner) {
    char name[64];
    codePageName(GetACP(), name, sizeof name);
    char question[160];
    snprintf(question, sizeof question, "This file is not UTF-8. Open it as %s?", name);
    return askYesNo(owner, question) == IDYES;
}

void copyBoundedName(wchar_t* destination, const wchar_t* path) {
    const size_t length = wcsnlen(path, PATH_UNITS - 1);
    wmemcpy(destination, path, length);
    destination[length] = L'\0';
}

// The document is as its file holds it; the data directory follows the
// file, and a changed one is kept in the configuration at once.
void markSaved() {
    SendMessageW(editorState.editControl, EM_SETMODIFY, FALSE, 0);
    wchar_t previous[PATH_UNITS];
    wcscpy(previous, editorState.dataDirectory);
    updateDataDirectory();
    if (wcscmp(previous, editorState.dataDirectory) != 0) writeConfiguration();
}

// The document as File > New leaves it: unchanged, bound to no file.
void becomeUntitled() {
    SendMessageW(editorState.editControl, EM_SETMODIFY, FALSE, 0);
    editorState.currentEncoding = ENCODING_UTF8;
    setCurrentFile(L"", FileStamp{false, 0, 0});
}

// Puts the file's text into the edit control and tells what the file looked
// like as it was read; false after showing why not.
bool loadDocument(HWND owner, const wchar_t* path, FileStamp* stamp, TextEncoding* encoding) {
    char* bytes = nullptr;
    int32_t byteCount = 0;
    unsigned long error = 0;
    const DocumentFileResult read = readDocumentFile(path, &bytes, &byteCount, stamp, &error);
    if (read != DOCUMENT_OK) {
        return showFileFailure(owner, read, path, error);
    }
    wchar_t* text = nullptr;
    int32_t units = 0;
    DocumentFileResult decoded = decodeDocument(bytes, byteCount, false, &text, &units, encoding);
    if (decoded == DOCUMENT_NOT_UTF8) {
        decoded = codePageAgreed(owner) ? decodeDocument(bytes, byteCount, true, &text, &units, encoding)
                                        : DOCUMENT_OK;
    }
    free(bytes);
    if (decoded != DOCUMENT_OK) {
        return showFileFailure(owner, decoded, path, 0);
    }
    if (text == nullptr) {
        return false;   // not to be read in the code page
    }
    const DocumentShow shown = replaceDocumentText(text, units);
    free(text);
    if (shown == DOCUMENT_SHOW_CANCELLED) {
        // The file's text is not all there: the document has no file, so
        // that Save cannot write the part over it.
        becomeUntitled();
        return false;
    }
    if (shown != DOCUMENT_SHOWN) {
        return showError(owner, "Could not display the document.");
    }
    return true;
}

// Whether a document that holds characters the code page lacks is to be
// saved as UTF-8.
bool utf8Agreed(HWND owner) {
    char name[64];
    codePageName(GetACP(), name, sizeof name);
    char question[UTF8_PATH_BYTES + 192];
    snprintf(question, sizeof question,
             "%s holds characters that %s does not have.\n\nSave it as UTF-8 instead? The file is then read as "
             "UTF-8 too.",
             utf8Name(fileNamePart(editorState.currentFileName)).text, name);
    return askYesNo(owner, question) == IDYES;
}

// The edit control's text in the document's encoding in a new block, which
// may become UTF-8 when the user agrees; false after showing why not.
bool documentBytes(HWND owner, char** bytes, int32_t* byteCount, TextEncoding* encoding) {
    wchar_t* text = nullptr;
    int32_t units = 0;
    long long textBytes = 0;
    if (!documentTextCopy(&text, &units, &textBytes)) return showError(owner, "Not enough memory.");
    bool representable = true;
    DocumentFileResult result = encodeDocument(text, units, *encoding, bytes, byteCount, &representable);
    if (result == DOCUMENT_NOT_IN_CODE_PAGE && utf8Agreed(owner)) {
        *encoding = ENCODING_UTF8;
        result = encodeDocument(text, units, *encoding, bytes, byteCount, &representable);
    } else if (result == DOCUMENT_NOT_IN_CODE_PAGE) {
        free(text);
        return false;
    }
    free(text);
    return result == DOCUMENT_OK || showError(owner, documentFileMessage(result));
}

// A save that failed: its box, and for a file that may not be written (read-
// only, held open) the offer to save the document under another name.
bool showSaveFailure(HWND owner, DocumentFileResult result, unsigned long error) {
    char text[FILE_FAILURE_TEXT_SIZE];
    describeFileFailure(documentFileMessage(result), editorState.currentFileName, error, text, sizeof text);
    logMessage("%s", text);
    if (!saveAsHelps(error)) {
        return showError(owner, text);
    }
    char question[FILE_FAILURE_TEXT_SIZE + 64];
    snprintf(question, sizeof question, "%s\n\nDo you want to save the document under another name?", text);
    return askYesNo(owner, question) == IDYES && file_save_as(owner);
}

// Refuses a path that Windows cannot take, with a box that says why.
bool pathAccepted(HWND owner, const wchar_t* path) {
    const PathProblem problem = pathProblem(path, false);
    return problem == PATH_FINE || showError(owner, pathProblemMessage(problem));
}

// Shows the Open (saving false) or Save As dialog in the data directory,
// offering the name in fileName (PATH_UNITS units), which receives the
// chosen path. False when the dialog is cancelled, or after the box for a
// path it could not take.
bool chooseDocumentPath(HWND owner, bool saving, wchar_t* fileName) {
    OPENFILENAMEW dialog;
    prepareFileDialog(&dialog, owner, DOCUMENT_FILTER, fileName, PATH_UNITS, saving ? L"Save As" : L"Open",
                      saving ? SAVE_AS_FLAGS : OPEN_FLAGS);
    if (!runFileDialogInDataDirectory(&dialog, saving)) {
        return showFileDialogFailure(owner);
    }
    return pathAccepted(owner, fileName);
}

// Before the document is written over its own file: true when the file is
// still as this window last read or wrote it, or when the user agrees to
// overwrite what another program (or another window) has written there
// since. No leaves the file and the document as they are.
bool overwriteAgreed(HWND owner) {
    const FileStamp& stamp = editorState.currentFileStamp;
    if (!stamp.known || fileUnchangedSince(editorState.currentFileName, stamp)) {
        return true;
    }
    logMessage("file_save() the file was changed by another program");
    char question[UTF8_PATH_BYTES + 192];
    snprintf(question, sizeof question,
             "%s was changed by another program or window after it was opened or saved here.\n\n"
             "Do you want to overwrite it with this document?",
             utf8Name(fileNamePart(editorState.currentFileName)).text);
    return askYesNo(owner, question) == IDYES;
}

// Writes the document over currentFileName, which is not empty.
bool saveDocument(HWND owner) {
    if (!overwriteAgreed(owner)) {
        return false;
    }
    char* bytes = nullptr;
    int32_t byteCount = 0;
    TextEncoding encoding = editorState.currentEncoding;
    if (!documentBytes(owner, &bytes, &byteCount, &encoding)) {
        return false;
    }
    unsigned long error = 0;
    const DocumentFileResult written = writeDocumentFile(editorState.currentFileName, bytes, byteCount, &error);
    free(bytes);
    if (written != DOCUMENT_OK) {
        return showSaveFailure(owner, written, error);
    }
    editorState.currentEncoding = encoding;
    readFileStamp(editorState.currentFileName, &editorState.currentFileStamp);
    markSaved();
    return true;
}

}  // namespace

void showWindowTitle() {
    wchar_t title[WINDOW_TITLE_UNITS];
    formatWindowTitle(editorState.currentFileName, editorState.vocabularyName, title, WINDOW_TITLE_UNITS);
    SetWindowTextW(GetParent(editorState.editControl), title);
}

void settingsChanged() {
    writeConfiguration();
    showWindowTitle();
}

HCURSOR beginBusyCursor() {
    return SetCursor(LoadCursor(nullptr, IDC_WAIT));
}

void endBusyCursor(HCURSOR previous) {
    SetCursor(previous);
}

void prepareFileDialog(OPENFILENAMEW* dialog, HWND owner, const wchar_t* filter, wchar_t* file, int units,
                       const wchar_t* title, DWORD flags) {
    memset(dialog, 0, sizeof *dialog);
    dialog->lStructSize = sizeof *dialog;
    dialog->hwndOwner = owner;
    dialog->lpstrFilter = filter;
    dialog->nFilterIndex = 1;
    dialog->lpstrFile = file;
    dialog->nMaxFile = static_cast<DWORD>(units);
    dialog->lpstrTitle = title;
    dialog->Flags = flags;
}

BOOL runFileDialog(OPENFILENAMEW* dialog, bool saving) {
    wchar_t currentDirectory[PATH_UNITS] = {};
    const DWORD length = GetCurrentDirectoryW(PATH_UNITS, currentDirectory);
    const BOOL chosen = saving ? GetSaveFileNameW(dialog) : GetOpenFileNameW(dialog);
    if (length > 0 && length < static_cast<DWORD>(PATH_UNITS)) {
        SetCurrentDirectoryW(currentDirectory);
    }
    return chosen;
}

BOOL runFileDialogInDataDirectory(OPENFILENAMEW* dialog, bool saving) {
    dialog->lpstrInitialDir = editorState.dataDirectory[0] != L'\0' ? editorState.dataDirectory : nullptr;
    return runFileDialog(dialog, saving);
}

bool showFileDialogFailure(HWND owner) {
    const DWORD error = CommDlgExtendedError();
    if (error == FNERR_BUFFERTOOSMALL) {
        return showError(owner, pathProblemMessage(PATH_TOO_LONG));
    }
    if (error == FNERR_INVALIDFILENAME) {
        return showError(owner, pathProblemMessage(PATH_BAD_FILE_NAME));
    }
    return false;
}

bool saveChangesFirst(HWND owner) {
    const int answer = askSaveChanges(owner);
    if (answer == IDNO) {
        return true;
    }
    return answer == IDYES && file_save(owner);
}

bool file_new(HWND owner) {
    logMessage("file_new() start");
    if (!saveChangesFirst(owner)) {
        return false;
    }
    replaceDocumentText(L"", 0);
    becomeUntitled();
    return true;
}

// Loads the file at path and binds the document to it.
bool openDocument(HWND owner, const wchar_t* path) {
    const HCURSOR previous = beginBusyCursor();
    FileStamp stamp = {false, 0, 0};
    TextEncoding encoding = ENCODING_UTF8;
    const bool loaded = loadDocument(owner, path, &stamp, &encoding);
    endBusyCursor(previous);
    if (!loaded) {
        return false;
    }
    // What an interrupted save left beside the document goes now.
    const int removed = removeTemporaryFiles(path);
    if (removed > 0) logMessage("file_open() removed %d temporary files of earlier saves", removed);
    editorState.currentEncoding = encoding;
    setCurrentFile(path, stamp);
    markSaved();
    return true;
}

bool file_open(HWND owner) {
    logMessage("file_open() start");
    if (!saveChangesFirst(owner)) {
        return false;
    }
    wchar_t fileName[PATH_UNITS] = {};
    if (!chooseDocumentPath(owner, false, fileName)) {
        return false;
    }
    return openDocument(owner, fileName);
}

bool file_open_path(HWND owner, const wchar_t* path) {
    logMessage("file_open_path() start");
    if (!pathAccepted(owner, path)) {
        return false;
    }
    return openDocument(owner, path);
}

// A document without a file is saved as every Windows editor saves it:
// Save As asks for the name.
bool file_save(HWND owner) {
    logMessage("file_save() start");
    if (editorState.currentFileName[0] == L'\0') {
        return file_save_as(owner);
    }
    return saveDocument(owner);
}

bool file_save_as(HWND owner) {
    logMessage("file_save_as() start");
    wchar_t fileName[PATH_UNITS] = {};
    copyBoundedName(fileName, editorState.currentFileName[0] == L'\0' ? UNTITLED_NAME : editorState.currentFileName);
    if (!chooseDocumentPath(owner, true, fileName)) {
        return false;
    }
    wchar_t previousName[PATH_UNITS];
    memcpy(previousName, editorState.currentFileName, sizeof previousName);
    const FileStamp previousStamp = editorState.currentFileStamp;
    // Another file than the document's own: the dialog has asked before
    // replacing it, and what this window knew of its own file says nothing.
    const bool ownFile = _wcsicmp(fileName, editorState.currentFileName) == 0;
    setCurrentFile(fileName, ownFile ? previousStamp : FileStamp{false, 0, 0});
    if (saveDocument(owner)) {
        return true;
    }
    setCurrentFile(previousName, previousStamp);
    return false;
}
