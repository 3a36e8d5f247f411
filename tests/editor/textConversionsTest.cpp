#include "textConversions.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

struct Utf16Case {
    const char* name;
    std::wstring text;
    bool converted;
    std::string bytes;
};

TEST(TextConversionsTest, Utf16ToUtf8) {
    const Utf16Case cases[] = {
        {"ASCII", L"abc", true, "abc"},
        {"two and three bytes", std::wstring{0x00E9, 0x20AC}, true, "\xC3\xA9\xE2\x82\xAC"},
        {"surrogate pair", std::wstring{0xD83D, 0xDE00}, true, "\xF0\x9F\x98\x80"},
        {"zero unit inside", std::wstring{L'a', 0, L'b'}, true, std::string("a\0b", 3)},
        {"lone high surrogate at the end", std::wstring{L'a', 0xD83D}, false, ""},
        {"lone low surrogate at the start", std::wstring{0xDE00, L'a'}, false, ""},
        {"lone high surrogate inside", std::wstring{L'a', 0xD83D, L'b'}, false, ""},
        {"surrogates in the wrong order", std::wstring{0xDE00, 0xD83D}, false, ""},
    };
    for (const Utf16Case& c : cases) {
        SCOPED_TRACE(c.name);
        char* block = reinterpret_cast<char*>(1);
        int32_t count = -1;
        EXPECT_EQ(utf16ToUtf8(c.text.data(), static_cast<int32_t>(c.text.size()), &block, &count), c.converted);
        if (c.converted) {
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
    EXPECT_TRUE(utf16ToUtf8(L"ignored", 0, &block, &count));
    EXPECT_EQ(block, nullptr);
    EXPECT_EQ(count, 0);
    EXPECT_FALSE(utf16ToUtf8(L"abc", -1, &block, &count));
    EXPECT_EQ(block, nullptr);
}

struct Utf8Case {
    const char* name;
    std::string bytes;
    bool converted;
    std::wstring text;
};

TEST(TextConversionsTest, Utf8ToUtf16) {
    const Utf8Case cases[] = {
        {"empty", "", true, L""},
        {"ASCII", "abc", true, L"abc"},
        {"two and three bytes", "\xC3\xA9\xE2\x82\xAC", true, std::wstring{0x00E9, 0x20AC}},
        {"four bytes", "\xF0\x9F\x98\x80", true, std::wstring{0xD83D, 0xDE00}},
        {"zero byte inside", std::string("a\0b", 3), true, std::wstring{L'a', 0, L'b'}},
        {"lone continuation byte", "a\x80", false, L""},
        {"overlong slash", "\xC0\xAF", false, L""},
        {"overlong three bytes", "\xE0\x80\xAF", false, L""},
        {"encoded surrogate", "\xED\xA0\x80", false, L""},
        {"cut off at the end", "ab\xE2\x82", false, L""},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", false, L""},
        {"byte FF", "\xFF", false, L""},
    };
    for (const Utf8Case& c : cases) {
        SCOPED_TRACE(c.name);
        wchar_t* block = reinterpret_cast<wchar_t*>(1);
        int32_t units = -1;
        EXPECT_EQ(utf8ToUtf16(c.bytes.data(), static_cast<int32_t>(c.bytes.size()), &block, &units), c.converted);
        if (c.converted) {
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
    EXPECT_TRUE(ansiToUtf16(fits.c_str(), destination, 260));
    EXPECT_EQ(std::wstring(destination), std::wstring(259, L'a'));
    EXPECT_FALSE(ansiToUtf16(std::string(260, 'a').c_str(), destination, 260));
    EXPECT_TRUE(ansiToUtf16("", destination, 1));
    EXPECT_EQ(destination[0], 0);
    EXPECT_TRUE(ansiToUtf16("C:\\Data", destination, 260));
    EXPECT_EQ(std::wstring(destination), L"C:\\Data");
    EXPECT_FALSE(ansiToUtf16(nullptr, destination, 260));
    EXPECT_FALSE(ansiToUtf16("a", destination, 0));
}

TEST(TextConversionsTest, Utf16ToAscii) {
    const struct {
        const char* name;
        std::wstring text;
        int size;
        bool converted;
        std::string copy;
    } cases[] = {
        {"empty into one byte", L"", 1, true, ""},
        {"one letter into one byte", L"a", 1, false, ""},
        {"259 into 260", std::wstring(259, L'x'), 260, true, std::string(259, 'x')},
        {"260 into 260", std::wstring(260, L'x'), 260, false, ""},
        {"e acute, room to spare", L"caf\u00e9", 260, false, ""},
        {"e acute first, no room", L"\u00e9", 1, false, ""},
        {"DEL is ASCII", L"a\x7f", 3, true, "a\x7f"},
        {"font name", L"Courier New", 64, true, "Courier New"},
        {"size zero", L"", 0, false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        char destination[300];
        EXPECT_EQ(utf16ToAscii(c.text.c_str(), destination, c.size), c.converted);
        if (c.converted) {
            EXPECT_EQ(std::string(destination), c.copy);
        }
    }
    char destination[4];
    EXPECT_FALSE(utf16ToAscii(nullptr, destination, 4));
    EXPECT_FALSE(utf16ToAscii(L"a", nullptr, 4));
}

TEST(TextConversionsTest, WithCrLfLineEnds) {
    const struct { const char* name; std::wstring text; std::wstring converted; } cases[] = {
        {"empty", L"", L""},
        {"line feeds alone", L"a\nb\n\n", L"a\r\nb\r\n\r\n"},
        {"line feed first", L"\nx", L"\r\nx"},
        {"CR LF kept, lone CR kept", L"a\r\nb\rc", L"a\r\nb\rc"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        wchar_t* block = nullptr;
        int32_t units = -1;
        ASSERT_TRUE(withCrLfLineEnds(c.text.data(), static_cast<int32_t>(c.text.size()), &block, &units));
        EXPECT_EQ(std::wstring(block, units), c.converted);
        EXPECT_EQ(block[units], L'\0');
        free(block);
    }
}

}  // namespace
