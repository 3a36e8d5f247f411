// The command line a filter is started with, built without the window
// system so that its quoting can be checked anywhere.
#pragma once

#include <cstddef>

// The command line, UTF-8 as the program and arguments are: each quoted so
// that the C runtime and CommandLineToArgvW give it back unchanged (a quote
// inside gets a backslash; the backslashes before a quote or the closing
// quote are doubled, others stay as they are), separated by one space.
// A malloc'ed block of *length bytes (the terminated line fits in it; the
// caller wipes all of it when it holds a secret), or null when there is no
// memory.
char* quotedCommandLine(const char* program, const char* const* arguments, int argumentCount, size_t* length);
