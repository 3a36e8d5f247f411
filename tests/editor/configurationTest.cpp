#include "configuration.h"
#include "logFormat.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

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

TEST(ConfigurationTest, ParsesTheThreeLines) {
    const std::string letters63(63, 'v');
    const std::string path259 = "C:\\" + std::string(256, 'd');
    const ParseCase cases[] = {
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
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Configuration settings = parse(c.text);
        EXPECT_EQ(settings.vocabularyName, c.vocabulary);
        EXPECT_EQ(settings.dataDirectory, c.dataDirectory);
        EXPECT_EQ(settings.fontFace, c.fontFace);
        EXPECT_EQ(settings.fontPointSize, c.pointSize);
    }
}

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
    memset(settings.dataDirectory, 'd', PATH_SIZE - 1);
    settings.dataDirectory[PATH_SIZE - 1] = '\0';
    strcpy(settings.fontFace, "Font,Name");
    settings.fontPointSize = -2;

    char text[1024];
    const int length = formatConfiguration(settings, text, sizeof text);
    ASSERT_GT(length, 0);
    EXPECT_EQ(std::string(text, length),
              std::string(NAME_SIZE - 1, 'v') + "\n" + std::string(PATH_SIZE - 1, 'd') + "\nFont,Name,-2\n");
    const Configuration back = parse(std::string(text, length));
    EXPECT_STREQ(back.vocabularyName, settings.vocabularyName);
    EXPECT_STREQ(back.dataDirectory, settings.dataDirectory);
    EXPECT_STREQ(back.fontFace, settings.fontFace);
    EXPECT_EQ(back.fontPointSize, -2);

    char small[8];
    EXPECT_EQ(formatConfiguration(settings, small, sizeof small), -1);
}

TEST(ConfigurationTest, CutsAProgramPathToItsFolder) {
    const struct { const char* path; const char* folder; } cases[] = {
        {"C:\\Tools\\editor.exe", "C:\\Tools"},
        {"C:\\editor.exe", "C:"},
        {"C:editor.exe", "C"},
        {"editor.exe", ""},
        {"\\\\server\\share\\bin\\editor.exe", "\\\\server\\share\\bin"},
    };
    for (const auto& c : cases) {
        char path[PATH_SIZE];
        strcpy(path, c.path);
        cutToFolder(path);
        EXPECT_STREQ(path, c.folder) << c.path;
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
