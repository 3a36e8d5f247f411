// What the end-to-end tests of the Translate menu share: the editor with
// the real filters beside it, or with ZG_EDITOR_FOLDER set the editor and its
// filters of an unpacked release folder; the command-line chain of the
// filters to compare with; and the steps that run a translation or expect
// its failure.
#pragma once

#include "editorTest.h"
#include "testFiles.h"

#include <string>
#include <thread>
#include <vector>

const std::string DEFAULT_INI = "sample.vcb\r\nC:\\users\\Public\\Documents\r\nConsolas,10\r\n";
const std::vector<std::string> FILTER_FILES = {"zarnoGlotPack.exe", "zarnoGlotEncode.exe", "zarnoGlotDecode.exe",
                                               "sample.vcb"};
const char* const PIPELINE_CAPTION = "externFilterTest error";
// The way back's question before a text that is not sealed is shown.
const char* const UNSEALED_QUESTION =
    "This text was not sealed: it comes from an earlier version, or from someone who learnt your vocabulary's "
    "words. Show it anyway?";
const char* const FAKE_MODE_VARIABLE = "ZG_TRANSLATE_FAKE";
const char* const PUBLIC_QUESTION =
    "sample.vcb is public: anyone can read what you write with it. Write with it anyway?";
// Each filter starts as a new process under Wine: allow for a slow machine.
const int COMMAND_WAIT_MS = 60000;

const std::wstring MIXED_TEXT =
    L"Dear Zo\u00eb,\r\nthe caf\u00e9 in Krak\u00f3w serves cr\u00e8me br\u00fbl\u00e9e; "
    L"Gr\u00fc\u00dfe aus M\u00fcnchen.\r\n"
    L"\u6771\u4eac\u306e\u5929\u6c17\u306f\u6674\u308c\u3067\u3059\u3002 \uc548\ub155\ud558\uc138\uc694\r\n"
    L"Emoji: \U0001F600\U0001F389 and \u03b1\u03b2\u03b3 \u0416\u0436\r\n\r\n"
    L"Tabs\tand \"quotes\" end here.";

std::string toUtf8(const std::wstring& text);
std::wstring fromUtf8(const std::string& bytes);

// A document of natural text of about that many UTF-8 bytes: sentences of
// the bundled word list's words, now and then one in Japanese, CR LF line
// breaks. It packs about as well as ordinary prose.
std::wstring benchmarkDocument(size_t bytes);

// The unpacked release folder of ZG_EDITOR_FOLDER as a Windows path, or empty.
std::string releaseFolder();
// A file of the folder the filters and the vocabulary come from.
std::string sourceFile(const std::string& name);
// Copies every file of the release folder into a fresh folder, keeping its
// own configuration, and starts the editor there.
bool startReleaseEditor(EditorSession* session);
// The command-line chain: pack and encode, or decode and unpack.
ProgramResult runChain(const std::string& first, const std::vector<std::string>& firstArguments,
                       const std::string& second, const std::vector<std::string>& secondArguments,
                       const std::string& input);

class TranslateCommandsTest : public EditorTest {
protected:
    void TearDown() override {
        EditorTest::TearDown();
        SetEnvironmentVariableA(FAKE_MODE_VARIABLE, nullptr);
    }

    // Starts the editor with the real filters and the sample vocabulary
    // beside it; with filters false, the editor stands alone.
    void start(const std::string& configuration = DEFAULT_INI, bool filters = true) {
        // The released editor's configuration names the public vocabulary too.
        publicQuestionDue = !releaseFolder().empty() || configuration.compare(0, 11, "sample.vcb\r") == 0;
        if (!releaseFolder().empty()) {
            ASSERT_TRUE(startReleaseEditor(&session)) << "the released editor's window did not appear";
            return;
        }
        EditorTest::start(configuration, filters ? FILTER_FILES : std::vector<std::string>());
    }

    // Puts the stand-in filter beside the running editor as zarnoGlotPack;
    // its mode reaches it through the editor's environment, set before the
    // editor started.
    void useFakePack() {
        ASSERT_TRUE(CopyFileW(widen(programPath("translateTestFilter")).c_str(),
                              widen(joinPath(session.folder, "zarnoGlotPack.exe")).c_str(), FALSE));
    }

    // Translates two documents of mixed scripts (one of a single byte) to
    // ZarnoGlot and back with the vocabulary at that path, the editor's own,
    // and reads the editor's text with the command-line filters.
    void roundTripMixedScripts(const std::string& vocabulary) {
        // A one-byte document seals into many times its size.
        for (const std::wstring& document : {MIXED_TEXT, std::wstring(L"x")}) {
            setEditText(session, document);
            translate(CMD_TO_ZARNOGLOT);
            const std::wstring encoded = editText(session);
            ASSERT_FALSE(encoded.empty());
            EXPECT_TRUE(encoded != document);
            for (wchar_t unit : encoded) {
                EXPECT_TRUE(unit >= 0x20 || unit == L'\r' || unit == L'\n') << "control character " << int(unit);
            }

            // The command-line filters read the editor's sealed text too.
            const ProgramResult decoded =
                runChain("zarnoGlotDecode", {vocabulary}, "zarnoGlotPack", {"-d", vocabulary}, toUtf8(encoded));
            EXPECT_EQ(decoded.status, 0) << decoded.err;
            EXPECT_TRUE(decoded.out == toUtf8(document)) << "the filters decoded other bytes";

            translate(CMD_FROM_ZARNOGLOT);
            EXPECT_TRUE(editText(session) == document) << "the round trip changed the text";
        }
    }

    // Starts the editor with the build's filters on the file path that holds
    // bytes, the public vocabulary's question due, and waits up to waitMs
    // until the document holds the whole text and its showing has ended (a
    // command posted while a long text is shown is refused).
    void openLetterFile(const std::string& path, const std::string& bytes, DWORD waitMs) {
        ASSERT_TRUE(writeFile(path, bytes));
        publicQuestionDue = true;
        ASSERT_TRUE(startEditor(&session, DEFAULT_INI, FILTER_FILES, "\"" + path + "\""));
        const LRESULT units = static_cast<LRESULT>(fromUtf8(bytes).size());
        ASSERT_TRUE(waitFor("the document to open", [&] {
            return sendToEdit(session, WM_GETTEXTLENGTH) == units && !jobRunsIn(session);
        }, waitMs));
    }

    // The first translation into ZarnoGlot of a session with the public
    // vocabulary asks first: the command is posted and Yes answered.
    void agreeToThePublicVocabulary(MenuCommand command) {
        if (!publicQuestionDue || (command != CMD_TO_ZARNOGLOT && command != CMD_TO_ZARNOGLOT_CLIPBOARD)) return;
        postCommand(session, command);
        answerQuestion("zarnoGlotWriteW", PUBLIC_QUESTION, IDYES);
        publicQuestionDue = false;
    }

    // Posts a translate command, answering the public vocabulary's question
    // when it is due.
    void postTranslateCommand(MenuCommand command) {
        if (publicQuestionDue && (command == CMD_TO_ZARNOGLOT || command == CMD_TO_ZARNOGLOT_CLIPBOARD)) {
            agreeToThePublicVocabulary(command);
        } else {
            postCommand(session, command);
        }
    }

    // Runs a translate command that must succeed: it returns without a box.
    // The public vocabulary's question, when due, is answered from another
    // thread while the command is sent.
    void translate(MenuCommand command) {
        std::thread answerer;
        if (publicQuestionDue && (command == CMD_TO_ZARNOGLOT || command == CMD_TO_ZARNOGLOT_CLIPBOARD)) {
            answerer = std::thread([this]() { answerQuestion("zarnoGlotWriteW", PUBLIC_QUESTION, IDYES); });
            publicQuestionDue = false;
        }
        const bool ended = sendCommand(session, command, COMMAND_WAIT_MS);
        if (answerer.joinable()) answerer.join();
        ASSERT_TRUE(ended) << "command " << command << " did not end";
    }

    // Runs a command that must fail with the given box and checks that the
    // document is as it was.
    void expectFailure(MenuCommand command, const std::string& text) {
        const std::wstring before = editText(session);
        postTranslateCommand(command);
        MessageBoxInfo box;
        ASSERT_TRUE(waitForMessageBox(session, &box, COMMAND_WAIT_MS)) << "no box for: " << text;
        EXPECT_EQ(box.caption, PIPELINE_CAPTION);
        EXPECT_EQ(box.text, text);
        EXPECT_EQ(box.icon, ICON_ERROR);
        EXPECT_TRUE(box.owner == session.mainWindow || box.owner == session.editControl);
        answerMessageBox(box, IDOK);
        EXPECT_TRUE(editText(session) == before) << "the document changed";
        // The log holds the box's lines.
        std::string logged = box.text;
        for (size_t at = logged.find('\n'); at != std::string::npos; at = logged.find('\n', at + 2)) {
            logged.replace(at, 1, "\r\n");
        }
        EXPECT_NE(logText(session).find(logged + "\r\n"), std::string::npos) << logText(session);
    }

    bool publicQuestionDue = false;   // the next translation into ZarnoGlot asks first
};
