#include "fileCommands.h"

#include "commands.h"
#include "debugLog.h"
#include "documentText.h"
#include "documentFiles.h"
#include "editorState.h"
#include "messageBoxes.h"
#include "textConversions.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace {

static_assert(sizeof(OPENFILENAMEW) == 152, "the file dialogs take the full 152-byte record");

const wchar_t DOCUMENT_FILTER[] = L"Text Files (*.text)\0*.text\0All Files (*.*)\0*.*\0";
const wchar_t UNTITLED_NAME[] = L"Untitled.text";
constexpr DWORD OPEN_FLAGS = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
constexpr DWORD SAVE_AS_FLAGS = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST;

void setCurrentFile(const wchar_t* path, const FileStamp& stamp) {
    const size_t length = wcsnlen(path, PATH_UNITS - 1);
    wmemmove(editorState.currentFileName, path, length);
    editorState.currentFileName[length] = L'\0';
    editorState.currentFileStamp = stamp;
}

void copyBoundedName(wchar_t* destination, const wchar_t* path) {
    const size_t length = wcsnlen(path, PATH_UNITS - 1);
    wmemcpy(destination, path, length);
    destination[length] = L'\0';
}

void markSaved() {
    SendMessageW(editorState.editControl, EM_SETMODIFY, FALSE, 0);
    updateDataDirectory();
}

// Puts the file's text into the edit control and tells what the file looked
// like as it was read; false after showing why not.
bool loadDocument(HWND owner, const wchar_t* path, FileStamp* stamp) {
    char* bytes = nullptr;
    int32_t byteCount = 0;
    const DocumentFileResult read = readDocumentFile(path, &bytes, &byteCount, stamp);
    if (read != DOCUMENT_OK) {
        return showError(owner, documentFileMessage(read));
    }
    wchar_t* text = nullptr;
    int32_t units = 0;
    const bool converted = utf8ToUtf16(bytes, byteCount, &text, &units);
    free(bytes);
    if (!converted) {
        return showError(owner, "The file does not contain valid UTF-8 text.");
    }
    const bool shown = replaceDocumentText(text);
    free(text);
    if (!shown) {
        return showError(owner, "Could not display the document.");
    }
    return true;
}

// The edit control's text as UTF-8 in a new block; false after showing why not.
bool documentBytes(HWND owner, char** bytes, int32_t* byteCount) {
    long long textBytes = 0;
    const DocumentTextResult result = documentAsUtf8(false, bytes, byteCount, &textBytes);
    if (result == DOCUMENT_TEXT_NO_MEMORY) return showError(owner, "Not enough memory.");
    if (result == DOCUMENT_TEXT_NOT_UTF8) return showError(owner, "Could not convert the document to UTF-8.");
    return true;
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
    if (!documentBytes(owner, &bytes, &byteCount)) {
        return false;
    }
    const DocumentFileResult written = writeDocumentFile(editorState.currentFileName, bytes, byteCount);
    free(bytes);
    if (written != DOCUMENT_OK) {
        return showError(owner, documentFileMessage(written));
    }
    readFileStamp(editorState.currentFileName, &editorState.currentFileStamp);
    markSaved();
    return true;
}

}  // namespace

bool replaceDocumentText(const wchar_t* text) {
    SendMessageW(editorState.editControl, WM_SETREDRAW, FALSE, 0);
    const BOOL replaced = SetWindowTextW(editorState.editControl, text);
    SendMessageW(editorState.editControl, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(editorState.editControl, nullptr, TRUE);
    return replaced != FALSE;
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
    SetWindowTextW(editorState.editControl, L"");
    SendMessageW(editorState.editControl, EM_SETMODIFY, FALSE, 0);
    setCurrentFile(L"", FileStamp{false, 0, 0});
    return true;
}

// Loads the file at path and binds the document to it.
bool openDocument(HWND owner, const wchar_t* path) {
    const HCURSOR previous = beginBusyCursor();
    FileStamp stamp = {false, 0, 0};
    const bool loaded = loadDocument(owner, path, &stamp);
    endBusyCursor(previous);
    if (!loaded) {
        return false;
    }
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
