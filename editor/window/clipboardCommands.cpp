// The clipboard translations (translate_to_clipboard and
// translate_from_clipboard, declared in commands.h): the clipboard's text
// goes through the pipeline of the matching document command and the result
// takes its place. The document, its modified flag and the document
// commands' log lines are left alone. A failure shows a box and leaves the
// clipboard as it was; success shows nothing, as Copy shows nothing.
#include "commands.h"
#include "debugLog.h"
#include "editorState.h"
#include "externRunner.h"
#include "messageBoxes.h"
#include "textConversions.h"
#include "translateCommands.h"
#include "translatePipeline.h"

#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace {

// Another program may hold the clipboard open for a moment.
constexpr int CLIPBOARD_OPEN_TRIES = 20;
constexpr DWORD CLIPBOARD_RETRY_MS = 25;

bool openClipboard(HWND owner) {
    for (int attempt = 0; attempt < CLIPBOARD_OPEN_TRIES; attempt++) {
        if (OpenClipboard(owner)) return true;
        Sleep(CLIPBOARD_RETRY_MS);
    }
    return false;
}

// The text of the open clipboard as UTF-8. Returns none on success, else
// the reason there is nothing to translate.
const char* openClipboardTextAsUtf8(char** bytes, int32_t* byteCount) {
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT)) {
        return CountClipboardFormats() == 0 ? "The clipboard is empty." : "The clipboard holds no text.";
    }
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const wchar_t* text = data != nullptr ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr;
    if (text == nullptr) {
        return "Cannot read the clipboard.";
    }
    const size_t units = wcsnlen(text, GlobalSize(data) / sizeof(wchar_t));
    const char* reason = nullptr;
    if (units == 0) {
        reason = "The clipboard is empty.";
    } else if (units > static_cast<size_t>(INT32_MAX / 3) ||
               !utf16ToUtf8(text, static_cast<int32_t>(units), bytes, byteCount)) {
        reason = "Cannot convert the clipboard's text to UTF-8 (memory?).";
    }
    GlobalUnlock(data);
    return reason;
}

// Takes the clipboard's text as UTF-8; false after the box.
bool clipboardTextAsUtf8(HWND owner, char** bytes, int32_t* byteCount) {
    *bytes = nullptr;
    *byteCount = 0;
    if (!openClipboard(owner)) {
        return showError(owner, "The clipboard is in use by another program. Please try again.");
    }
    const char* reason = openClipboardTextAsUtf8(bytes, byteCount);
    CloseClipboard();
    if (reason != nullptr) {
        return showError(owner, reason);
    }
    logMessage("Clipboard text, utf8 bytes:%d", *byteCount);
    return true;
}

}  // namespace

void keepOutOfClipboardHistory() {
    const wchar_t* const FORMATS[] = {L"ExcludeClipboardContentFromMonitorProcessing",
                                      L"CanIncludeInClipboardHistory", L"CanUploadToCloudClipboard"};
    for (const wchar_t* name : FORMATS) {
        const UINT format = RegisterClipboardFormatW(name);
        HGLOBAL zero = format != 0 ? GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DWORD)) : nullptr;
        if (zero != nullptr && SetClipboardData(format, zero) == nullptr) GlobalFree(zero);
    }
}

namespace {

// Replaces the clipboard's content with the text; false when the clipboard
// could not take it.
bool putOnClipboard(HWND owner, const wchar_t* text, int32_t units) {
    const size_t size = (static_cast<size_t>(units) + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    void* place = memory != nullptr ? GlobalLock(memory) : nullptr;
    if (place == nullptr) {
        if (memory != nullptr) GlobalFree(memory);
        return false;
    }
    memcpy(place, text, size);
    GlobalUnlock(memory);
    if (!openClipboard(owner)) {
        GlobalFree(memory);
        return false;
    }
    // The clipboard owns the memory once it has taken it.
    const bool placed = EmptyClipboard() && SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    if (placed) keepOutOfClipboardHistory();
    CloseClipboard();
    if (!placed) GlobalFree(memory);
    return placed;
}

// The clipboard's text run through the two steps, as a new block of UTF-16
// text; false after the box, or after the question was answered No.
// The job runs while the window keeps answering; a cancelled one says so.
bool translatedClipboardText(HWND owner, MenuCommand command, const TranslateStep& first,
                             const TranslateStep& second, UnsealedQuestion* question, wchar_t** text,
                             int32_t* units) {
    char* input = nullptr;
    int32_t inputLength = 0;
    if (!clipboardTextAsUtf8(owner, &input, &inputLength)) {
        return false;
    }
    const JobKind kind =
        command == CMD_TO_ZARNOGLOT_CLIPBOARD ? JOB_CLIPBOARD_TO_ZARNOGLOT : JOB_CLIPBOARD_FROM_ZARNOGLOT;
    PipelineJob job = {input, inputLength, &first, &second, question, nullptr, 0, false, {}};
    if (!runPipelineAsJob(owner, kind, &job)) return false;
    if (!job.translated) {
        return question != nullptr && question->declined ? false : showPipelineError(job.message);
    }
    *text = job.text;
    *units = job.units;
    return true;
}

// Runs the clipboard's text through the two steps and puts the result on
// the clipboard, with CR LF line ends when crLf is set; the way back asks
// the question before it puts a text that is not sealed there.
bool translateClipboard(HWND owner, MenuCommand command, const TranslateStep& first, const TranslateStep& second,
                        bool crLf, UnsealedQuestion* question) {
    logMessage("Clipboard translation: %d", command);
    wchar_t* text = nullptr;
    int32_t units = 0;
    if (!translatedClipboardText(owner, command, first, second, question, &text, &units)) {
        return false;
    }
    if (crLf) {
        wchar_t* converted = nullptr;
        const bool convertedOk = withCrLfLineEnds(text, units, &converted, &units);
        free(text);
        if (!convertedOk) {
            return showError(owner, "Not enough memory.");
        }
        text = converted;
    }
    const bool placed = putOnClipboard(owner, text, units);
    free(text);
    if (!placed) {
        return showError(owner, "Cannot put the result on the clipboard.");
    }
    return true;
}

}  // namespace

// ZarnoGlot text on the clipboard is meant to be pasted into mails and
// chats: it gets the clipboard's CR LF line ends. The way back gives the
// text exactly as it was packed.
bool translate_to_clipboard(HWND owner) {
    if (!writingAgreed(owner)) return false;
    const Utf8Name vocabulary = utf8Name(editorState.vocabularyName);
    return translateClipboard(owner, CMD_TO_ZARNOGLOT_CLIPBOARD, sealStep(vocabulary.text), encodeStep(vocabulary.text),
                              true, nullptr);
}

bool translate_from_clipboard(HWND owner) {
    const Utf8Name vocabulary = utf8Name(editorState.vocabularyName);
    UnsealedQuestion question = unsealedQuestion(owner);
    return translateClipboard(owner, CMD_FROM_ZARNOGLOT_CLIPBOARD, decodeStep(vocabulary.text),
                              openStep(vocabulary.text), false, &question);
}
