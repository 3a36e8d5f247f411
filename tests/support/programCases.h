// Command-line tests as tables: one run of a program with its arguments and
// standard input, and what it must write and return. For GoogleTest suites.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "testSupport.h"
#include "testVocabulary.h"

struct ProgramCase {
    const char* name;
    std::vector<std::string> arguments;
    std::string input;
    std::string out;  // as a text stream writes it, with "\n" line ends
    std::string err;  // likewise
    int status;
};

// Runs the case through the program and compares status, standard output
// and standard error, both with the platform's line ends.
inline void expectProgramCase(const std::string& program, const ProgramCase& testCase) {
    ProgramResult result = runProgram(program, testCase.arguments, testCase.input);
    EXPECT_EQ(result.status, testCase.status) << testCase.name;
    EXPECT_EQ(result.out, platformLineEnds(testCase.out)) << testCase.name;
    EXPECT_EQ(result.err, platformLineEnds(testCase.err)) << testCase.name;
}

inline void expectProgramCases(const std::string& program, const std::vector<ProgramCase>& cases) {
    for (const ProgramCase& testCase : cases) expectProgramCase(program, testCase);
}

// A table's row shows as its name when a TEST_P case of it fails.
inline void PrintTo(const ProgramCase& testCase, std::ostream* out) {
    *out << testCase.name;
}

// The name of a table's row as a TEST_P case: its name with every character
// but ASCII letters and digits as '_', which is all googletest takes.
inline std::string rowName(const std::string& name) {
    std::string shown = name;
    for (char& c : shown) {
        const bool kept = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!kept) c = '_';
    }
    return shown;
}

// INSTANTIATE_TEST_SUITE_P's name generator for rows that have a name.
struct RowName {
    template <typename Row>
    std::string operator()(const ::testing::TestParamInfo<Row>& info) const {
        return rowName(info.param.name);
    }
};

// The command lines that must give only the usage (and status -1) of a
// program that takes exactly one argument, given a valid one.
inline std::vector<ProgramCase> usageCases(const std::string& usage, const std::string& validArgument,
                                           const std::string& input) {
    return {
        {"no argument", {}, input, "", usage, -1},
        {"-h", {"-h"}, input, "", usage, -1},
        {"two arguments", {validArgument, validArgument}, input, "", usage, -1},
        {"-h before an argument", {"-h", validArgument}, input, "", usage, -1},
        {"three arguments", {"a", "b", "c"}, input, "", usage, -1},
    };
}

// A vocabulary file's text and the one message a program refuses it with.
struct VocabularyRefusal {
    const char* name;
    std::string text;
    std::string message;  // with "\n" line ends
};

// Writes the text to folder/bad.vcb and runs the program with that file as
// its argument and the input: status 1, the message alone and nothing
// written on standard output.
inline void expectVocabularyRefusal(const std::string& program, const std::string& folder, const std::string& input,
                                    const std::string& text, const std::string& message) {
    std::string path = joinPath(folder, "bad.vcb");
    writeFile(path, text);
    ProgramResult result = runProgram(program, {path}, input);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, platformLineEnds(message));
    EXPECT_EQ(result.out, "");
}

inline void expectVocabularyRefusals(const std::string& program, const std::string& folder,
                                     const std::string& input, const std::vector<VocabularyRefusal>& refusals) {
    for (const VocabularyRefusal& refusal : refusals) {
        SCOPED_TRACE(refusal.name);
        expectVocabularyRefusal(program, folder, input, refusal.text, refusal.message);
    }
}

// A row of a table of refused vocabularies: the file's text made, when the
// row runs, from a valid list of words, and the one message.
struct VocabularyChange {
    const char* name;
    std::function<std::string(std::vector<std::string> words)> text;
    std::string message;  // with "\n" line ends
};

inline void PrintTo(const VocabularyChange& row, std::ostream* out) {
    *out << row.name;
}

// The valid list with one word put in place of another.
inline std::function<std::string(std::vector<std::string>)> withWord(std::size_t index, const std::string& word,
                                                                      const char* lineEnd = "\n") {
    return [index, word, lineEnd](std::vector<std::string> words) {
        words[index] = word;
        return vocabularyText(words, lineEnd, true);
    };
}
