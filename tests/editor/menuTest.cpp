// The menu bar as buildMenu makes it, read back with the platform's menu calls.
#include "mainWindow.h"
#include "translateCommands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct ExpectedItem {
    int id;              // 0 for a separator
    const char* label;
};

struct ExpectedPopup {
    const char* title;
    std::vector<ExpectedItem> items;
};

const std::vector<ExpectedPopup> EXPECTED_MENU = {
    {"&File", {{11, "&New"}, {12, "&Open..."}, {13, "&Save"}, {14, "Save &As..."}, {0, ""}, {15, "E&xit"}}},
    {"&Edit", {{21, "&Undo"}, {0, ""}, {22, "Cu&t"}, {23, "&Copy"}, {24, "&Paste"}, {25, "&Delete"}, {0, ""},
               {26, "Select &All"}}},
    {"&Vocabulary", {{31, "Select &Vocabulary..."}, {0, ""}, {32, "&Shuffle..."}, {33, "&Harvest..."}}},
    {"&Translate", {{41, "Language->&ZarnoGlot(Clipboard)"}, {42, "ZarnoGlot(Clipboard)->&Language"}, {0, ""},
                    {43, "Language->ZarnoGlot"}, {44, "ZarnoGlot->Language"}}},
    {"&Configuration", {{51, "Select &font..."}, {52, "Select &data directory..."}}},
    {"&Help", {{91, "&Help"}, {92, "User &Gude on Web"}, {0, ""}, {93, "&About..."}}},
};

struct ItemSeen {
    UINT type;
    UINT state;
    UINT id;
    HMENU submenu;
    std::string label;
};

ItemSeen readItem(HMENU menu, int position) {
    char label[128] = "";
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
    info.dwTypeData = label;
    info.cch = sizeof label;
    EXPECT_TRUE(GetMenuItemInfoA(menu, position, TRUE, &info));
    return {info.fType, info.fState, info.wID, info.hSubMenu, label};
}

TEST(MenuTest, BuildsTheMenuTable) {
    HMENU bar = buildMenu();
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(GetMenuItemCount(bar), static_cast<int>(EXPECTED_MENU.size()));
    for (size_t p = 0; p < EXPECTED_MENU.size(); p++) {
        const ExpectedPopup& popup = EXPECTED_MENU[p];
        SCOPED_TRACE(popup.title);
        const ItemSeen title = readItem(bar, static_cast<int>(p));
        EXPECT_EQ(title.label, popup.title);
        ASSERT_NE(title.submenu, nullptr);
        ASSERT_EQ(GetMenuItemCount(title.submenu), static_cast<int>(popup.items.size()));
        for (size_t i = 0; i < popup.items.size(); i++) {
            const ExpectedItem& expected = popup.items[i];
            const ItemSeen item = readItem(title.submenu, static_cast<int>(i));
            SCOPED_TRACE(i);
            if (expected.id == 0) {
                EXPECT_TRUE(item.type & MFT_SEPARATOR);
                continue;
            }
            EXPECT_EQ(item.type, static_cast<UINT>(MFT_STRING));
            EXPECT_EQ(item.id, static_cast<UINT>(expected.id));
            EXPECT_EQ(item.label, expected.label);
            EXPECT_EQ(item.state & (MFS_CHECKED | MFS_GRAYED | MFS_DISABLED), 0u);
            EXPECT_EQ(item.submenu, nullptr);
        }
    }
    DestroyMenu(bar);
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
