#include "mainWindow.h"

#include "commands.h"
#include "configuration.h"
#include "debugLog.h"
#include "documentText.h"
#include "editorConsole.h"
#include "editorState.h"
#include "fileCommands.h"
#include "jobWindow.h"
#include "messageBoxes.h"
#include "textLayout.h"

#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace {

const char* const HELP_TEXT =
    "This program enables editing of text in natural language (English, French, German etc.) and the "
    "translation to and from ZarnoGlot \"pseudo-language\".\n\n"
    "Most other functions - in particular file read and write operations, clipboard access and text "
    "editor functions - are identical to their equivalents in the Notepad Windows application.\n\n"
    "(see menu item below: ZarnoGlot User Guide on Web).\n";
// The user guide ships beside the program (and the build copies it there),
// so the Help menu opens it without a network.
const wchar_t* const USER_GUIDE_FILE = L"user-guide.txt";

const char* const COLOR_SCHEME_NAME = "Language";
const COLORREF LANGUAGE_BACKGROUND = RGB(255, 240, 245);
const COLORREF LANGUAGE_TEXT = RGB(84, 0, 0);

struct MenuItem {
    int id;              // 0 for a separator
    const char* label;
};

struct MenuPopup {
    const char* title;
    MenuItem items[8];
    int itemCount;
};

const MenuPopup MENU_TABLE[] = {
    {"&File",
     {{CMD_FILE_NEW, "&New"}, {CMD_FILE_OPEN, "&Open..."}, {CMD_FILE_SAVE, "&Save"},
      {CMD_FILE_SAVE_AS, "Save &As..."}, {0, nullptr}, {CMD_FILE_EXIT, "E&xit"}},
     6},
    {"&Edit",
     {{CMD_EDIT_UNDO, "&Undo"}, {0, nullptr}, {CMD_EDIT_CUT, "Cu&t"}, {CMD_EDIT_COPY, "&Copy"},
      {CMD_EDIT_PASTE, "&Paste"}, {CMD_EDIT_DELETE, "&Delete"}, {0, nullptr},
      {CMD_EDIT_SELECT_ALL, "Select &All"}},
     8},
    {"&Vocabulary",
     {{CMD_SELECT_VOCABULARY, "Select &Vocabulary..."}, {0, nullptr}, {CMD_SHUFFLE, "&Shuffle..."},
      {CMD_HARVEST, "&Harvest..."}},
     4},
    {"&Translate",
     {{CMD_TO_ZARNOGLOT_CLIPBOARD, "Language->&ZarnoGlot(Clipboard)"},
      {CMD_FROM_ZARNOGLOT_CLIPBOARD, "ZarnoGlot(Clipboard)->&Language"}, {0, nullptr},
      {CMD_TO_ZARNOGLOT, "Language->ZarnoGlot"}, {CMD_FROM_ZARNOGLOT, "ZarnoGlot->Language"}},
     5},
    {"&Configuration",
     {{CMD_SELECT_FONT, "Select &font..."}, {CMD_SELECT_DATA_DIRECTORY, "Select &data directory..."}},
     2},
    {"&Help",
     {{CMD_HELP, "&Help"}, {CMD_USER_GUIDE, "User &Gude on Web"}, {0, nullptr}, {CMD_ABOUT, "&About..."}},
     4},
};

const ACCEL SHORTCUTS[] = {
    {FCONTROL | FVIRTKEY, 'N', CMD_FILE_NEW},
    {FCONTROL | FVIRTKEY, 'O', CMD_FILE_OPEN},
    {FCONTROL | FVIRTKEY, 'S', CMD_FILE_SAVE},
    {FCONTROL | FVIRTKEY, 'A', CMD_EDIT_SELECT_ALL},
    // Undo through the menu's command, so that a translation is undone as one step.
    {FCONTROL | FVIRTKEY, 'Z', CMD_EDIT_UNDO},
    {FVIRTKEY, VK_F1, CMD_HELP},
};

// The configured font, or the system's GUI font when none is configured or
// it cannot be made.
HFONT configuredFont(HWND mainWindow) {
    if (editorState.fontFace[0] != L'\0' && editorState.fontPointSize > 0) {
        HDC context = GetDC(mainWindow);
        const int pixelsPerInch = GetDeviceCaps(context, LOGPIXELSY);
        ReleaseDC(mainWindow, context);
        HFONT font = CreateFontW(-MulDiv(editorState.fontPointSize, pixelsPerInch, 72), 0, 0, 0, FW_NORMAL, FALSE,
                                 FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                 DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, editorState.fontFace);
        if (font != nullptr) return font;
        logMessage("The configured font could not be made; the system's font is used");
    }
    return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

// The edit control's word breaks are ours: with its own, under Wine, every
// change to the text has it work out the breaks of the whole text again,
// which makes each piece of a long text cost more the longer the text is.
int CALLBACK editWordBreak(LPWSTR text, int index, int count, int code) {
    return wordBreak(text, index, count, code);
}

bool createEditControl(HWND mainWindow, const CREATESTRUCTW* creation) {
    // Created through the wide API so the control keeps its text as UTF-16:
    // an edit control made through the ANSI API stores the ANSI code page
    // and would turn every other character of a document into '?'.
    editorState.editControl =
        CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL,
                        0, 0, 0, 0, mainWindow, reinterpret_cast<HMENU>(static_cast<INT_PTR>(EDIT_CONTROL_ID)),
                        creation->hInstance, nullptr);
    if (editorState.editControl == nullptr) {
        return false;
    }
    editorState.editFont = configuredFont(mainWindow);
    SendMessageA(editorState.editControl, WM_SETFONT, reinterpret_cast<WPARAM>(editorState.editFont), TRUE);
    SendMessageA(editorState.editControl, EM_LIMITTEXT, 0, 0);
    SendMessageW(editorState.editControl, EM_SETWORDBREAKPROC, 0, reinterpret_cast<LPARAM>(editWordBreak));
    SendMessageA(editorState.editControl, EM_SETMODIFY, FALSE, 0);
    switchColors();
    DragAcceptFiles(mainWindow, TRUE);
    showWindowTitle();
    return true;
}

// A file dropped on the window is opened as File > Open opens one, after the
// save prompt; of several files the first.
void openDroppedFile(HWND mainWindow, HDROP drop) {
    const UINT units = DragQueryFileW(drop, 0, nullptr, 0);
    wchar_t* path = static_cast<wchar_t*>(malloc((static_cast<size_t>(units) + 1) * sizeof(wchar_t)));
    const bool taken = units > 0 && path != nullptr && DragQueryFileW(drop, 0, path, units + 1) == units;
    DragFinish(drop);
    if (taken && saveChangesFirst(mainWindow)) {
        file_open_path(mainWindow, path);
    }
    free(path);
}

// Opens the user guide beside the executable with the shell's "open" verb;
// whether that works is not reported.
void openUserGuide() {
    wchar_t path[PATH_UNITS + 32];
    DWORD length = GetModuleFileNameW(nullptr, path, PATH_UNITS);
    if (length == 0 || length >= static_cast<DWORD>(PATH_UNITS)) return;
    wchar_t* folderEnd = wcsrchr(path, L'\\');
    if (folderEnd == nullptr) return;
    wcscpy(folderEnd + 1, USER_GUIDE_FILE);
    ShellExecuteW(nullptr, L"open", path, nullptr, nullptr, SW_SHOWNORMAL);
}

void showAbout(HWND owner) {
    char text[64];
    snprintf(text, sizeof text, "%s\nVersion %s", PROGRAM_CAPTION, EDITOR_VERSION);
    showInformation(owner, text, "About zarnoGlotWriteW");
}

void sendToEdit(UINT message, WPARAM wParam, LPARAM lParam) {
    SendMessageA(editorState.editControl, message, wParam, lParam);
}

// The product's icon, the first of the program's resources, at the size
// Windows asks for: the big one for Alt+Tab and the taskbar, the small one
// for the title bar.
HICON productIcon(HINSTANCE instance, int widthMetric, int heightMetric) {
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(PRODUCT_ICON_ID), IMAGE_ICON,
                                         GetSystemMetrics(widthMetric), GetSystemMetrics(heightMetric),
                                         LR_DEFAULTCOLOR | LR_SHARED));
}

// While a job runs, only the commands that change nothing go on; Exit
// cancels the job and is asked again once it has ended; the others are
// refused with a beep.
bool commandRefusedDuringJob(int commandId) {
    if (!jobRunning() || commandId == CMD_EDIT_COPY || commandId == CMD_EDIT_SELECT_ALL) return false;
    if (commandId == CMD_FILE_EXIT) {
        cancelJob(JOB_CANCELLED_FOR_EXIT);
    } else {
        logMessage("Command %d refused: a job runs", commandId);
        MessageBeep(MB_OK);
    }
    return true;
}

void releaseDrawingObjects() {
    if (editorState.backgroundBrush != nullptr) {
        DeleteObject(editorState.backgroundBrush);
        editorState.backgroundBrush = nullptr;
    }
    // Deleting a stock font is harmless: the platform ignores it.
    if (editorState.editFont != nullptr) {
        DeleteObject(editorState.editFont);
        editorState.editFont = nullptr;
    }
}

}  // namespace

HMENU buildMenu() {
    HMENU bar = CreateMenu();
    for (const MenuPopup& popup : MENU_TABLE) {
        HMENU menu = CreatePopupMenu();
        for (int i = 0; i < popup.itemCount; i++) {
            const MenuItem& item = popup.items[i];
            if (item.id == 0) {
                AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
            } else {
                AppendMenuA(menu, MF_STRING, item.id, item.label);
            }
        }
        AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(menu), popup.title);
    }
    return bar;
}

HACCEL createShortcuts() {
    return CreateAcceleratorTableW(const_cast<ACCEL*>(SHORTCUTS), sizeof SHORTCUTS / sizeof SHORTCUTS[0]);
}

void switchColors() {
    logMessage("Switch to colrs for %s", COLOR_SCHEME_NAME);
    editorState.backgroundColor = LANGUAGE_BACKGROUND;
    editorState.textColor = LANGUAGE_TEXT;
    if (editorState.backgroundBrush != nullptr) {
        DeleteObject(editorState.backgroundBrush);
    }
    editorState.backgroundBrush = CreateSolidBrush(editorState.backgroundColor);
    InvalidateRect(editorState.editControl, nullptr, TRUE);
    UpdateWindow(editorState.editControl);
}

void onCommand(HWND mainWindow, int commandId) {
    if (commandRefusedDuringJob(commandId)) return;
    switch (commandId) {
    case CMD_FILE_NEW: file_new(mainWindow); break;
    case CMD_FILE_OPEN: file_open(mainWindow); break;
    case CMD_FILE_SAVE: file_save(mainWindow); break;
    case CMD_FILE_SAVE_AS: file_save_as(mainWindow); break;
    case CMD_FILE_EXIT:
        if (saveChangesFirst(mainWindow)) {
            DestroyWindow(mainWindow);
        }
        break;
    case CMD_EDIT_UNDO: undoDocumentChange(); break;
    case CMD_EDIT_CUT: sendToEdit(WM_CUT, 0, 0); break;
    case CMD_EDIT_COPY: sendToEdit(WM_COPY, 0, 0); break;
    case CMD_EDIT_PASTE: sendToEdit(WM_PASTE, 0, 0); break;
    case CMD_EDIT_DELETE: sendToEdit(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("")); break;
    case CMD_EDIT_SELECT_ALL: sendToEdit(EM_SETSEL, 0, -1); break;
    case CMD_SELECT_VOCABULARY: select_vcb(mainWindow); break;
    case CMD_SHUFFLE: shuffle_vcb(mainWindow); break;
    case CMD_HARVEST: harvest_words(mainWindow); break;
    case CMD_TO_ZARNOGLOT_CLIPBOARD: translate_to_clipboard(mainWindow); break;
    case CMD_FROM_ZARNOGLOT_CLIPBOARD: translate_from_clipboard(mainWindow); break;
    case CMD_TO_ZARNOGLOT: translate_to_zarnoglot(mainWindow); break;
    case CMD_FROM_ZARNOGLOT: translate_from_zarnoglot(mainWindow); break;
    case CMD_SELECT_FONT: select_font(mainWindow); break;
    case CMD_SELECT_DATA_DIRECTORY: select_data_dir(mainWindow); break;
    case CMD_HELP: showInformation(mainWindow, HELP_TEXT); break;
    case CMD_USER_GUIDE: openUserGuide(); break;
    case CMD_ABOUT: showAbout(mainWindow); break;
    default: break;
    }
}

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        return createEditControl(window, reinterpret_cast<const CREATESTRUCTW*>(lParam)) ? 0 : -1;
    case WM_SIZE:
        MoveWindow(editorState.editControl, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_SETFOCUS:
        SetFocus(editorState.editControl);
        return 0;
    case WM_COMMAND:
        if (reinterpret_cast<HWND>(lParam) == editorState.editControl && lParam != 0) {
            if (HIWORD(wParam) == EN_CHANGE) documentEdited();
            return 0;
        }
        onCommand(window, LOWORD(wParam));
        return 0;
    // A read-only edit control (during a job) asks for the static colours.
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lParam) != editorState.editControl) {
            return 0;
        }
        SetBkColor(reinterpret_cast<HDC>(wParam), editorState.backgroundColor);
        SetTextColor(reinterpret_cast<HDC>(wParam), editorState.textColor);
        return reinterpret_cast<LRESULT>(editorState.backgroundBrush);
    case WM_DROPFILES:
        openDroppedFile(window, reinterpret_cast<HDROP>(wParam));
        return 0;
    case WM_CLOSE:
        // During a job: the job is cancelled, and the close asked again
        // once it has ended.
        if (jobRunning()) {
            cancelJob(JOB_CANCELLED_FOR_EXIT);
        } else if (saveChangesFirst(window)) {
            DestroyWindow(window);
        }
        return 0;
    // The end of the session is asked as File > Exit asks: Cancel keeps it.
    // A running job is cancelled first (the document stays as it was), so
    // that the question is about the document the user sees.
    // While a long text is put into the window the document is only partly
    // there: the session's end is refused rather than asking to save a part.
    case WM_QUERYENDSESSION:
        logMessage("The session is ending");
        if (windowJobRunning()) {
            logMessage("The session's end is refused: a long text is being shown");
            return FALSE;
        }
        endJobForSessionEnd();
        return saveChangesFirst(window) ? TRUE : FALSE;
    case WM_ENDSESSION:
        if (wParam) {
            // Windows may end the process once this returns.
            writeConfiguration();
            DestroyWindow(window);
        }
        return 0;
    case WM_JOB_CALL:
        return reinterpret_cast<JobCall>(wParam)(reinterpret_cast<void*>(lParam));
    case WM_CONSOLE_CLOSING:
        consoleClosing();
        return 0;
    case WM_DESTROY:
        releaseDrawingObjects();
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

// A Unicode window, so that its title shows a document's name as it is.
bool registerMainWindowClass(HINSTANCE instance) {
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = mainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_IBEAM);
    windowClass.hIcon = productIcon(instance, SM_CXICON, SM_CYICON);
    windowClass.hIconSm = productIcon(instance, SM_CXSMICON, SM_CYSMICON);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    windowClass.lpszClassName = WINDOW_CLASS_WIDE_NAME;
    return RegisterClassExW(&windowClass) != 0;
}

HWND createMainWindow(HINSTANCE instance, HMENU menu) {
    return CreateWindowExW(0, WINDOW_CLASS_WIDE_NAME, WINDOW_TITLE, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                           MAIN_WINDOW_WIDTH, MAIN_WINDOW_HEIGHT, nullptr, menu, instance, nullptr);
}
