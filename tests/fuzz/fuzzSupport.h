// Helpers shared by the libFuzzer targets: failing with a message, files
// and memory streams for readers that take a file or a FILE*, and the fixed
// vocabulary the codec targets decode and encode with.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

#include "byteOutput.h"

// Prints "fuzz invariant broken: <what>" and aborts, so libFuzzer saves the input.
[[noreturn]] void fuzzFailure(const char* what);

#define FUZZ_CHECK(condition, what) \
    do {                            \
        if (!(condition)) fuzzFailure(what); \
    } while (0)

// A path in this process's own temporary folder (made on first use).
std::string fuzzTempPath(const char* name);
void writeBytesToFile(const std::string& path, const unsigned char* bytes, std::size_t count);

// A read-only stream over the bytes (an empty one for count 0).
std::FILE* openMemoryInput(const unsigned char* bytes, std::size_t count);

// A stream whose text lands in memory; closeMemoryOutput closes it and
// returns what was written.
struct MemoryOutput {
    std::FILE* stream;
    char* text;
    std::size_t length;
};
void openMemoryOutput(MemoryOutput* output);
std::string closeMemoryOutput(MemoryOutput* output);

// Sends standard error to /dev/null until restoreStandardError, so the
// loaders' refusal messages do not flood the fuzzer's own output.
void silenceStandardError();
void restoreStandardError();

// An OutputBuffer whose blocks are appended to a string.
void openStringOutput(OutputBuffer* output, std::string* target);

// The number of words in a text as the decoder cuts it: runs of word bytes.
std::size_t countTextWords(const std::string& text);

// The fixed vocabulary of the codec targets: 4608 generated words with
// ASCII, two-byte and capitalised forms, and its file.
const std::vector<std::string>& fixedVocabulary();
const std::string& fixedVocabularyText();
const std::string& fixedVocabularyPath();

// Whether the word (1..7 bytes) is one of fixedVocabulary().
bool isFixedVocabularyWord(const std::string& word);
