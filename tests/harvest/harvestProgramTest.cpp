#include "harvester.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "testSupport.h"

namespace {

#ifdef _WIN32
const std::string NEWLINE = "\r\n";
#else
const std::string NEWLINE = "\n";
#endif

const std::string USAGE =
    "zarnoGlotHarvest (version: 26.247) word extractor  utility\n"
    "zarnoGlotHarvest < textFilePathName > wordlistPathName\n"
    "Option:\n"
    "  -h print version, usage and exit.\n";

std::string withNewlines(const std::string& text) {
    std::string converted;
    for (char c : text) {
        if (c == '\n') converted += NEWLINE;
        else converted += c;
    }
    return converted;
}

// `count` distinct words "wa".."wzzz" in sentences of five, and the word
// list the harvester makes of them (sentence starts are lowercase already).
std::string generatedText(int count, const std::string& lineEnd, std::string* wordList) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        std::string word = "w";
        for (int n = i, digits = 0; digits < 3; ++digits, n /= 26) word += static_cast<char>('a' + n % 26);
        text += word + (i % 5 == 4 ? "." + lineEnd : " ");
        if (wordList) *wordList += word + "\n";
    }
    return text;
}

struct ProgramCase {
    const char* name;
    std::vector<std::string> arguments;
    std::string input;
    std::string out;
    std::string err;
    int status;
};

TEST(HarvestProgram, UsageAndRefusals) {
    std::string list4608;
    std::string text4608 = generatedText(4608, "\n", &list4608);
    const ProgramCase cases[] = {
        {"-h", {"-h"}, "", "", withNewlines(USAGE), -1},
        {"any argument", {"words"}, "", "", withNewlines(USAGE), -1},
        {"two arguments", {"-h", "-h"}, "", "", withNewlines(USAGE), -1},
        {"too few words", {}, "The cat sat. The Dog ran!", "",
         withNewlines("zarnoGlotHarvest: only 5 unique words found; 4608 required\n"), 1},
        {"empty input", {}, "", "", withNewlines("zarnoGlotHarvest: only 0 unique words found; 4608 required\n"), 1},
        {"exactly 4608 words", {}, text4608, withNewlines(list4608),
         withNewlines("zarnoGlotHarvest: 4608 unique words found and written.\n"), 0},
    };
    for (const ProgramCase& testCase : cases) {
        ProgramResult result = runProgram(programPath("zarnoGlotHarvest"), testCase.arguments, testCase.input);
        EXPECT_EQ(testCase.status, result.status) << testCase.name;
        EXPECT_EQ(testCase.out, result.out) << testCase.name;
        EXPECT_EQ(testCase.err, result.err) << testCase.name;
    }
}

TEST(HarvestProgram, ReadsLfAndCrLfAndWritesThePlatformsLineEnds) {
    std::string wordList;
    std::string lfText = generatedText(5000, "\n", &wordList);
    std::string crLfText = generatedText(5000, "\r\n", nullptr);
    for (const std::string& text : {lfText, crLfText}) {
        ProgramResult result = runProgram(programPath("zarnoGlotHarvest"), {}, text);
        EXPECT_EQ(0, result.status);
        EXPECT_EQ(withNewlines(wordList), result.out);
    }
}

TEST(HarvestProgram, WritesTheFirst10000WordsOfALargerText) {
    std::string wordList;
    std::string text = generatedText(12000, "\n", &wordList);
    ProgramResult result = runProgram(programPath("zarnoGlotHarvest"), {}, text);
    EXPECT_EQ(0, result.status);
    std::string first10000 = wordList.substr(0, 10000 * 5);  // "w" and three letters, and "\n"
    EXPECT_EQ(withNewlines(first10000), result.out);
    EXPECT_EQ(withNewlines("zarnoGlotHarvest: 10000 unique words found and written.\n"), result.err);
}

#ifndef _WIN32
// Stream failures, with streams that fail on purpose.
TEST(HarvestStreams, ReadAndWriteFailuresAreReported) {
    std::string folder = makeTempDirectory();
    std::string textPath = joinPath(folder, "text");
    writeFile(textPath, generatedText(5000, "\n", nullptr));
    std::string errPath = joinPath(folder, "err");

    std::FILE* errors = std::fopen(errPath.c_str(), "w");
    std::FILE* text = std::fopen(textPath.c_str(), "r");
    std::FILE* full = std::fopen("/dev/full", "w");
    ASSERT_TRUE(errors && text && full);
    EXPECT_EQ(1, runHarvest(text, full, errors));
    std::fclose(text);
    std::fclose(full);

    std::FILE* folderStream = std::fopen(folder.c_str(), "r");  // reading a folder fails
    ASSERT_TRUE(folderStream);
    EXPECT_EQ(1, runHarvest(folderStream, stdout, errors));
    std::fclose(folderStream);
    std::fclose(errors);

    EXPECT_EQ("zarnoGlotHarvest: write error\nzarnoGlotHarvest: read error\n", readFile(errPath));
    removeTree(folder);
}
#endif

}  // namespace
