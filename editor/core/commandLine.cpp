#include "commandLine.h"

#include <cstdlib>
#include <cstring>

namespace {

// Writes text at out as one quoted argument. Returns the end.
char* appendQuoted(char* out, const char* text) {
    *out++ = '"';
    size_t backslashes = 0;
    for (const char* c = text;; c++) {
        if (*c == '\\') {
            backslashes++;
            continue;
        }
        const bool quoteFollows = *c == '"' || *c == '\0';
        const size_t copies = quoteFollows ? backslashes * 2 : backslashes;
        std::memset(out, '\\', copies);
        out += copies;
        backslashes = 0;
        if (*c == '\0') break;
        if (*c == '"') *out++ = '\\';
        *out++ = *c;
    }
    *out++ = '"';
    return out;
}

}  // namespace

char* quotedCommandLine(const char* program, const char* const* arguments, int argumentCount, size_t* length) {
    // A quoted text takes at most twice its bytes and its two quotes.
    *length = 2 * std::strlen(program) + 3;
    for (int i = 0; i < argumentCount; i++) *length += 2 * std::strlen(arguments[i]) + 3;
    char* commandLine = static_cast<char*>(std::malloc(*length));
    if (commandLine == nullptr) return nullptr;
    char* end = appendQuoted(commandLine, program);
    for (int i = 0; i < argumentCount; i++) {
        *end++ = ' ';
        end = appendQuoted(end, arguments[i]);
    }
    *end = '\0';
    return commandLine;
}

