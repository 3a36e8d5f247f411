#include "translatePipeline.h"

#include "debugLog.h"
#include "externRunner.h"
#include "filterRun.h"
#include "readingChoice.h"
#include "textConversions.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const int64_t MAX_OUTPUT_CAPACITY = 2147483647;

// How the runs of one pipeline are watched: the time limit without
// progress, and the job that counts their bytes and may cancel them.
struct PipelineWatch {
    uint32_t timeoutMs;
    JobProgress* progress;
    bool cancelled() const { return progress != nullptr && progress->cancelled; }
};

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
// hands over the output block and the number of bytes in it; on failure
// *notSealed tells whether the packer refused a text that is not sealed.
bool runOneFilter(char* input, int32_t inputLength, const TranslateStep& step, const PipelineWatch& watch,
                  char** output, int32_t* outputLength, char message[PIPELINE_MESSAGE_SIZE], bool* notSealed) {
    const FilterRun run = {step.program, step.arguments, argumentCount(step), stepCapacity(step, inputLength),
                           false, false};
    FilterOutcome outcome;
    const bool ran =
        runFilter(run, input, inputLength, watch.timeoutMs, output, outputLength, &outcome, watch.progress);
    if (!outcome.noOutputBlock) logMessage("First runEexternal returned: %d", static_cast<int>(outcome.result));
    free(input);
    if (!ran) describeTranslateFailure(run, outcome, message);
    *notSealed = !ran && outcome.result == RUN_PROGRAM_FAILED && refusedAsNotSealed(outcome.errorText);
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
                         const PipelineWatch& watch, wchar_t** text, int32_t* units,
                         char message[PIPELINE_MESSAGE_SIZE], bool* notSealed) {
    *text = nullptr;
    *units = 0;
    *notSealed = false;
    message[0] = '\0';
    char* output = nullptr;
    int32_t outputLength = 0;
    bool firstNotSealed = false;
    if (!runOneFilter(input, inputLength, first, watch, &output, &outputLength, message, &firstNotSealed)) {
        return FAILED_FIRST;
    }
    if (second != nullptr) {
        char* secondInput = output;
        if (!runOneFilter(secondInput, outputLength, *second, watch, &output, &outputLength, message, notSealed)) {
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

ReadingOutcome readingOutcome(PipelineFailure failure, bool notSealed) {
    switch (failure) {
    case FAILED_NOWHERE: return READING_OPENED;
    case FAILED_FIRST: return READING_NOT_READ;
    case FAILED_SECOND: return notSealed ? READING_NOT_SEALED : READING_REFUSED;
    case FAILED_CONVERSION: break;
    }
    return READING_NOT_SHOWN;
}

// The reading-th reading of the text (the decoder's -bN from the second on)
// through the decoder and open; the input is taken over.
PipelineFailure runReading(char* input, int32_t inputLength, const TranslateStep& decode, const TranslateStep& open,
                           int reading, const PipelineWatch& watch, wchar_t** text, int32_t* units,
                           char message[PIPELINE_MESSAGE_SIZE], bool* notSealed) {
    char option[8];
    snprintf(option, sizeof option, "-b%d", reading);
    const TranslateStep numbered = {decode.program, {option, decode.arguments[0], nullptr}, decode.extraOutputRoom};
    return runSteps(input, inputLength, reading == 1 ? decode : numbered, &open, watch, text, units, message,
                    notSealed);
}

// The message the way back shows: the first reading's, unless a later one
// tells more (why the text itself does not read, or that what opened is
// not text); a packer's refusal of a later block tells less.
void keepMessage(int reading, PipelineFailure failure, const char* readingMessage, char message[PIPELINE_MESSAGE_SIZE]) {
    const bool tellsMore = reading == 1 || failure == FAILED_CONVERSION ||
                           (failure == FAILED_FIRST && strstr(readingMessage, NO_OTHER_READING) == nullptr);
    if (tellsMore) memcpy(message, readingMessage, PIPELINE_MESSAGE_SIZE);
}

// Opens the first reading that is not sealed with UNSEALED_ARGUMENT once
// the question agreed; takes over pasted. Without a question, or with no
// copy of the text, the packer's refusal is the message.
bool readUnsealed(char* pasted, int32_t inputLength, const TranslateStep& decode, int reading,
                  const PipelineWatch& watch, wchar_t** text, int32_t* units, char message[PIPELINE_MESSAGE_SIZE],
                  const char* refusal, UnsealedQuestion* question) {
    if (watch.cancelled()) {
        free(pasted);
        return false;
    }
    if (question == nullptr || pasted == nullptr) {
        free(pasted);
        memcpy(message, refusal, PIPELINE_MESSAGE_SIZE);
        return false;
    }
    const bool shown = question->showAnyway(question->context);
    logMessage("Reading %d of the text is not sealed; shown: %d", reading, static_cast<int>(shown));
    if (!shown) {
        free(pasted);
        question->declined = true;
        return false;
    }
    const TranslateStep open = {PACK_PROGRAM, {UNPACK_ARGUMENT, UNSEALED_ARGUMENT, decode.arguments[0]}, 0};
    bool notSealed = false;
    return runReading(pasted, inputLength, decode, open, reading, watch, text, units, message, &notSealed) ==
           FAILED_NOWHERE;
}

// A text pasted from a mail holds more lines than the message, and the
// decoder may find more than one block of them that reads (-bN). Only the
// packer's check of a sealed text tells the right one, so while the packer
// refuses the bytes of one reading the next is tried, and the pasted text
// is kept for the tries; readingChoice.h decides, and keepMessage which
// failure is shown.
bool runReadingPipeline(char* input, int32_t inputLength, const TranslateStep& decode, const TranslateStep& open,
                        const PipelineWatch& watch, wchar_t** text, int32_t* units,
                        char message[PIPELINE_MESSAGE_SIZE], UnsealedQuestion* question) {
    char* pasted = copyOfInput(input, inputLength);
    char* next = input;
    char refusal[PIPELINE_MESSAGE_SIZE] = "";
    ReadingSearch search;
    startReadingSearch(&search);
    ReadingStep step = STEP_FAIL;
    for (;;) {
        const int reading = search.reading;
        char readingMessage[PIPELINE_MESSAGE_SIZE];
        bool notSealed = false;
        const PipelineFailure failure = runReading(next, inputLength, decode, open, reading, watch, text, units,
                                                   readingMessage, &notSealed);
        if (reading > 1) logMessage("Reading %d of the pasted text: %d", reading, static_cast<int>(failure));
        keepMessage(reading, failure, readingMessage, message);
        if (notSealed && refusal[0] == '\0') memcpy(refusal, readingMessage, PIPELINE_MESSAGE_SIZE);
        step = afterReading(&search, readingOutcome(failure, notSealed), MOST_TRIED_READINGS);
        if (step != STEP_NEXT_READING || watch.cancelled()) break;
        if (pasted == nullptr) {
            step = search.unsealedReading != 0 ? STEP_ASK_UNSEALED : STEP_FAIL;
            break;
        }
        next = copyOfInput(pasted, inputLength);
    }
    if (step == STEP_ASK_UNSEALED) {
        return readUnsealed(pasted, inputLength, decode, search.unsealedReading, watch, text, units, message,
                            refusal, question);
    }
    free(pasted);
    return step == STEP_SHOW;
}

}  // namespace

bool runTranslatePipeline(char* input, int32_t inputLength, const TranslateStep& first, const TranslateStep* second,
                          uint32_t timeoutMs, wchar_t** text, int32_t* units, char message[PIPELINE_MESSAGE_SIZE],
                          UnsealedQuestion* question, JobProgress* progress) {
    const PipelineWatch watch = {timeoutMs, progress};
    if (second != nullptr && strcmp(first.program, DECODE_PROGRAM) == 0 && first.arguments[1] == nullptr) {
        return runReadingPipeline(input, inputLength, first, *second, watch, text, units, message, question);
    }
    bool notSealed = false;
    return runSteps(input, inputLength, first, second, watch, text, units, message, &notSealed) == FAILED_NOWHERE;
}
