// End-to-end tests of the clipboard translations of the Translate menu: the
// real editor runs the real filters over the clipboard's text.
#include "translateTest.h"

#include <cstring>
#include <string>

namespace {

// The clipboard as the tests set and read it; a window of the test owns
// what the test puts there.
HWND clipboardOwner() {
    static HWND owner = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    return owner;
}

// Empties the clipboard and puts the bytes there in the format; format 0
// leaves it empty.
void setClipboard(UINT format, const void* data, size_t size) {
    ASSERT_TRUE(OpenClipboard(clipboardOwner()));
    EmptyClipboard();
    if (format != 0) {
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
        memcpy(GlobalLock(memory), data, size);
        GlobalUnlock(memory);
        EXPECT_NE(SetClipboardData(format, memory), nullptr);
    }
    CloseClipboard();
}

void setClipboardText(const std::wstring& text) {
    setClipboard(CF_UNICODETEXT, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
}

// The clipboard's text, or "(no text)".
std::wstring clipboardText() {
    if (!OpenClipboard(clipboardOwner())) return L"(clipboard busy)";
    std::wstring text = L"(no text)";
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const wchar_t* units = data != nullptr ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr;
    if (units != nullptr) {
        text = units;
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

// Waits until the clipboard holds other text than this; false when it
// still does after the command's time.
bool clipboardChangesFrom(const std::wstring& text) {
    return waitFor("the clipboard to change", [&] {
        const std::wstring now = clipboardText();
        return now != text && now != L"(clipboard busy)";
    }, COMMAND_WAIT_MS);
}

// The clipboard translations keep the document, its modified flag and the
// document commands' log lines as they were, and show nothing on success.
TEST_F(TranslateCommandsTest, ClipboardTextGoesToZarnoGlotAndBackUnchanged) {
    start();
    setEditText(session, L"the document");
    sendToEdit(session, EM_SETMODIFY, TRUE);
    setClipboardText(MIXED_TEXT);
    translate(CMD_TO_ZARNOGLOT_CLIPBOARD);
    const std::wstring encoded = clipboardText();
    ASSERT_TRUE(encoded != MIXED_TEXT && encoded != L"(no text)");
    for (size_t i = 0; i < encoded.size(); i++) {
        EXPECT_TRUE(encoded[i] != L'\n' || (i > 0 && encoded[i - 1] == L'\r')) << "a line feed without CR at " << i;
    }
    const ProgramResult decoded =
        runChain("zarnoGlotDecode", {sourceFile("sample.vcb")}, "zarnoGlotPack", {"-d", sourceFile("sample.vcb")},
                 toUtf8(encoded));
    EXPECT_EQ(decoded.status, 0) << decoded.err;
    EXPECT_TRUE(decoded.out == toUtf8(MIXED_TEXT)) << "the filters decoded other bytes";

    translate(CMD_FROM_ZARNOGLOT_CLIPBOARD);
    EXPECT_TRUE(clipboardText() == MIXED_TEXT) << "the round trip changed the text";

    // A text that is not sealed comes back only after a Yes; No leaves the
    // clipboard as it was.
    const ProgramResult unsealed =
        runChain("zarnoGlotPack", {}, "zarnoGlotEncode", {sourceFile("sample.vcb")}, toUtf8(MIXED_TEXT));
    ASSERT_EQ(unsealed.status, 0) << unsealed.err;
    setClipboardText(fromUtf8(unsealed.out));
    postCommand(session, CMD_FROM_ZARNOGLOT_CLIPBOARD);
    answerQuestion("zarnoGlotWriteW", UNSEALED_QUESTION, IDNO);
    sync();
    EXPECT_TRUE(clipboardText() == fromUtf8(unsealed.out)) << "No changed the clipboard";
    postCommand(session, CMD_FROM_ZARNOGLOT_CLIPBOARD);
    answerQuestion("zarnoGlotWriteW", UNSEALED_QUESTION, IDYES);
    // Putting the result on the clipboard tells the test's window that it
    // lost the clipboard, and the editor answers sent messages meanwhile:
    // the clipboard itself shows when the command is done.
    EXPECT_TRUE(clipboardChangesFrom(fromUtf8(unsealed.out))) << "the unsealed text did not come back";
    EXPECT_TRUE(clipboardText() == MIXED_TEXT) << "the unsealed text came back changed";
    EXPECT_TRUE(editText(session) == L"the document");
    EXPECT_EQ(sendToEdit(session, EM_GETMODIFY), TRUE);
    const std::string log = logText(session);
    EXPECT_EQ(log.find("xTx"), std::string::npos) << log;
    EXPECT_EQ(log.find("externFilterTest"), std::string::npos) << log;
}

// A row of tests/decode/manglings.txt: a real message sealed with the
// sample vocabulary, pasted from a mail.
std::string manglingRow(const std::string& kind, const std::string& name) {
    const std::string file = readFile(joinPath(binaryDirectory(), "manglings.txt"));
    const std::string prefix = kind + "|" + name + "|";
    const size_t start = file.find("\n" + prefix);
    if (start == std::string::npos) return "";
    const size_t from = start + 1 + prefix.size();
    const std::string escaped = file.substr(from, file.find('\n', from) - from);
    std::string bytes;
    for (size_t i = 0; i < escaped.size(); i++) {
        if (escaped[i] == '\\' && i + 1 < escaped.size() && escaped[i + 1] == 'n') {
            bytes += '\n';
            i++;
        } else {
            bytes += escaped[i];
        }
    }
    return bytes;
}

// The greeting and the sign-off around the message are vocabulary words:
// the first blocks the decoder finds are refused by the packer's check, and
// the way back tries the next until one opens.
TEST_F(TranslateCommandsTest, APastedMailReadsFromTheClipboard) {
    const std::string mail = manglingRow("read", "greeting and sign-off of vocabulary words");
    std::string plain;
    const std::string file = readFile(joinPath(binaryDirectory(), "manglings.txt"));
    const size_t at = file.find("\nplain|") + 7;
    for (size_t i = at; i + 1 < file.size() && file[i] != '\n'; i += 2) {
        plain += static_cast<char>(std::stoi(file.substr(i, 2), nullptr, 16));
    }
    ASSERT_FALSE(mail.empty() || plain.empty());
    start();
    setClipboardText(fromUtf8(mail));
    translate(CMD_FROM_ZARNOGLOT_CLIPBOARD);
    EXPECT_TRUE(clipboardText() == fromUtf8(plain)) << toUtf8(clipboardText());
    EXPECT_NE(logText(session).find("Reading 2 of the pasted text"), std::string::npos) << logText(session);
}

TEST_F(TranslateCommandsTest, ClipboardFailuresShowTheirBoxAndKeepTheClipboard) {
    const UINT otherFormat = RegisterClipboardFormatA("ZarnoGlot test data");
    const std::wstring notZarnoGlot = L"Qqqq zzzz";
    const struct {
        const char* name;
        UINT format;   // what the clipboard holds: nothing (0), text or other data
        MenuCommand command;
        const char* caption;
        const char* text;
    } cases[] = {
        {"empty clipboard", 0, CMD_TO_ZARNOGLOT_CLIPBOARD, "zarnoGlotWriteW", "The clipboard is empty."},
        {"no text", otherFormat, CMD_FROM_ZARNOGLOT_CLIPBOARD, "zarnoGlotWriteW", "The clipboard holds no text."},
        {"decoding fails", CF_UNICODETEXT, CMD_FROM_ZARNOGLOT_CLIPBOARD, PIPELINE_CAPTION,
         "First external program failed, error code: 1.\nzarnoGlotDecode: this text was not written with the "
         "vocabulary sample.vcb (2 of its 2 words are not in it)"},
    };
    start();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.format == CF_UNICODETEXT) {
            setClipboardText(notZarnoGlot);
        } else {
            setClipboard(c.format, "data", 5);
        }
        const std::wstring textBefore = clipboardText();
        const int formatsBefore = CountClipboardFormats();
        postTranslateCommand(c.command);
        MessageBoxInfo box;
        ASSERT_TRUE(waitForMessageBox(session, &box, COMMAND_WAIT_MS)) << "no box for: " << c.text;
        EXPECT_EQ(box.caption, c.caption);
        EXPECT_EQ(box.text, c.text);
        EXPECT_EQ(box.icon, ICON_ERROR);
        answerMessageBox(box, IDOK);
        sync();
        EXPECT_TRUE(clipboardText() == textBefore);
        EXPECT_EQ(CountClipboardFormats(), formatsBefore);
        EXPECT_EQ(IsClipboardFormatAvailable(otherFormat) != 0, c.format == otherFormat);
    }
}

}  // namespace
