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
#include <string>
#include <vector>

namespace {

std::wstring widePath(const std::string& path) {
    return std::wstring(path.begin(), path.end());
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
    const std::string long259 = "C:\\" + std::string(249, 'f') + "\\a.text";
    const struct { std::string fileName; std::string before; std::string after; } cases[] = {
        {"C:\\a.text", "D:\\old", "C:"},
        {"C:\\Docs\\Letters\\a.text", "D:\\old", "C:\\Docs\\Letters"},
        {"\\\\server\\share\\a.text", "D:\\old", "\\\\server\\share"},
        {"C:\\Docs\\", "D:\\old", "C:\\Docs"},
        {"a.text", "D:\\old", "D:\\old"},
        {"", "D:\\old", "D:\\old"},
        {long259, "", long259.substr(0, long259.size() - 7)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fileName);
        ASSERT_LT(c.fileName.size(), sizeof editorState.currentFileName);
        strcpy(editorState.currentFileName, c.fileName.c_str());
        strcpy(editorState.dataDirectory, c.before.c_str());
        updateDataDirectory();
        EXPECT_EQ(editorState.dataDirectory, c.after);
        EXPECT_EQ(editorState.currentFileName, c.fileName);
    }
    editorState.currentFileName[0] = '\0';
    editorState.dataDirectory[0] = '\0';
}

TEST(VocabularyNameTest, KeepsTheFileNameOfAsciiPaths) {
    const std::wstring name63(59, L'v');
    const std::wstring name64(60, L'v');
    const struct { std::wstring path; VocabularyNameResult result; std::string name; } cases[] = {
        {L"C:\\Vocabularies\\mine.vcb", VOCABULARY_NAME_OK, "mine.vcb"},
        {L"mine.vcb", VOCABULARY_NAME_OK, "mine.vcb"},
        {L"C:\\a\\" + name63 + L".vcb", VOCABULARY_NAME_OK, std::string(59, 'v') + ".vcb"},
        {L"C:\\a\\" + name64 + L".vcb", VOCABULARY_NAME_TOO_LONG, ""},
        {L"C:\\caf\u00e9\\mine.vcb", VOCABULARY_NAME_NOT_ASCII, ""},
        {L"C:\\a\\min\u00e9.vcb", VOCABULARY_NAME_NOT_ASCII, ""},
        {L"C:\\" + std::wstring(255, L'p') + L"\\x", VOCABULARY_NAME_NOT_ASCII, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.path.begin(), c.path.end()));
        char name[NAME_SIZE] = "previous";
        EXPECT_EQ(vocabularyNameOfPath(c.path.c_str(), name), c.result);
        if (c.result == VOCABULARY_NAME_OK) {
            EXPECT_EQ(std::string(name), c.name);
        }
    }
}

TEST(FileNamePartTest, IsWhatFollowsTheLastBackslash) {
    EXPECT_STREQ(fileNamePart("C:\\a\\b.vcb"), "b.vcb");
    EXPECT_STREQ(fileNamePart("b.vcb"), "b.vcb");
    EXPECT_STREQ(fileNamePart("C:\\a\\"), "");
}

}  // namespace
