// The diagnostic log written for real on drive T: (mapped by the ctest
// fixture editorDriveT), as the editor's own functions write it.
#include "debugLog.h"
#include "textConversions.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

const char* const LOG_PATH = "T:\\zarnoGlotWriteW.log";

std::string readLog() {
    std::ifstream file(LOG_PATH, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

TEST(DebugLogTest, WritesHeaderLinesAndClosingLineOnlyWhileOpen) {
    if (GetFileAttributesA("T:\\") == INVALID_FILE_ATTRIBUTES) {
        GTEST_SKIP() << "drive T: is not mapped";
    }
    const size_t before = readLog().size();
    logMessage("before the log is open %d", 1);
    EXPECT_EQ(readLog().size(), before);

    EXPECT_TRUE(openDebugLog());
    EXPECT_TRUE(openDebugLog());   // already open: nothing more
    logMessage("vocabulary: [%s]", "a.vcb");
    // The conversions log nothing: their callers say what they convert.
    char* block = nullptr;
    int32_t count = 0;
    ASSERT_TRUE(utf16ToUtf8(L"abc", 3, &block, &count));
    free(block);
    closeDebugLog();
    closeDebugLog();
    logMessage("after the log is closed");

    const std::string text = readLog().substr(before);
    const std::string pid = std::to_string(GetCurrentProcessId());
    const std::string start = "====== Log started at ";
    ASSERT_EQ(text.compare(0, start.size(), start), 0) << text;
    const std::string rest = text.substr(text.find('\n') + 1);
    EXPECT_EQ(rest,
              "Program/Log file: [t:zarnoGlotWriteW.log]\r\n"
              "Version: 26.343\r\n"
              "Process ID: " + pid + "\r\n"
              "vocabulary: [a.vcb]\r\n"
              "============== Log closed ===============\r\n");
}

}  // namespace
