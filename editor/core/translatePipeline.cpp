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

namespace {

// Which step of a pipeline failed.
enum PipelineFailure { FAILED_NOWHERE, FAILED_FIRST, FAILED_SECOND, FAILED_CONVERSION };

PipelineFailure runSteps(char* input, int32_t inputLength, const TranslateStep& first, const TranslateStep* second,
                         uint32_t timeoutMs, wchar_t** text, int32_t* units, char message[PIPELINE_MESSAGE_SIZE]) {
    *text = nullptr;
    *units = 0;
    message[0] = '\0';
    char* output = nullptr;
    int32_t outputLength = 0;
    if (!runOneFilter(input, inputLength, first, timeoutMs, &output, &outputLength, message)) return FAILED_FIRST;
    if (second != nullptr) {
        char* secondInput = output;
        if (!runOneFilter(secondInput, outputLength, *second, timeoutMs, &output, &outputLength, message)) {
            return FAILED_SECOND;
        }
    }
    return convertFinalOutput(output, outputLength, text, units, message) ? FAILED_NOWHERE : FAILED_CONVERSION;
}

char* copyOfInput(const char* input, int32_t inputLength) {
    if (inputLength <= 0) return nullptr;
    char* copy = static_cast<char*>(malloc(static_cast<size_t>(inputLength)));
    if (copy != nullptr) memcpy(copy, input, static_cast<size_t>(inputLength));
    return copy;
}

// What the decoder says when it has no further reading of a text that
// reads as it stands.
const char* const NO_OTHER_READING = "the text holds no other block of lines";

// A text pasted from a mail holds more lines than the message, and the
// decoder may find more than one block of them that reads (-bN). Only the
// packer's check of a sealed text tells the right one, so while the packer
// refuses the bytes of one reading the next is tried; the first refusal is
// the one shown, unless the text itself does not read, and the pasted text
// is kept for the tries.
bool runReadingPipeline(char* input, int32_t inputLength, const TranslateStep& decode, const TranslateStep& open,
                        uint32_t timeoutMs, wchar_t** text, int32_t* units, char message[PIPELINE_MESSAGE_SIZE]) {
    char* pasted = copyOfInput(input, inputLength);
    PipelineFailure failure = runSteps(input, inputLength, decode, &open, timeoutMs, text, units, message);
    for (int reading = 2; failure == FAILED_SECOND && pasted != nullptr && reading <= MOST_TRIED_READINGS; reading++) {
        char option[8];
        snprintf(option, sizeof option, "-b%d", reading);
        const TranslateStep next = {decode.program, {option, decode.arguments[0]}, decode.extraOutputRoom};
        char retryMessage[PIPELINE_MESSAGE_SIZE];
        const PipelineFailure retry = runSteps(copyOfInput(pasted, inputLength), inputLength, next, &open, timeoutMs,
                                               text, units, retryMessage);
        logMessage("Reading %d of the pasted text: %d", reading, static_cast<int>(retry));
        if (retry == FAILED_FIRST) {
            // Past the last reading the decoder says why the text itself does
            // not read, which tells more than the packer's refusal of a block.
            if (strstr(retryMessage, NO_OTHER_READING) == nullptr) memcpy(message, retryMessage, PIPELINE_MESSAGE_SIZE);
            break;
        }
        failure = retry;
        if (failure != FAILED_SECOND) memcpy(message, retryMessage, PIPELINE_MESSAGE_SIZE);
    }
    free(pasted);
    return failure == FAILED_NOWHERE;
}

}  // namespace

bool runTranslatePipeline(char* input, int32_t inputLength, const TranslateStep& first, const TranslateStep* second,
                          uint32_t timeoutMs, wchar_t** text, int32_t* units, char message[PIPELINE_MESSAGE_SIZE]) {
    if (second != nullptr && strcmp(first.program, DECODE_PROGRAM) == 0 && first.arguments[1] == nullptr) {
        return runReadingPipeline(input, inputLength, first, *second, timeoutMs, text, units, message);
    }
    return runSteps(input, inputLength, first, second, timeoutMs, text, units, message) == FAILED_NOWHERE;
}
