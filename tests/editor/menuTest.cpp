// The menu bar of the real main window, read back with the platform's menu
// calls: every command of commands.h under the label a user sees, each once,
// with a mnemonic of its own in its menu, and every menu item the user guide
// names standing as it names it.
#include "commands.h"
#include "mainWindow.h"
#include "translateCommands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "programCases.h"
#include "testSupport.h"

namespace {

// An item as a user sees it: its menu's title and its label without the
// mnemonic's '&', and the letter the mnemonic marks.
struct SeenItem {
    std::string menu;
    std::string label;
    char mnemonic;
    UINT id;
    UINT type;
    UINT state;
    bool hasSubmenu;
};

std::string readLabel(HMENU menu, int position, MENUITEMINFOA* info) {
    char label[128] = "";
    *info = MENUITEMINFOA{};
    info->cbSize = sizeof *info;
    info->fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
    info->dwTypeData = label;
    info->cch = sizeof label;
    EXPECT_TRUE(GetMenuItemInfoA(menu, position, TRUE, info));
    return label;
}

// The label without its '&', and the letter after it (0 when none).
std::string shown(const std::string& label, char* mnemonic) {
    std::string text;
    *mnemonic = 0;
    for (std::size_t i = 0; i < label.size(); ++i) {
        if (label[i] == '&' && i + 1 < label.size()) {
            *mnemonic = static_cast<char>(std::tolower(static_cast<unsigned char>(label[i + 1])));
            continue;
        }
        text += label[i];
    }
    return text;
}

// The menu bar of a main window made as the editor makes it, read once.
struct SeenMenu {
    std::vector<std::pair<std::string, char>> titles;
    std::vector<SeenItem> items;  // separators left out
};

const SeenMenu& realMenu() {
    static SeenMenu seen;
    if (!seen.titles.empty()) return seen;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    registerMainWindowClass(instance);
    HWND window = createMainWindow(instance, buildMenu());
    EXPECT_NE(window, nullptr);
    HMENU bar = GetMenu(window);
    for (int p = 0; p < GetMenuItemCount(bar); ++p) {
        MENUITEMINFOA title;
        char titleMnemonic = 0;
        const std::string menu = shown(readLabel(bar, p, &title), &titleMnemonic);
        seen.titles.emplace_back(menu, titleMnemonic);
        for (int i = 0; title.hSubMenu != nullptr && i < GetMenuItemCount(title.hSubMenu); ++i) {
            MENUITEMINFOA info;
            const std::string label = readLabel(title.hSubMenu, i, &info);
            if (info.fType & MFT_SEPARATOR) continue;
            char mnemonic = 0;
            const std::string text = shown(label, &mnemonic);
            seen.items.push_back({menu, text, mnemonic, info.wID, info.fType, info.fState, info.hSubMenu != nullptr});
        }
    }
    DestroyWindow(window);
    return seen;
}

// Every command of commands.h, where a user finds it.
struct MenuCase {
    const char* name;  // "Menu > Label" as the user guide writes it
    int command;
};

void PrintTo(const MenuCase& row, std::ostream* out) {
    *out << row.name;
}

class MenuItems : public testing::TestWithParam<MenuCase> {};

TEST_P(MenuItems, RunTheirCommandUnderTheLabelAUserSees) {
    const std::string path = GetParam().name;
    const std::size_t arrow = path.find(" > ");
    const std::string menu = path.substr(0, arrow);
    const std::string label = path.substr(arrow + 3);
    const std::vector<SeenItem>& items = realMenu().items;
    const auto item = std::find_if(items.begin(), items.end(),
                                   [&](const SeenItem& seen) { return seen.menu == menu && seen.label == label; });
    ASSERT_NE(item, items.end()) << "no item " << path;
    EXPECT_EQ(item->id, static_cast<UINT>(GetParam().command));
    EXPECT_EQ(item->type, static_cast<UINT>(MFT_STRING));
    EXPECT_EQ(item->state & (MFS_CHECKED | MFS_GRAYED | MFS_DISABLED), 0u);
    EXPECT_FALSE(item->hasSubmenu);
}

const MenuCase MENU_CASES[] = {
    {"File > New", CMD_FILE_NEW},
    {"File > Open...", CMD_FILE_OPEN},
    {"File > Save", CMD_FILE_SAVE},
    {"File > Save As...", CMD_FILE_SAVE_AS},
    {"File > Exit", CMD_FILE_EXIT},
    {"Edit > Undo", CMD_EDIT_UNDO},
    {"Edit > Cut", CMD_EDIT_CUT},
    {"Edit > Copy", CMD_EDIT_COPY},
    {"Edit > Paste", CMD_EDIT_PASTE},
    {"Edit > Delete", CMD_EDIT_DELETE},
    {"Edit > Select All", CMD_EDIT_SELECT_ALL},
    {"Vocabulary > Select Vocabulary...", CMD_SELECT_VOCABULARY},
    {"Vocabulary > Shuffle...", CMD_SHUFFLE},
    {"Vocabulary > Harvest...", CMD_HARVEST},
    {"Translate > Language->ZarnoGlot(Clipboard)", CMD_TO_ZARNOGLOT_CLIPBOARD},
    {"Translate > ZarnoGlot(Clipboard)->Language", CMD_FROM_ZARNOGLOT_CLIPBOARD},
    {"Translate > Language->ZarnoGlot", CMD_TO_ZARNOGLOT},
    {"Translate > ZarnoGlot->Language", CMD_FROM_ZARNOGLOT},
    {"Configuration > Select font...", CMD_SELECT_FONT},
    {"Configuration > Select data directory...", CMD_SELECT_DATA_DIRECTORY},
    {"Help > Help", CMD_HELP},
    {"Help > User Gude on Web", CMD_USER_GUIDE},
    {"Help > About...", CMD_ABOUT},
};

INSTANTIATE_TEST_SUITE_P(Commands, MenuItems, testing::ValuesIn(MENU_CASES), RowName());

// No command is in the menu twice or missing from the table above, and a
// mnemonic picks one menu on the bar and one item in its menu.
TEST(MenuBar, EveryCommandOnceAndEveryMnemonicOnceInItsMenu) {
    const SeenMenu& seen = realMenu();
    std::set<UINT> ids;
    std::map<std::string, std::set<char>> mnemonics;
    for (const SeenItem& item : seen.items) {
        EXPECT_TRUE(ids.insert(item.id).second) << item.menu << " > " << item.label << " repeats a command";
        if (item.mnemonic != 0) {
            EXPECT_TRUE(mnemonics[item.menu].insert(item.mnemonic).second)
                << item.menu << " > " << item.label << " repeats the mnemonic " << item.mnemonic;
        }
    }
    EXPECT_EQ(ids.size(), sizeof MENU_CASES / sizeof MENU_CASES[0]);
    std::set<char> titleMnemonics;
    for (const auto& title : seen.titles) {
        EXPECT_NE(title.second, 0) << title.first;
        EXPECT_TRUE(titleMnemonics.insert(title.second).second) << title.first;
    }
}

// Where the user guide says "Menu > Item", the item stands so in the menu
// (a label's "..." may be left out in a sentence).
TEST(MenuBar, TheUserGuideNamesItsItemsAsTheyStand) {
    std::string guide;
    bool blank = false;
    for (char c : readFile(joinPath(binaryDirectory(), "user-guide.txt"))) {
        const bool space = c == ' ' || c == '\r' || c == '\n';
        if (!space || !blank) guide += space ? ' ' : c;
        blank = space;
    }
    ASSERT_FALSE(guide.empty());
    const SeenMenu& seen = realMenu();
    int named = 0;
    for (const auto& title : seen.titles) {
        const std::string lead = title.first + " > ";
        for (std::size_t at = guide.find(lead); at != std::string::npos; at = guide.find(lead, at + 1)) {
            const std::string rest = guide.substr(at + lead.size(), 60);
            const bool stands = std::any_of(seen.items.begin(), seen.items.end(), [&](const SeenItem& item) {
                std::string label = item.label;
                if (label.size() > 3 && label.compare(label.size() - 3, 3, "...") == 0) label.resize(label.size() - 3);
                return item.menu == title.first && rest.compare(0, label.size(), label) == 0;
            });
            EXPECT_TRUE(stands) << "the user guide names " << lead << rest;
            ++named;
        }
    }
    EXPECT_GT(named, 10);
}

// Whether the clipboard holds the registered format, with a DWORD 0 when
// zeroValue.
bool holdsFormat(const wchar_t* name, bool zeroValue) {
    HANDLE data = GetClipboardData(RegisterClipboardFormatW(name));
    const DWORD* value = data != nullptr ? static_cast<const DWORD*>(GlobalLock(data)) : nullptr;
    const bool held = value != nullptr && (!zeroValue || (GlobalSize(data) >= sizeof(DWORD) && *value == 0));
    if (value != nullptr) GlobalUnlock(data);
    return held;
}

// What the clipboard translations put on the clipboard stays out of
// Windows' clipboard history and cloud clipboard. (Wine does not carry
// registered formats to another process, so this is checked in-process.)
TEST(ClipboardMarksTest, KeepTheTextOutOfTheClipboardHistory) {
    HWND owner = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_TRUE(OpenClipboard(owner));
    EmptyClipboard();
    HGLOBAL text = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 8);
    ASSERT_NE(SetClipboardData(CF_UNICODETEXT, text), nullptr);
    keepOutOfClipboardHistory();
    EXPECT_TRUE(holdsFormat(L"ExcludeClipboardContentFromMonitorProcessing", false));
    EXPECT_TRUE(holdsFormat(L"CanIncludeInClipboardHistory", true));
    EXPECT_TRUE(holdsFormat(L"CanUploadToCloudClipboard", true));
    EmptyClipboard();
    CloseClipboard();
    DestroyWindow(owner);
}

}  // namespace
