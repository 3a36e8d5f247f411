// The translation pipeline without a window: the real filters beside the
// test and the runner's test filter standing in for a failing one.
#include "textConversions.h"
#include "translatePipeline.h"
#include "testSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char* const FILTER = "runnerTestFilter";
const uint32_t SHORT_TIMEOUT_MS = 1000;
const uint32_t NORMAL_TIMEOUT_MS = 60000;

const std::string MIXED_TEXT =
    "Dear Zoë,\r\nthe café in Kraków serves crème brûlée.\r\n"
    "東京の天気は晴れです。 Emoji: \xF0\x9F\x98\x80\xF0\x9F\x8E\x89\r\n\r\nEnd.";

struct PipelineOutcome {
    bool translated;
    std::string message;
    std::wstring text;
};

// Runs the pipeline over a malloc'ed copy of input, which it takes over.
PipelineOutcome runSteps(const std::string& input, const TranslateStep& first, const TranslateStep* second,
                         uint32_t timeoutMs = NORMAL_TIMEOUT_MS) {
    char* block = nullptr;
    if (!input.empty()) {
        block = static_cast<char*>(malloc(input.size()));
        memcpy(block, input.data(), input.size());
    }
    PipelineOutcome outcome;
    wchar_t* text = nullptr;
    int32_t units = -1;
    char message[PIPELINE_MESSAGE_SIZE];
    outcome.translated =
        runTranslatePipeline(block, static_cast<int32_t>(input.size()), first, second, timeoutMs, &text, &units, message);
    if (outcome.translated) {
        EXPECT_NE(text, nullptr);
        EXPECT_EQ(text[units], L'\0');
        outcome.text.assign(text, units);
    } else {
        EXPECT_EQ(text, nullptr);
        outcome.message = message;
    }
    free(text);
    return outcome;
}

// The same with programs of at most one argument each.
PipelineOutcome runPipeline(const std::string& input, const char* programA, const char* argumentA,
                            const char* programB, const char* argumentB,
                            uint32_t timeoutMs = NORMAL_TIMEOUT_MS) {
    const TranslateStep first = {programA, {argumentA, nullptr}, 0};
    const TranslateStep second = {programB, {argumentB, nullptr}, 0};
    return runSteps(input, first, programB != nullptr ? &second : nullptr, timeoutMs);
}

std::wstring wide(const std::string& utf8) {
    wchar_t* block = nullptr;
    int32_t units = 0;
    EXPECT_TRUE(utf8ToUtf16(utf8.data(), static_cast<int32_t>(utf8.size()), &block, &units));
    std::wstring text(block, units);
    free(block);
    return text;
}

std::string narrow(const std::wstring& text) {
    char* block = nullptr;
    int32_t count = 0;
    EXPECT_TRUE(utf16ToUtf8(text.data(), static_cast<int32_t>(text.size()), &block, &count));
    std::string bytes(block != nullptr ? block : "", count);
    free(block);
    return bytes;
}

std::string vocabulary() {
    return joinPath(binaryDirectory(), "sample.vcb");
}

TEST(TranslatePipelineTest, CapacityIsOneAndAHalfTimesTheInput) {
    const struct { int32_t input; int32_t capacity; } cases[] = {
        {0, 0}, {1, 1}, {2, 3}, {3, 4}, {100, 150}, {1431655765, 2147483647}, {2147483647, 2147483647}};
    for (const auto& c : cases) {
        EXPECT_EQ(initialOutputCapacity(c.input), c.capacity) << c.input;
    }
}

TEST(TranslatePipelineTest, ToZarnoGlotAndBackGivesTheTextBack) {
    const std::string vcb = vocabulary();
    // Ordinary text, one byte (its sealed text is many times its size), and
    // text so repetitive that it deflates far more than the way back has
    // room to grow (1 MB of one short line).
    std::string repetitive;
    while (repetitive.size() < (1u << 20)) repetitive += "y\r\n";
    const TranslateStep encode = encodeStep(vcb.c_str());
    const TranslateStep open = openStep(vcb.c_str());
    for (const std::string& document : {MIXED_TEXT, std::string("x"), repetitive}) {
        const PipelineOutcome encoded = runSteps(document, sealStep(vcb.c_str()), &encode);
        ASSERT_TRUE(encoded.translated) << encoded.message;
        EXPECT_NE(encoded.text, wide(document));
        const PipelineOutcome decoded = runSteps(narrow(encoded.text), decodeStep(vcb.c_str()), &open);
        ASSERT_TRUE(decoded.translated) << decoded.message;
        EXPECT_TRUE(decoded.text == wide(document));
    }
}

TEST(TranslatePipelineTest, SingleRunMakesTheFirstOutputTheText) {
    const PipelineOutcome outcome = runPipeline(MIXED_TEXT, FILTER, "echo", nullptr, nullptr);
    ASSERT_TRUE(outcome.translated) << outcome.message;
    EXPECT_EQ(outcome.text, wide(MIXED_TEXT));
}

TEST(TranslatePipelineTest, FailuresGiveTheirBoxText) {
    const std::string vcb = vocabulary();
    const std::string damagedPack = std::string("\x78\xda", 2) + "not deflate data at all";
    const std::string notWritten = "First external program failed, error code: 1.\nzarnoGlotDecode: this text was not "
                                   "written with the vocabulary " + vcb + " (3 of its 3 words are not in it)";
    const struct {
        const char* name;
        std::string input;
        const char* programA;
        const char* argumentA;
        const char* programB;
        const char* argumentB;
        uint32_t timeoutMs;
        const char* message;
    } cases[] = {
        {"empty document", "", "zarnoGlotPack", nullptr, "zarnoGlotEncode", vcb.c_str(), NORMAL_TIMEOUT_MS,
         "First runExternal failed, error code: 1.\nzarnoGlotPack was not started: there was nothing to give it"},
        {"first program writes nothing", "text", FILTER, "write:0", FILTER, "echo", NORMAL_TIMEOUT_MS,
         "First runExternal failed, error code: 1.\nrunnerTestFilter was not started: there was nothing to give it"},
        {"missing vocabulary", "text", "zarnoGlotPack", nullptr, "zarnoGlotEncode", "absent.vcb",
         NORMAL_TIMEOUT_MS,
         "First external program failed, error code: 1.\nzarnoGlotEncode: cannot open vocabulary \"absent.vcb\""},
        {"not ZarnoGlot text", "Plain words here.", "zarnoGlotDecode", vcb.c_str(), "zarnoGlotPack", "-d",
         NORMAL_TIMEOUT_MS, notWritten.c_str()},
        {"damaged packed bytes", damagedPack, "zarnoGlotPack", "-d", nullptr, nullptr, NORMAL_TIMEOUT_MS,
         "First external program failed, error code: 1.\nzarnoGlotPack: damaged packed data (invalid block type)"},
        {"reason without the program's name", "\r\n  why\tit failed \r\nsecond line", FILTER, "stderr:1",
         nullptr, nullptr, NORMAL_TIMEOUT_MS, "First external program failed, error code: 1.\nrunnerTestFilter: why it failed"},
        {"first program exit status", "text", FILTER, "exit:3", FILTER, "echo", NORMAL_TIMEOUT_MS,
         "First external program failed, error code: 3.\nrunnerTestFilter ended with exit status 3 without saying why"},
        {"second program exit status", "text", FILTER, "echo", FILTER, "exit:1", NORMAL_TIMEOUT_MS,
         "First external program failed, error code: 1.\nrunnerTestFilter ended with exit status 1 without saying why"},
        {"access violation status", "text", FILTER, "exit:0xC0000005", nullptr, nullptr, NORMAL_TIMEOUT_MS,
         "First external program failed, error code: -1073741819.\nrunnerTestFilter ended with exit status "
         "-1073741819 without saying why"},
        {"program not found", "text", "noSuchFilterProgram", nullptr, nullptr, nullptr, NORMAL_TIMEOUT_MS,
         "First runExternal failed, error code: 7.\nnoSuchFilterProgram.exe was not found in the editor's folder"},
        {"first program hangs", "text", FILTER, "hang", FILTER, "echo", SHORT_TIMEOUT_MS,
         "First runExternal failed, error code: 11.\nrunnerTestFilter did not answer within 1 seconds"},
        {"second program hangs", "text", FILTER, "echo", FILTER, "hang", SHORT_TIMEOUT_MS,
         "First runExternal failed, error code: 11.\nrunnerTestFilter did not answer within 1 seconds"},
        {"output beyond sixteen growths", std::string(100, 'x'), FILTER, "write:743", nullptr, nullptr,
         NORMAL_TIMEOUT_MS, "First runExternal failed, error code: 14.\nrunnerTestFilter wrote far more than the "
         "editor expects of it"},
        {"invalid UTF-8", "ab\xff", FILTER, "echo", nullptr, nullptr, NORMAL_TIMEOUT_MS,
         "Processor produced invalid UTF-8."},
        {"lone surrogate in UTF-8", "\xED\xA0\x80", FILTER, "echo", nullptr, nullptr, NORMAL_TIMEOUT_MS,
         "Processor produced invalid UTF-8."},
        {"zero byte", std::string("before\0after", 12), FILTER, "echo", nullptr, nullptr, NORMAL_TIMEOUT_MS,
         "The result contains a zero byte and cannot be shown."},
        {"zero byte at the end", std::string("after\0", 6), FILTER, "echo", nullptr, nullptr, NORMAL_TIMEOUT_MS,
         "The result contains a zero byte and cannot be shown."},
    };
    for (const auto& c : cases) {
        const PipelineOutcome outcome = runPipeline(c.input, c.programA, c.argumentA, c.programB, c.argumentB,
                                                    c.timeoutMs);
        EXPECT_FALSE(outcome.translated) << c.name;
        EXPECT_EQ(outcome.message, c.message) << c.name;
    }
}

TEST(TranslatePipelineTest, OutputUpToSixteenGrowthsFits) {
    // Capacity 150 grows in steps of 37: 742 bytes fit.
    const PipelineOutcome outcome = runPipeline(std::string(100, 'x'), FILTER, "write:742", nullptr, nullptr);
    ASSERT_TRUE(outcome.translated) << outcome.message;
    EXPECT_EQ(outcome.text.size(), 742u);
}

TEST(TranslatePipelineTest, EmptyOutputOfTheLastProgramGivesAnEmptyText) {
    const PipelineOutcome outcome = runPipeline("text", FILTER, "echo", FILTER, "write:0");
    ASSERT_TRUE(outcome.translated) << outcome.message;
    EXPECT_EQ(outcome.text, L"");
}

}  // namespace
