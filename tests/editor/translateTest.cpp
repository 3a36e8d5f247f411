#include "translateTest.h"

#include <cstdio>
#include <cstdlib>
#include <cwctype>
#include <random>

std::string toUtf8(const std::wstring& text) {
    if (text.empty()) return "";
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string bytes(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &bytes[0], length, nullptr, nullptr);
    return bytes;
}

std::wstring fromUtf8(const std::string& bytes) {
    if (bytes.empty()) return L"";
    const int length = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), &text[0], length);
    return text;
}

std::string releaseFolder() {
    const char* folder = getenv("ZG_EDITOR_FOLDER");
    if (folder == nullptr || folder[0] == '\0') return "";
    std::string path = folder;
    if (path[0] == '/') {
        path = "Z:" + path;
        for (char& c : path) {
            if (c == '/') c = '\\';
        }
    }
    return path;
}

// Folder the filters and the vocabulary come from.
static std::string sourceFolder() {
    const std::string release = releaseFolder();
    return release.empty() ? binaryDirectory() : release;
}

std::string sourceFile(const std::string& name) {
    return joinPath(sourceFolder(), name);
}

bool startReleaseEditor(EditorSession* session) {
    session->folder = makeTempDirectory();
    session->base = session->folder;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(joinPath(releaseFolder(), "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        fprintf(stderr, "translate tests: cannot list %s\n", releaseFolder().c_str());
        return false;
    }
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        CopyFileA(joinPath(releaseFolder(), found.cFileName).c_str(), joinPath(session->folder, found.cFileName).c_str(),
                  FALSE);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    session->logStart = static_cast<long long>(readFile(logFilePath()).size());
    const std::string program = joinPath(session->folder, "zarnoGlotWriteW.exe");
    std::string commandLine = "\"" + program + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &session->process)) {
        fprintf(stderr, "translate tests: cannot start %s (%lu)\n", program.c_str(), GetLastError());
        return false;
    }
    return waitForMainWindow(session);
}

ProgramResult runChain(const std::string& first, const std::vector<std::string>& firstArguments,
                       const std::string& second, const std::vector<std::string>& secondArguments,
                       const std::string& input) {
    const ProgramResult firstResult = runProgram(sourceFile(first + ".exe"), firstArguments, input);
    if (firstResult.status != 0) return firstResult;
    return runProgram(sourceFile(second + ".exe"), secondArguments, firstResult.out);
}

// A document of natural text: sentences of words drawn from the bundled word
// list, now and then one in Japanese, with CR LF line breaks. It packs about
// as well as ordinary prose.
std::wstring benchmarkDocument(size_t bytes) {
    std::vector<std::wstring> words;
    const std::wstring list = fromUtf8(readFile(joinPath(binaryDirectory(), "sample.barn")));
    size_t begin = 0;
    while (begin < list.size()) {
        size_t end = list.find_first_of(L"\r\n", begin);
        if (end == std::wstring::npos) end = list.size();
        if (end > begin) words.push_back(list.substr(begin, end - begin));
        begin = end + 1;
    }
    EXPECT_FALSE(words.empty()) << "sample.barn is missing beside the test";
    if (words.empty()) return L"";
    std::mt19937 random(7);
    const wchar_t* const endings[] = {L". ", L"! ", L", ", L".\r\n"};
    std::wstring text;
    size_t size = 0;
    while (size < bytes) {
        std::wstring sentence;
        if (random() % 20 == 0) {
            sentence = L"\u6771\u4eac\u306e\u5929\u6c17\u306f\u6674\u308c\u3067\u3059\u3002";
        } else {
            const int count = 4 + static_cast<int>(random() % 13);
            for (int i = 0; i < count; i++) {
                if (i > 0) sentence += L' ';
                sentence += words[random() % words.size()];
            }
            sentence[0] = towupper(sentence[0]);
            sentence += endings[random() % 4];
        }
        text += sentence;
        size += toUtf8(sentence).size();
    }
    return text;
}
