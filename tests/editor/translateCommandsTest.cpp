// End-to-end tests of the Translate menu: the real editor runs the real
// filters beside it. With ZG_EDITOR_FOLDER set to an unpacked release folder
// the editor and its filters come from there instead of the build.
//
// The benchmark beside Wine's notepad is in editorBenchmark.cpp.
#include "translateTest.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwctype>
#include <functional>
#include <random>
#include <regex>
#include <string>
#include <thread>
#include <vector>

namespace {

const std::string MISSING_VOCABULARY_INI = "absent.vcb\r\nC:\\users\\Public\\Documents\r\nConsolas,10\r\n";

// Packed without a vocabulary, as earlier versions wrote every text; with
// sealed set, as this version writes them.
std::wstring encodeWithFilters(const std::wstring& text, bool sealed = false) {
    std::vector<std::string> packArguments;
    if (sealed) packArguments.push_back(sourceFile("sample.vcb"));
    const ProgramResult result =
        runChain("zarnoGlotPack", packArguments, "zarnoGlotEncode", {sourceFile("sample.vcb")}, toUtf8(text));
    EXPECT_EQ(result.status, 0) << result.err;
    return fromUtf8(result.out);
}

TEST_F(TranslateCommandsTest, MixedScriptsGoToZarnoGlotAndBackUnchanged) {
    // The vocabulary may have any name Windows allows (the released editor
    // comes with its own configuration).
    std::vector<std::string> vocabularies = {"sample.vcb"};
    if (releaseFolder().empty()) vocabularies.push_back("W\xC3\xB6rter \xE6\x97\xA5\xE6\x9C\xAC.vcb");
    for (const std::string& vocabulary : vocabularies) {
        SCOPED_TRACE(vocabulary);
        start(vocabulary + "\r\nC:\\users\\Public\\Documents\r\nConsolas,10\r\n");
        const std::string vocabularyPath = joinPath(session.folder, vocabulary);
        if (!fileExists(vocabularyPath)) {
            ASSERT_TRUE(writeFile(vocabularyPath, readFile(sourceFile("sample.vcb"))));
        }
        roundTripMixedScripts(vocabularyPath);
        stopEditor(&session);
    }
}

// A text the filters wrote without sealing (every text of an earlier
// version, or one from someone who learnt the vocabulary's words) is shown
// only after a Yes, read with zarnoGlotPack -d -u; No leaves the document
// as it was and shows nothing more. A sealed one opens without a question.
TEST_F(TranslateCommandsTest, TextEncodedByTheFiltersTranslatesBackAndAnUnsealedOneOnlyAfterAYes) {
    start();
    const std::wstring letter = L"Short letter, \u00e0 bient\u00f4t.\r\n";
    setEditText(session, encodeWithFilters(letter, true));
    translate(CMD_FROM_ZARNOGLOT);
    EXPECT_TRUE(editText(session) == letter);

    const std::wstring unsealed = encodeWithFilters(letter);
    setEditText(session, unsealed);
    postCommand(session, CMD_FROM_ZARNOGLOT);
    answerQuestion("zarnoGlotWriteW", UNSEALED_QUESTION, IDNO);
    sync();
    EXPECT_TRUE(noMessageBoxFor(session, 100));
    EXPECT_TRUE(editText(session) == unsealed) << "No changed the document";
    postCommand(session, CMD_FROM_ZARNOGLOT);
    answerQuestion("zarnoGlotWriteW", UNSEALED_QUESTION, IDYES);
    sync();
    EXPECT_TRUE(editText(session) == letter);
    EXPECT_NE(logText(session).find("runExternProg: c/l: [\"zarnoGlotPack\" \"-d\" \"-u\" \"sample.vcb\"]"),
              std::string::npos);
}

// The log records every filter run: its start, its command line as the
// runner quotes it, and its end, in that order; a failure in its box's
// words (expectFailure checks them); and never the document's text.
TEST_F(TranslateCommandsTest, TheLogRecordsEveryRunAndNeverTheText) {
    start();
    setEditText(session, L"Hello, w\u00f6rld");
    translate(CMD_TO_ZARNOGLOT);
    translate(CMD_FROM_ZARNOGLOT);
    EXPECT_TRUE(editText(session) == L"Hello, w\u00f6rld");
    const std::vector<std::string> lines = logLines(session);
    const auto lineAfter = [&](size_t from, const std::function<bool(const std::string&)>& holds) {
        while (from < lines.size() && !holds(lines[from])) from++;
        return from;
    };
    size_t at = 0;
    for (const char* commandLine : {"[\"zarnoGlotPack\" \"sample.vcb\"]", "[\"zarnoGlotEncode\" \"sample.vcb\"]",
                                    "[\"zarnoGlotDecode\" \"sample.vcb\"]", "[\"zarnoGlotPack\" \"-d\" \"sample.vcb\"]"}) {
        const size_t started = lineAfter(at, [](const std::string& line) { return line.find("start") != std::string::npos; });
        const size_t run = lineAfter(started, [&](const std::string& line) { return line.find(commandLine) != std::string::npos; });
        const size_t ended = lineAfter(run, [](const std::string& line) {
            return line.size() > 3 && line.compare(line.size() - 3, 3, ": 0") == 0;
        });
        ASSERT_LT(ended, lines.size()) << "no start, command line " << commandLine << " and end in order:\n"
                                       << logText(session);
        at = ended + 1;
    }
    EXPECT_EQ(logText(session).find("Hello"), std::string::npos) << logText(session);
    EXPECT_EQ(logText(session).find("w\xC3\xB6rld"), std::string::npos) << logText(session);
    setEditText(session, L"");
    expectFailure(CMD_FROM_ZARNOGLOT,
                  "First runExternal failed, error code: 1.\nzarnoGlotDecode was not started: there was nothing to give it");
}

TEST_F(TranslateCommandsTest, FailuresShowTheirBoxAndKeepTheDocument) {
    const std::wstring letter = L"Dear friend,\r\nsee you in Z\u00fcrich.\r\n";
    const std::wstring encoded = encodeWithFilters(letter);
    const size_t firstBlank = encoded.find(L' ');
    const size_t secondBlank = encoded.find(L' ', firstBlank + 1);
    ASSERT_NE(secondBlank, std::wstring::npos);
    // One word fewer: the words still decode, but the packed bytes are cut.
    const std::wstring wordRemoved = encoded.substr(0, firstBlank) + encoded.substr(secondBlank);
    // A word of the vocabulary in place of another: other packed bytes.
    std::wstring wordChanged = encoded.substr(0, firstBlank + 1) + L"latin" + encoded.substr(secondBlank);
    if (wordChanged == encoded) {
        wordChanged = encoded.substr(0, firstBlank + 1) + L"welder" + encoded.substr(secondBlank);
    }
    const std::wstring wordMisspelt = encoded.substr(0, firstBlank + 1) + L"qqqq" + encoded.substr(secondBlank);
    const std::string misspeltBox = "First external program failed, error code: 1.\nzarnoGlotDecode: unknown word: qqqq "
                                    "(line 1, column " + std::to_string(firstBlank + 2) + ")";
    // A sealed text with its 15th word (bytes 21 and 22, in the ciphertext)
    // swapped for another word: the tag fails.
    const std::wstring sealed = encodeWithFilters(letter, true);
    size_t wordStart = 0;
    for (int word = 0; word < 14; word++) {
        wordStart = sealed.find_first_of(L" .\r\n", wordStart);
        wordStart = sealed.find_first_not_of(L" .\r\n", wordStart);
    }
    const size_t wordEnd = sealed.find_first_of(L" .\r\n", wordStart);
    const std::wstring replacement = sealed.compare(wordStart, wordEnd - wordStart, L"latin") == 0 ? L"welder" : L"latin";
    const std::wstring sealedChanged = sealed.substr(0, wordStart) + replacement + sealed.substr(wordEnd);

    const struct {
        const char* name;
        const std::string& ini;
        bool filters;
        const char* fakePack;   // stand-in for zarnoGlotPack, or none
        std::wstring document;
        MenuCommand command;
        const char* text;
    } cases[] = {
        {"empty document to", DEFAULT_INI, true, nullptr, L"", CMD_TO_ZARNOGLOT,
         "First runExternal failed, error code: 1.\nzarnoGlotPack was not started: there was nothing to give it"},
        {"empty document back", DEFAULT_INI, true, nullptr, L"", CMD_FROM_ZARNOGLOT,
         "First runExternal failed, error code: 1.\nzarnoGlotDecode was not started: there was nothing to give it"},
        {"missing vocabulary to", MISSING_VOCABULARY_INI, true, nullptr, letter, CMD_TO_ZARNOGLOT,
         "First external program failed, error code: 1.\nzarnoGlotPack: cannot open vocabulary \"absent.vcb\""},
        {"missing vocabulary back", MISSING_VOCABULARY_INI, true, nullptr, encoded, CMD_FROM_ZARNOGLOT,
         "First external program failed, error code: 1.\nzarnoGlotDecode: cannot open dictionary"},
        {"word removed", DEFAULT_INI, true, nullptr, wordRemoved, CMD_FROM_ZARNOGLOT,
         "First external program failed, error code: 1.\nzarnoGlotDecode: leftover byte after incomplete block"},
        {"word changed", DEFAULT_INI, true, nullptr, wordChanged, CMD_FROM_ZARNOGLOT,
         "First external program failed, error code: 1.\nzarnoGlotPack: damaged packed data (incorrect header check)"},
        {"sealed text altered", DEFAULT_INI, true, nullptr, sealedChanged, CMD_FROM_ZARNOGLOT,
         "First external program failed, error code: 1.\nzarnoGlotPack: the text is damaged or was altered"},
        {"word not in the vocabulary", DEFAULT_INI, true, nullptr, wordMisspelt, CMD_FROM_ZARNOGLOT,
         misspeltBox.c_str()},
        {"plain text back", DEFAULT_INI, true, nullptr, letter, CMD_FROM_ZARNOGLOT,
         "First external program failed, error code: 1.\nzarnoGlotDecode: this does not look like ZarnoGlot "
         "(4 of its 6 words are not in the vocabulary sample.vcb)"},
        {"unpaired surrogate", DEFAULT_INI, true, nullptr, L"ab\xD800" L"cd", CMD_TO_ZARNOGLOT,
         "Cannot convert document to UTF-8 (memory?)."},
        {"filters missing", DEFAULT_INI, false, nullptr, letter, CMD_TO_ZARNOGLOT,
         "First runExternal failed, error code: 7.\nzarnoGlotPack.exe was not found in the editor's folder"},
        {"access violation status", DEFAULT_INI, true, "status", letter, CMD_TO_ZARNOGLOT,
         "First external program failed, error code: -1073741819.\nzarnoGlotPack ended with exit status -1073741819 "
         "without saying why"},
        {"killed filter", DEFAULT_INI, true, "killed", letter, CMD_TO_ZARNOGLOT,
         "First external program failed, error code: 1.\nzarnoGlotPack ended with exit status 1 without saying why"},
        {"zero byte in the result", DEFAULT_INI, true, "zero", encoded, CMD_FROM_ZARNOGLOT,
         "The result contains a zero byte and cannot be shown."},
        {"invalid UTF-8 in the result", DEFAULT_INI, true, "invalid", encoded, CMD_FROM_ZARNOGLOT,
         "Processor produced invalid UTF-8."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.fakePack != nullptr) SetEnvironmentVariableA(FAKE_MODE_VARIABLE, c.fakePack);
        start(c.ini, c.filters);
        if (c.fakePack != nullptr) useFakePack();
        setEditText(session, c.document);
        expectFailure(c.command, c.text);
        stopEditor(&session);
        SetEnvironmentVariableA(FAKE_MODE_VARIABLE, nullptr);
    }
}

// A translation keeps the modified flag the document had: text typed before
// it is still offered for saving by File > New and the close button, while
// a document opened and only translated closes without a question.
TEST_F(TranslateCommandsTest, TranslationKeepsTheModifiedFlag) {
    start();
    for (const bool closeButton : {false, true}) {
        SCOPED_TRACE(closeButton ? "close button" : "File > New");
        setEditText(session, L"");
        ASSERT_TRUE(pressKeys(session, {'X'}));
        waitFor("the typed letter in the document", [&] { return !editText(session).empty(); }, 2000);
        ASSERT_EQ(editText(session), L"x");
        translate(CMD_TO_ZARNOGLOT);
        ASSERT_NE(editText(session), L"x");
        if (closeButton) {
            PostMessageA(session.mainWindow, WM_SYSCOMMAND, SC_CLOSE, 0);
        } else {
            postCommand(session, CMD_FILE_NEW);
        }
        answerQuestion("zarnoGlotWriteW", "Do you want to save changes?", IDCANCEL);
        translate(CMD_FROM_ZARNOGLOT);
        EXPECT_EQ(editText(session), L"x");
        EXPECT_NE(sendToEdit(session, EM_GETMODIFY), 0);
    }
    stopEditor(&session);

    const std::string document = joinPath(makeTempDirectory(), "letter.text");
    ASSERT_TRUE(writeFile(document, "Dear friend"));
    EditorTest::start(DEFAULT_INI, FILTER_FILES, "\"" + document + "\"");
    publicQuestionDue = true;
    ASSERT_EQ(editText(session), L"Dear friend");
    translate(CMD_TO_ZARNOGLOT);
    EXPECT_EQ(sendToEdit(session, EM_GETMODIFY), 0);
    PostMessageA(session.mainWindow, WM_SYSCOMMAND, SC_CLOSE, 0);
    int status = -2;
    EXPECT_TRUE(waitForExit(session, &status)) << "a box may be waiting";
    EXPECT_EQ(status, 0);
    removeTree(document.substr(0, document.rfind('\\')));
}

// The title names the public vocabulary, and the first translation into
// ZarnoGlot of a session asks before it writes with it: No changes nothing,
// and after Yes the session asks no more.
TEST_F(TranslateCommandsTest, WritingWithThePublicVocabularyAsksOnceASession) {
    if (!releaseFolder().empty()) GTEST_SKIP() << "the released configuration is checked by its own tests";
    start();
    EXPECT_EQ(windowText(session.mainWindow), "Untitled - zarnoGlotWrite - sample.vcb");
    setEditText(session, L"Dear friend");
    postCommand(session, CMD_TO_ZARNOGLOT);
    answerQuestion("zarnoGlotWriteW", PUBLIC_QUESTION, IDNO);
    sync();
    EXPECT_TRUE(editText(session) == L"Dear friend");
    EXPECT_EQ(logText(session).find("xTx: 43"), std::string::npos);
    translate(CMD_TO_ZARNOGLOT);
    EXPECT_TRUE(editText(session) != L"Dear friend");
    translate(CMD_FROM_ZARNOGLOT);
    translate(CMD_TO_ZARNOGLOT);
    EXPECT_TRUE(noMessageBoxFor(session, 100));
    translate(CMD_FROM_ZARNOGLOT);
    EXPECT_TRUE(editText(session) == L"Dear friend");
}

// A translation and its way back are each one step of Ctrl+Z and Edit >
// Undo, which do it again when pressed again; the modified flag stays the
// document's.
TEST_F(TranslateCommandsTest, CtrlZUndoesATranslation) {
    start();
    const std::wstring letter = L"Liebe Oma,\r\nbis bald.";
    setEditText(session, letter);
    translate(CMD_TO_ZARNOGLOT);
    const std::wstring encoded = editText(session);
    ASSERT_TRUE(encoded != letter);
    ASSERT_TRUE(pressKeys(session, {VK_CONTROL, 'Z'}));
    waitFor("Ctrl+Z to undo the translation", [&] { return editText(session) == letter; }, 2000);
    EXPECT_TRUE(editText(session) == letter) << "Ctrl+Z did not undo the translation";
    EXPECT_EQ(sendToEdit(session, EM_GETMODIFY), 0);
    EXPECT_TRUE(sendCommand(session, CMD_EDIT_UNDO));
    EXPECT_TRUE(editText(session) == encoded);
    EXPECT_EQ(sendToEdit(session, EM_GETMODIFY), 0);
    translate(CMD_FROM_ZARNOGLOT);
    EXPECT_TRUE(editText(session) == letter);
    EXPECT_TRUE(sendCommand(session, CMD_EDIT_UNDO));
    EXPECT_TRUE(editText(session) == encoded);
    // Text typed after a translation is the edit control's to undo: the
    // document stays modified.
    sendToEdit(session, EM_SETSEL, 0, 0);
    sendToEdit(session, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"P.S. "));
    EXPECT_TRUE(sendCommand(session, CMD_EDIT_UNDO));
    EXPECT_TRUE(editText(session).find(L"P.S. ") == std::wstring::npos);
    EXPECT_NE(sendToEdit(session, EM_GETMODIFY), 0);
}

}  // namespace
