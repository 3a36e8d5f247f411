#include "fileCommands.h"

#include "commands.h"
#include "debugLog.h"
#include "documentFiles.h"
#include "editorState.h"
#include "messageBoxes.h"
#include "textConversions.h"

#include <cstdlib>
#include <cstring>

namespace {

static_assert(sizeof(OPENFILENAMEW) == 152, "the file dialogs take the full 152-byte record");

const wchar_t DOCUMENT_FILTER[] = L"Text Files (*.text)\0*.text\0All Files (*.*)\0*.*\0";
const wchar_t UNTITLED_NAME[] = L"Untitled.text";
constexpr DWORD OPEN_FLAGS = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
constexpr DWORD SAVE_AS_FLAGS = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST;

void setCurrentFileName(const char* path) {
    const size_t length = strnlen(path, PATH_SIZE - 1);
    memmove(editorState.currentFileName, path, length);
    editorState.currentFileName[length] = '\0';
}

void markSaved() {
    SendMessageW(editorState.editControl, EM_SETMODIFY, FALSE, 0);
    updateDataDirectory();
}

// Puts the file's text into the edit control; false after showing why not.
bool loadDocument(HWND owner, const wchar_t* path) {
    char* bytes = nullptr;
    int32_t byteCount = 0;
    const DocumentFileResult read = readDocumentFile(path, &bytes, &byteCount);
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
    const int length = GetWindowTextLengthW(editorState.editControl);
    wchar_t* text = static_cast<wchar_t*>(malloc((static_cast<size_t>(length) + 1) * sizeof(wchar_t)));
    if (text == nullptr) {
        return showError(owner, "Not enough memory.");
    }
    text[0] = L'\0';
    const int units = GetWindowTextW(editorState.editControl, text, length + 1);
    const bool converted = utf16ToUtf8(text, units, bytes, byteCount);
    free(text);
    if (!converted) {
        return showError(owner, "Could not convert the document to UTF-8.");
    }
    return true;
}

// Shows the Open (saving false) or Save As dialog in the data directory,
// offering the name in fileName, and takes the chosen path, which must be
// ASCII. False when the dialog is cancelled or after the box for a name
// that is not ASCII.
bool chooseDocumentPath(HWND owner, bool saving, wchar_t* fileName, char* asciiPath) {
    OPENFILENAMEW dialog;
    prepareFileDialog(&dialog, owner, DOCUMENT_FILTER, fileName, DIALOG_PATH_UNITS, saving ? L"Save As" : L"Open",
                      saving ? SAVE_AS_FLAGS : OPEN_FLAGS);
    if (!runFileDialogInDataDirectory(&dialog, saving)) {
        return false;
    }
    if (!utf16ToAscii(fileName, asciiPath, PATH_SIZE)) {
        return showError(owner, "The filename must contain ASCII characters only.");
    }
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
    wchar_t currentDirectory[DIALOG_PATH_UNITS] = {};
    const DWORD length = GetCurrentDirectoryW(DIALOG_PATH_UNITS, currentDirectory);
    const BOOL chosen = saving ? GetSaveFileNameW(dialog) : GetOpenFileNameW(dialog);
    if (length > 0 && length < DIALOG_PATH_UNITS) {
        SetCurrentDirectoryW(currentDirectory);
    }
    return chosen;
}

BOOL runFileDialogInDataDirectory(OPENFILENAMEW* dialog, bool saving) {
    wchar_t folder[DIALOG_PATH_UNITS] = {};
    if (!ansiToUtf16(editorState.dataDirectory, folder, DIALOG_PATH_UNITS)) {
        folder[0] = L'\0';
    }
    dialog->lpstrInitialDir = folder;
    const BOOL chosen = runFileDialog(dialog, saving);
    dialog->lpstrInitialDir = nullptr;   // the folder lives only here
    return chosen;
}

bool saveChangesFirst(HWND owner) {
    const int answer = askSaveChanges(owner);
    if (answer == IDNO) {
        return true;
    }
    if (answer != IDYES) {
        return false;
    }
    return editorState.currentFileName[0] != '\0' ? file_save(owner) : file_save_as(owner);
}

bool file_new(HWND owner) {
    logMessage("file_new() start");
    if (!saveChangesFirst(owner)) {
        return false;
    }
    SetWindowTextW(editorState.editControl, L"");
    SendMessageW(editorState.editControl, EM_SETMODIFY, FALSE, 0);
    editorState.currentFileName[0] = '\0';
    return true;
}

// Loads the file at path, whose ASCII form is asciiPath, and binds the
// document to it.
bool openDocument(HWND owner, const wchar_t* path, const char* asciiPath) {
    const HCURSOR previous = beginBusyCursor();
    const bool loaded = loadDocument(owner, path);
    endBusyCursor(previous);
    if (!loaded) {
        return false;
    }
    setCurrentFileName(asciiPath);
    markSaved();
    return true;
}

bool file_open(HWND owner) {
    logMessage("file_open() start");
    if (!saveChangesFirst(owner)) {
        return false;
    }
    wchar_t fileName[DIALOG_PATH_UNITS] = {};
    char asciiPath[PATH_SIZE];
    if (!chooseDocumentPath(owner, false, fileName, asciiPath)) {
        return false;
    }
    return openDocument(owner, fileName, asciiPath);
}

bool file_open_path(HWND owner, const wchar_t* path) {
    logMessage("file_open_path() start");
    char asciiPath[PATH_SIZE];
    if (!utf16ToAscii(path, asciiPath, PATH_SIZE)) {
        return showError(owner, "The filename must contain ASCII characters only.");
    }
    return openDocument(owner, path, asciiPath);
}

bool file_save(HWND owner) {
    logMessage("file_save() start");
    if (editorState.currentFileName[0] == '\0') {
        return false;
    }
    char* bytes = nullptr;
    int32_t byteCount = 0;
    if (!documentBytes(owner, &bytes, &byteCount)) {
        return false;
    }
    wchar_t path[DIALOG_PATH_UNITS];
    if (!ansiToUtf16(editorState.currentFileName, path, DIALOG_PATH_UNITS)) {
        free(bytes);
        return showError(owner, "Invalid filename.");
    }
    const DocumentFileResult written = writeDocumentFile(path, bytes, byteCount);
    free(bytes);
    if (written != DOCUMENT_OK) {
        return showError(owner, documentFileMessage(written));
    }
    markSaved();
    return true;
}

bool file_save_as(HWND owner) {
    logMessage("file_save_as() start");
    wchar_t fileName[DIALOG_PATH_UNITS] = {};
    if (editorState.currentFileName[0] == '\0') {
        memcpy(fileName, UNTITLED_NAME, sizeof UNTITLED_NAME);
    } else if (!ansiToUtf16(editorState.currentFileName, fileName, DIALOG_PATH_UNITS)) {
        return false;
    }
    char asciiPath[PATH_SIZE];
    if (!chooseDocumentPath(owner, true, fileName, asciiPath)) {
        return false;
    }
    char previousName[PATH_SIZE];
    memcpy(previousName, editorState.currentFileName, PATH_SIZE);
    setCurrentFileName(asciiPath);
    if (file_save(owner)) {
        return true;
    }
    memcpy(editorState.currentFileName, previousName, PATH_SIZE);
    return false;
}
