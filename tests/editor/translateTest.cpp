#include "translateTest.h"

#include <cstdio>
#include <cstdlib>

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
