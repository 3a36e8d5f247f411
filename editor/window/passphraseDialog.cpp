#include "passphraseDialog.h"

#include "messageBoxes.h"
#include "textConversions.h"

#include <cstdio>
#include <cwchar>

namespace {

const wchar_t* const DIALOG_CAPTION = L"Shuffle";
const wchar_t* const SUGGESTED_NAME = L"personal.vcb";
const wchar_t* const DIALOG_FONT = L"MS Shell Dlg";
constexpr WORD DIALOG_FONT_POINTS = 8;

enum ShuffleField {
    PASSPHRASE_FIELD = 101,
    REPEATED_FIELD = 102,
    NAME_FIELD = 103,
    PASSPHRASE_CHOICE = 104,
    RANDOM_CHOICE = 105,
};

// Predefined window classes of dialog controls, by atom.
constexpr WORD BUTTON_CLASS = 0x0080;
constexpr WORD EDIT_CLASS = 0x0081;
constexpr WORD STATIC_CLASS = 0x0082;
constexpr WORD NO_ID = 0xFFFF;

constexpr DWORD LABEL_STYLE = SS_LEFT;
constexpr DWORD CHOICE_STYLE = BS_AUTORADIOBUTTON | BS_MULTILINE;
constexpr DWORD SECRET_STYLE = WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL | ES_PASSWORD;
constexpr DWORD NAME_STYLE = WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;

// One control of the dialog, in dialog units.
struct DialogControl {
    WORD classAtom;
    DWORD style;
    short x, y, width, height;
    WORD id;
    const wchar_t* text;
};

// The two choices stand first, one group; the label after them starts the next.
const DialogControl CONTROLS[] = {
    {BUTTON_CLASS, CHOICE_STYLE | WS_GROUP | WS_TABSTOP, 7, 7, 226, 10, PASSPHRASE_CHOICE,
     L"&From a passphrase: as strong as the passphrase, which makes it again"},
    {BUTTON_CLASS, CHOICE_STYLE, 7, 19, 226, 18, RANDOM_CHOICE,
     L"&Random, no passphrase: the strongest, nobody can guess it (keep the file and give it to your "
     L"correspondents)"},
    {STATIC_CLASS, LABEL_STYLE | WS_GROUP, 7, 45, 86, 8, NO_ID, L"&Passphrase:"},
    {EDIT_CLASS, SECRET_STYLE, 95, 43, 138, 12, PASSPHRASE_FIELD, L""},
    {STATIC_CLASS, LABEL_STYLE, 7, 63, 86, 8, NO_ID, L"Passphrase &again:"},
    {EDIT_CLASS, SECRET_STYLE, 95, 61, 138, 12, REPEATED_FIELD, L""},
    {STATIC_CLASS, LABEL_STYLE, 7, 81, 86, 8, NO_ID, L"&Vocabulary file name:"},
    {EDIT_CLASS, NAME_STYLE, 95, 79, 138, 12, NAME_FIELD, L""},
    {STATIC_CLASS, LABEL_STYLE, 7, 98, 226, 18, NO_ID,
     L"The vocabulary is made in the editor's folder. Keep the passphrase and the word list: "
     L"together they make the same vocabulary again."},
    {BUTTON_CLASS, WS_TABSTOP | BS_DEFPUSHBUTTON, 129, 124, 50, 14, IDOK, L"OK"},
    {BUTTON_CLASS, WS_TABSTOP | BS_PUSHBUTTON, 183, 124, 50, 14, IDCANCEL, L"Cancel"},
};
constexpr int CONTROL_COUNT = sizeof CONTROLS / sizeof CONTROLS[0];
constexpr short DIALOG_WIDTH = 240;
constexpr short DIALOG_HEIGHT = 145;

// An in-memory dialog template: the program has no resource file.
constexpr int TEMPLATE_WORDS = 1024;
struct DialogTemplate {
    alignas(4) WORD words[TEMPLATE_WORDS];
    int used;
};

void addWord(DialogTemplate* dialog, WORD word) {
    dialog->words[dialog->used++] = word;
}

void addDword(DialogTemplate* dialog, DWORD value) {
    addWord(dialog, LOWORD(value));
    addWord(dialog, HIWORD(value));
}

void addText(DialogTemplate* dialog, const wchar_t* text) {
    do {
        addWord(dialog, static_cast<WORD>(*text));
    } while (*text++ != L'\0');
}

void buildTemplate(DialogTemplate* dialog) {
    dialog->used = 0;
    addDword(dialog, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_CENTER);
    addDword(dialog, 0);
    addWord(dialog, CONTROL_COUNT);
    addWord(dialog, 0);
    addWord(dialog, 0);
    addWord(dialog, DIALOG_WIDTH);
    addWord(dialog, DIALOG_HEIGHT);
    addWord(dialog, 0);   // no menu
    addWord(dialog, 0);   // the standard dialog class
    addText(dialog, DIALOG_CAPTION);
    addWord(dialog, DIALOG_FONT_POINTS);
    addText(dialog, DIALOG_FONT);
    for (const DialogControl& control : CONTROLS) {
        if (dialog->used % 2 != 0) addWord(dialog, 0);   // each control starts on a DWORD
        addDword(dialog, WS_CHILD | WS_VISIBLE | control.style);
        addDword(dialog, 0);
        addWord(dialog, static_cast<WORD>(control.x));
        addWord(dialog, static_cast<WORD>(control.y));
        addWord(dialog, static_cast<WORD>(control.width));
        addWord(dialog, static_cast<WORD>(control.height));
        addWord(dialog, control.id);
        addWord(dialog, 0xFFFF);
        addWord(dialog, control.classAtom);
        addText(dialog, control.text);
        addWord(dialog, 0);   // no creation data
    }
}

struct ShuffleDialogContext {
    const wchar_t* folder;
    ShuffleSettings* settings;
};

// Overwrites the field's text in place before emptying it, so that the
// control's own buffer does not keep the passphrase.
void wipeField(HWND dialog, int field) {
    wchar_t filler[PASSPHRASE_MAX_CHARACTERS + 1];
    const int length = GetWindowTextLengthW(GetDlgItem(dialog, field));
    const int kept = length < PASSPHRASE_MAX_CHARACTERS ? length : PASSPHRASE_MAX_CHARACTERS;
    wmemset(filler, L'*', static_cast<size_t>(kept));
    filler[kept] = L'\0';
    SetDlgItemTextW(dialog, field, filler);
    SetDlgItemTextW(dialog, field, L"");
}

void wipePassphraseFields(HWND dialog) {
    wipeField(dialog, PASSPHRASE_FIELD);
    wipeField(dialog, REPEATED_FIELD);
}

// Shows a refusal owned by the dialog and puts the focus in the field to mend.
bool refuse(HWND dialog, int field, const char* text) {
    showError(dialog, text);
    SetFocus(GetDlgItem(dialog, field));
    return false;
}

bool randomChosen(HWND dialog) {
    return IsDlgButtonChecked(dialog, RANDOM_CHOICE) == BST_CHECKED;
}

// A random vocabulary takes no passphrase: its fields are emptied and off.
void showChoice(HWND dialog) {
    const bool random = randomChosen(dialog);
    if (random) wipePassphraseFields(dialog);
    EnableWindow(GetDlgItem(dialog, PASSPHRASE_FIELD), !random);
    EnableWindow(GetDlgItem(dialog, REPEATED_FIELD), !random);
}

// Takes the passphrase out of its two fields in UTF-8, or none for a random
// vocabulary.
bool acceptPassphrase(HWND dialog, ShuffleSettings* settings) {
    settings->random = randomChosen(dialog);
    settings->passphrase[0] = '\0';
    if (settings->random) {
        return true;
    }
    wchar_t passphrase[PASSPHRASE_MAX_CHARACTERS + 2];
    wchar_t repeated[PASSPHRASE_MAX_CHARACTERS + 2];
    GetDlgItemTextW(dialog, PASSPHRASE_FIELD, passphrase, PASSPHRASE_MAX_CHARACTERS + 2);
    GetDlgItemTextW(dialog, REPEATED_FIELD, repeated, PASSPHRASE_MAX_CHARACTERS + 2);
    const char* refusal = passphraseUtf8(passphrase, repeated, settings->passphrase);
    wipeSecret(passphrase, sizeof passphrase);
    wipeSecret(repeated, sizeof repeated);
    if (refusal == nullptr) {
        return true;
    }
    wipePassphraseFields(dialog);
    return refuse(dialog, PASSPHRASE_FIELD, refusal);
}

// Takes the vocabulary's name; an existing file is replaced only on Yes.
bool acceptName(HWND dialog, const wchar_t* folder, ShuffleSettings* settings) {
    wchar_t typed[PATH_UNITS];
    GetDlgItemTextW(dialog, NAME_FIELD, typed, PATH_UNITS);
    const char* refusal = newVocabularyName(typed, settings->vocabularyName);
    if (refusal != nullptr) {
        return refuse(dialog, NAME_FIELD, refusal);
    }
    wchar_t path[PATH_UNITS];
    if (!vocabularyPath(folder, settings->vocabularyName, path)) {
        return refuse(dialog, NAME_FIELD, "The editor's folder and the name make too long a path.");
    }
    if (GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES) {
        return true;
    }
    char question[NAME_SIZE * 3 + 96];
    snprintf(question, sizeof question, "%s already exists in the editor's folder. Do you want to replace it?",
             utf8Name(settings->vocabularyName).text);
    if (askYesNo(dialog, question) == IDYES) {
        return true;
    }
    SetFocus(GetDlgItem(dialog, NAME_FIELD));
    return false;
}

INT_PTR CALLBACK shuffleDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        SendDlgItemMessageW(dialog, PASSPHRASE_FIELD, EM_LIMITTEXT, PASSPHRASE_MAX_CHARACTERS, 0);
        SendDlgItemMessageW(dialog, REPEATED_FIELD, EM_LIMITTEXT, PASSPHRASE_MAX_CHARACTERS, 0);
        SendDlgItemMessageW(dialog, NAME_FIELD, EM_LIMITTEXT, NAME_SIZE - 1, 0);
        SetDlgItemTextW(dialog, NAME_FIELD, SUGGESTED_NAME);
        CheckRadioButton(dialog, PASSPHRASE_CHOICE, RANDOM_CHOICE, PASSPHRASE_CHOICE);
        return TRUE;
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == PASSPHRASE_CHOICE || LOWORD(wParam) == RANDOM_CHOICE)) {
        showChoice(dialog);
        return TRUE;
    }
    if (message != WM_COMMAND || (LOWORD(wParam) != IDOK && LOWORD(wParam) != IDCANCEL)) {
        return FALSE;
    }
    ShuffleDialogContext* context = reinterpret_cast<ShuffleDialogContext*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (LOWORD(wParam) == IDOK) {
        if (!acceptPassphrase(dialog, context->settings)) {
            return TRUE;
        }
        if (!acceptName(dialog, context->folder, context->settings)) {
            wipeSecret(context->settings->passphrase, PASSPHRASE_UTF8_SIZE);
            return TRUE;
        }
    }
    wipePassphraseFields(dialog);
    EndDialog(dialog, LOWORD(wParam));
    return TRUE;
}

}  // namespace

bool askShuffleSettings(HWND owner, const wchar_t* folder, ShuffleSettings* settings) {
    static DialogTemplate dialog;
    buildTemplate(&dialog);
    ShuffleDialogContext context = {folder, settings};
    const INT_PTR answer =
        DialogBoxIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE*>(dialog.words), owner,
                                shuffleDialogProc, reinterpret_cast<LPARAM>(&context));
    return answer == IDOK;
}
