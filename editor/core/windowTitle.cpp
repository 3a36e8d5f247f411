#include "windowTitle.h"

#include <cwchar>

namespace {

const wchar_t* const PROGRAM_TITLE = L"zarnoGlotWrite";
const wchar_t* const UNTITLED = L"Untitled";
const wchar_t* const SEPARATOR = L" - ";

// Appends text to title (used units so far) as far as it fits.
void append(wchar_t* title, size_t units, size_t* used, const wchar_t* text) {
    for (; *text != L'\0' && *used + 1 < units; text++) title[(*used)++] = *text;
    title[*used] = L'\0';
}

wchar_t asciiLower(wchar_t c) {
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

}  // namespace

void formatWindowTitle(const wchar_t* documentPath, const wchar_t* vocabularyName, wchar_t* title, size_t units) {
    if (units == 0) return;
    size_t used = 0;
    title[0] = L'\0';
    const wchar_t* lastBackslash = wcsrchr(documentPath, L'\\');
    const wchar_t* name = lastBackslash != nullptr ? lastBackslash + 1 : documentPath;
    append(title, units, &used, name[0] != L'\0' ? name : UNTITLED);
    append(title, units, &used, SEPARATOR);
    append(title, units, &used, PROGRAM_TITLE);
    if (vocabularyName[0] != L'\0') {
        append(title, units, &used, SEPARATOR);
        append(title, units, &used, vocabularyName);
    }
}

bool isPublicVocabulary(const wchar_t* vocabularyName) {
    const wchar_t* expected = PUBLIC_VOCABULARY_NAME;
    for (; *vocabularyName != L'\0' && *expected != L'\0'; vocabularyName++, expected++) {
        if (asciiLower(*vocabularyName) != *expected) return false;
    }
    return *vocabularyName == L'\0' && *expected == L'\0';
}
