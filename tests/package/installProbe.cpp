// installProbe: what tests/package/check-msi asks Windows (under Wine) about
// an installed ZarnoGlot. Prints "name: value" lines in UTF-8 and ends with
// status 0, or 1 when what it looks for is not there.
//   installProbe shortcut FILE.lnk    the shortcut's target, folder and icon
//   installProbe icons PROGRAM.exe... the sizes of each program's first icon
//   installProbe start FILE           opens the file as a click does, then
//                                     waits for the editor's window (below)
//   installProbe openwith DOCUMENT    opens the document with the per-user
//                                     "Open with" entry of zarnoGlotStart.exe,
//                                     then waits for the editor's window
//   installProbe box [FILE]           opens the file if one is named, then
//                                     waits for a box of the start program,
//                                     prints its text and answers OK
// Waiting for the editor's window prints the program that shows it and its
// text, then closes the window and waits for the program to end.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

constexpr DWORD WAIT_MS = 30000;
constexpr DWORD POLL_MS = 100;
// RT_GROUP_ICON, for the wide resource calls.
const LPCWSTR GROUP_ICON = MAKEINTRESOURCEW(14);

std::string utf8(const std::wstring& text) {
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string result(bytes > 0 ? bytes - 1 : 0, '\0');
    if (bytes > 1) WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &result[0], bytes, nullptr, nullptr);
    return result;
}

void print(const char* name, const std::wstring& value) {
    printf("%s: %s\n", name, utf8(value).c_str());
}

int shortcut(const wchar_t* file) {
    IShellLinkW* link = nullptr;
    IPersistFile* persisted = nullptr;
    bool read = SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                           reinterpret_cast<void**>(&link))) &&
                SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persisted))) &&
                SUCCEEDED(persisted->Load(file, STGM_READ));
    if (read) {
        wchar_t text[MAX_PATH * 2] = L"";
        int index = 0;
        read = SUCCEEDED(link->GetPath(text, MAX_PATH * 2, nullptr, SLGP_RAWPATH));
        print("target", text);
        text[0] = L'\0';
        link->GetWorkingDirectory(text, MAX_PATH * 2);
        print("folder", text);
        text[0] = L'\0';
        link->GetIconLocation(text, MAX_PATH * 2, &index);
        print("icon", text);
        printf("icon index: %d\n", index);
    }
    if (persisted != nullptr) persisted->Release();
    if (link != nullptr) link->Release();
    return read ? 0 : 1;
}

// The first icon group's image sizes, as "16 24 32 48 256".
BOOL CALLBACK firstGroup(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR found) {
    *reinterpret_cast<LPWSTR*>(found) = name;
    return FALSE;
}

#pragma pack(push, 2)
struct GroupEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
struct GroupHeader {
    WORD reserved, type, count;
    GroupEntry entries[1];
};
#pragma pack(pop)

bool iconSizes(const wchar_t* program) {
    HMODULE module = LoadLibraryExW(program, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (module == nullptr) return false;
    LPWSTR group = nullptr;
    EnumResourceNamesW(module, GROUP_ICON, firstGroup, reinterpret_cast<LONG_PTR>(&group));
    HRSRC resource = group != nullptr ? FindResourceW(module, group, GROUP_ICON) : nullptr;
    const GroupHeader* header =
        resource != nullptr ? static_cast<const GroupHeader*>(LockResource(LoadResource(module, resource))) : nullptr;
    std::string sizes;
    for (WORD i = 0; header != nullptr && i < header->count; i++) {
        sizes += (i > 0 ? " " : "") + std::to_string(header->entries[i].width == 0 ? 256 : header->entries[i].width);
    }
    FreeLibrary(module);
    printf("%s: %s\n", utf8(PathFindFileNameW(program)).c_str(), header != nullptr ? sizes.c_str() : "no icon");
    return header != nullptr;
}

struct WindowSearch {
    const wchar_t* className;
    const wchar_t* caption;   // nullptr: any
    HWND found;
};

BOOL CALLBACK matchWindow(HWND window, LPARAM parameter) {
    WindowSearch* search = reinterpret_cast<WindowSearch*>(parameter);
    wchar_t name[64] = L"";
    wchar_t caption[64] = L"";
    GetClassNameW(window, name, 64);
    GetWindowTextW(window, caption, 64);
    if (IsWindowVisible(window) && wcscmp(name, search->className) == 0 &&
        (search->caption == nullptr || wcscmp(caption, search->caption) == 0)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND waitForWindow(const wchar_t* className, const wchar_t* caption) {
    WindowSearch search = {className, caption, nullptr};
    for (DWORD waited = 0; waited < WAIT_MS && search.found == nullptr; waited += POLL_MS) {
        EnumWindows(matchWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found == nullptr) Sleep(POLL_MS);
    }
    return search.found;
}

std::wstring textOf(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, WAIT_MS, &length)) return L"";
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(&text[0]), SMTO_NORMAL, WAIT_MS,
                        &copied);
    text.resize(copied);
    return text;
}

// The editor's window: the program showing it and its document, then closed.
int editorWindow() {
    HWND window = waitForWindow(L"zarnoGlotWriteClass", nullptr);
    if (window == nullptr) {
        printf("window: none\n");
        return 1;
    }
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, processId);
    wchar_t image[MAX_PATH * 2] = L"";
    DWORD units = MAX_PATH * 2;
    if (process != nullptr) QueryFullProcessImageNameW(process, 0, image, &units);
    print("window", image);
    print("text", textOf(FindWindowExW(window, nullptr, L"Edit", nullptr)));
    PostMessageW(window, WM_CLOSE, 0, 0);
    const bool ended = process != nullptr && WaitForSingleObject(process, WAIT_MS) == WAIT_OBJECT_0;
    if (process != nullptr) CloseHandle(process);
    printf("ended: %s\n", ended ? "yes" : "no");
    return ended ? 0 : 1;
}

bool open(const wchar_t* file) {
    SHELLEXECUTEINFOW execute = {};
    execute.cbSize = sizeof execute;
    execute.lpFile = file;
    execute.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExW(&execute)) {
        printf("start: failed (%lu)\n", GetLastError());
        return false;
    }
    return true;
}

// Opens the document with the command of the per-user entry that "Open
// with" lists, and says whether the shell's own association lookup sees it.
int openWith(const wchar_t* document) {
    wchar_t command[MAX_PATH * 2] = L"";
    DWORD units = MAX_PATH * 2;
    const HRESULT seen = AssocQueryStringW(ASSOCF_NONE, ASSOCSTR_COMMAND, L"ZarnoGlot.Document", L"open", command, &units);
    print("shell lookup", SUCCEEDED(seen) ? std::wstring(command) : L"not found");
    HKEY entry = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Classes\\Applications\\zarnoGlotStart.exe", 0, KEY_READ,
                      &entry) != ERROR_SUCCESS) {
        printf("open with: no entry\n");
        return 1;
    }
    SHELLEXECUTEINFOW execute = {};
    execute.cbSize = sizeof execute;
    execute.fMask = SEE_MASK_CLASSKEY;
    execute.hkeyClass = entry;
    execute.lpVerb = L"open";
    execute.lpFile = document;
    execute.nShow = SW_SHOWNORMAL;
    const BOOL opened = ShellExecuteExW(&execute);
    RegCloseKey(entry);
    if (!opened) {
        printf("open with: failed (%lu)\n", GetLastError());
        return 1;
    }
    return editorWindow();
}

int box(const wchar_t* file) {
    if (file != nullptr && !open(file)) return 1;
    HWND window = waitForWindow(L"#32770", L"zarnoGlotWriteW");
    if (window == nullptr) {
        printf("box: none\n");
        return 1;
    }
    print("box", textOf(GetDlgItem(window, 0xFFFF)));
    PostMessageW(window, WM_COMMAND, IDOK, 0);
    return 0;
}

int usage() {
    fprintf(stderr, "usage: installProbe shortcut FILE.lnk | icons PROGRAM.exe... | start FILE | openwith DOCUMENT | box [FILE]\n");
    return 2;
}

}  // namespace

int wmain(int count, wchar_t** arguments) {
    if (count < 2) return usage();
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const std::wstring command = arguments[1];
    int status = 2;
    if (command == L"shortcut" && count == 3) {
        status = shortcut(arguments[2]);
    } else if (command == L"icons" && count >= 3) {
        status = 0;
        for (int i = 2; i < count; i++) status |= iconSizes(arguments[i]) ? 0 : 1;
    } else if (command == L"start" && count == 3) {
        status = open(arguments[2]) ? editorWindow() : 1;
    } else if (command == L"openwith" && count == 3) {
        status = openWith(arguments[2]);
    } else if (command == L"box" && count <= 3) {
        status = box(count == 3 ? arguments[2] : nullptr);
    } else {
        status = usage();
    }
    CoUninitialize();
    return status;
}
