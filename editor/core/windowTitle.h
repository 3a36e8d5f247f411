// The main window's title: the document's name and the vocabulary in use,
// so that writing with the public vocabulary never goes unnoticed. Built
// without Windows, so that it is checked natively too.
#pragma once

#include <cstddef>

// The vocabulary that ships with the editor: anyone has it.
constexpr const wchar_t* PUBLIC_VOCABULARY_NAME = L"sample.vcb";
// Room for a title: a file name and a vocabulary name and the program's.
constexpr size_t WINDOW_TITLE_UNITS = 400;

// "Brief.text - zarnoGlotWrite - mine.vcb"; a document without a file is
// "Untitled", and without a vocabulary the title ends with the program's
// name. The document's name is what follows the last backslash of its path.
// Cut to fit units units, terminator included.
void formatWindowTitle(const wchar_t* documentPath, const wchar_t* vocabularyName, wchar_t* title, size_t units);

// Whether the vocabulary is the public one, in any case of its letters.
bool isPublicVocabulary(const wchar_t* vocabularyName);
