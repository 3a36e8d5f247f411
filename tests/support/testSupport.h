// Helpers shared by the test suites: running a real program with given
// standard input and capturing what it writes, and small file utilities.
// They work the same natively and in the Windows build under Wine. Paths
// and program arguments are UTF-8 in both (on Windows they are passed on as
// UTF-16), so that names outside the system's code page work.
#pragma once

#include <string>
#include <vector>

struct ProgramResult {
    std::string out;   // standard output, raw bytes
    std::string err;   // standard error, raw bytes
    int status;        // exit status; -1 also for a POSIX exit(-1), reported as 255
};

// Full path of a program that sits in the same folder as the running test
// executable (every program lands in <build>/bin). The name is given without
// the ".exe" that Windows builds add.
std::string programPath(const std::string& name);

// Folder that holds the running test executable, with no trailing separator.
std::string binaryDirectory();

// Runs the program with the arguments, feeds it the stdin bytes and waits for
// it to end. Streams pass through temporary files, so no pipe can fill up.
ProgramResult runProgram(const std::string& program,
                         const std::vector<std::string>& arguments,
                         const std::string& stdinBytes);

// Like runProgram, but standard input and output are the given paths
// (such as /dev/full, or a folder to make reading fail); out holds what the
// output path holds afterwards when it can be read.
ProgramResult runProgramWithFiles(const std::string& program,
                                  const std::vector<std::string>& arguments,
                                  const std::string& stdinPath, const std::string& stdoutPath);

#ifndef _WIN32
// Starts the program with its standard input on an empty pipe, in an empty
// folder and with no limit on core files, waits until it sleeps reading,
// ends it with SIGQUIT (whose default is a core dump) and tells whether the
// system dumped its core.
bool leavesCoreDumpWhileReading(const std::string& program, const std::vector<std::string>& arguments);
#endif

// A fresh, empty folder under the system's temporary folder.
std::string makeTempDirectory();
void removeTree(const std::string& path);

std::string joinPath(const std::string& folder, const std::string& name);
bool writeFile(const std::string& path, const std::string& bytes);
std::string readFile(const std::string& path);
bool fileExists(const std::string& path);

// The text as the platform's text streams write it: every "\n" becomes
// "\r\n" on Windows. Standard error is such a stream in every program.
std::string platformLineEnds(const std::string& text);

// The text with every "\r\n" read back as "\n".
std::string unixLineEnds(const std::string& text);
