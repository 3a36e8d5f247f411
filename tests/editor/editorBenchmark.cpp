// The editor's benchmark, disabled as a test (scripts/bench-editor runs it):
// under Wine, ZG_BENCH_RUNS times (default 3), taking turns, Wine's own
// notepad.exe and the editor each start and open, with File > Open, the
// ZarnoGlot of a natural-text document of ZG_BENCH_MB megabytes (default
// 1), and the editor translates the document into ZarnoGlot and back. Every
// time runs until the edit control holds the whole text; the medians are
// printed as table rows, with the fastest and the slowest run beside them.
#include "translateTest.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

const char* const NOTEPAD = "C:\\windows\\notepad.exe";
// Opening a megabyte of ZarnoGlot took up to half a minute before; the
// wait grows with the document (openWaitMs).
const int OPEN_WAIT_MS = 180000;
int openWaitMs = OPEN_WAIT_MS;

double now() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Seconds the editor takes to carry out the command. A box instead of a
// result fails the benchmark and is answered, so that the run goes on.
double secondsOf(MenuCommand command, const EditorSession& session) {
    std::atomic<bool> done(false);
    double seconds = 0;
    std::thread sender([&]() {
        const double begin = now();
        EXPECT_TRUE(sendCommand(session, command, 600000));
        seconds = now() - begin;
        done = true;
    });
    while (!done) {
        MessageBoxInfo box;
        if (!noMessageBoxFor(session, 100) && waitForMessageBox(session, &box, 1000)) {
            ADD_FAILURE() << "command " << command << " showed: " << box.text;
            answerMessageBox(box, IDOK);
        }
    }
    sender.join();
    return seconds;
}

const char* const NOTEPAD_CLASS = "Notepad";

// Waits for notepad's visible main window with its edit control and takes
// them as the session's.
bool waitForNotepadWindow(EditorSession* session) {
    HWND window = nullptr;
    HWND edit = nullptr;
    if (!waitFor("notepad's window with its edit control", [&] {
            window = findProcessWindow(session->process.dwProcessId, NOTEPAD_CLASS, true);
            edit = window != nullptr ? FindWindowExA(window, nullptr, "Edit", nullptr) : nullptr;
            return edit != nullptr;
        }, EDITOR_WAIT_MS)) {
        return false;
    }
    session->mainWindow = window;
    session->editControl = edit;
    return true;
}

LRESULT textLength(HWND edit) {
    DWORD_PTR length = 0;
    SendMessageTimeoutW(edit, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, static_cast<UINT>(openWaitMs), &length);
    return static_cast<LRESULT>(length);
}

struct OpenTimes {
    double fromStart;   // the program's start until its edit control holds the text
    double fromChoice;  // the press on the Open dialog's OK until then
};

// Drives the session's started program through Open (opened by posting
// the command or by pressing Ctrl+O) until its control holds units units
// or more: notepad's holds about 1.4% more than the file's units.
OpenTimes openFile(EditorSession* session, double started, int openCommand, const std::string& path,
                   LRESULT units) {
    OpenTimes times = {-1, -1};
    if (openCommand != 0) {
        if (!waitForMainWindow(session)) return times;
        postCommand(*session, openCommand);
    } else {
        if (!waitForNotepadWindow(session) || !pressKeys(*session, {VK_CONTROL, 'O'})) return times;
    }
    HWND dialog = waitForDialog(*session, "Open");
    if (dialog == nullptr) return times;
    const double chosen = now();
    if (!chooseInFileDialog(dialog, widen(path))) return times;
    LRESULT length = 0;
    if (!waitFor("the whole text in the edit control", [&] {
            length = textLength(session->editControl);
            return length >= units;
        }, openWaitMs)) {
        ADD_FAILURE() << "the edit control holds " << length << " units, not " << units;
        return times;
    }
    const double shown = now();
    times = {shown - started, shown - chosen};
    return times;
}

OpenTimes notepadOpens(const std::string& path, LRESULT units, bool* wrapped) {
    EditorSession notepad;
    const double started = now();
    if (!startProgram(&notepad, NOTEPAD)) return OpenTimes{-1, -1};
    const OpenTimes times = openFile(&notepad, started, 0, path, units);
    *wrapped = (GetWindowLongW(notepad.editControl, GWL_STYLE) & WS_HSCROLL) == 0;
    stopEditor(&notepad);
    return times;
}

OpenTimes editorOpens(const std::string& path, LRESULT units) {
    EditorSession editor;
    const double started = now();
    if (!launchEditor(&editor, DEFAULT_INI, true, FILTER_FILES)) return OpenTimes{-1, -1};
    const OpenTimes times = openFile(&editor, started, CMD_FILE_OPEN, path, units);
    stopEditor(&editor);
    return times;
}

// The text with every line feed that has no carriage return before it given one.
std::wstring withCrLf(const std::wstring& text) {
    std::wstring lines;
    lines.reserve(text.size() + text.size() / 64);
    for (size_t at = 0; at < text.size(); at++) {
        if (text[at] == L'\n' && (at == 0 || text[at - 1] != L'\r')) lines += L'\r';
        lines += text[at];
    }
    return lines;
}

// "median s (fastest-slowest)" of the times, and the median alone.
double median(std::vector<double> times, std::string* text) {
    std::sort(times.begin(), times.end());
    const double middle = times[times.size() / 2];
    char line[96];
    snprintf(line, sizeof line, "%.2f s (%.2f-%.2f)", middle, times.front(), times.back());
    *text = line;
    return middle;
}

void printRow(const char* name, double bytes, const std::vector<double>& times, double megabytes,
              const std::string& more = "") {
    std::string spread;
    const double seconds = median(times, &spread);
    printf("| %s %g MB | %.2f | - | - | - | - | %s%s |\n", name, megabytes, bytes / 1e6 / seconds, spread.c_str(),
           more.c_str());
}

TEST_F(TranslateCommandsTest, DISABLED_Benchmark) {
    const char* sizeText = getenv("ZG_BENCH_MB");
    const char* runsText = getenv("ZG_BENCH_RUNS");
    const double megabytes = sizeText != nullptr ? atof(sizeText) : 1.0;
    const int runs = std::max(1, runsText != nullptr ? atoi(runsText) : 3);
    start();
    // The public vocabulary's question comes before the timed translations.
    setEditText(session, L"x");
    translate(CMD_TO_ZARNOGLOT);
    const std::wstring document = benchmarkDocument(static_cast<size_t>(megabytes * 1000 * 1000));
    const std::string documentBytes = toUtf8(document);
    const double bytes = static_cast<double>(documentBytes.size());
    const LRESULT documentUnits = static_cast<LRESULT>(document.size());
    openWaitMs = std::max(OPEN_WAIT_MS, static_cast<int>(megabytes * 30000));
    const std::string folder = makeTempDirectory();
    const std::string path = joinPath(folder, "zarnoglot.txt");
    // The document goes in through File > Open (a WM_SETTEXT of megabytes
    // across processes fails under Wine) and is there again after each
    // round trip.
    const std::string documentPath = joinPath(folder, "letter.txt");
    ASSERT_TRUE(writeFile(documentPath, documentBytes));
    sendToEdit(session, EM_SETMODIFY, FALSE);
    ASSERT_GE(openFile(&session, now(), CMD_FILE_OPEN, documentPath, documentUnits).fromStart, 0);
    ASSERT_TRUE(waitFor("the document's showing to end", [&] { return !jobRunsIn(session); }, openWaitMs));
    // The ZarnoGlot both programs open: the filters' for the same document,
    // as long as the editor's (the sealing differs, the size does not).
    const std::string vocabulary = joinPath(session.folder, "sample.vcb");
    const ProgramResult sealed = runChain("zarnoGlotPack", {vocabulary}, "zarnoGlotEncode", {vocabulary}, documentBytes);
    ASSERT_EQ(sealed.status, 0) << sealed.err;
    const std::wstring encoded = fromUtf8(sealed.out);
    std::vector<double> there, back, notepadFromStart, notepadFromChoice, editorFromStart, editorFromChoice;
    LRESULT encodedUnits = 0;
    bool wrapped = false;
    for (int run = 0; run < runs; run++) {
        there.push_back(secondsOf(CMD_TO_ZARNOGLOT, session));
        encodedUnits = sendToEdit(session, WM_GETTEXTLENGTH);
        back.push_back(secondsOf(CMD_FROM_ZARNOGLOT, session));
        ASSERT_EQ(sendToEdit(session, WM_GETTEXTLENGTH), documentUnits) << "the round trip changed the document";
        if (document.size() < (1u << 20)) {
            ASSERT_TRUE(editText(session) == document) << "the round trip changed the document";
        }
        // The file has CR LF line ends, which both programs keep as they
        // are, and the UTF-8 mark, without which notepad reads the code
        // page; the editor keeps the mark as a character of the text.
        const std::wstring file = withCrLf(encoded);
        ASSERT_TRUE(writeFile(path, "\xEF\xBB\xBF" + toUtf8(file)));
        const LRESULT units = static_cast<LRESULT>(file.size());
        const OpenTimes notepad = notepadOpens(path, units, &wrapped);
        const OpenTimes editor = editorOpens(path, units + 1);
        ASSERT_GE(notepad.fromStart, 0) << "notepad did not open the file";
        ASSERT_GE(editor.fromStart, 0) << "the editor did not open the file";
        notepadFromStart.push_back(notepad.fromStart);
        notepadFromChoice.push_back(notepad.fromChoice);
        editorFromStart.push_back(editor.fromStart);
        editorFromChoice.push_back(editor.fromChoice);
    }
    removeTree(folder);
    EXPECT_TRUE(wrapped) << "notepad did not wrap its lines: set fWrap in HKCU\\Software\\Microsoft\\Notepad";
    std::string notepadChoice, editorChoice;
    median(notepadFromChoice, &notepadChoice);
    median(editorFromChoice, &editorChoice);
    printf("editor: %.0f bytes to ZarnoGlot (%ld characters); medians of %d runs (fastest-slowest)\n", bytes,
           static_cast<long>(encodedUnits), runs);
    const double zarnoGlotBytes = static_cast<double>(encodedUnits);
    printRow("notepad open", zarnoGlotBytes, notepadFromStart, megabytes, "; " + notepadChoice + " after Open's OK");
    printRow("editor open", zarnoGlotBytes, editorFromStart, megabytes, "; " + editorChoice + " after Open's OK");
    printRow("editor to ZarnoGlot", bytes, there, megabytes);
    printRow("editor from ZarnoGlot", bytes, back, megabytes);
    fflush(stdout);
}

}  // namespace
