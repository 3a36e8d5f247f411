// Reading and writing document files, and the name rules of the file and
// settings commands. Nothing here needs a window.
#pragma once

#include <cstdint>

// Outcome of readDocumentFile and writeDocumentFile; documentFileMessage
// gives the text shown to the user for each failure.
enum DocumentFileResult {
    DOCUMENT_OK,
    DOCUMENT_OPEN_FAILED,
    DOCUMENT_SIZE_FAILED,
    DOCUMENT_TOO_LARGE,
    DOCUMENT_NO_MEMORY,
    DOCUMENT_READ_FAILED,
    DOCUMENT_ZERO_BYTE,          // the edit control would cut the text there
    DOCUMENT_CREATE_FAILED,
    DOCUMENT_WRITE_FAILED,
};

const char* documentFileMessage(DocumentFileResult result);

// Largest document accepted: the text conversions count bytes in a signed
// 32-bit integer.
constexpr int64_t MAX_DOCUMENT_BYTES = 0x7FFFFFFF;

// Reads the whole file into a new malloc'ed block with a 0 byte after the
// data. The block is handed out only with DOCUMENT_OK; the caller frees it.
// A file holding a 0 byte is refused: the edit control would cut the text
// there and a later save would lose the rest.
DocumentFileResult readDocumentFile(const wchar_t* path, char** bytes, int32_t* byteCount);

// Writes the bytes as the whole content of the file. They go to a new
// temporary file in the same folder first, which then replaces the target,
// so that a failure at any point leaves an existing target as it was and no
// temporary file behind.
DocumentFileResult writeDocumentFile(const wchar_t* path, const char* bytes, int32_t byteCount);

// Sets editorState.dataDirectory to the folder part of
// editorState.currentFileName: everything before its last backslash, so
// C:\a.text gives C:. A name without a backslash changes nothing.
void updateDataDirectory();

// The part of a path after its last backslash; the whole path without one.
const char* fileNamePart(const char* path);

enum VocabularyNameResult {
    VOCABULARY_NAME_OK,
    VOCABULARY_NAME_NOT_ASCII,   // a character above 127, or 260 characters or more
    VOCABULARY_NAME_TOO_LONG,    // file name part of 64 characters or more
};

// Takes the file name part of a path chosen in the vocabulary dialog into
// name, which holds 64 bytes.
VocabularyNameResult vocabularyNameOfPath(const wchar_t* path, char* name);

// Whether the file at path lies in folder itself, whatever the spelling of
// either: the two folders are compared as the file system identifies them.
// A bare file name lies in the current directory.
bool fileLiesInFolder(const wchar_t* path, const wchar_t* folder);

// What copying source to target would meet there.
enum CopyTarget {
    COPY_TARGET_ABSENT,      // no file of that name
    COPY_TARGET_SAME,        // a file of the same bytes
    COPY_TARGET_DIFFERENT,   // any other file, or one that cannot be read
};

CopyTarget compareCopyTarget(const wchar_t* source, const wchar_t* target);
