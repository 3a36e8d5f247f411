#include "harvester.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "programCases.h"
#include "testSupport.h"
#include "testVocabulary.h"

namespace {

const std::string USAGE =
    "zarnoGlotHarvest (version: 26.247) word extractor  utility\n"
    "zarnoGlotHarvest < textFilePathName > wordlistPathName\n"
    "Option:\n"
    "  -h print version, usage and exit.\n";

// `count` distinct words "wa".."wzzz" in sentences of five, and the word
// list the harvester makes of them (sentence starts are lowercase already).
std::string generatedText(int count, const std::string& lineEnd, std::string* wordList) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        std::string word = generatedWord(i);
        text += word + (i % 5 == 4 ? "." + lineEnd : " ");
        if (wordList) *wordList += word + "\n";
    }
    return text;
}

std::vector<ProgramCase> usageAndRefusals() {
    std::string list4607;
    std::string text4607 = generatedText(4607, "\n", &list4607);
    std::string list4608;
    std::string text4608 = generatedText(4608, "\n", &list4608);
    return {
        {"-h", {"-h"}, "", "", USAGE, -1},
        {"any argument", {"words"}, "", "", USAGE, -1},
        {"two arguments", {"-h", "-h"}, "", "", USAGE, -1},
        {"too few words", {}, "The cat sat. The Dog ran!", "",
         "zarnoGlotHarvest: only 5 unique words found; 4608 required\n", 1},
        {"empty input", {}, "", "", "zarnoGlotHarvest: only 0 unique words found; 4608 required\n", 1},
        {"4607 words", {}, text4607, "", "zarnoGlotHarvest: only 4607 unique words found; 4608 required\n", 1},
        {"exactly 4608 words", {}, text4608, list4608, "zarnoGlotHarvest: 4608 unique words found and written.\n", 0},
    };
}

class HarvestProgramRows : public ::testing::TestWithParam<ProgramCase> {};

TEST_P(HarvestProgramRows, UsageAndRefusals) {
    expectProgramCase(programPath("zarnoGlotHarvest"), GetParam());
}

INSTANTIATE_TEST_SUITE_P(Rows, HarvestProgramRows, ::testing::ValuesIn(usageAndRefusals()), RowName());

TEST(HarvestProgram, ReadsLfAndCrLfAndWritesThePlatformsLineEnds) {
    std::string wordList;
    std::string lfText = generatedText(5000, "\n", &wordList);
    std::string crLfText = generatedText(5000, "\r\n", nullptr);
    for (const std::string& text : {lfText, crLfText}) {
        ProgramResult result = runProgram(programPath("zarnoGlotHarvest"), {}, text);
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(result.out, platformLineEnds(wordList));
    }
}

TEST(HarvestProgram, WritesTheFirst10000WordsOfALargerText) {
    std::string wordList;
    std::string text = generatedText(12000, "\n", &wordList);
    ProgramResult result = runProgram(programPath("zarnoGlotHarvest"), {}, text);
    EXPECT_EQ(result.status, 0);
    std::string first10000 = wordList.substr(0, 10000 * 5);  // "w" and three letters, and "\n"
    EXPECT_EQ(result.out, platformLineEnds(first10000));
    EXPECT_EQ(result.err, platformLineEnds("zarnoGlotHarvest: 10000 unique words found and written.\n"));
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
    EXPECT_EQ(runHarvest(text, full, errors), 1);
    std::fclose(text);
    std::fclose(full);

    std::FILE* folderStream = std::fopen(folder.c_str(), "r");  // reading a folder fails
    ASSERT_TRUE(folderStream);
    EXPECT_EQ(runHarvest(folderStream, stdout, errors), 1);
    std::fclose(folderStream);
    std::fclose(errors);

    EXPECT_EQ(readFile(errPath), "zarnoGlotHarvest: write error\nzarnoGlotHarvest: read error\n");
    removeTree(folder);
}
#endif

}  // namespace
