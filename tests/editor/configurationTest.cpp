#include "configuration.h"
#include "logFormat.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <cwchar>
#include <ostream>
#include <string>
#include <vector>

namespace {

Configuration parse(const std::string& text) {
    Configuration settings = {"", "", "", DEFAULT_FONT_POINT_SIZE};
    parseConfiguration(text.data(), static_cast<int>(text.size()), &settings);
    return settings;
}

struct ParseCase {
    const char* name;
    std::string text;
    std::string vocabulary;
    std::string dataDirectory;
    std::string fontFace;
    int pointSize;
};

// n times the UTF-8 text.
std::string repeated(const std::string& text, int n) {
    std::string result;
    for (int i = 0; i < n; i++) result += text;
    return result;
}

void PrintTo(const ParseCase& row, std::ostream* out) {
    *out << row.name;
}

std::vector<ParseCase> parseCases() {
    const std::string letters63(63, 'v');
    const std::string path259 = "C:\\" + std::string(256, 'd');
    // UTF-8 settings: a line holds 63 UTF-16 units, whatever their bytes; a
    // character beyond the first 65536 takes two units and is never cut.
    const std::string umlauts63 = repeated("\xC3\xBC", 63);
    const std::string clefs31 = repeated("\xF0\x9D\x84\x9E", 31);
    const std::string briefe = "C:\\Users\\Jos\xC3\xA9\\Documents\\Briefe f\xC3\xBCr Oma";
    const std::string japanese = "C:\\Users\\\xE3\x81\x95\xE3\x81\x8F\xE3\x82\x89\\\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E";
    const std::string path259cjk = "C:\\" + repeated("\xE6\x97\xA5", 256);
    return {
        {"CR LF", "a.vcb\r\nC:\\Data\r\nCourier New,12\r\n", "a.vcb", "C:\\Data", "Courier New", 12},
        {"LF", "a.vcb\nC:\\Data\nCourier New,12\n", "a.vcb", "C:\\Data", "Courier New", 12},
        {"no line end at the end", "a.vcb\nC:\\Data\nArial,9", "a.vcb", "C:\\Data", "Arial", 9},
        {"commas in the face", "a\nb\nFont,Name,9\n", "a", "b", "Font,Name", 9},
        {"no comma", "a\nb\nConsolas\n", "a", "b", "Consolas", 10},
        {"comma and nothing", "a\nb\nConsolas,\n", "a", "b", "Consolas", 0},
        {"signed size with blanks", "a\nb\nArial, -5\n", "a", "b", "Arial", -5},
        {"size with a unit", "a\nb\nArial,12pt\n", "a", "b", "Arial", 12},
        {"size not a number", "a\nb\nArial,big\n", "a", "b", "Arial", 0},
        {"lines after the third", "a\nb\nc,8\nmore\n", "a", "b", "c", 8},
        {"two lines", "a\nb\n", "a", "b", "", 10},
        {"empty file", "", "", "", "", 10},
        {"empty lines", "\n\n\n", "", "", "", 10},
        {"CR inside a line", "a\rjunk\nb\nc,7\n", "a", "b", "c", 7},
        {"longest vocabulary name", letters63 + "\r\nC:\\Data\r\nArial,9\r\n", letters63, "C:\\Data", "Arial", 9},
        {"longest data directory", "a\n" + path259 + "\nArial,9\n", "a", path259, "Arial", 9},
        {"first line too long", letters63 + "rest\r\nC:\\Data\r\nArial,9\r\n", letters63, "rest", "C:\\Data", 10},
        {"data directory too long", "a\n" + path259 + "X\nArial,9\n", "a", path259, "X", 10},
        {"UTF-8 names", "meine-w\xC3\xB6rter.vcb\r\n" + briefe + "\r\nConsolas,10\r\n", "meine-w\xC3\xB6rter.vcb", briefe,
         "Consolas", 10},
        {"Japanese folder", "a.vcb\n" + japanese + "\nArial,9\n", "a.vcb", japanese, "Arial", 9},
        {"byte-order mark", "\xEF\xBB\xBF" "a.vcb\r\nC:\\Data\r\nArial,9\r\n", "a.vcb", "C:\\Data", "Arial", 9},
        {"longest UTF-8 name", umlauts63 + "\nb\nc,7\n", umlauts63, "b", "c", 7},
        {"UTF-8 name too long", umlauts63 + "\xC3\xBC\nb\nc,7\n", umlauts63, "\xC3\xBC", "b", 10},
        {"pair not cut", clefs31 + "ab\nc\nd,7\n", clefs31 + "a", "b", "c", 10},
        {"longest UTF-8 data directory", "a\n" + path259cjk + "\nArial,9\n", "a", path259cjk, "Arial", 9},
    };
}

class ConfigurationLines : public testing::TestWithParam<ParseCase> {};

TEST_P(ConfigurationLines, ParseIntoTheThreeSettings) {
    const ParseCase& c = GetParam();
    const Configuration settings = parse(c.text);
    EXPECT_EQ(settings.vocabularyName, c.vocabulary);
    EXPECT_EQ(settings.dataDirectory, c.dataDirectory);
    EXPECT_EQ(settings.fontFace, c.fontFace);
    EXPECT_EQ(settings.fontPointSize, c.pointSize);
}

INSTANTIATE_TEST_SUITE_P(Rows, ConfigurationLines, testing::ValuesIn(parseCases()),
                         [](const testing::TestParamInfo<ParseCase>& info) {
                             std::string name = info.param.name;
                             for (char& c : name) {
                                 if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) c = '_';
                             }
                             return name;
                         });

TEST(ConfigurationTest, ReadsIntegersAsAtoiDoes) {
    const struct { const char* text; int value; } cases[] = {
        {"12", 12}, {"  42x", 42}, {"+7", 7}, {"-3", -3}, {"", 0}, {"x1", 0},
        {"\t9", 9}, {"99999999999", INT_MAX}, {"-99999999999", INT_MIN},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(parseLeadingInteger(c.text), c.value) << c.text;
    }
}

TEST(ConfigurationTest, FormatsThreeLinesThatReadBackTheSame) {
    Configuration settings = {"", "", "", 0};
    memset(settings.vocabularyName, 'v', NAME_SIZE - 1);
    settings.vocabularyName[NAME_SIZE - 1] = '\0';
    memset(settings.dataDirectory, 'd', PATH_UNITS - 1);
    settings.dataDirectory[PATH_UNITS - 1] = '\0';
    strcpy(settings.fontFace, "Font,Name");
    settings.fontPointSize = -2;

    char text[1024];
    const int length = formatConfiguration(settings, text, sizeof text);
    ASSERT_GT(length, 0);
    EXPECT_EQ(std::string(text, length),
              std::string(NAME_SIZE - 1, 'v') + "\n" + std::string(PATH_UNITS - 1, 'd') + "\nFont,Name,-2\n");
    const Configuration back = parse(std::string(text, length));
    EXPECT_STREQ(back.vocabularyName, settings.vocabularyName);
    EXPECT_STREQ(back.dataDirectory, settings.dataDirectory);
    EXPECT_STREQ(back.fontFace, settings.fontFace);
    EXPECT_EQ(back.fontPointSize, -2);

    char small[8];
    EXPECT_EQ(formatConfiguration(settings, small, sizeof small), -1);
}

TEST(ConfigurationTest, CutsAProgramPathToItsFolder) {
    const struct { const wchar_t* path; const wchar_t* folder; } cases[] = {
        {L"C:\\Tools\\editor.exe", L"C:\\Tools"},
        {L"C:\\editor.exe", L"C:"},
        {L"C:editor.exe", L"C"},
        {L"editor.exe", L""},
        {L"\\\\server\\share\\bin\\editor.exe", L"\\\\server\\share\\bin"},
        {L"C:\\Users\\Jos\u00e9\\Downloads\\\u65e5\u672c\u8a9e\\editor.exe", L"C:\\Users\\Jos\u00e9\\Downloads\\\u65e5\u672c\u8a9e"},
    };
    for (const auto& c : cases) {
        wchar_t path[PATH_UNITS];
        wcscpy(path, c.path);
        cutToFolder(path);
        EXPECT_STREQ(path, c.folder);
    }
}

TEST(LogFormatTest, FormatsTheTimeAsYearDayHourMinute) {
    struct tm time = {};
    time.tm_year = 126;
    time.tm_yday = 259;
    time.tm_mon = 8;
    time.tm_mday = 17;
    time.tm_hour = 15;
    time.tm_min = 6;
    char text[LOG_TIME_SIZE];
    formatLogTime(time, text);
    EXPECT_STREQ(text, "26.260 15.06");
    time.tm_year = 100;
    time.tm_yday = 0;
    time.tm_hour = 0;
    time.tm_min = 0;
    formatLogTime(time, text);
    EXPECT_STREQ(text, "00.001 00.00");
}

TEST(LogFormatTest, FormatsTheHeaderOfARun) {
    char text[512];
    const int length = formatLogHeader(text, sizeof text, "26.260 15.06", LOG_FILE_PATH, "26.260", 4242);
    EXPECT_EQ(std::string(text, length),
              "====== Log started at 26.260 15.06 ======\n"
              "Program/Log file: [t:zarnoGlotWriteW.log]\n"
              "Version: 26.260\n"
              "Process ID: 4242\n");
    char small[16];
    EXPECT_EQ(formatLogHeader(small, sizeof small, "x", "y", "z", 1), -1);
}

int formatMessage(char* text, int size, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    const int length = formatLogMessage(text, size, format, arguments);
    va_end(arguments);
    return length;
}

TEST(LogFormatTest, CutsAMessageThatDoesNotFit) {
    char text[LOG_MESSAGE_SIZE];
    EXPECT_EQ(formatMessage(text, sizeof text, "vocabulary: [%s]", "a.vcb"), 19);
    EXPECT_STREQ(text, "vocabulary: [a.vcb]");

    // The longest line the editor writes fits whole.
    const std::string path(259, 'p');
    EXPECT_EQ(formatMessage(text, sizeof text, "executable: [%s]", path.c_str()), 13 + 259 + 1);

    char small[8] = "xxxxxxx";
    EXPECT_EQ(formatMessage(small, sizeof small, "%s", "abcdefghijk"), 7);
    EXPECT_STREQ(small, "abcdefg");
}

}  // namespace
