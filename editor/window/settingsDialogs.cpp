// The settings commands: select_font, select_data_dir and select_vcb
// (declared in commands.h). Folders and vocabularies may have any name
// Windows allows; font faces stay ASCII.
#include "commands.h"
#include "debugLog.h"
#include "documentFiles.h"
#include "editorState.h"
#include "fileCommands.h"
#include "messageBoxes.h"
#include "textConversions.h"
#include "vocabularyMaking.h"

#include <commdlg.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstdio>
#include <cstring>
#include <cwchar>

namespace {

static_assert(sizeof(CHOOSEFONTW) == 104, "the font dialog takes the full 104-byte record");

const char* const FONT_CAPTION = "Font";
const char* const DATA_DIRECTORY_CAPTION = "Data Directory";
const char* const VOCABULARY_CAPTION = "Select Vocabulary File";
// The current-directory failure carries its own caption spelling.
const char* const CURRENT_DIRECTORY_CAPTION = "Select Vocablary File";
const wchar_t VOCABULARY_FILTER[] = L"VCB Files (*.vcb)\0*.vcb\0All Files (*.*)\0*.*\0";
constexpr DWORD VOCABULARY_DIALOG_FLAGS = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
constexpr DWORD FOLDER_DIALOG_OPTIONS = FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM;

const CLSID FILE_OPEN_DIALOG_CLASS = {0xDC1C5A9C, 0xE88A, 0x4DDE, {0xA5, 0xA1, 0x60, 0xF8, 0x2A, 0x20, 0xAE, 0xF7}};
const IID FILE_DIALOG_INTERFACE = {0x42F85136, 0xDB7E, 0x439C, {0x85, 0xF1, 0xE4, 0x07, 0x5D, 0x13, 0x5F, 0xC8}};
const IID SHELL_ITEM_INTERFACE = {0x43826D1E, 0xE718, 0x42EE, {0xBC, 0x55, 0xA1, 0xE2, 0x61, 0xC3, 0x7B, 0xFE}};

// The font the dialog starts from: the edit control's, with the configured
// size when there is one.
void presetFont(HWND owner, LOGFONTW* font) {
    memset(font, 0, sizeof *font);
    if (editorState.editFont != nullptr) {
        GetObjectW(editorState.editFont, sizeof *font, font);
    } else {
        wcscpy(font->lfFaceName, L"Courier New");
        font->lfWeight = FW_NORMAL;
        font->lfCharSet = DEFAULT_CHARSET;
    }
    HDC context = GetDC(owner);
    const int pixelsPerInch = GetDeviceCaps(context, LOGPIXELSY);
    ReleaseDC(owner, context);
    if (editorState.fontPointSize > 0) {
        font->lfHeight = -MulDiv(editorState.fontPointSize, pixelsPerInch, 72);
    }
}

void applyFont(HFONT font) {
    SendMessageW(editorState.editControl, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    if (editorState.editFont != nullptr) {
        DeleteObject(editorState.editFont);
    }
    editorState.editFont = font;
}

// The objects the folder dialog obtains, released in reverse order.
struct FolderDialogObjects {
    IFileDialog* dialog;
    IShellItem* defaultFolder;
    IShellItem* chosen;
    PWSTR path;
};

void releaseFolderDialog(FolderDialogObjects* objects) {
    if (objects->path != nullptr) {
        CoTaskMemFree(objects->path);
    }
    if (objects->chosen != nullptr) {
        objects->chosen->Release();
    }
    if (objects->defaultFolder != nullptr) {
        objects->defaultFolder->Release();
    }
    if (objects->dialog != nullptr) {
        objects->dialog->Release();
    }
}

// Shows the folder dialog opening at the profile folder and stores the
// chosen folder. Cancelling and failures of the dialog end it silently.
bool chooseDataDirectory(HWND owner, const wchar_t* profile, FolderDialogObjects* objects) {
    IFileDialog* dialog = objects->dialog;
    if (FAILED(dialog->SetOptions(FOLDER_DIALOG_OPTIONS)) || FAILED(dialog->SetTitle(L"Select Data Directory"))) {
        return false;
    }
    if (FAILED(SHCreateItemFromParsingName(profile, nullptr, SHELL_ITEM_INTERFACE,
                                           reinterpret_cast<void**>(&objects->defaultFolder))) ||
        FAILED(dialog->SetDefaultFolder(objects->defaultFolder))) {
        return false;
    }
    if (FAILED(dialog->Show(owner)) || FAILED(dialog->GetResult(&objects->chosen)) ||
        FAILED(objects->chosen->GetDisplayName(SIGDN_FILESYSPATH, &objects->path))) {
        return false;
    }
    const PathProblem problem = pathProblem(objects->path, true);
    if (problem != PATH_FINE) {
        return showError(owner, pathProblemMessage(problem), DATA_DIRECTORY_CAPTION);
    }
    wcscpy(editorState.dataDirectory, objects->path);
    return true;
}

// The filters look for the vocabulary in the editor's folder (the current
// directory), so one chosen elsewhere is copied there when the user agrees.
// A different file of the same name there is replaced only when the user
// agrees again. False when nothing is to be selected.
bool copyVocabularyInto(HWND owner, const wchar_t* source, const wchar_t* folder, const wchar_t* name) {
    const Utf8Name shown = utf8Name(name);
    char question[NAME_SIZE * 3 + 160];
    snprintf(question, sizeof question,
             "The vocabulary %s is not in the editor's folder, where the translations look for it.\n\n"
             "Copy it into the editor's folder?",
             shown.text);
    if (askYesNo(owner, question, VOCABULARY_CAPTION) != IDYES) {
        return false;
    }
    wchar_t target[PATH_UNITS];
    if (!vocabularyPath(folder, name, target)) {
        return showError(owner, "Could not copy the vocabulary into the editor's folder.", VOCABULARY_CAPTION);
    }
    const CopyTarget existing = compareCopyTarget(source, target);
    if (existing == COPY_TARGET_SAME) {
        return true;
    }
    if (existing == COPY_TARGET_DIFFERENT) {
        snprintf(question, sizeof question,
                 "The editor's folder already holds a different file named %s.\n\nReplace it with the selected one?",
                 shown.text);
        if (askYesNo(owner, question, VOCABULARY_CAPTION) != IDYES) {
            return false;
        }
    }
    if (!CopyFileW(source, target, existing == COPY_TARGET_ABSENT)) {
        return showError(owner, "Could not copy the vocabulary into the editor's folder.", VOCABULARY_CAPTION);
    }
    logMessage("select_vcb() copied [%s] into the editor's folder", shown.text);
    return true;
}

}  // namespace

bool select_font(HWND owner) {
    logMessage("select_font() start");
    LOGFONTW font;
    presetFont(owner, &font);
    CHOOSEFONTW dialog;
    memset(&dialog, 0, sizeof dialog);
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpLogFont = &font;
    dialog.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT;
    if (editorState.fontPointSize > 0) {
        dialog.iPointSize = editorState.fontPointSize * 10;
    }
    if (!ChooseFontW(&dialog)) {
        return false;
    }
    char face[NAME_SIZE];
    if (!utf16ToAscii(font.lfFaceName, face, NAME_SIZE)) {
        return showError(owner, "The selected font name is not ASCII.", FONT_CAPTION);
    }
    wcscpy(editorState.fontFace, font.lfFaceName);
    editorState.fontPointSize = dialog.iPointSize / 10;
    HFONT created = CreateFontIndirectW(&font);
    if (created == nullptr) {
        return showError(owner, "Could not create the selected font.", FONT_CAPTION);
    }
    applyFont(created);
    settingsChanged();
    return true;
}

bool select_data_dir(HWND owner) {
    wchar_t profile[PATH_UNITS] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PROFILE, nullptr, SHGFP_TYPE_CURRENT, profile))) {
        return showError(owner, "Could not determine the user's home directory.", DATA_DIRECTORY_CAPTION);
    }
    FolderDialogObjects objects = {nullptr, nullptr, nullptr, nullptr};
    bool result = false;
    if (FAILED(CoCreateInstance(FILE_OPEN_DIALOG_CLASS, nullptr, CLSCTX_INPROC_SERVER, FILE_DIALOG_INTERFACE,
                                reinterpret_cast<void**>(&objects.dialog)))) {
        objects.dialog = nullptr;
        showError(owner, "Could not create the folder selection dialog.", DATA_DIRECTORY_CAPTION);
    } else {
        result = chooseDataDirectory(owner, profile, &objects);
    }
    releaseFolderDialog(&objects);
    if (result) settingsChanged();
    return result;
}

bool select_vcb(HWND owner) {
    logMessage("select_vcb() start");
    wchar_t currentDirectory[PATH_UNITS] = {};
    const DWORD length = GetCurrentDirectoryW(PATH_UNITS, currentDirectory);
    if (length == 0 || length >= static_cast<DWORD>(PATH_UNITS)) {
        return showError(owner, "Could not determine the current directory.", CURRENT_DIRECTORY_CAPTION);
    }
    wchar_t fileName[PATH_UNITS] = {};
    OPENFILENAMEW dialog;
    prepareFileDialog(&dialog, owner, VOCABULARY_FILTER, fileName, PATH_UNITS, L"Select Vocabulary File",
                      VOCABULARY_DIALOG_FLAGS);
    dialog.lpstrInitialDir = currentDirectory;
    if (!runFileDialog(&dialog, false)) {
        return showFileDialogFailure(owner);
    }
    wchar_t name[NAME_SIZE];
    const VocabularyNameResult taken = vocabularyNameOfPath(fileName, name);
    if (taken == VOCABULARY_NAME_TOO_LONG) {
        return showError(owner, "The selected filename is too long.", VOCABULARY_CAPTION);
    }
    if (!fileLiesInFolder(fileName, currentDirectory) && !copyVocabularyInto(owner, fileName, currentDirectory, name)) {
        return false;
    }
    // A vocabulary the filters would refuse is refused now, in their words,
    // rather than at the first translation.
    char refusal[RUN_FAILURE_TEXT_SIZE];
    if (!checkVocabulary(utf8Name(name).text, refusal)) {
        return showError(owner, refusal, VOCABULARY_CAPTION);
    }
    wcscpy(editorState.vocabularyName, name);
    settingsChanged();
    return true;
}
