// What the page's entry points share: the file the worker writes the
// chosen vocabulary to before each translation, and the one result block:
// each call leaves its result there, the worker copies it out and clears
// it, and clearing wipes it.
#pragma once

#include <cstddef>

// Where the codec's loaders read the vocabulary (the worker asks for it:
// pageVocabularyFile).
constexpr const char* VOCABULARY_FILE = "/vocabulary.vcb";

// Wipes and frees the result block.
void clearResult();

// The output buffer's block writer: appends to the result block, which
// grows by doubling. False when memory runs out.
bool appendToResult(void* target, const unsigned char* bytes, std::size_t count);

// Makes a malloc'ed block of length bytes (capacity in all) the result.
void takeResult(unsigned char* bytes, std::size_t length, std::size_t capacity);

// A new result block of length bytes, or null (with the program's message
// on standard error) when memory runs out.
unsigned char* newResult(std::size_t length, const char* programName);
