#include "testVocabulary.h"

#include <random>
#include <set>

#include "testSupport.h"

static const char* const PLAIN_LETTERS = "abcdefghijklmnopqrstuvw";
static const char* const TWO_BYTE_LETTERS[] = {"\xC3\xA9", "\xC3\xA4", "\xC3\xB6", "\xC3\xBC",
                                               "\xC3\x9F"};
static const char* const TWO_BYTE_CAPITALS[] = {"\xC3\x84", "\xC3\x89"};  // Ä, É

static std::string randomWord(std::mt19937& random) {
    int targetBytes = 2 + static_cast<int>(random() % 6);
    std::string word;
    if (random() % 40 == 0) word += TWO_BYTE_CAPITALS[random() % 2];
    while (static_cast<int>(word.size()) < targetBytes - 1) {
        if (random() % 9 == 0 && static_cast<int>(word.size()) + 2 <= targetBytes - 1) {
            word += TWO_BYTE_LETTERS[random() % 5];
        } else {
            word += PLAIN_LETTERS[random() % 23];
        }
    }
    word += PLAIN_LETTERS[random() % 23];  // the last byte is never x, y or z
    if (random() % 8 == 0 && word[0] >= 'a' && word[0] <= 'z') word[0] = static_cast<char>(word[0] - 0x20);
    return word;
}

std::vector<std::string> makeTestVocabulary(unsigned seed) {
    std::mt19937 random(seed);
    std::set<std::string> used;
    std::vector<std::string> words;
    while (words.size() < 4608) {
        std::string word = randomWord(random);
        // Now and then the capitalised form of the word before.
        if (words.size() % 37 == 5 && words.back()[0] >= 'a' && words.back()[0] <= 'z') {
            std::string capitalised = words.back();
            capitalised[0] = static_cast<char>(capitalised[0] - 0x20);
            if (used.count(capitalised) == 0) word = capitalised;
        }
        if (used.insert(word).second) words.push_back(word);
    }
    return words;
}

std::string vocabularyText(const std::vector<std::string>& words, const std::string& lineEnd,
                           bool endLastLine) {
    std::string text;
    for (std::size_t i = 0; i < words.size(); ++i) {
        text += words[i];
        if (endLastLine || i + 1 < words.size()) text += lineEnd;
    }
    return text;
}

std::string writeVocabularyFile(const std::string& folder, const std::string& name,
                                const std::vector<std::string>& words) {
    std::string path = joinPath(folder, name);
    writeFile(path, vocabularyText(words, "\n", true));
    return path;
}

std::string generatedWord(int index) {
    std::string word = "w";
    for (int n = index, digits = 0; digits < 3; ++digits, n /= 26) word += static_cast<char>('a' + n % 26);
    return word;
}
