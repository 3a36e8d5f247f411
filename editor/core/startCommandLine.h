// The command line with which zarnoGlotStart starts the editor: the
// editor's path and the start program's own arguments (a file to open).
#pragma once

#include <cstddef>

// Builds into result (of resultUnits units) the command line that starts the
// program at programPath with the arguments of commandLine: everything after
// its first word, the name it was started by. False when it does not fit.
bool forwardedCommandLine(const wchar_t* commandLine, const wchar_t* programPath, wchar_t* result,
                          size_t resultUnits);
