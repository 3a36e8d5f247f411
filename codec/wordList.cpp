#include "wordList.h"

#include <cstring>

#include "consoleProgram.h"

void clearWordList(WordList* list) {
    std::memset(list->slots, 0, sizeof list->slots);
    clearWordLookup(&list->index);
    list->count = 0;
}

bool containsWord(const WordSlot* slots, std::uint64_t count, const unsigned char* word) {
    for (std::uint64_t i = 0; i < count; ++i) {
        if (std::strcmp(reinterpret_cast<const char*>(slots[i].bytes),
                        reinterpret_cast<const char*>(word)) == 0) {
            return true;
        }
    }
    return false;
}

bool wordListContains(const WordList* list, const unsigned char* word) {
    std::size_t length = std::strlen(reinterpret_cast<const char*>(word));
    // No stored word is empty or longer than a slot holds.
    if (length == 0 || length > static_cast<std::size_t>(MAX_WORD_BYTES)) return false;
    return lookupWord(list->index, wordKey(word, length)) >= 0;
}

void appendWord(WordList* list, const unsigned char* word, int length) {
    appendNewWord(list, wordKey(word, static_cast<std::size_t>(length)));
}

static bool writeWordLines(const WordSlot* slots, std::uint64_t count, std::FILE* output) {
    for (std::uint64_t i = 0; i < count; ++i) {
        if (std::fputs(reinterpret_cast<const char*>(slots[i].bytes), output) == EOF) return false;
        if (std::fputc('\n', output) == EOF) return false;
    }
    return std::fflush(output) == 0;
}

int writeWordList(const char* programName, const WordSlot* slots, std::uint64_t count, std::FILE* output,
                  std::FILE* errors, const char* summaryFormat) {
    if (!writeWordLines(slots, count, output)) {
        report(errors, programName, "write error");
        return 1;
    }
    report(errors, programName, summaryFormat, static_cast<unsigned long>(count));
    return 0;
}
