// Reading and writing document files, and the name rules of the file and
// settings commands. Nothing here needs a window.
#pragma once

#include "documentEncoding.h"
#include "editorState.h"

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
    DOCUMENT_NOT_UTF8,           // neither UTF-8 nor UTF-16: the code page may be its encoding
    DOCUMENT_NOT_CODE_PAGE,      // not even text in the system's code page
    DOCUMENT_BAD_UTF16,          // a UTF-16 mark, then an odd number of bytes
    DOCUMENT_ZERO_CHARACTER,     // UTF-16 text holding U+0000
    DOCUMENT_NOT_IN_CODE_PAGE,   // the text holds characters the code page lacks
    DOCUMENT_NOT_UNICODE,        // the text holds an unpaired surrogate: no UTF-8 of it
};

const char* documentFileMessage(DocumentFileResult result);

// Largest document accepted: the text conversions count bytes in a signed
// 32-bit integer.
constexpr int64_t MAX_DOCUMENT_BYTES = 0x7FFFFFFF;

// Reads the whole file into a new malloc'ed block with a 0 byte after the
// data. The block is handed out only with DOCUMENT_OK; the caller frees it.
// A file holding a 0 byte is refused, unless it begins with a UTF-16 mark:
// the edit control would cut the text there and a later save would lose the
// rest. With stamp, also tells what the file looked like as it was read;
// with systemError, the system's error of a failure.
DocumentFileResult readDocumentFile(const wchar_t* path, char** bytes, int32_t* byteCount,
                                    FileStamp* stamp = nullptr, unsigned long* systemError = nullptr);

// The text of a file's bytes in a new malloc'ed block of *units units and a
// 0 unit, and the encoding it was in (detectEncoding). Bytes that are
// neither UTF-8 nor UTF-16 are read in the system's ANSI code page only
// when codePageAccepted; DOCUMENT_NOT_UTF8 asks for that (when the code
// page is UTF-8 itself, DOCUMENT_NOT_CODE_PAGE). A UTF-16 mark is not kept
// in the text; a UTF-8 one is, as U+FEFF.
DocumentFileResult decodeDocument(const char* bytes, int32_t byteCount, bool codePageAccepted, wchar_t** text,
                                  int32_t* units, TextEncoding* encoding);

// The bytes of the text in the encoding, in a new malloc'ed block (none for
// an empty UTF-8 or code page text); UTF-16 gets its mark.
// DOCUMENT_NOT_IN_CODE_PAGE when a character has no byte in the code page,
// DOCUMENT_NOT_UNICODE when there is no UTF-8 of the text.
DocumentFileResult encodeDocument(const wchar_t* text, int32_t units, TextEncoding encoding, char** bytes,
                                  int32_t* byteCount, bool* representable);

// What the file at path looks like now; stamp->known is false when there is
// no such file (or it cannot be looked at).
void readFileStamp(const wchar_t* path, FileStamp* stamp);

// Whether the file still looks as it did when its stamp was taken: the
// same size and last-write time. A file that is no longer there has not
// changed in a way that a save would overwrite.
bool fileUnchangedSince(const wchar_t* path, const FileStamp& stamp);

// Why Windows cannot take a path, for the box that refuses it.
enum PathProblem {
    PATH_FINE,
    PATH_TOO_LONG,          // PATH_UNITS units or more, terminator included; for a folder, more than MAX_FOLDER_UNITS
    PATH_BAD_FILE_NAME,     // a name Windows cannot store as a file name
    PATH_BAD_FOLDER_NAME,   // a folder on the way has such a name
};

// The longest folder Windows makes: room is left in PATH_UNITS for a file
// name of 8 characters, a dot and 3 more in it.
constexpr int MAX_FOLDER_UNITS = PATH_UNITS - 12;

// Checks a full or relative path of a file (isFolder false) or a folder.
// Names are refused that Windows cannot store: empty ones, ones holding
// \ / : * ? " < > | or a control character, ones that end with a dot or a
// blank, and device names such as CON, NUL or COM1 (with any extension).
PathProblem pathProblem(const wchar_t* path, bool isFolder);
const char* pathProblemMessage(PathProblem problem);

// Whether name (length units) is a name Windows can store for a file or folder.
bool validFileName(const wchar_t* name, size_t length);

// Writes the bytes as the whole content of the file. They go to a new
// hidden temporary file in the same folder first ("~zgw-0123abcd.tmp",
// written through and flushed), which then replaces the target with the
// target's attributes, so that a failure at any point leaves an existing
// target as it was and no temporary file behind. The temporary files an
// interrupted save left in that folder are removed first. With systemError,
// the system's error of a failure.
DocumentFileResult writeDocumentFile(const wchar_t* path, const char* bytes, int32_t byteCount,
                                     unsigned long* systemError = nullptr);

// Removes the temporary files of saves in the folder of path that are not
// under way; returns how many.
int removeTemporaryFiles(const wchar_t* path);

// Room for the text of a file's failure box, terminator included.
constexpr int FILE_FAILURE_TEXT_SIZE = 1024;

// The box's text of a failed file operation: the headline and, for a
// system error, the file's name and the cause beneath it, in our words for
// the common ones (fileErrorCause) or the system's own message in the
// user's language. Without an error the file's name alone stands beneath.
void describeFileFailure(const char* headline, const wchar_t* path, unsigned long error, char* text, int size);

// The user's own Documents folder; false when the profile does not say.
bool userDocumentsFolder(wchar_t folder[PATH_UNITS]);

// Sets editorState.dataDirectory to the folder part of
// editorState.currentFileName: everything before its last backslash, so
// C:\a.text gives C:. A name without a backslash changes nothing.
void updateDataDirectory();

// The part of a path after its last backslash; the whole path without one.
const wchar_t* fileNamePart(const wchar_t* path);

enum VocabularyNameResult {
    VOCABULARY_NAME_OK,
    VOCABULARY_NAME_TOO_LONG,    // file name part of 64 UTF-16 units or more
};

// Takes the file name part of a path chosen in the vocabulary dialog into
// name, which holds NAME_SIZE units.
VocabularyNameResult vocabularyNameOfPath(const wchar_t* path, wchar_t* name);

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
