// Valid 4608-word vocabularies for tests. The words are 2..7 bytes of
// 'a'..'w', with some upper-case first letters, some non-ASCII letters
// (é, ä, ö, ü, ß, and Ä or É first) and some words standing beside their
// own capitalised form; all are distinct. No generated word ends in 'x',
// 'y' or 'z', so a test can put such words at chosen indices without
// making a duplicate.
#pragma once

#include <string>
#include <vector>

std::vector<std::string> makeTestVocabulary(unsigned seed);

// The file text: every word followed by lineEnd, the last one too unless
// endLastLine is false.
std::string vocabularyText(const std::vector<std::string>& words, const std::string& lineEnd,
                           bool endLastLine);

// Writes the vocabulary ("\n" line ends) to folder/name and returns the path.
std::string writeVocabularyFile(const std::string& folder, const std::string& name,
                                const std::vector<std::string>& words);

// Word number index (0..17575) of the plain lowercase words "waaa".."wzzz",
// its last three letters counting up from the second.
std::string generatedWord(int index);
