#include "vocabularyMaking.h"

#include "debugLog.h"
#include "documentFiles.h"
#include "editorState.h"
#include "externRunner.h"
#include "filterRun.h"
#include "textConversions.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace {

const char* const HARVEST_PROGRAM = "zarnoGlotHarvest";
const char* const SHUFFLE_PROGRAM = "zarnoGlotShuffle";
// The shuffler's options: the passphrase on standard input's first line,
// or a random vocabulary.
const char* const PASSPHRASE_ON_INPUT = "-i";
const char* const RANDOM_SEED = "-r";
// The filter that checks a vocabulary: it loads every vocabulary as the
// translations' filters do, and refuses more than the decoder does.
const char* const CHECK_PROGRAM = "zarnoGlotEncode";
// What it is given to encode, and the room for the few words it writes.
const char CHECK_INPUT[] = "x";
constexpr int32_t CHECK_OUTPUT_CAPACITY = 64;
// A line of a word list or a vocabulary: a word of at most 7 bytes and the
// platform's line end (CR LF).
constexpr int32_t WORD_LINE_BYTES = 9;
// The harvester writes at most 10000 words, the shuffler exactly 4608; the
// runner grows the block further should a program write more.
constexpr int32_t WORD_LIST_OUTPUT_CAPACITY = 10000 * WORD_LINE_BYTES;
constexpr int32_t VOCABULARY_OUTPUT_CAPACITY = 4608 * WORD_LINE_BYTES;

bool endsWithLineEnd(const char* text, int32_t length) {
    return length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r');
}

// The folder and the name joined into path; false when it does not fit.
bool joinFolderAndName(const wchar_t* folder, const wchar_t* name, wchar_t path[PATH_UNITS]) {
    const size_t folderLength = wcslen(folder);
    const bool needsBackslash = folderLength > 0 && folder[folderLength - 1] != L'\\';
    if (folderLength + 1 + wcslen(name) >= static_cast<size_t>(PATH_UNITS)) {
        return false;
    }
    swprintf(path, PATH_UNITS, L"%ls%ls%ls", folder, needsBackslash ? L"\\" : L"", name);
    return true;
}

// "name: reason" for a file that could not be taken, the name as UTF-8.
void describeNamedFailure(const wchar_t* name, const char* reason, char message[RUN_FAILURE_TEXT_SIZE]) {
    snprintf(message, RUN_FAILURE_TEXT_SIZE, "%s: %s", utf8Name(name).text, reason);
}

// A text file's bytes as UTF-8: as they are, or converted from UTF-16 or,
// when codePageAccepted, from the system's code page (*converted set).
// Hands over a new malloc'ed block; on failure the reason.
DocumentFileResult textFileAsUtf8(const wchar_t* path, bool codePageAccepted, char** bytes, int32_t* byteCount,
                                  bool* converted) {
    *converted = false;
    const DocumentFileResult read = readDocumentFile(path, bytes, byteCount);
    if (read != DOCUMENT_OK || detectEncoding(*bytes, *byteCount) == ENCODING_UTF8) return read;
    wchar_t* text = nullptr;
    int32_t units = 0;
    TextEncoding encoding = ENCODING_UTF8;
    const DocumentFileResult decoded = decodeDocument(*bytes, *byteCount, codePageAccepted, &text, &units, &encoding);
    free(*bytes);
    *bytes = nullptr;
    *byteCount = 0;
    if (decoded != DOCUMENT_OK) return decoded;
    const bool utf8 = utf16ToUtf8(text, units, bytes, byteCount);
    free(text);
    *converted = utf8;
    return utf8 ? DOCUMENT_OK : DOCUMENT_NO_MEMORY;
}

// Appends one file's text to the joined text, after a line end when the
// text so far does not end with one.
DocumentFileResult appendFile(const wchar_t* path, bool codePageAccepted, char** text, int32_t* length,
                              int* converted, const char** reason) {
    char* bytes = nullptr;
    int32_t byteCount = 0;
    bool convertedFile = false;
    const DocumentFileResult read = textFileAsUtf8(path, codePageAccepted, &bytes, &byteCount, &convertedFile);
    if (read != DOCUMENT_OK) {
        *reason = read == DOCUMENT_ZERO_BYTE ? "The file contains a zero byte: it is not UTF-8 text."
                                             : documentFileMessage(read);
        return read;
    }
    *converted += convertedFile ? 1 : 0;
    const bool separate = *length > 0 && !endsWithLineEnd(*text, *length);
    const int64_t joined = static_cast<int64_t>(*length) + (separate ? 1 : 0) + byteCount;
    if (joined > MAX_DOCUMENT_BYTES) {
        free(bytes);
        *reason = "The chosen files are too large together.";
        return DOCUMENT_TOO_LARGE;
    }
    char* grown = static_cast<char*>(realloc(*text, static_cast<size_t>(joined) + 1));
    if (grown == nullptr) {
        free(bytes);
        *reason = documentFileMessage(DOCUMENT_NO_MEMORY);
        return DOCUMENT_NO_MEMORY;
    }
    if (separate) grown[(*length)++] = '\n';
    if (byteCount > 0) memcpy(grown + *length, bytes, static_cast<size_t>(byteCount));
    *length += byteCount;
    *text = grown;
    free(bytes);
    return DOCUMENT_OK;
}

// A program that makes a vocabulary file, and what its failure box says.
struct VocabularyTool {
    const char* program;
    int32_t outputCapacity;
    const char* notMade;         // the box's first words when the run fails
    // The program stops reading its input once its output is complete, so
    // the rest of a long input cannot be written to it: with exit status 0
    // the output is complete all the same.
    bool stopsReadingWhenDone;
};

const VocabularyTool HARVESTER = {HARVEST_PROGRAM, WORD_LIST_OUTPUT_CAPACITY, "No word list was made", true};
const VocabularyTool SHUFFLER = {SHUFFLE_PROGRAM, VOCABULARY_OUTPUT_CAPACITY, "No vocabulary was made", false};
const VocabularyTool CHECKER = {CHECK_PROGRAM, CHECK_OUTPUT_CAPACITY, "This vocabulary cannot be used", true};

// One run of a vocabulary tool over input into a new output block. On
// success hands over the block and its length; on failure writes the box's
// text, with the program's own reason, into message.
bool runTool(const VocabularyTool& tool, const char* argument, const char* input, int32_t inputLength,
             char** output, int32_t* outputLength, char message[RUN_FAILURE_TEXT_SIZE],
             JobProgress* progress = nullptr) {
    const FilterRun run = {tool.program, &argument, argument != nullptr ? 1 : 0, tool.outputCapacity, false,
                           tool.stopsReadingWhenDone};
    FilterOutcome outcome;
    const bool ran =
        runFilter(run, input, inputLength, EXTERN_PROG_TIMEOUT_MS, output, outputLength, &outcome, progress);
    logMessage("%s returned: %d, exit status %lu", tool.program, static_cast<int>(outcome.result),
               static_cast<unsigned long>(outcome.exitStatus));
    if (!ran) {
        describeToolFailure(tool.notMade, tool.program, outcome, message);
        logMessage("%s", message);
    }
    return ran;
}

int32_t countLines(const char* text, int32_t length) {
    int32_t lines = 0;
    for (int32_t i = 0; i < length; i++) {
        lines += text[i] == '\n';
    }
    return lines;
}

}  // namespace

bool vocabularyPath(const wchar_t* folder, const wchar_t* name, wchar_t path[PATH_UNITS]) {
    return joinFolderAndName(folder, name, path);
}

void wipeSecret(void* buffer, int32_t size) {
    SecureZeroMemory(buffer, static_cast<size_t>(size));
}

int splitFileSelection(wchar_t* selection, int fileOffset, const wchar_t** folder, const wchar_t* names[],
                       int capacity) {
    *folder = selection;
    int count = 0;
    if (fileOffset <= 0 || capacity <= 0) {
        return 0;
    }
    if (selection[fileOffset - 1] != L'\0') {
        // One file: its full path; the backslash before the name ends the folder.
        selection[fileOffset - 1] = L'\0';
        names[count++] = selection + fileOffset;
    } else {
        for (wchar_t* name = selection + fileOffset; *name != L'\0'; name += wcslen(name) + 1) {
            if (count == capacity) return -1;
            names[count++] = name;
        }
    }
    for (int i = 1; i < count; i++) {
        const wchar_t* name = names[i];
        int j = i;
        for (; j > 0 && _wcsicmp(names[j - 1], name) > 0; j--) names[j] = names[j - 1];
        names[j] = name;
    }
    return count;
}

JoinResult joinTextFiles(const wchar_t* folder, const wchar_t* const names[], int count, bool codePageAccepted,
                         char** text, int32_t* length, int* converted, char message[RUN_FAILURE_TEXT_SIZE]) {
    *text = nullptr;
    *length = 0;
    *converted = 0;
    char* joined = nullptr;
    int32_t joinedLength = 0;
    for (int i = 0; i < count; i++) {
        wchar_t path[PATH_UNITS];
        const char* reason = pathProblemMessage(PATH_TOO_LONG);
        const DocumentFileResult appended = joinFolderAndName(folder, names[i], path)
                                                ? appendFile(path, codePageAccepted, &joined, &joinedLength,
                                                             converted, &reason)
                                                : DOCUMENT_OPEN_FAILED;
        if (appended != DOCUMENT_OK) {
            free(joined);
            if (appended == DOCUMENT_NOT_UTF8) {
                snprintf(message, RUN_FAILURE_TEXT_SIZE, "%s", utf8Name(names[i]).text);
                return JOIN_NEEDS_CODE_PAGE;
            }
            describeNamedFailure(names[i], reason, message);
            return JOIN_FAILED;
        }
    }
    if (joinedLength == 0) {
        snprintf(message, RUN_FAILURE_TEXT_SIZE, "The chosen files are empty.");
        return JOIN_FAILED;
    }
    *text = joined;
    *length = joinedLength;
    return JOIN_OK;
}

bool runHarvester(const char* text, int32_t length, char** list, int32_t* listLength, int32_t* wordCount,
                  char message[RUN_FAILURE_TEXT_SIZE], JobProgress* progress) {
    if (!runTool(HARVESTER, nullptr, text, length, list, listLength, message, progress)) {
        return false;
    }
    *wordCount = countLines(*list, *listLength);
    return true;
}

bool runShuffler(const char* wordList, int32_t length, const char* passphrase, char** vocabulary,
                 int32_t* vocabularyLength, char message[RUN_FAILURE_TEXT_SIZE], JobProgress* progress) {
    if (passphrase == nullptr) {
        return runTool(SHUFFLER, RANDOM_SEED, wordList, length, vocabulary, vocabularyLength, message, progress);
    }
    // The passphrase's line, then the word list.
    const size_t lineLength = strlen(passphrase) + 1;
    const size_t inputLength = lineLength + static_cast<size_t>(length);
    char* input = inputLength <= INT32_MAX ? static_cast<char*>(malloc(inputLength)) : nullptr;
    if (input == nullptr) {
        snprintf(message, RUN_FAILURE_TEXT_SIZE, "No vocabulary was made: %s", documentFileMessage(DOCUMENT_NO_MEMORY));
        return false;
    }
    memcpy(input, passphrase, lineLength - 1);
    input[lineLength - 1] = '\n';
    memcpy(input + lineLength, wordList, static_cast<size_t>(length));
    const bool made = runTool(SHUFFLER, PASSPHRASE_ON_INPUT, input, static_cast<int32_t>(inputLength), vocabulary,
                              vocabularyLength, message, progress);
    wipeSecret(input, static_cast<int32_t>(lineLength));
    free(input);
    return made;
}

bool checkVocabulary(const char* name, char message[RUN_FAILURE_TEXT_SIZE]) {
    char* written = nullptr;
    int32_t writtenLength = 0;
    if (!runTool(CHECKER, name, CHECK_INPUT, 1, &written, &writtenLength, message)) {
        return false;
    }
    free(written);
    return true;
}

const char* passphraseUtf8(const wchar_t* passphrase, const wchar_t* repeated, char utf8[PASSPHRASE_UTF8_SIZE]) {
    utf8[0] = '\0';
    if (passphrase[0] == L'\0') {
        return "Please type a passphrase.";
    }
    if (wcscmp(passphrase, repeated) != 0) {
        return "The two passphrases do not match. Please type them again.";
    }
    // The shuffler reads the passphrase as the first line of its input.
    if (wcspbrk(passphrase, L"\r\n") != nullptr) {
        return "The passphrase cannot hold a line end: zarnoGlotShuffle reads it as one line.";
    }
    if (wcslen(passphrase) > static_cast<size_t>(PASSPHRASE_MAX_CHARACTERS)) {
        return "The passphrase is too long.";
    }
    // UTF-8, as the shuffler reads it on every system and the page reads
    // the passphrase: one passphrase, one vocabulary.
    if (!utf16ToUtf8Name(passphrase, utf8, PASSPHRASE_UTF8_SIZE)) {
        wipeSecret(utf8, PASSPHRASE_UTF8_SIZE);
        return "The passphrase holds a character that is not complete (half of a pair). Please type it again.";
    }
    return nullptr;
}

const char* newVocabularyName(const wchar_t* typed, wchar_t* name) {
    const size_t length = wcslen(typed);
    if (length == 0) {
        return "Please type a file name for the vocabulary.";
    }
    if (wcspbrk(typed, L"\\/:") != nullptr || wcsspn(typed, L".") == length) {
        return "The vocabulary's file name must be a name alone: it is written in the editor's folder.";
    }
    if (!validFileName(typed, length)) {
        return pathProblemMessage(PATH_BAD_FILE_NAME);
    }
    if (length >= static_cast<size_t>(NAME_SIZE)) {
        return "The selected filename is too long.";
    }
    wmemcpy(name, typed, length + 1);
    return nullptr;
}
