// The editor core's window-free rules for a filter run: how its outcome is
// decided, the text that says why it failed, when a running filter is
// stopped and what the progress window says of it, the way back's choice
// among the readings of a text, and the command line that starts it; and
// where the start program looks for the editor. Built natively and under
// Wine.
#include "commandLine.h"
#include "filterRun.h"
#include "jobProgress.h"
#include "readingChoice.h"
#include "runFailure.h"
#include "startCommandLine.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

namespace {

RunErrorText errorTextOf(const std::string& text) {
    RunErrorText errorText;
    std::memcpy(errorText.bytes, text.data(), text.size());
    errorText.bytes[text.size()] = '\0';
    errorText.length = static_cast<int32_t>(text.size());
    errorText.startError = 0;
    return errorText;
}

TEST(RunFailureTest, PutsTheProgramsFirstErrorLineBeneathTheHeadline) {
    const std::string longLine = "zarnoGlotDecode: " + std::string(481, 'x') + "\xC3\xA9\xC3\xA9" + "tail";
    const std::string cutLine = "zarnoGlotDecode: " + std::string(481, 'x') + "\xC3\xA9";
    const struct {
        std::string errorText;
        std::string text;
    } cases[] = {
        {"", "Headline."},
        {" \r\n\t\n", "Headline."},
        {"\r\nzarnoGlotDecode: after a line end\n", "Headline.\nzarnoGlotDecode: after a line end"},
        {"\n\n  reason \n", "Headline.\nzarnoGlotDecode: reason"},
        {"zarnoGlotDecode: unknown word: Ffcfe\r\n", "Headline.\nzarnoGlotDecode: unknown word: Ffcfe"},
        {"ZARNOGLOTDECODE: upper case\n", "Headline.\nZARNOGLOTDECODE: upper case"},
        {"zarnoGlotDecoder: other name", "Headline.\nzarnoGlotDecode: zarnoGlotDecoder: other name"},
        {std::string("cut\0here\x01\n", 10), "Headline.\nzarnoGlotDecode: cut here"},
        {longLine, "Headline.\n" + cutLine},
    };
    for (const auto& c : cases) {
        const RunErrorText errorText = errorTextOf(c.errorText);
        char text[RUN_FAILURE_TEXT_SIZE];
        formatRunFailure("Headline.", nullptr, "zarnoGlotDecode", &errorText, text);
        EXPECT_EQ(std::string(text), c.text) << c.errorText;
    }
}

// An input the program did not read to its end is its own refusal when it
// failed; read to the end or not, a filter that stops reading once done
// succeeded with status 0.
TEST(RunFailureTest, OneRuleDecidesARefusedInputWrite) {
    const struct {
        RunResult result;
        uint32_t exitStatus;
        bool stopsReadingWhenDone;
        RunResult decided;
    } cases[] = {
        {RUN_INPUT_WRITE_FAILED, 1, false, RUN_PROGRAM_FAILED},
        {RUN_INPUT_WRITE_FAILED, 2, true, RUN_PROGRAM_FAILED},
        {RUN_INPUT_WRITE_FAILED, 0, true, RUN_OK},
        {RUN_INPUT_WRITE_FAILED, 0, false, RUN_INPUT_WRITE_FAILED},
        {RUN_PROGRAM_FAILED, 3, true, RUN_PROGRAM_FAILED},
        {RUN_TIMED_OUT, 1, true, RUN_TIMED_OUT},
        {RUN_OK, 0, false, RUN_OK},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(decideRunResult(c.result, c.exitStatus, c.stopsReadingWhenDone), c.decided)
            << c.result << " " << c.exitStatus << " " << c.stopsReadingWhenDone;
    }
}

TEST(RunFailureTest, TranslateAndToolFailuresNameWhatHappened) {
    const char* const arguments[] = {"-d", "v.vcb"};
    const FilterRun run = {"zarnoGlotPack", arguments, 2, 300, false, false};
    RunErrorText notFound = errorTextOf("");
    notFound.startError = 2;
    const struct {
        FilterOutcome outcome;
        std::string translateText;
        std::string toolText;
    } cases[] = {
        {{RUN_PROGRAM_FAILED, 2, errorTextOf("\nthe text was altered\n"), false, 60000},
         "First external program failed, error code: 2.\nzarnoGlotPack: the text was altered",
         "No word list was made: zarnoGlotPack ended with exit status 2.\nzarnoGlotPack: the text was altered"},
        {{RUN_PROGRAM_FAILED, 1, errorTextOf(""), false, 60000},
         "First external program failed, error code: 1.\nzarnoGlotPack ended with exit status 1 without saying why",
         "No word list was made: zarnoGlotPack ended with exit status 1."},
        {{RUN_START_FAILED, 0, notFound, false, 60000},
         "First runExternal failed, error code: 7.\nzarnoGlotPack.exe was not found in the editor's folder",
         "No word list was made: zarnoGlotPack.exe was not found in the editor's folder."},
        {{RUN_INPUT_WRITE_FAILED, 0, errorTextOf("zarnoGlotPack: stopped\n"), false, 60000},
         "First runExternal failed, error code: 17.\nzarnoGlotPack stopped before it had read the whole text\n"
         "zarnoGlotPack: stopped",
         "No word list was made: zarnoGlotPack stopped before it had read the whole text.\nzarnoGlotPack: stopped"},
        {{RUN_OUTPUT_NO_MEMORY, 0, errorTextOf(""), true, 60000},
         "No memory (300) for first program initial output buffer", ""},
    };
    for (const auto& c : cases) {
        char text[RUN_FAILURE_TEXT_SIZE];
        describeTranslateFailure(run, c.outcome, text);
        EXPECT_EQ(std::string(text), c.translateText);
        if (c.outcome.noOutputBlock) continue;
        describeToolFailure("No word list was made", run.program, c.outcome, text);
        EXPECT_EQ(std::string(text), c.toolText);
    }
}

// Every result of a run has its sentence, naming the program.
struct RunSentenceRow {
    const char* name;
    RunResult result;
    RunFacts facts;
    const char* sentence;
};

// A row is shown by its name (in the names ctest lists, too).
void PrintTo(const RunSentenceRow& row, std::ostream* out) { *out << row.name; }

class RunSentenceTest : public ::testing::TestWithParam<RunSentenceRow> {};

TEST_P(RunSentenceTest, NamesTheProgramAndWhatHappened) {
    char sentence[RUN_SENTENCE_SIZE];
    describeRunResult(GetParam().result, "zarnoGlotPack", GetParam().facts, sentence);
    EXPECT_STREQ(sentence, GetParam().sentence);
}

const char* const NOT_CONNECTED = "zarnoGlotPack was not started: Windows could not connect it to the editor";
const char* const NO_THREAD = "zarnoGlotPack was stopped: the editor could not start a thread to serve it";

INSTANTIATE_TEST_SUITE_P(Results, RunSentenceTest, ::testing::Values(
    RunSentenceRow{"ProgramFailed", RUN_PROGRAM_FAILED, {3221225477u, 0, 60},
                   "zarnoGlotPack ended with exit status -1073741819 without saying why"},
    RunSentenceRow{"Ok", RUN_OK, {0, 0, 60}, "zarnoGlotPack ended normally"},
    RunSentenceRow{"ArgumentsRefused", RUN_ARGUMENTS_REFUSED, {0, 0, 60},
                   "zarnoGlotPack was not started: there was nothing to give it"},
    RunSentenceRow{"InputPipe", RUN_INPUT_PIPE_FAILED, {0, 0, 60}, NOT_CONNECTED},
    RunSentenceRow{"OutputPipe", RUN_OUTPUT_PIPE_FAILED, {0, 0, 60}, NOT_CONNECTED},
    RunSentenceRow{"ErrorPipe", RUN_ERROR_PIPE_FAILED, {0, 0, 60}, NOT_CONNECTED},
    RunSentenceRow{"Inheritance", RUN_INHERITANCE_FAILED, {0, 0, 60}, NOT_CONNECTED},
    RunSentenceRow{"NoMemory", RUN_NO_MEMORY, {0, 0, 60}, "zarnoGlotPack was not started: there was not enough memory"},
    RunSentenceRow{"NotFound", RUN_START_FAILED, {0, 2, 60}, "zarnoGlotPack.exe was not found in the editor's folder"},
    RunSentenceRow{"FolderNotFound", RUN_START_FAILED, {0, 3, 60},
                   "zarnoGlotPack.exe was not found in the editor's folder"},
    RunSentenceRow{"NotStarted", RUN_START_FAILED, {0, 193, 60},
                   "zarnoGlotPack.exe could not be started (Windows error 193)"},
    RunSentenceRow{"FeederNotStarted", RUN_FEEDER_NOT_STARTED, {0, 0, 60}, NO_THREAD},
    RunSentenceRow{"CollectorNotStarted", RUN_COLLECTOR_NOT_STARTED, {0, 0, 60}, NO_THREAD},
    RunSentenceRow{"DrainNotStarted", RUN_DRAIN_NOT_STARTED, {0, 0, 60}, NO_THREAD},
    RunSentenceRow{"TimedOut", RUN_TIMED_OUT, {1, 0, 60}, "zarnoGlotPack did not answer within 60 seconds"},
    RunSentenceRow{"ExitStatusUnknown", RUN_EXIT_STATUS_UNKNOWN, {0, 0, 60},
                   "zarnoGlotPack ended, but Windows could not tell how"},
    RunSentenceRow{"OutputNoMemory", RUN_OUTPUT_NO_MEMORY, {0, 0, 60}, "zarnoGlotPack wrote more than there was memory for"},
    RunSentenceRow{"OutputTooLarge", RUN_OUTPUT_TOO_LARGE, {0, 0, 60},
                   "zarnoGlotPack wrote far more than the editor expects of it"},
    RunSentenceRow{"OutputRead", RUN_OUTPUT_READ_FAILED, {0, 0, 60}, "what zarnoGlotPack wrote could not be read"},
    RunSentenceRow{"ErrorRead", RUN_ERROR_READ_FAILED, {0, 0, 60},
                   "what zarnoGlotPack wrote about its errors could not be read"},
    RunSentenceRow{"InputWrite", RUN_INPUT_WRITE_FAILED, {0, 0, 60},
                   "zarnoGlotPack stopped before it had read the whole text"},
    RunSentenceRow{"FeederLate", RUN_FEEDER_LATE, {0, 0, 5}, "zarnoGlotPack did not take the whole text within 5 seconds"},
    RunSentenceRow{"CollectorLate", RUN_COLLECTOR_LATE, {0, 0, 60},
                   "zarnoGlotPack's output did not end within 60 seconds"},
    RunSentenceRow{"DrainLate", RUN_DRAIN_LATE, {0, 0, 60},
                   "zarnoGlotPack's error output did not end within 60 seconds"},
    RunSentenceRow{"Cancelled", RUN_CANCELLED, {1, 0, 60}, "zarnoGlotPack was stopped: the job was cancelled"}),
    [](const ::testing::TestParamInfo<RunSentenceRow>& info) { return std::string(info.param.name); });

// A filter that goes on reading or writing is never cut off: the limit
// counts from the last byte moved on any of its pipes, and Cancel stops it
// at once.
struct RunStopRow {
    const char* name;
    bool cancelled;
    uint64_t lastMovedMs;
    uint64_t nowMs;
    RunStop stop;
};

void PrintTo(const RunStopRow& row, std::ostream* out) { *out << row.name; }

class RunStopTest : public ::testing::TestWithParam<RunStopRow> {};

TEST_P(RunStopTest, CountsTheLimitFromTheLastByteMoved) {
    JobProgress progress;
    resetJobProgress(&progress);
    beginJobStep(&progress, "zarnoGlotPack", 100, 1000);
    notePipeActivity(&progress, GetParam().lastMovedMs);
    progress.cancelled = GetParam().cancelled;
    EXPECT_EQ(runStop(progress, GetParam().nowMs, 60000), GetParam().stop);
}

INSTANTIATE_TEST_SUITE_P(Rows, RunStopTest, ::testing::Values(
    RunStopRow{"JustStarted", false, 1000, 1000, RUN_GOES_ON},
    RunStopRow{"SilentAlmostAMinute", false, 1000, 60999, RUN_GOES_ON},
    RunStopRow{"SilentAMinute", false, 1000, 61000, RUN_STOP_NO_PROGRESS},
    RunStopRow{"MovedAMomentAgo", false, 3600000, 3600500, RUN_GOES_ON},
    RunStopRow{"MovedAfterTheClockWasRead", false, 5000, 4000, RUN_GOES_ON},
    RunStopRow{"CancelledWhileBusy", true, 5000, 5000, RUN_STOP_CANCELLED},
    RunStopRow{"CancelledAndSilent", true, 1000, 90000, RUN_STOP_CANCELLED}),
    [](const ::testing::TestParamInfo<RunStopRow>& info) { return std::string(info.param.name); });

TEST(RunStopTest, EveryByteMovedRestartsTheClockAndIsCounted) {
    JobProgress progress;
    resetJobProgress(&progress);
    beginJobStep(&progress, "zarnoGlotEncode", 300, 0);
    noteBytesFed(&progress, 100, 59000);
    noteBytesFed(&progress, 200, 118000);
    noteOutputRead(&progress, 700, 177000);
    EXPECT_EQ(runStop(progress, 236999, 60000), RUN_GOES_ON);
    EXPECT_EQ(runStop(progress, 237000, 60000), RUN_STOP_NO_PROGRESS);
    EXPECT_EQ(progress.fedBytes, 300);
    EXPECT_EQ(progress.outputBytes, 700);
    beginJobStep(&progress, "zarnoGlotPack", 700, 240000);
    EXPECT_EQ(progress.fedBytes, 0) << "each run counts its own bytes";
    EXPECT_EQ(runStop(progress, 299999, 60000), RUN_GOES_ON);
    EXPECT_FALSE(progressWindowDue(1000, 1499));
    EXPECT_TRUE(progressWindowDue(1000, 1500));
}

// What the progress window's second line says of the job as it stands.
struct ProgressLineRow {
    const char* name;
    const char* step;
    int64_t input, fed, output;
    int64_t shown, toShow;
    bool cancelled;
    const char* line;
};

void PrintTo(const ProgressLineRow& row, std::ostream* out) { *out << row.name; }

class ProgressLineTest : public ::testing::TestWithParam<ProgressLineRow> {};

TEST_P(ProgressLineTest, SaysWhatRunsAndHowFarItHasGot) {
    const ProgressLineRow& row = GetParam();
    JobProgress progress;
    resetJobProgress(&progress);
    if (row.step != nullptr) beginJobStep(&progress, row.step, row.input, 0);
    noteBytesFed(&progress, row.fed, 0);
    noteOutputRead(&progress, row.output, 0);
    progress.shownUnits = row.shown;
    progress.unitsToShow = row.toShow;
    progress.cancelled = row.cancelled;
    char line[PROGRESS_TEXT_SIZE];
    describeJobProgress(progress, line);
    EXPECT_STREQ(line, row.line);
}

INSTANTIATE_TEST_SUITE_P(Rows, ProgressLineTest, ::testing::Values(
    ProgressLineRow{"NothingYet", nullptr, 0, 0, 0, 0, 0, false, ""},
    ProgressLineRow{"Reading", "zarnoGlotPack", 20000000, 3200000, 0, 0, 0, false,
                    "zarnoGlotPack has read 3.2 MB of 20.0 MB"},
    ProgressLineRow{"SmallInput", "zarnoGlotEncode", 999, 0, 0, 0, 0, false,
                    "zarnoGlotEncode has read 0 bytes of 999 bytes"},
    ProgressLineRow{"Kilobytes", "zarnoGlotDecode", 45678, 12345, 0, 0, 0, false,
                    "zarnoGlotDecode has read 12.3 KB of 45.7 KB"},
    ProgressLineRow{"Writing", "zarnoGlotEncode", 9100000, 9100000, 43900000, 0, 0, false,
                    "zarnoGlotEncode has read all 9.1 MB and written 43.9 MB"},
    ProgressLineRow{"StepWithoutBytes", "Reading the file", 0, 0, 0, 0, 0, false, "Reading the file"},
    ProgressLineRow{"Showing", "zarnoGlotEncode", 100, 100, 100, 450, 1000, false, "Showing the result: 45%"},
    ProgressLineRow{"Shown", nullptr, 0, 0, 0, 1000, 1000, false, "Showing the result: 100%"},
    ProgressLineRow{"Cancelled", "zarnoGlotPack", 100, 50, 0, 0, 0, true, "Cancelling\u2026"}),
    [](const ::testing::TestParamInfo<ProgressLineRow>& info) { return std::string(info.param.name); });

// Each argument quoted so that the C runtime reads it back as it is; under
// Wine the runner's tests check that a program does.
TEST(CommandLineTest, QuotesEachArgumentForTheCRuntime) {
    const struct {
        std::string argument;
        std::string commandLine;
    } cases[] = {
        {"", "\"p\" \"\""},
        {"two words", "\"p\" \"two words\""},
        {"say \"hi\"", "\"p\" \"say \\\"hi\\\"\""},
        {"C:\\dir\\", "\"p\" \"C:\\dir\\\\\""},
        {"a\\\"b", "\"p\" \"a\\\\\\\"b\""},
        {"a\\\\\"b", "\"p\" \"a\\\\\\\\\\\"b\""},
        {"a\\b c", "\"p\" \"a\\b c\""},
    };
    for (const auto& c : cases) {
        const char* const arguments[] = {c.argument.c_str()};
        size_t length = 0;
        char* commandLine = quotedCommandLine("p", arguments, 1, &length);
        ASSERT_NE(commandLine, nullptr);
        EXPECT_EQ(std::string(commandLine), c.commandLine) << c.argument;
        EXPECT_LT(std::strlen(commandLine), length);
        std::free(commandLine);
    }
}

// The folder beside the start program, or the installed folder as the
// registry holds it (with its trailing backslash), gives the editor's path;
// no folder, or a path longer than the room, gives none.
TEST(StartCommandLineTest, FindsTheEditorInAFolder) {
    const std::wstring longFolder = L"C:\\" + std::wstring(240, L'a');
    const struct {
        std::wstring folder;
        size_t units;
        const wchar_t* path;  // nullptr: no path
    } cases[] = {
        {L"C:\\Users\\Jos\u00e9\\Desktop", 260, L"C:\\Users\\Jos\u00e9\\Desktop\\zarnoGlotWriteW.exe"},
        {L"C:\\Users\\a\\AppData\\Local\\Programs\\ZarnoGlot\\", 260,
         L"C:\\Users\\a\\AppData\\Local\\Programs\\ZarnoGlot\\zarnoGlotWriteW.exe"},
        {L"C:", 260, L"C:\\zarnoGlotWriteW.exe"},
        {L"\\\\server\\share\\\u65e5\u672c", 260, L"\\\\server\\share\\\u65e5\u672c\\zarnoGlotWriteW.exe"},
        {L"", 260, nullptr},
        {L"C:\\x", 25, L"C:\\x\\zarnoGlotWriteW.exe"},   // exactly fills the room
        {L"C:\\x", 24, nullptr},
        {longFolder, 260, nullptr},
    };
    for (const auto& c : cases) {
        wchar_t path[260] = L"unchanged";
        const bool found = editorPathIn(c.folder.c_str(), path, c.units);
        EXPECT_EQ(found, c.path != nullptr) << c.units;
        if (c.path != nullptr) {
            EXPECT_STREQ(path, c.path);
        }
    }
}

// Each row: what the readings of a text came to, in order, and the step
// after the last of them (every one before it tries the next reading).
struct ReadingsCase {
    const char* name;
    std::vector<ReadingOutcome> outcomes;
    ReadingStep last;
    int askedAbout;  // the reading the question is about, or 0
};

void PrintTo(const ReadingsCase& row, std::ostream* out) {
    *out << row.name;
}

class ReadingChoice : public testing::TestWithParam<ReadingsCase> {};

TEST_P(ReadingChoice, ASealedReadingOpensAndAnUnsealedOneIsAskedAboutLast) {
    const ReadingsCase& row = GetParam();
    ReadingSearch search;
    startReadingSearch(&search);
    for (size_t i = 0; i < row.outcomes.size(); i++) {
        EXPECT_EQ(search.reading, static_cast<int>(i) + 1);
        const ReadingStep step = afterReading(&search, row.outcomes[i], 4);
        EXPECT_EQ(step, i + 1 < row.outcomes.size() ? STEP_NEXT_READING : row.last) << "after reading " << i + 1;
    }
    if (row.last == STEP_ASK_UNSEALED) {
        EXPECT_EQ(search.unsealedReading, row.askedAbout);
    }
}

constexpr ReadingOutcome OPENED = READING_OPENED;
constexpr ReadingOutcome UNSEALED = READING_NOT_SEALED;
constexpr ReadingOutcome REFUSED = READING_REFUSED;
constexpr ReadingOutcome NONE = READING_NOT_READ;

INSTANTIATE_TEST_SUITE_P(Rows, ReadingChoice, testing::Values(
    ReadingsCase{"sealed at once", {OPENED}, STEP_SHOW, 0},
    ReadingsCase{"the text does not read", {NONE}, STEP_FAIL, 0},
    ReadingsCase{"opened but not text", {READING_NOT_SHOWN}, STEP_FAIL, 0},
    ReadingsCase{"refused then sealed", {REFUSED, OPENED}, STEP_SHOW, 0},
    ReadingsCase{"unsealed then sealed opens without a question", {UNSEALED, OPENED}, STEP_SHOW, 0},
    ReadingsCase{"unsealed and no other block", {UNSEALED, NONE}, STEP_ASK_UNSEALED, 1},
    ReadingsCase{"refused then unsealed", {REFUSED, UNSEALED, NONE}, STEP_ASK_UNSEALED, 2},
    ReadingsCase{"the first of two unsealed", {UNSEALED, REFUSED, UNSEALED, NONE}, STEP_ASK_UNSEALED, 1},
    ReadingsCase{"unsealed at every reading", {UNSEALED, UNSEALED, UNSEALED, UNSEALED}, STEP_ASK_UNSEALED, 1},
    ReadingsCase{"unsealed at the last reading", {REFUSED, REFUSED, REFUSED, UNSEALED}, STEP_ASK_UNSEALED, 4},
    ReadingsCase{"refused at every reading", {REFUSED, REFUSED, REFUSED, REFUSED}, STEP_FAIL, 0},
    ReadingsCase{"refused and no other block", {REFUSED, NONE}, STEP_FAIL, 0},
    ReadingsCase{"unsealed then opened but not text", {UNSEALED, READING_NOT_SHOWN}, STEP_FAIL, 0}),
    [](const testing::TestParamInfo<ReadingsCase>& info) {
        std::string name = info.param.name;
        for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name;
    });

TEST(ReadingChoiceTest, KnowsThePackersRefusalOfATextThatIsNotSealed) {
    EXPECT_TRUE(refusedAsNotSealed(errorTextOf("zarnoGlotPack: the text is not sealed: anyone who knows the "
                                               "vocabulary's words could have written it (zarnoGlotPack -d -u "
                                               "vocabulary reads it)\n")));
    EXPECT_FALSE(refusedAsNotSealed(errorTextOf("zarnoGlotPack: the text is damaged or was altered\n")));
    EXPECT_FALSE(refusedAsNotSealed(errorTextOf("zarnoGlotPack: the text is not")));
    EXPECT_FALSE(refusedAsNotSealed(errorTextOf("")));
}

}  // namespace
