// Reading and writing document files, and the name rules of the file and
// settings commands, without a window.
#include "documentFiles.h"
#include "editorState.h"
#include "testFiles.h"
#include "testSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

namespace {

std::wstring widePath(const std::string& path) {
    return widen(path);
}

class DocumentFileTest : public ::testing::Test {
protected:
    void SetUp() override { folder = makeTempDirectory(); }
    void TearDown() override { removeWritableTree(folder); }

    DocumentFileResult read(const std::string& path, std::string* content) {
        char* bytes = nullptr;
        int32_t byteCount = -1;
        const DocumentFileResult result = readDocumentFile(widePath(path).c_str(), &bytes, &byteCount);
        if (result == DOCUMENT_OK) {
            EXPECT_NE(bytes, nullptr);
            EXPECT_EQ(bytes[byteCount], '\0') << "the block ends with a 0 byte";
            content->assign(bytes, static_cast<size_t>(byteCount));
            free(bytes);
        } else {
            EXPECT_EQ(bytes, nullptr);
            EXPECT_EQ(byteCount, 0);
        }
        return result;
    }

    DocumentFileResult write(const std::string& path, const std::string& content) {
        return writeDocumentFile(widePath(path).c_str(), content.data(), static_cast<int32_t>(content.size()));
    }

    std::string folder;
};

TEST_F(DocumentFileTest, ReadsFilesExactlyAndRefusesZeroBytes) {
    const struct { const char* name; std::string bytes; DocumentFileResult result; } cases[] = {
        {"empty", "", DOCUMENT_OK},
        {"plain", "abc", DOCUMENT_OK},
        {"byte-order mark and CR LF", "\xEF\xBB\xBFline 1\r\nline 2\r\n", DOCUMENT_OK},
        {"bare LF and CR", "a\nb\rc", DOCUMENT_OK},
        {"not UTF-8 is still read", "ab\xC3\x28", DOCUMENT_OK},
        {"zero byte inside", std::string("ab\0cd", 5), DOCUMENT_ZERO_BYTE},
        {"zero byte at the end", std::string("abcd\0", 5), DOCUMENT_ZERO_BYTE},
        {"only a zero byte", std::string(1, '\0'), DOCUMENT_ZERO_BYTE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = joinPath(folder, "doc.text");
        ASSERT_TRUE(writeFile(path, c.bytes));
        std::string content = "unset";
        EXPECT_EQ(read(path, &content), c.result);
        if (c.result == DOCUMENT_OK) {
            EXPECT_EQ(content, c.bytes);
        }
    }
}

TEST_F(DocumentFileTest, ReportsFilesThatCannotBeRead) {
    CreateDirectoryA(joinPath(folder, "sub").c_str(), nullptr);
    std::string content;
    EXPECT_EQ(read(joinPath(folder, "missing.text"), &content), DOCUMENT_OPEN_FAILED);
    EXPECT_EQ(read(joinPath(folder, "sub"), &content), DOCUMENT_OPEN_FAILED);
    EXPECT_EQ(read(joinPath(folder, "nofolder\\a.text"), &content), DOCUMENT_OPEN_FAILED);
}

TEST_F(DocumentFileTest, RefusesFilesOfTwoGibibytesAndMore) {
    for (const long long size : {0x80000000LL, 0xFFFFFFFFLL, 0x100000000LL, 0x100000005LL}) {
        SCOPED_TRACE(size);
        const std::string path = joinPath(folder, "large.text");
        ASSERT_TRUE(makeSparseFile(path, size));
        std::string content;
        EXPECT_EQ(read(path, &content), DOCUMENT_TOO_LARGE);
        DeleteFileA(path.c_str());
    }
}

TEST_F(DocumentFileTest, WritesExactBytesAndLeavesNoTemporaryFile) {
    const std::string path = joinPath(folder, "out.text");
    const struct { const char* name; std::string bytes; } cases[] = {
        {"new file", "\xEF\xBB\xBF" "first\r\nline"},
        {"shorter text replaces a longer file", "x"},
        {"empty document", ""},
        {"longer again", std::string(100000, 'z')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(write(path, c.bytes), DOCUMENT_OK);
        EXPECT_EQ(readFile(path), c.bytes);
        EXPECT_EQ(folderEntries(folder), std::vector<std::string>{"out.text"});
    }
}

TEST_F(DocumentFileTest, FailedWriteKeepsTheOldFile) {
    const std::string old = "old content\r\n";
    const std::string readOnly = joinPath(folder, "readonly.text");
    const std::string locked = joinPath(folder, "locked.text");
    ASSERT_TRUE(writeFile(readOnly, old));
    ASSERT_TRUE(writeFile(locked, old));
    ASSERT_TRUE(SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
    CreateDirectoryA(joinPath(folder, "sub").c_str(), nullptr);
    HANDLE holder = CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);

    const struct { const char* name; std::string path; } cases[] = {
        {"read-only target", readOnly},
        {"target held open by another program", locked},
        {"target is a folder", joinPath(folder, "sub")},
        {"missing folder", joinPath(folder, "nofolder\\a.text")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(write(c.path, "new content"), DOCUMENT_CREATE_FAILED);
    }
    CloseHandle(holder);
    EXPECT_EQ(readFile(readOnly), old);
    EXPECT_EQ(readFile(locked), old);
    std::vector<std::string> entries = folderEntries(folder);
    std::sort(entries.begin(), entries.end());
    EXPECT_EQ(entries, (std::vector<std::string>{"locked.text", "readonly.text", "sub"}));
}

TEST_F(DocumentFileTest, WritesBesideTargetsInFoldersWithLongPaths) {
    // A folder so deep that the temporary file's name needs the long form.
    std::string deep = folder;
    while (deep.size() < 248) {
        deep += "\\" + std::string(std::min<size_t>(40, 250 - deep.size()), 'd');
        CreateDirectoryW((L"\\\\?\\" + widePath(deep)).c_str(), nullptr);
    }
    const std::string path = deep + "\\a.text";
    ASSERT_LT(path.size(), 260u);
    EXPECT_EQ(write(path, "deep"), DOCUMENT_OK);
    std::string content;
    EXPECT_EQ(read(path, &content), DOCUMENT_OK);
    EXPECT_EQ(content, "deep");
}

TEST(DocumentFileMessageTest, GivesTheTextOfEachFailure) {
    EXPECT_STREQ(documentFileMessage(DOCUMENT_OPEN_FAILED), "Could not open the file.");
    EXPECT_STREQ(documentFileMessage(DOCUMENT_SIZE_FAILED), "Could not determine the file size.");
    EXPECT_STREQ(documentFileMessage(DOCUMENT_TOO_LARGE), "The file is too large.");
    EXPECT_STREQ(documentFileMessage(DOCUMENT_NO_MEMORY), "Not enough memory.");
    EXPECT_STREQ(documentFileMessage(DOCUMENT_READ_FAILED), "Could not read the file.");
    EXPECT_STREQ(documentFileMessage(DOCUMENT_ZERO_BYTE), "The file contains a zero byte and cannot be edited.");
    EXPECT_STREQ(documentFileMessage(DOCUMENT_CREATE_FAILED), "Could not open the file for writing.");
    EXPECT_STREQ(documentFileMessage(DOCUMENT_WRITE_FAILED), "Could not write the file.");
}

TEST(UpdateDataDirectoryTest, TakesTheFolderOfTheDocument) {
    const std::wstring long259 = L"C:\\" + std::wstring(249, L'f') + L"\\a.text";
    const struct { std::wstring fileName; std::wstring before; std::wstring after; } cases[] = {
        {L"C:\\a.text", L"D:\\old", L"C:"},
        {L"C:\\Docs\\Letters\\a.text", L"D:\\old", L"C:\\Docs\\Letters"},
        {L"\\\\server\\share\\a.text", L"D:\\old", L"\\\\server\\share"},
        {L"C:\\Docs\\", L"D:\\old", L"C:\\Docs"},
        {L"a.text", L"D:\\old", L"D:\\old"},
        {L"", L"D:\\old", L"D:\\old"},
        {long259, L"", long259.substr(0, long259.size() - 7)},
        {L"C:\\Users\\Jos\u00e9\\Briefe f\u00fcr Oma\\Brief.text", L"", L"C:\\Users\\Jos\u00e9\\Briefe f\u00fcr Oma"},
        {L"C:\\\u65e5\u672c\u8a9e\\\u624b\u7d19.text", L"", L"C:\\\u65e5\u672c\u8a9e"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(narrow(c.fileName));
        ASSERT_LT(c.fileName.size(), static_cast<size_t>(PATH_UNITS));
        wcscpy(editorState.currentFileName, c.fileName.c_str());
        wcscpy(editorState.dataDirectory, c.before.c_str());
        updateDataDirectory();
        EXPECT_EQ(std::wstring(editorState.dataDirectory), c.after);
        EXPECT_EQ(std::wstring(editorState.currentFileName), c.fileName);
    }
    editorState.currentFileName[0] = L'\0';
    editorState.dataDirectory[0] = L'\0';
}

TEST(VocabularyNameTest, KeepsTheFileNameOfAnyPath) {
    const std::wstring name63(59, L'v');
    const std::wstring name64(60, L'v');
    const std::wstring umlauts60(60, L'\u00fc');
    const struct { std::wstring path; VocabularyNameResult result; std::wstring name; } cases[] = {
        {L"C:\\Vocabularies\\mine.vcb", VOCABULARY_NAME_OK, L"mine.vcb"},
        {L"mine.vcb", VOCABULARY_NAME_OK, L"mine.vcb"},
        {L"C:\\a\\" + name63 + L".vcb", VOCABULARY_NAME_OK, name63 + L".vcb"},
        {L"C:\\a\\" + name64 + L".vcb", VOCABULARY_NAME_TOO_LONG, L""},
        {L"C:\\caf\u00e9\\mine.vcb", VOCABULARY_NAME_OK, L"mine.vcb"},
        {L"C:\\Users\\Jos\u00e9\\meine-w\u00f6rter.vcb", VOCABULARY_NAME_OK, L"meine-w\u00f6rter.vcb"},
        {L"C:\\\u65e5\u672c\\\u8a9e.vcb", VOCABULARY_NAME_OK, L"\u8a9e.vcb"},
        {L"C:\\a\\" + umlauts60 + L".vcb", VOCABULARY_NAME_TOO_LONG, L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(narrow(c.path));
        wchar_t name[NAME_SIZE] = L"previous";
        EXPECT_EQ(vocabularyNameOfPath(c.path.c_str(), name), c.result);
        if (c.result == VOCABULARY_NAME_OK) {
            EXPECT_EQ(std::wstring(name), c.name);
        }
    }
}

TEST(FileNamePartTest, IsWhatFollowsTheLastBackslash) {
    EXPECT_STREQ(fileNamePart(L"C:\\a\\b.vcb"), L"b.vcb");
    EXPECT_STREQ(fileNamePart(L"b.vcb"), L"b.vcb");
    EXPECT_STREQ(fileNamePart(L"C:\\a\\"), L"");
}

// Any name Windows can store is taken; the others are refused for the
// reason that holds: the file name, a folder on the way, or the length.
TEST(PathProblemTest, NamesTheRealCause) {
    const std::wstring long260 = L"C:\\" + std::wstring(250, L'p') + L"\\a.text";
    const struct { std::wstring path; bool folder; PathProblem problem; } cases[] = {
        {L"C:\\Users\\Jos\u00e9\\Documents\\Briefe f\u00fcr Oma\\Brief an Oma.text", false, PATH_FINE},
        {L"C:\\Users\\\u3055\u304f\u3089\\Downloads\\\u65e5\u672c\u8a9e\\\u624b\u7d19.text", false, PATH_FINE},
        {L"\\\\server\\share\\a.text", false, PATH_FINE},
        {L"relative\\..\\.\\a.text", false, PATH_FINE},
        {L"C:\\a.b.text", false, PATH_FINE},
        {L"C:\\CONSOLE.text", false, PATH_FINE},
        {L"C:\\Users\\Jos\u00e9", true, PATH_FINE},
        {L"C:\\", true, PATH_FINE},
        {L"C:\\Users\\", true, PATH_FINE},
        {long260, false, PATH_TOO_LONG},
        {L"C:\\" + std::wstring(256, L'd'), true, PATH_TOO_LONG},
        {L"C:\\Docs\\a<b.text", false, PATH_BAD_FILE_NAME},
        {L"C:\\Docs\\what?.text", false, PATH_BAD_FILE_NAME},
        {L"C:\\Docs\\tab\there.text", false, PATH_BAD_FILE_NAME},
        {L"C:\\Docs\\ends with a dot.", false, PATH_BAD_FILE_NAME},
        {L"C:\\Docs\\ends with a blank ", false, PATH_BAD_FILE_NAME},
        {L"C:\\Docs\\nul.text", false, PATH_BAD_FILE_NAME},
        {L"C:\\Docs\\COM1", false, PATH_BAD_FILE_NAME},
        {L"C:\\Docs\\", false, PATH_BAD_FILE_NAME},
        {L"C:\\Docs\\..", false, PATH_BAD_FILE_NAME},
        {L"C:\\Do|cs\\a.text", false, PATH_BAD_FOLDER_NAME},
        {L"C:\\aux\\a.text", false, PATH_BAD_FOLDER_NAME},
        {L"C:\\Users\\Jos\u00e9 \\a.text", false, PATH_BAD_FOLDER_NAME},
        {L"C:\\Users\\Jos\u00e9\\a*b", true, PATH_BAD_FOLDER_NAME},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(narrow(c.path));
        EXPECT_EQ(pathProblem(c.path.c_str(), c.folder), c.problem);
    }
    EXPECT_STREQ(pathProblemMessage(PATH_TOO_LONG),
                 "The path is too long: Windows takes at most 259 characters for the folders and the file name "
                 "together.");
}

}  // namespace
