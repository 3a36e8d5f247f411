// What the editor core's window-free files call in its Windows files, for
// their native build: the log keeps nothing; the Windows text conversions
// and the filter runner are never reached, and abort if they are.
#include "debugLog.h"
#include "documentFiles.h"
#include "editorState.h"
#include "externRunner.h"
#include "textConversions.h"

#include <cstdlib>

void logMessage(const char*, ...) {}

EditorState editorState;

bool utf8ToUtf16Name(const char*, wchar_t*, int32_t) { std::abort(); }
bool ansiToUtf16(const char*, wchar_t*, int32_t) { std::abort(); }
Utf8Name utf8Name(const wchar_t*) { std::abort(); }

RunResult runExternProgWithArguments(const char*, int32_t, const char*, const char* const*, int, char**, int32_t*,
                                     uint32_t*, uint32_t, RunErrorText*, bool, JobProgress*) {
    std::abort();
}

DocumentFileResult writeDocumentFile(const wchar_t*, const char*, int32_t, unsigned long*) { std::abort(); }
