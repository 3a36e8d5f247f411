// The editor's configuration parsing on arbitrary file text (the editor
// core's window-free files, compiled natively against a stub of the Windows
// declarations).
// Checked: every setting stays terminated within its room and holds no line
// end; the font size is what atoi-style reading of the text after the last
// comma gives; and formatting the settings and parsing them again gives the
// same settings (when the font line fits its room), so that saving never
// changes what was read.
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>

#include "configuration.h"
#include "fuzzSupport.h"
#include "textConversions.h"

// UTF-16 units of UTF-8 text, as the configuration's lines count them.
static int utf16Units(const char* text) {
    int units = 0;
    for (const unsigned char* c = reinterpret_cast<const unsigned char*>(text); *c != 0; ++c) {
        if (*c < 0x80 || *c > 0xBF) units += *c >= 0xF0 ? 2 : 1;
    }
    return units;
}

static void checkSetting(const char* setting, int room) {
    std::size_t length = strnlen(setting, static_cast<std::size_t>(room));
    FUZZ_CHECK(length < static_cast<std::size_t>(room), "a setting is not terminated within its room");
    FUZZ_CHECK(std::strpbrk(setting, "\r\n") == nullptr, "a setting holds a line end");
}

// atoi's value of the text, clamped to int, computed without overflow.
static int modelInteger(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > 1LL << 40) value = 1LL << 40;
    }
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

static bool sameSettings(const Configuration& left, const Configuration& right) {
    return std::strcmp(left.vocabularyName, right.vocabularyName) == 0 &&
           std::strcmp(left.dataDirectory, right.dataDirectory) == 0 &&
           std::strcmp(left.fontFace, right.fontFace) == 0 && left.fontPointSize == right.fontPointSize;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 4096) return 0;
    const char* text = reinterpret_cast<const char*>(data);
    Configuration settings = {"sample.vcb", "data", "Consolas", DEFAULT_FONT_POINT_SIZE};
    parseConfiguration(text, static_cast<int>(size), &settings);
    checkSetting(settings.vocabularyName, NAME_LINE_BYTES);
    checkSetting(settings.dataDirectory, PATH_LINE_BYTES);
    checkSetting(settings.fontFace, NAME_LINE_BYTES);
    FUZZ_CHECK(utf16Units(settings.vocabularyName) <= NAME_SIZE - 1 &&
                   utf16Units(settings.dataDirectory) <= PATH_UNITS - 1 && utf16Units(settings.fontFace) <= NAME_SIZE - 1,
               "a setting holds more UTF-16 units than its room");

    std::string line(text, size);
    line = line.substr(0, line.find('\0'));
    FUZZ_CHECK(parseLeadingInteger(line.c_str()) == modelInteger(line), "the number is not read as atoi reads it");
    std::string fontLine = line;
    int pointSize = 0;
    splitFontLine(&fontLine[0], &pointSize);
    std::size_t comma = line.rfind(',');
    FUZZ_CHECK(pointSize == (comma == std::string::npos ? DEFAULT_FONT_POINT_SIZE : modelInteger(line.substr(comma + 1))),
               "the font size is not the number after the last comma");

    char formatted[NAME_LINE_BYTES * 2 + PATH_LINE_BYTES + 16];
    int length = formatConfiguration(settings, formatted, sizeof formatted);
    FUZZ_CHECK(length > 0 && static_cast<std::size_t>(length) == std::strlen(formatted), "the settings do not format");
    Configuration again = {"", "", "", 0};
    parseConfiguration(formatted, length, &again);
    // The font line is read back whole only when face, comma and size fit
    // its 63 UTF-16 units; a longer face can only come from an edited file.
    char fontLineText[32 + NAME_LINE_BYTES];
    std::snprintf(fontLineText, sizeof fontLineText, "%s,%d", settings.fontFace, settings.fontPointSize);
    if (utf16Units(fontLineText) <= NAME_SIZE - 1 && std::strlen(fontLineText) < sizeof settings.fontFace) {
        FUZZ_CHECK(sameSettings(settings, again), "formatting and parsing again changes the settings");
    } else {
        FUZZ_CHECK(std::strcmp(settings.vocabularyName, again.vocabularyName) == 0 &&
                       std::strcmp(settings.dataDirectory, again.dataDirectory) == 0,
                   "formatting and parsing again changes the first two settings");
    }

    std::string narrowPath = line.substr(0, PATH_UNITS - 1);
    std::wstring path(narrowPath.begin(), narrowPath.end());
    cutToFolder(&path[0]);
    FUZZ_CHECK(std::wcslen(path.c_str()) <= narrowPath.size(), "cutting to the folder grew the path");
    return 0;
}
