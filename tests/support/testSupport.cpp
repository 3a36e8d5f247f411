#include "testSupport.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>
extern char** environ;
#endif

namespace fs = std::filesystem;

// Paths are UTF-8 in every build: on Windows they become wide paths, so
// that a folder outside the system's code page works as any other.
static fs::path utf8Path(const std::string& path) {
    return fs::u8path(path);
}

std::string binaryDirectory() {
#ifdef _WIN32
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    return fs::path(std::wstring(path, length)).parent_path().u8string();
#else
    return fs::read_symlink("/proc/self/exe").parent_path().string();
#endif
}

std::string joinPath(const std::string& folder, const std::string& name) {
    return (utf8Path(folder) / utf8Path(name)).u8string();
}

std::string programPath(const std::string& name) {
#ifdef _WIN32
    return joinPath(binaryDirectory(), name + ".exe");
#else
    return joinPath(binaryDirectory(), name);
#endif
}

bool writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream file(utf8Path(path), std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

std::string readFile(const std::string& path) {
    std::ifstream file(utf8Path(path), std::ios::binary);
    std::ostringstream contents;
    contents << file.rdbuf();
    return contents.str();
}

bool fileExists(const std::string& path) {
    std::error_code error;
    return fs::exists(utf8Path(path), error);
}

std::string makeTempDirectory() {
    static std::mt19937_64 generator(std::random_device{}());
    for (;;) {
        fs::path candidate = fs::temp_directory_path() /
                             ("zgtest-" + std::to_string(generator() % 1000000000ULL));
        std::error_code error;
        if (fs::create_directory(candidate, error)) return candidate.u8string();
    }
}

void removeTree(const std::string& path) {
    std::error_code error;
    fs::remove_all(utf8Path(path), error);
}

#ifdef _WIN32

// Quotes one argument so that the C runtime's argument parser gives it back
// unchanged: backslashes double only where they precede a quote.
static std::wstring quoteArgument(const std::wstring& argument) {
    std::wstring quoted = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        if (c == L'"') quoted.append(backslashes * 2 + 1, L'\\');
        else quoted.append(backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');
    quoted += L'"';
    return quoted;
}

static std::wstring widen(const std::string& text) {
    if (text.empty()) return std::wstring();
    int units = MultiByteToWideChar(CP_UTF8, 0, text.data(), (int)text.size(), nullptr, 0);
    std::wstring wide(units, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), (int)text.size(), &wide[0], units);
    return wide;
}

static HANDLE openInheritable(const std::string& path, bool forWriting) {
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, nullptr, TRUE};
    return CreateFileW(widen(path).c_str(), forWriting ? GENERIC_WRITE : GENERIC_READ,
                       FILE_SHARE_READ | FILE_SHARE_WRITE, &attributes,
                       forWriting ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

static int spawnAndWait(const std::string& program, const std::vector<std::string>& arguments,
                        const std::string& inPath, const std::string& outPath,
                        const std::string& errPath) {
    std::wstring commandLine = quoteArgument(widen(program));
    for (const std::string& argument : arguments) commandLine += L" " + quoteArgument(widen(argument));
    HANDLE input = openInheritable(inPath, false);
    HANDLE output = openInheritable(outPath, true);
    HANDLE error = openInheritable(errPath, true);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input;
    startup.hStdOutput = output;
    startup.hStdError = error;
    PROCESS_INFORMATION process = {};
    std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(L'\0');
    // Under heavy load Wine now and then fails to start a program; one more
    // try tells such a moment from a program that cannot start at all.
    BOOL started = FALSE;
    for (int attempt = 1; attempt <= 2 && !started; attempt++) {
        started = CreateProcessW(widen(program).c_str(), buffer.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                 nullptr, &startup, &process);
        if (!started) {
            std::fprintf(stderr, "test harness: starting %s failed (attempt %d, Windows error %lu)\n",
                         program.c_str(), attempt, static_cast<unsigned long>(GetLastError()));
        }
    }
    CloseHandle(input);
    CloseHandle(output);
    CloseHandle(error);
    if (!started) return 1000;
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(exitCode);
}

#else

static int spawnAndWait(const std::string& program, const std::vector<std::string>& arguments,
                        const std::string& inPath, const std::string& outPath,
                        const std::string& errPath) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, inPath.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t child = 0;
    int failed = posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed) return 1000;
    int wstatus = 0;
    while (waitpid(child, &wstatus, 0) < 0) {
    }
    if (!WIFEXITED(wstatus)) return 2000;
    // exit(-1) arrives as 255; report it as the program wrote it.
    return static_cast<signed char>(WEXITSTATUS(wstatus));
}

#endif

#ifndef _WIN32

// The state letter of /proc/<pid>/stat once the process runs the program
// (its command line names it), or 0 until then.
static char stateOnceStarted(pid_t child, const std::string& program) {
    const std::string proc = "/proc/" + std::to_string(child);
    const std::string commandLine = readFile(proc + "/cmdline");
    if (commandLine.compare(0, program.size() + 1, program + std::string(1, '\0')) != 0) return 0;
    const std::string stat = readFile(proc + "/stat");
    const size_t close = stat.rfind(')');
    return close != std::string::npos && close + 2 < stat.size() ? stat[close + 2] : 0;
}

bool leavesCoreDumpWhileReading(const std::string& program, const std::vector<std::string>& arguments) {
    const std::string folder = makeTempDirectory();
    int input[2];
    if (pipe(input) != 0) return false;
    const pid_t child = fork();
    if (child == 0) {
        const int quiet = open("/dev/null", O_WRONLY);
        dup2(input[0], 0);
        dup2(quiet, 1);
        dup2(quiet, 2);
        close(input[1]);
        const rlimit unlimited = {RLIM_INFINITY, RLIM_INFINITY};
        setrlimit(RLIMIT_CORE, &unlimited);
        if (chdir(folder.c_str()) != 0) _exit(126);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    close(input[0]);
    // Sleeping on its empty standard input: it has done what it does first.
    for (int tries = 0; tries < 1000 && stateOnceStarted(child, program) != 'S'; tries++) usleep(10000);
    kill(child, SIGQUIT);
    int wstatus = 0;
    while (waitpid(child, &wstatus, 0) < 0) {
    }
    close(input[1]);
    removeTree(folder);
    return WIFSIGNALED(wstatus) && WCOREDUMP(wstatus);
}

#endif

ProgramResult runProgram(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& stdinBytes) {
    std::string folder = makeTempDirectory();
    std::string inPath = joinPath(folder, "stdin");
    std::string outPath = joinPath(folder, "stdout");
    std::string errPath = joinPath(folder, "stderr");
    writeFile(inPath, stdinBytes);
    ProgramResult result;
    result.status = spawnAndWait(program, arguments, inPath, outPath, errPath);
    result.out = readFile(outPath);
    result.err = readFile(errPath);
    removeTree(folder);
    return result;
}

ProgramResult runProgramWithFiles(const std::string& program,
                                  const std::vector<std::string>& arguments,
                                  const std::string& stdinPath, const std::string& stdoutPath) {
    std::string folder = makeTempDirectory();
    std::string errPath = joinPath(folder, "stderr");
    ProgramResult result;
    result.status = spawnAndWait(program, arguments, stdinPath, stdoutPath, errPath);
    std::error_code error;
    if (fs::is_regular_file(utf8Path(stdoutPath), error)) result.out = readFile(stdoutPath);
    result.err = readFile(errPath);
    removeTree(folder);
    return result;
}

std::string platformLineEnds(const std::string& text) {
#ifdef _WIN32
    std::string converted;
    for (char c : text) {
        if (c == '\n') converted += '\r';
        converted += c;
    }
    return converted;
#else
    return text;
#endif
}

std::string unixLineEnds(const std::string& text) {
    std::string converted;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        converted += text[i];
    }
    return converted;
}
