#include "fileDialogDriver.h"

#include "testWait.h"

namespace {

// The file name field: a combo box in the Open and Save As dialogs, an edit
// field in the folder dialog.
const int FILE_NAME_COMBO_ID = 0x47C;
const int FILE_NAME_EDIT_ID = 0x480;

}  // namespace

HWND waitForDialog(const EditorSession& session, const std::string& caption, HWND skip, int timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
    HWND found = nullptr;
    // A dialog is driven only once it has set itself up; one that went away
    // before it answered is looked for again.
    const bool settled = waitFor("the dialog \"" + caption + "\"", [&] {
        found = findProcessWindow(session.process.dwProcessId, "#32770", true, &caption, skip);
        const ULONGLONG now = GetTickCount64();
        return found != nullptr && now < deadline && waitUntilSettled(session, found, static_cast<int>(deadline - now));
    }, timeoutMs, [&] { return programEnded(session); }, "the editor ended");
    return settled ? found : nullptr;
}

bool waitUntilClosed(HWND window, int timeoutMs) {
    return waitFor("a dialog to close", [&] { return !IsWindow(window); }, timeoutMs);
}

void pressDialogButton(HWND dialog, int buttonId) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, buttonId)));
}

HWND fileNameField(HWND dialog) {
    HWND field = GetDlgItem(dialog, FILE_NAME_COMBO_ID);
    return field != nullptr ? field : GetDlgItem(dialog, FILE_NAME_EDIT_ID);
}

std::wstring wideWindowText(HWND window) {
    wchar_t text[1024] = L"";
    DWORD_PTR length = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, &length);
    text[1023] = L'\0';
    return text;
}

bool chooseInFileDialog(HWND dialog, const std::wstring& name) {
    SendMessageW(fileNameField(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
    pressDialogButton(dialog, IDOK);
    return waitUntilClosed(dialog, 3000);
}

bool chooseFile(const EditorSession& session, const std::string& caption, const std::wstring& name) {
    HWND dialog = waitForDialog(session, caption);
    return dialog != nullptr && chooseInFileDialog(dialog, name);
}

bool cancelDialog(const EditorSession& session, const std::string& caption) {
    HWND dialog = waitForDialog(session, caption);
    if (dialog == nullptr) {
        return false;
    }
    pressDialogButton(dialog, IDCANCEL);
    return waitUntilClosed(dialog);
}
