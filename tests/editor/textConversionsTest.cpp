#include "textConversions.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

struct Utf16Case {
    const char* name;
    std::wstring text;
    int result;
    std::string bytes;
};

TEST(TextConversionsTest, Utf16ToUtf8) {
    const Utf16Case cases[] = {
        {"ASCII", L"abc", 0, "abc"},
        {"two and three bytes", std::wstring{0x00E9, 0x20AC}, 0, "\xC3\xA9\xE2\x82\xAC"},
        {"surrogate pair", std::wstring{0xD83D, 0xDE00}, 0, "\xF0\x9F\x98\x80"},
        {"zero unit inside", std::wstring{L'a', 0, L'b'}, 0, std::string("a\0b", 3)},
        {"lone high surrogate at the end", std::wstring{L'a', 0xD83D}, 1, ""},
        {"lone low surrogate at the start", std::wstring{0xDE00, L'a'}, 1, ""},
        {"lone high surrogate inside", std::wstring{L'a', 0xD83D, L'b'}, 1, ""},
        {"surrogates in the wrong order", std::wstring{0xDE00, 0xD83D}, 1, ""},
    };
    for (const Utf16Case& c : cases) {
        SCOPED_TRACE(c.name);
        char* block = reinterpret_cast<char*>(1);
        int32_t count = -1;
        EXPECT_EQ(utf16ToUtf8(c.text.data(), static_cast<int32_t>(c.text.size()), &block, &count), c.result);
        if (c.result == 0) {
            ASSERT_NE(block, nullptr);
            EXPECT_EQ(std::string(block, count), c.bytes);
        } else {
            EXPECT_EQ(block, nullptr);
            EXPECT_EQ(count, 0);
        }
        free(block);
    }
}

TEST(TextConversionsTest, Utf16ToUtf8OfNothingGivesNoBlock) {
    char* block = reinterpret_cast<char*>(1);
    int32_t count = -1;
    EXPECT_EQ(utf16ToUtf8(L"ignored", 0, &block, &count), 0);
    EXPECT_EQ(block, nullptr);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(utf16ToUtf8(L"abc", -1, &block, &count), 1);
    EXPECT_EQ(block, nullptr);
}

struct Utf8Case {
    const char* name;
    std::string bytes;
    int result;
    std::wstring text;
};

TEST(TextConversionsTest, Utf8ToUtf16) {
    const Utf8Case cases[] = {
        {"empty", "", 0, L""},
        {"ASCII", "abc", 0, L"abc"},
        {"two and three bytes", "\xC3\xA9\xE2\x82\xAC", 0, std::wstring{0x00E9, 0x20AC}},
        {"four bytes", "\xF0\x9F\x98\x80", 0, std::wstring{0xD83D, 0xDE00}},
        {"zero byte inside", std::string("a\0b", 3), 0, std::wstring{L'a', 0, L'b'}},
        {"lone continuation byte", "a\x80", 1, L""},
        {"overlong slash", "\xC0\xAF", 1, L""},
        {"overlong three bytes", "\xE0\x80\xAF", 1, L""},
        {"encoded surrogate", "\xED\xA0\x80", 1, L""},
        {"cut off at the end", "ab\xE2\x82", 1, L""},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", 1, L""},
        {"byte FF", "\xFF", 1, L""},
    };
    for (const Utf8Case& c : cases) {
        SCOPED_TRACE(c.name);
        wchar_t* block = reinterpret_cast<wchar_t*>(1);
        int32_t units = -1;
        EXPECT_EQ(utf8ToUtf16(c.bytes.data(), static_cast<int32_t>(c.bytes.size()), &block, &units), c.result);
        if (c.result == 0) {
            ASSERT_NE(block, nullptr);
            EXPECT_EQ(std::wstring(block, units), c.text);
            EXPECT_EQ(block[units], 0);
        } else {
            EXPECT_EQ(block, nullptr);
            EXPECT_EQ(units, 0);
        }
        free(block);
    }
}

TEST(TextConversionsTest, AnsiToUtf16) {
    wchar_t destination[260];
    const std::string fits(259, 'a');
    EXPECT_EQ(ansiToUtf16(fits.c_str(), destination, 260), 0);
    EXPECT_EQ(std::wstring(destination), std::wstring(259, L'a'));
    EXPECT_EQ(ansiToUtf16(std::string(260, 'a').c_str(), destination, 260), 1);
    EXPECT_EQ(ansiToUtf16("", destination, 1), 0);
    EXPECT_EQ(destination[0], 0);
    EXPECT_EQ(ansiToUtf16("C:\\Data", destination, 260), 0);
    EXPECT_EQ(std::wstring(destination), L"C:\\Data");
    EXPECT_EQ(ansiToUtf16(nullptr, destination, 260), 1);
    EXPECT_EQ(ansiToUtf16("a", destination, 0), 1);
}

TEST(TextConversionsTest, Utf16ToAscii) {
    const struct {
        const char* name;
        std::wstring text;
        int size;
        int result;
        std::string copy;
    } cases[] = {
        {"empty into one byte", L"", 1, 0, ""},
        {"one letter into one byte", L"a", 1, 1, ""},
        {"259 into 260", std::wstring(259, L'x'), 260, 0, std::string(259, 'x')},
        {"260 into 260", std::wstring(260, L'x'), 260, 1, ""},
        {"e acute, room to spare", L"caf\u00e9", 260, 1, ""},
        {"e acute first, no room", L"\u00e9", 1, 1, ""},
        {"DEL is ASCII", L"a\x7f", 3, 0, "a\x7f"},
        {"font name", L"Courier New", 64, 0, "Courier New"},
        {"size zero", L"", 0, 1, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        char destination[300];
        EXPECT_EQ(utf16ToAscii(c.text.c_str(), destination, c.size), c.result);
        if (c.result == 0) {
            EXPECT_EQ(std::string(destination), c.copy);
        }
    }
    char destination[4];
    EXPECT_EQ(utf16ToAscii(nullptr, destination, 4), 1);
    EXPECT_EQ(utf16ToAscii(L"a", nullptr, 4), 1);
}

}  // namespace
