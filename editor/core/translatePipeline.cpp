#include "translatePipeline.h"

#include "debugLog.h"
#include "externRunner.h"
#include "filterRun.h"
#include "textConversions.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const int64_t MAX_OUTPUT_CAPACITY = 2147483647;

int argumentCount(const TranslateStep& step) {
    int count = 0;
    while (count < MAX_PROGRAM_ARGUMENTS && step.arguments[count] != nullptr) count++;
    return count;
}

// The capacity rule's room and the step's own, for a run with input.
int32_t stepCapacity(const TranslateStep& step, int32_t inputLength) {
    const int64_t capacity = static_cast<int64_t>(initialOutputCapacity(inputLength)) +
                             (inputLength > 0 ? step.extraOutputRoom : 0);
    return static_cast<int32_t>(capacity < MAX_OUTPUT_CAPACITY ? capacity : MAX_OUTPUT_CAPACITY);
}

// Runs one filter over input and frees input whatever happens. On success
// hands over the output block and the number of bytes in it.
bool runOneFilter(char* input, int32_t inputLength, const TranslateStep& step, uint32_t timeoutMs, char** output,
                  int32_t* outputLength, char message[PIPELINE_MESSAGE_SIZE]) {
    const FilterRun run = {step.program, step.arguments, argumentCount(step), stepCapacity(step, inputLength),
                           false, false};
    FilterOutcome outcome;
    const bool ran = runFilter(run, input, inputLength, timeoutMs, output, outputLength, &outcome);
    if (!outcome.noOutputBlock) logMessage("First runEexternal returned: %d", static_cast<int>(outcome.result));
    free(input);
    if (!ran) describeTranslateFailure(run, outcome, message);
    return ran;
}

// Turns the last output into text for the edit control and frees it.
bool convertFinalOutput(char* output, int32_t outputLength, wchar_t** text, int32_t* units,
                        char message[PIPELINE_MESSAGE_SIZE]) {
    wchar_t* converted = nullptr;
    int32_t count = 0;
    if (!utf8ToUtf16(output, outputLength, &converted, &count)) {
        free(output);
        snprintf(message, PIPELINE_MESSAGE_SIZE, "Processor produced invalid UTF-8.");
        return false;
    }
    // The edit control would keep only the text before a zero byte and lose
    // the rest without a word.
    const bool holdsZero = outputLength > 0 && memchr(output, 0, static_cast<size_t>(outputLength)) != nullptr;
    free(output);
    if (holdsZero) {
        free(converted);
        snprintf(message, PIPELINE_MESSAGE_SIZE, "The result contains a zero byte and cannot be shown.");
        return false;
    }
    *text = converted;
    *units = count;
    return true;
}

}  // namespace

int32_t initialOutputCapacity(int32_t inputLength) {
    if (inputLength <= 0) {
        return 0;
    }
    const int64_t capacity = static_cast<int64_t>(inputLength) * 3 / 2;
    return static_cast<int32_t>(capacity < MAX_OUTPUT_CAPACITY ? capacity : MAX_OUTPUT_CAPACITY);
}

TranslateStep sealStep(const char* vocabulary) {
    return TranslateStep{PACK_PROGRAM, {vocabulary, nullptr}, SEALING_OUTPUT_ROOM};
}

TranslateStep encodeStep(const char* vocabulary) {
    return TranslateStep{ENCODE_PROGRAM, {vocabulary, nullptr}, 0};
}

TranslateStep decodeStep(const char* vocabulary) {
    return TranslateStep{DECODE_PROGRAM, {vocabulary, nullptr}, 0};
}

TranslateStep openStep(const char* vocabulary) {
    return TranslateStep{PACK_PROGRAM, {UNPACK_ARGUMENT, vocabulary}, 0};
}

void stepArgumentsText(const TranslateStep& step, char* text, int size) {
    const int count = argumentCount(step);
    int used = snprintf(text, static_cast<size_t>(size), "%s", count == 0 ? "(null)" : step.arguments[0]);
    for (int i = 1; i < count && used >= 0 && used < size; i++) {
        used += snprintf(text + used, static_cast<size_t>(size - used), " %s", step.arguments[i]);
    }
}

bool runTranslatePipeline(char* input, int32_t inputLength, const TranslateStep& first, const TranslateStep* second,
                          uint32_t timeoutMs, wchar_t** text, int32_t* units, char message[PIPELINE_MESSAGE_SIZE]) {
    *text = nullptr;
    *units = 0;
    message[0] = '\0';
    char* output = nullptr;
    int32_t outputLength = 0;
    bool translated = runOneFilter(input, inputLength, first, timeoutMs, &output, &outputLength, message);
    if (translated && second != nullptr) {
        char* secondInput = output;
        translated = runOneFilter(secondInput, outputLength, *second, timeoutMs, &output, &outputLength, message);
    }
    return translated && convertFinalOutput(output, outputLength, text, units, message);
}
