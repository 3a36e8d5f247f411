// The editor core's window-free rules of documents: the main window's
// title, how a file's bytes are text, what a file error means to the user,
// the names of a save's temporary files, and how a long text is cut into
// the pieces the edit control lays out and where its lines break. Built
// natively and under Wine.
#include "documentEncoding.h"
#include "editorJob.h"
#include "fileRules.h"
#include "textLayout.h"
#include "windowTitle.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cwchar>
#include <ostream>
#include <string>

namespace {

struct TitleRow {
    const char* name;
    std::wstring document;
    std::wstring vocabulary;
    std::wstring title;
};

// A row is shown by its name (in the names ctest lists, too).
void PrintTo(const TitleRow& row, std::ostream* out) { *out << row.name; }

class WindowTitleTest : public ::testing::TestWithParam<TitleRow> {};

TEST_P(WindowTitleTest, NamesTheDocumentAndTheVocabulary) {
    wchar_t title[WINDOW_TITLE_UNITS];
    formatWindowTitle(GetParam().document.c_str(), GetParam().vocabulary.c_str(), title, WINDOW_TITLE_UNITS);
    EXPECT_EQ(std::wstring(title), GetParam().title);
}

INSTANTIATE_TEST_SUITE_P(Titles, WindowTitleTest, ::testing::Values(
    TitleRow{"Document", L"C:\\Users\\Jos\u00e9\\Documents\\Brief.text", L"mine.vcb",
             L"Brief.text - zarnoGlotWrite - mine.vcb"},
    TitleRow{"Untitled", L"", L"sample.vcb", L"Untitled - zarnoGlotWrite - sample.vcb"},
    TitleRow{"NoVocabulary", L"C:\\a\\\u624b\u7d19.txt", L"", L"\u624b\u7d19.txt - zarnoGlotWrite"},
    TitleRow{"BareName", L"relative.text", L"w\u00f6rter.vcb", L"relative.text - zarnoGlotWrite - w\u00f6rter.vcb"}),
    [](const ::testing::TestParamInfo<TitleRow>& info) { return std::string(info.param.name); });

TEST(WindowTitleTest, IsCutToItsRoomAndKnowsThePublicVocabulary) {
    wchar_t title[12];
    formatWindowTitle(L"C:\\Brief.text", L"mine.vcb", title, 12);
    EXPECT_EQ(std::wstring(title), L"Brief.text ");
    EXPECT_TRUE(isPublicVocabulary(L"sample.vcb"));
    EXPECT_TRUE(isPublicVocabulary(L"SAMPLE.VCB"));
    EXPECT_FALSE(isPublicVocabulary(L"sample.vcb2"));
    EXPECT_FALSE(isPublicVocabulary(L"mine.vcb"));
    EXPECT_FALSE(isPublicVocabulary(L""));
}

struct EncodingRow {
    const char* name;
    std::string bytes;
    TextEncoding encoding;
};

void PrintTo(const EncodingRow& row, std::ostream* out) { *out << row.name; }

class EncodingTest : public ::testing::TestWithParam<EncodingRow> {};

TEST_P(EncodingTest, TellsHowTheBytesAreText) {
    const std::string& bytes = GetParam().bytes;
    EXPECT_EQ(detectEncoding(bytes.data(), static_cast<int32_t>(bytes.size())), GetParam().encoding);
}

INSTANTIATE_TEST_SUITE_P(Files, EncodingTest, ::testing::Values(
    EncodingRow{"Empty", "", ENCODING_UTF8},
    EncodingRow{"Ascii", "Liebe Oma", ENCODING_UTF8},
    EncodingRow{"Utf8Mark", "\xEF\xBB\xBF" "caf\xC3\xA9", ENCODING_UTF8},
    EncodingRow{"FourBytes", "\xF0\x9D\x84\x9E", ENCODING_UTF8},
    EncodingRow{"Utf16LittleEndian", std::string("\xFF\xFE" "a\0", 4), ENCODING_UTF16_LE},
    EncodingRow{"Utf16BigEndian", std::string("\xFE\xFF\0a", 4), ENCODING_UTF16_BE},
    EncodingRow{"Windows1252", "Gr\xFC\xDF" "e", ENCODING_CODE_PAGE},
    EncodingRow{"LoneContinuation", "a\x80", ENCODING_CODE_PAGE},
    EncodingRow{"Overlong", "\xC0\xAF", ENCODING_CODE_PAGE},
    EncodingRow{"OverlongThreeBytes", "\xE0\x80\xAF", ENCODING_CODE_PAGE},
    EncodingRow{"Surrogate", "\xED\xA0\x80", ENCODING_CODE_PAGE},
    EncodingRow{"BeyondUnicode", "\xF4\x90\x80\x80", ENCODING_CODE_PAGE},
    EncodingRow{"CutOff", "ab\xE2\x82", ENCODING_CODE_PAGE}),
    [](const ::testing::TestParamInfo<EncodingRow>& info) { return std::string(info.param.name); });

TEST(EncodingTest, Utf16BytesGoBothWaysInEitherOrder) {
    const std::wstring text = {L'a', 0x00FC, 0x20AC, 0xD834, 0xDD1E, L'\r', L'\n'};
    for (const bool bigEndian : {false, true}) {
        SCOPED_TRACE(bigEndian);
        char* bytes = nullptr;
        int32_t length = 0;
        ASSERT_TRUE(utf16BytesOfUnits(text.data(), static_cast<int32_t>(text.size()), bigEndian, &bytes, &length));
        ASSERT_EQ(length, 2 + 2 * static_cast<int32_t>(text.size()));
        const std::string written(bytes, static_cast<size_t>(length));
        EXPECT_EQ(written.substr(0, 4), bigEndian ? std::string("\xFE\xFF\0a", 4) : std::string("\xFF\xFE" "a\0", 4));
        EXPECT_EQ(detectEncoding(bytes, length), bigEndian ? ENCODING_UTF16_BE : ENCODING_UTF16_LE);
        wchar_t* units = nullptr;
        int32_t count = 0;
        ASSERT_TRUE(unitsOfUtf16Bytes(bytes + 2, length - 2, bigEndian, &units, &count));
        EXPECT_EQ(std::wstring(units, static_cast<size_t>(count)), text);
        EXPECT_EQ(units[count], L'\0');
        EXPECT_FALSE(holdsZeroUnit(units, count));
        free(units);
        EXPECT_FALSE(unitsOfUtf16Bytes(bytes + 2, length - 3, bigEndian, &units, &count)) << "an odd count";
        free(bytes);
    }
    const wchar_t withZero[] = {L'a', L'\0', L'b'};
    EXPECT_TRUE(holdsZeroUnit(withZero, 3));
    char name[64];
    codePageName(1252, name, sizeof name);
    EXPECT_STREQ(name, "Windows-1252 (code page 1252)");
    codePageName(932, name, sizeof name);
    EXPECT_STREQ(name, "Shift_JIS (code page 932)");
    codePageName(437, name, sizeof name);
    EXPECT_STREQ(name, "code page 437");
}

TEST(FileRulesTest, CausesInTheUsersWordsAndTheSavesTemporaryNames) {
    EXPECT_STREQ(fileErrorCause(FILE_ERROR_DISK_FULL), "the drive is full");
    EXPECT_STREQ(fileErrorCause(FILE_ERROR_HANDLE_DISK_FULL), "the drive is full");
    EXPECT_STREQ(fileErrorCause(FILE_ERROR_READ_ONLY), "the file is read-only");
    EXPECT_STREQ(fileErrorCause(FILE_ERROR_SHARING_VIOLATION), "another program has it open");
    EXPECT_STREQ(fileErrorCause(FILE_ERROR_PATH_NOT_FOUND), "the folder does not exist");
    EXPECT_EQ(fileErrorCause(1392), nullptr) << "left to the system's own message";
    EXPECT_TRUE(saveAsHelps(FILE_ERROR_READ_ONLY));
    EXPECT_TRUE(saveAsHelps(FILE_ERROR_SHARING_VIOLATION));
    EXPECT_TRUE(saveAsHelps(FILE_ERROR_ACCESS_DENIED));
    EXPECT_FALSE(saveAsHelps(FILE_ERROR_DISK_FULL));
    EXPECT_FALSE(saveAsHelps(FILE_ERROR_PATH_NOT_FOUND));

    wchar_t name[TEMPORARY_NAME_UNITS];
    temporarySaveName(0x0123abcdUL, name);
    EXPECT_EQ(std::wstring(name), L"~zgw-0123abcd.tmp");
    EXPECT_TRUE(isTemporarySaveName(name));
    EXPECT_TRUE(isTemporarySaveName(L"~ZGW-0123ABCD.TMP"));
    EXPECT_TRUE(isTemporarySaveName(L"~zgw1a2b.tmp")) << "an earlier version's";
    for (const wchar_t* other : {L"~zgw-0123abc.tmp", L"~zgw-0123abcdx.tmp", L"~zgw-0123abcg.tmp", L"~zgw1a2b.text",
                                 L"zgw-0123abcd.tmp", L"Brief.text", L"~zgw-.tmp"}) {
        EXPECT_FALSE(isTemporarySaveName(other)) << std::string(other, other + wcslen(other));
    }
}

// A piece starts after a line feed or a blank in its first half, and never
// splits a surrogate pair or a CR LF.
struct PieceRow {
    const char* name;
    std::wstring text;
    int32_t end, wanted;
    int32_t start;
};

void PrintTo(const PieceRow& row, std::ostream* out) { *out << row.name; }

class PieceStartTest : public ::testing::TestWithParam<PieceRow> {};

TEST_P(PieceStartTest, CutsWhereNothingIsSplit) {
    const PieceRow& row = GetParam();
    EXPECT_EQ(pieceStart(row.text.c_str(), row.end, row.wanted), row.start);
}

INSTANTIATE_TEST_SUITE_P(Rows, PieceStartTest, ::testing::Values(
    PieceRow{"RestFits", L"short text", 10, 64, 0},
    PieceRow{"RestFitsExactly", L"0123456789", 8, 8, 0},
    PieceRow{"AfterTheFirstLineFeed", L"five four three\ntwo\none", 23, 12, 16},
    PieceRow{"LineFeedBeforeABlank", L"aa bb\r\ncccccccc", 15, 12, 7},
    PieceRow{"AfterTheFirstBlank", L"alpha beta gamma delta", 22, 14, 11},
    PieceRow{"BeforeTheEndGiven", L"alpha beta gamma delta", 16, 12, 6},
    PieceRow{"LineFeedTooLate", L"aaaa bbbbbbbbbbb\nc", 18, 16, 5},
    PieceRow{"NoBreakAnywhere", L"abcdefghijklmnop", 16, 8, 8},
    PieceRow{"NotInsideASurrogatePair", L"xyz\xD83D\xDE00" L"abcdefg", 12, 8, 5},
    PieceRow{"ASurrogatePairAlone", L"\xD83D\xDE00", 2, 1, 0},
    PieceRow{"AfterTheLineFeedOfACrLf", L"xyz\r\nabcdefg", 12, 8, 5},
    PieceRow{"NotBetweenCrAndLf", L"xy\r\nab", 4, 1, 2},
    PieceRow{"LineFeedBeforeALeadingBlank", L"xyzxyz\r\n abcd", 13, 6, 8}),
    [](const ::testing::TestParamInfo<PieceRow>& info) { return std::string(info.param.name); });

TEST(PieceStartTest, PiecesAreSizedToTakeAboutTheirTargetTime) {
    EXPECT_EQ(nextPieceUnits(400000, PIECE_TARGET_MS), 400000);
    EXPECT_EQ(nextPieceUnits(400000, PIECE_TARGET_MS * 5 / 4), 320000);
    EXPECT_EQ(nextPieceUnits(400000, PIECE_TARGET_MS * 10), 200000) << "at most halved";
    EXPECT_EQ(nextPieceUnits(400000, PIECE_TARGET_MS / 10), 800000) << "at most doubled";
    EXPECT_EQ(nextPieceUnits(400000, 0), 800000);
    EXPECT_EQ(nextPieceUnits(SMALLEST_PIECE_UNITS, 5000), SMALLEST_PIECE_UNITS);
    EXPECT_EQ(nextPieceUnits(LARGEST_PIECE_UNITS, 1), LARGEST_PIECE_UNITS);
}

// Words are parted by blanks: the start of the word before a place, the
// start of the next one after it, and whether a unit is a blank.
struct WordBreakRow {
    const char* name;
    std::wstring line;
    int index;
    int code;
    int answer;
};

void PrintTo(const WordBreakRow& row, std::ostream* out) { *out << row.name; }

class WordBreakTest : public ::testing::TestWithParam<WordBreakRow> {};

TEST_P(WordBreakTest, PartsWordsAtBlanks) {
    const WordBreakRow& row = GetParam();
    EXPECT_EQ(wordBreak(row.line.c_str(), row.index, static_cast<int>(row.line.size()), row.code), row.answer);
}

INSTANTIATE_TEST_SUITE_P(Rows, WordBreakTest, ::testing::Values(
    WordBreakRow{"LeftInsideAWord", L"Venait spiel flared", 9, WORD_BREAK_LEFT, 7},
    WordBreakRow{"LeftAtAWordsStart", L"Venait spiel flared", 7, WORD_BREAK_LEFT, 0},
    WordBreakRow{"LeftAfterBlanks", L"one   two", 6, WORD_BREAK_LEFT, 0},
    WordBreakRow{"LeftOfTheFirstWord", L"one two", 2, WORD_BREAK_LEFT, 0},
    WordBreakRow{"LeftAtTheEnd", L"one two", 7, WORD_BREAK_LEFT, 4},
    WordBreakRow{"LeftPastTheEnd", L"one two", 40, WORD_BREAK_LEFT, 4},
    WordBreakRow{"LeftAcrossATab", L"one\ttwo", 6, WORD_BREAK_LEFT, 4},
    WordBreakRow{"LeftNoBreakSpaceJoins", L"one\u00a0two", 6, WORD_BREAK_LEFT, 0},
    WordBreakRow{"RightInsideAWord", L"one two three", 1, WORD_BREAK_RIGHT, 4},
    WordBreakRow{"RightOnABlank", L"one   two", 3, WORD_BREAK_RIGHT, 6},
    WordBreakRow{"RightOfTheLastWord", L"one two", 5, WORD_BREAK_RIGHT, 7},
    WordBreakRow{"RightOfAnEmptyLine", L"", 0, WORD_BREAK_RIGHT, 0},
    WordBreakRow{"Blank", L"a b", 1, WORD_BREAK_IS_DELIMITER, 1},
    WordBreakRow{"Letter", L"a b", 0, WORD_BREAK_IS_DELIMITER, 0},
    WordBreakRow{"PastTheEndIsNoBlank", L"a ", 2, WORD_BREAK_IS_DELIMITER, 0}),
    [](const ::testing::TestParamInfo<WordBreakRow>& info) { return std::string(info.param.name); });

// A job's end: the box a cancel by the user earns in the job's own words,
// none for the exit or the session's end (their question follows), the
// stronger reason kept when two come, and the exit asked again afterwards.
struct JobEndRow {
    const char* name;
    JobKind kind;
    JobCancel first, second;
    const char* notice;
    bool closeAfter;
};

void PrintTo(const JobEndRow& row, std::ostream* out) { *out << row.name; }

class JobEndTest : public ::testing::TestWithParam<JobEndRow> {};

TEST_P(JobEndTest, SaysWhatTheCancelLeftAndWhatFollows) {
    const JobEndRow& row = GetParam();
    EditorJob job;
    job.progress.cancelled = true;
    beginEditorJob(&job, row.kind, 1000);
    EXPECT_FALSE(job.progress.cancelled) << "a new job starts uncancelled";
    cancelEditorJob(&job, row.first);
    cancelEditorJob(&job, row.second);
    EXPECT_EQ(job.progress.cancelled.load(), row.first != JOB_NOT_CANCELLED || row.second != JOB_NOT_CANCELLED);
    EXPECT_STREQ(jobCancelledNotice(job), row.notice);
    EXPECT_EQ(closeAfterJob(job), row.closeAfter);
}

const char* const DOCUMENT_UNCHANGED = "The translation was cancelled; the document is unchanged.";

INSTANTIATE_TEST_SUITE_P(Rows, JobEndTest, ::testing::Values(
    JobEndRow{"RanToItsEnd", JOB_TO_ZARNOGLOT, JOB_NOT_CANCELLED, JOB_NOT_CANCELLED, nullptr, false},
    JobEndRow{"TranslationCancelled", JOB_TO_ZARNOGLOT, JOB_CANCELLED_BY_USER, JOB_NOT_CANCELLED,
              DOCUMENT_UNCHANGED, false},
    JobEndRow{"WayBackCancelled", JOB_FROM_ZARNOGLOT, JOB_CANCELLED_BY_USER, JOB_CANCELLED_BY_USER,
              DOCUMENT_UNCHANGED, false},
    JobEndRow{"ClipboardCancelled", JOB_CLIPBOARD_FROM_ZARNOGLOT, JOB_CANCELLED_BY_USER, JOB_NOT_CANCELLED,
              "The translation was cancelled; the clipboard is unchanged.", false},
    JobEndRow{"HarvestCancelled", JOB_HARVEST, JOB_CANCELLED_BY_USER, JOB_NOT_CANCELLED,
              "Harvest was cancelled; no word list was made.", false},
    JobEndRow{"ShuffleCancelled", JOB_SHUFFLE, JOB_CANCELLED_BY_USER, JOB_NOT_CANCELLED,
              "Shuffle was cancelled; no vocabulary was made.", false},
    JobEndRow{"OpenedTextsShowingCancelled", JOB_SHOWING_DOCUMENT, JOB_CANCELLED_BY_USER, JOB_NOT_CANCELLED,
              "Opening was cancelled; the document is empty and has no file.", false},
    JobEndRow{"TranslationsShowingCancelled", JOB_SHOWING_TRANSLATION, JOB_CANCELLED_BY_USER, JOB_NOT_CANCELLED,
              DOCUMENT_UNCHANGED, false},
    JobEndRow{"ExitWhileShowing", JOB_SHOWING_DOCUMENT, JOB_CANCELLED_FOR_EXIT, JOB_NOT_CANCELLED, nullptr, true},
    JobEndRow{"ExitDuringTheJob", JOB_TO_ZARNOGLOT, JOB_CANCELLED_FOR_EXIT, JOB_NOT_CANCELLED, nullptr, true},
    JobEndRow{"ExitAfterCancel", JOB_TO_ZARNOGLOT, JOB_CANCELLED_BY_USER, JOB_CANCELLED_FOR_EXIT, nullptr, true},
    JobEndRow{"CancelAfterExitKeepsTheExit", JOB_TO_ZARNOGLOT, JOB_CANCELLED_FOR_EXIT, JOB_CANCELLED_BY_USER,
              nullptr, true},
    JobEndRow{"SessionEndAfterExit", JOB_HARVEST, JOB_CANCELLED_FOR_EXIT, JOB_CANCELLED_FOR_SESSION_END,
              nullptr, false}),
    [](const ::testing::TestParamInfo<JobEndRow>& info) { return std::string(info.param.name); });

}  // namespace
