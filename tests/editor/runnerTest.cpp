#include "debugLog.h"
#include "externRunner.h"
#include "testSupport.h"
#include "testWait.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

const char* const FILTER = "runnerTestFilter";
const uint32_t UNTOUCHED_STATUS = 12345;

struct RunOutcome {
    RunResult result;
    uint32_t exitStatus;
    int32_t outputSize;
    std::string output;  // only after results 0 and -1
    bool blockMoved;
    std::string errorText;   // the standard error the runner kept
};

RunOutcome runFilter(const std::string& input, const char* argument, int32_t capacity,
                     uint32_t timeoutMs = EXTERN_PROG_TIMEOUT_MS, const char* program = FILTER) {
    char* block = static_cast<char*>(std::malloc(capacity > 0 ? capacity : 1));
    char* original = block;
    RunOutcome outcome;
    outcome.outputSize = capacity;
    outcome.exitStatus = UNTOUCHED_STATUS;
    RunErrorText errorText;
    errorText.length = -1;
    outcome.result = runExternProgWithTimeout(input.data(), static_cast<int32_t>(input.size()), program,
                                              argument, &block, &outcome.outputSize, &outcome.exitStatus,
                                              timeoutMs, &errorText);
    EXPECT_TRUE(errorText.length >= 0 && errorText.length <= RUN_ERROR_TEXT_BYTES);
    if (errorText.length >= 0) {
        EXPECT_EQ(errorText.bytes[errorText.length], '\0');
        outcome.errorText.assign(errorText.bytes, errorText.length);
    }
    if (outcome.result == RUN_OK || outcome.result == RUN_PROGRAM_FAILED) {
        outcome.output.assign(block, outcome.outputSize);
    }
    outcome.blockMoved = block != original;
    std::free(block);
    return outcome;
}

std::string patternBytes(size_t count) {
    std::string bytes(count, '\0');
    for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<char>('a' + i % 26);
    return bytes;
}

std::string randomBytes(size_t count) {
    std::mt19937 generator(11);
    std::string bytes(count, '\0');
    for (char& byte : bytes) byte = static_cast<char>(generator() & 0xFF);
    return bytes;
}

int32_t capacityFor(const std::string& input) {
    return static_cast<int32_t>(input.size() * 3 / 2);
}

}  // namespace

TEST(RunExternProg, OutputGrowsLinearlyAtMostSixteenTimes) {
    struct Case {
        int32_t capacity;
        size_t written;
        RunResult expectedResult;
        int32_t expectedSize;
    } cases[] = {
        {100, 0, RUN_OK, 0},          {100, 100, RUN_OK, 100},  {100, 101, RUN_OK, 101},
        {100, 500, RUN_OK, 500},      {100, 501, RUN_OUTPUT_TOO_LARGE, 100},
        {1, 17, RUN_OK, 17},          {1, 18, RUN_OUTPUT_TOO_LARGE, 1},
        {2, 18, RUN_OK, 18},          {2, 19, RUN_OUTPUT_TOO_LARGE, 2},
        {3, 19, RUN_OK, 19},          {3, 20, RUN_OUTPUT_TOO_LARGE, 3},
        {4096, 20480, RUN_OK, 20480}, {4096, 20481, RUN_OUTPUT_TOO_LARGE, 4096},
        {5, 10, RUN_OK, 10},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(std::to_string(test.capacity) + " / " + std::to_string(test.written));
        std::string argument = "write:" + std::to_string(test.written);
        RunOutcome outcome = runFilter("input", argument.c_str(), test.capacity);
        EXPECT_EQ(outcome.result, test.expectedResult);
        EXPECT_EQ(outcome.exitStatus, 0u);
        EXPECT_EQ(outcome.outputSize, test.expectedSize);
        if (test.expectedResult == RUN_OK) {
            EXPECT_EQ(outcome.output, patternBytes(test.written));
        }
        if (static_cast<int32_t>(test.written) <= test.capacity) {
            EXPECT_FALSE(outcome.blockMoved);
        }
    }
}

TEST(RunExternProg, BytesPassThroughUnchanged) {
    std::string everyByte;
    for (int value = 0; value < 256; ++value) everyByte += static_cast<char>(value);
    const std::string inputs[] = {"x", everyByte + "\r\n\x1a\r\n", randomBytes(1 << 20)};
    for (const std::string& input : inputs) {
        RunOutcome outcome = runFilter(input, "echo", capacityFor(input) + 1);
        EXPECT_EQ(outcome.result, RUN_OK);
        EXPECT_TRUE(outcome.output == input) << "length " << input.size();
    }
}

TEST(RunExternProg, OutputIsDrainedWhileInputIsStillBeingWritten) {
    std::string input = randomBytes(1 << 20);
    RunOutcome outcome = runFilter(input, "flood:1048576", capacityFor(input));
    EXPECT_EQ(outcome.result, RUN_OK);
    EXPECT_TRUE(outcome.output == patternBytes(1 << 20));
}

// The program receives each argument as it was given, whatever it holds:
// quotes and backslashes are escaped as the C runtime reads them back, and
// characters of any script arrive through the UTF-16 command line.
TEST(RunExternProg, CommandLineQuotesProgramAndArgument) {
    struct Case {
        const char* argument;
        std::string commandLine;
    } cases[] = {
        {nullptr, "\"runnerTestFilter\""},
        {"", "\"runnerTestFilter\" \"\""},
        {"two words", "\"runnerTestFilter\" \"two words\""},
        {"say \"hi\"", "\"runnerTestFilter\" \"say \\\"hi\\\"\""},
        {"C:\\dir\\", "\"runnerTestFilter\" \"C:\\dir\\\\\""},
        {"a\\\\\"b", "\"runnerTestFilter\" \"a\\\\\\\\\\\"b\""},
        {"a\\b c", "\"runnerTestFilter\" \"a\\b c\""},
        {"\xD0\xBF\xD0\xB0\xD1\x80\xD0\xBE\xD0\xBB\xD1\x8C \xE6\x97\xA5\xE6\x9C\xAC w\xC3\xB6rter.vcb",
         "\"runnerTestFilter\" \"\xD0\xBF\xD0\xB0\xD1\x80\xD0\xBE\xD0\xBB\xD1\x8C \xE6\x97\xA5\xE6\x9C\xAC w\xC3\xB6rter.vcb\""},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.commandLine);
        RunOutcome outcome = runFilter("input", test.argument, 100);
        EXPECT_EQ(outcome.result, RUN_OK);
        EXPECT_EQ(outcome.output, test.commandLine + "\n" + (test.argument != nullptr ? test.argument : ""));
    }
    // Bytes that are not UTF-8 cannot become a command line.
    EXPECT_EQ(runFilter("input", "caf\xE9", 100).result, RUN_ARGUMENTS_REFUSED);
}

// The lines of the editor's log after the last header.
static std::vector<std::string> linesOfLastLogRun(const std::string& logText) {
    std::vector<std::string> lines;
    std::istringstream stream(logText);
    std::string line;
    while (std::getline(stream, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.rfind("====== Log started", 0) == 0) lines.clear();
        lines.push_back(line);
    }
    return lines;
}

TEST(RunExternProg, LogsItsStartAndTheCommandLine) {
    const char* driveT = std::getenv("ZG_DRIVE_T");
    if (driveT == nullptr) GTEST_SKIP() << "drive T: is not mapped";
    ASSERT_TRUE(openDebugLog());
    RunOutcome started = runFilter("input", "", 100);
    RunOutcome refused = runFilter("", "", 100);
    closeDebugLog();
    EXPECT_EQ(started.result, RUN_OK);
    EXPECT_EQ(refused.result, RUN_ARGUMENTS_REFUSED);
    std::vector<std::string> lines = linesOfLastLogRun(readFile(joinPath(driveT, "zarnoGlotWriteW.log")));
    ASSERT_EQ(lines.size(), 8u);  // four header lines, three messages, the closing line
    EXPECT_EQ(lines[4], "runExternProg: start");
    EXPECT_EQ(lines[5], "runExternProg: c/l: [\"runnerTestFilter\" \"\"]");
    EXPECT_EQ(lines[6], "runExternProg: start");
}

// Standard error is read to its end, so even a megabyte of it never blocks
// the program; its first bytes are kept.
TEST(RunExternProg, ExitStatusAndStandardError) {
    std::string big = randomBytes(1 << 20);
    std::string reason = "zarnoGlotDecode: unknown word: Ffcfe\r\n";
    struct Case {
        const char* argument;
        const std::string* input;
        RunResult expectedResult;
        uint32_t expectedStatus;
        bool outputIsInput;
        std::string errorText;
    } cases[] = {
        {"exit:0", &big, RUN_OK, 0, true, ""},
        {"exit:3", &big, RUN_PROGRAM_FAILED, 3, true, ""},
        {"exit:0xC0000005", &big, RUN_PROGRAM_FAILED, 0xC0000005u, true, ""},
        {"stderr:0", &big, RUN_OK, 0, false, big.substr(0, RUN_ERROR_TEXT_BYTES)},
        {"stderr:2", &big, RUN_PROGRAM_FAILED, 2, false, big.substr(0, RUN_ERROR_TEXT_BYTES)},
        {"stderr:1", &reason, RUN_PROGRAM_FAILED, 1, false, reason},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.argument);
        RunOutcome outcome = runFilter(*test.input, test.argument, capacityFor(*test.input));
        EXPECT_EQ(outcome.result, test.expectedResult);
        EXPECT_EQ(outcome.exitStatus, test.expectedStatus);
        EXPECT_TRUE(outcome.output == (test.outputIsInput ? *test.input : std::string()));
        EXPECT_TRUE(outcome.errorText == test.errorText) << outcome.errorText.size() << " bytes kept";
    }
}

TEST(RunExternProg, ProgramEndingWithoutReadingItsInputFailsTheWrite) {
    std::string input = randomBytes(4 << 20);
    RunOutcome outcome = runFilter(input, "noread", capacityFor(input));
    EXPECT_EQ(outcome.result, RUN_INPUT_WRITE_FAILED);
    EXPECT_EQ(outcome.exitStatus, 0u);
}

TEST(RunExternProg, ProgramThatNeverEndsIsTerminated) {
    RunOutcome outcome = runFilter("input", "hang", 100, 1500);
    EXPECT_EQ(outcome.result, RUN_TIMED_OUT);
    EXPECT_EQ(outcome.exitStatus, 1u);
}

// The limit counts from the last byte moved: a filter that writes a byte
// every 0.4 s for 4 s is not cut off by a limit of 1.5 s, and the run's
// progress counts every byte each way.
TEST(RunExternProg, ProgramThatKeepsWritingOutlivesTheLimit) {
    JobProgress progress;
    resetJobProgress(&progress);
    char* block = static_cast<char*>(std::malloc(100));
    int32_t size = 100;
    uint32_t status = UNTOUCHED_STATUS;
    const char* const arguments[] = {"trickle:10"};
    const RunResult result = runExternProgWithArguments("input", 5, FILTER, arguments, 1, &block, &size, &status,
                                                        1500, nullptr, false, &progress);
    EXPECT_EQ(result, RUN_OK);
    EXPECT_EQ(std::string(block, size), patternBytes(10));
    EXPECT_EQ(progress.fedBytes, 5);
    EXPECT_EQ(progress.outputBytes, 10);
    EXPECT_STREQ(progress.step.load(), FILTER);
    std::free(block);
}

// Cancel ends the filter soon, whatever its time limit: the program is
// terminated (exit status 1) and its pipe threads end before the runner
// returns.
TEST(RunExternProg, CancelledRunEndsTheProgram) {
    for (const char* mode : {"hang", "grandchild-noread:"}) {
        SCOPED_TRACE(mode);
        JobProgress progress;
        resetJobProgress(&progress);
        const std::string folder = makeTempDirectory();
        const std::string argument = std::string(mode) + (mode[0] == 'g' ? folder : "");
        const std::string input = patternBytes(4 << 20);
        char* block = static_cast<char*>(std::malloc(100));
        int32_t size = 100;
        uint32_t status = UNTOUCHED_STATUS;
        HANDLE canceller = CreateThread(
            nullptr, 0,
            [](LPVOID job) -> DWORD {
                Sleep(1500);
                static_cast<JobProgress*>(job)->cancelled = true;
                return 0;
            },
            &progress, 0, nullptr);
        const char* const arguments[] = {argument.c_str()};
        const RunResult result =
            runExternProgWithArguments(input.data(), static_cast<int32_t>(input.size()), FILTER, arguments, 1, &block,
                                       &size, &status, EXTERN_PROG_TIMEOUT_MS, nullptr, false, &progress);
        WaitForSingleObject(canceller, INFINITE);
        CloseHandle(canceller);
        EXPECT_EQ(result, RUN_CANCELLED);
        EXPECT_EQ(status, mode[0] == 'h' ? 1u : 0u) << "a filter still running is terminated";
        std::free(block);
        // The grandchild, told to go on, finds its pipe closed and says so.
        writeFile(joinPath(folder, "go"), "");
        const std::string done = joinPath(folder, "done");
        for (int tries = 0; mode[0] == 'g' && tries < 600 && readFile(done).empty(); ++tries) Sleep(50);
        removeTree(folder);
    }
}

TEST(RunExternProg, MissingProgramIsNotStarted) {
    RunOutcome outcome = runFilter("input", nullptr, 100, EXTERN_PROG_TIMEOUT_MS, "noSuchFilterHere");
    EXPECT_EQ(outcome.result, RUN_START_FAILED);
    EXPECT_EQ(outcome.exitStatus, 0u);
}

TEST(RunExternProg, RefusedArgumentsTouchNothing) {
    char bytes[8] = "input";
    char* block = static_cast<char*>(std::malloc(16));
    char* noBlock = nullptr;
    int32_t size = 16;
    int32_t zeroSize = 0;
    int32_t negativeSize = -4;
    struct Case {
        const char* name;
        const char* input;
        int32_t inputLength;
        const char* program;
        char** output;
        int32_t* outputSize;
        bool withStatus;
    } cases[] = {
        {"no input", nullptr, 5, FILTER, &block, &size, true},
        {"input length 0", bytes, 0, FILTER, &block, &size, true},
        {"negative input length", bytes, -1, FILTER, &block, &size, true},
        {"no program", bytes, 5, nullptr, &block, &size, true},
        {"empty program", bytes, 5, "", &block, &size, true},
        {"no output", bytes, 5, FILTER, nullptr, &size, true},
        {"no output block", bytes, 5, FILTER, &noBlock, &size, true},
        {"no output size", bytes, 5, FILTER, &block, nullptr, true},
        {"output size 0", bytes, 5, FILTER, &block, &zeroSize, true},
        {"negative output size", bytes, 5, FILTER, &block, &negativeSize, true},
        {"no exit status", bytes, 5, FILTER, &block, &size, false},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        char* blockBefore = block;
        uint32_t status = UNTOUCHED_STATUS;
        EXPECT_EQ(runExternProg(test.input, test.inputLength, test.program, nullptr, test.output, test.outputSize,
                                test.withStatus ? &status : nullptr),
                  RUN_ARGUMENTS_REFUSED);
        EXPECT_EQ(status, UNTOUCHED_STATUS);
        EXPECT_EQ(block, blockBefore);
        EXPECT_EQ(size, 16);
    }
    std::free(block);
}

// A filter whose grandchild keeps the pipes open after the filter has ended
// blocks the pipe threads. The runner must end them before it returns: the
// grandchild's later output must then fail to arrive instead of landing in
// the caller's block.
TEST(RunExternProg, PipeThreadsHeldByAGrandchildEndBeforeTheRunnerReturns) {
    struct Case {
        const char* mode;
        size_t inputLength;
        RunResult expectedResult;
    } cases[] = {
        {"grandchild:", 10, RUN_COLLECTOR_LATE},
        {"grandchild-noread:", 4 << 20, RUN_FEEDER_LATE},
        {"grandchild-stderr:", 10, RUN_DRAIN_LATE},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.mode);
        std::string folder = makeTempDirectory();
        std::string argument = test.mode + folder;
        std::string input = patternBytes(test.inputLength);
        int32_t capacity = 1000;
        char* block = static_cast<char*>(std::malloc(capacity));
        int32_t size = capacity;
        uint32_t status = UNTOUCHED_STATUS;
        RunResult result = runExternProgWithTimeout(input.data(), static_cast<int32_t>(input.size()), FILTER,
                                                    argument.c_str(), &block, &size, &status, 3000);
        EXPECT_EQ(result, test.expectedResult);
        EXPECT_EQ(status, 0u);
        std::string untouched(capacity, '#');
        std::memcpy(block, untouched.data(), capacity);
        writeFile(joinPath(folder, "go"), "");
        std::string done = joinPath(folder, "done");
        // The grandchild writes its record in one go as it closes the file.
        waitFor("the grandchild's record in " + done, [&] { return !readFile(done).empty(); }, 30000);
        EXPECT_EQ(readFile(done).rfind("failed", 0), 0u) << readFile(done);
        EXPECT_EQ(untouched, std::string(block, capacity));
        std::free(block);
        removeTree(folder);
    }
}
