// The window-free part of a translation: one or two external filters run one
// after the other over the document's UTF-8 bytes, and the last output turned
// into UTF-16 text for the edit control.
#pragma once

#include "externRunner.h"
#include "jobProgress.h"
#include "readingRule.h"
#include "runFailure.h"

#include <cstdint>

// The programs of the two translations: to ZarnoGlot, PACK_PROGRAM with the
// vocabulary (it seals the packed bytes with a key made from it) and then
// ENCODE_PROGRAM with the vocabulary; back, DECODE_PROGRAM with the
// vocabulary and then PACK_PROGRAM with UNPACK_ARGUMENT and the vocabulary,
// and UNSEALED_ARGUMENT between them once the user has agreed to see a text
// that is not sealed.
constexpr const char* PACK_PROGRAM = "zarnoGlotPack";
constexpr const char* UNPACK_ARGUMENT = "-d";
constexpr const char* UNSEALED_ARGUMENT = "-u";
constexpr const char* ENCODE_PROGRAM = "zarnoGlotEncode";
constexpr const char* DECODE_PROGRAM = "zarnoGlotDecode";

// One filter of a pipeline: the program, its arguments (the absent ones
// last) and the output room it needs beyond the capacity rule.
struct TranslateStep {
    const char* program;
    const char* arguments[MAX_PROGRAM_ARGUMENTS];
    int32_t extraOutputRoom;
};

// A sealed text carries a salt, a check and a tag (34 bytes) and pads the
// packed bytes by up to an eighth: for a tiny document it is several times
// the document's size, more than one and a half times and its growths.
constexpr int32_t SEALING_OUTPUT_ROOM = 256;

// The four steps of the two translations, with the vocabulary's name.
TranslateStep sealStep(const char* vocabulary);
TranslateStep encodeStep(const char* vocabulary);
TranslateStep decodeStep(const char* vocabulary);
TranslateStep openStep(const char* vocabulary);

// The step's arguments joined by one space, as the log shows them; "(null)"
// for none. Writes at most size bytes, terminator included.
void stepArgumentsText(const TranslateStep& step, char* text, int size);

// Asked on the way back when no reading of the text opens sealed and one is
// a text that is not sealed (readingChoice.h): showAnyway answers whether
// to show it all the same; declined is set when it answered no.
struct UnsealedQuestion {
    bool (*showAnyway)(void* context);
    void* context;
    bool declined;
};

// Room for the text of a failure box, terminator included.
constexpr int PIPELINE_MESSAGE_SIZE = RUN_FAILURE_TEXT_SIZE;

// Capacity of a run's first output block: one and a half times its input,
// kept within the largest block the runner may grow to.
int32_t initialOutputCapacity(int32_t inputLength);

// Runs the first step over inputLength bytes of input, then the second over
// what the first wrote; an absent second step makes a single run. The pipeline takes over the malloc'ed input
// block (absent when inputLength is 0) and frees it after the first run.
// On success hands over *text, a malloc'ed block of *units UTF-16 units and
// a 0 unit. On failure returns false, hands over nothing and writes the text
// of the box to show into message: the box's own line and, when the failing
// program said why on standard error, its name and first error line beneath
// (formatRunFailure). When the first step is DECODE_PROGRAM with the
// vocabulary alone and the second refuses its bytes, the decoder's next
// readings of the text (a pasted mail's blocks of lines, -b2 and on, up to
// MOST_TRIED_READINGS: readingRule.h) are tried in turn; the message is then
// the first refusal's, or the decoder's reason why the text itself does not
// read.
// When no reading opens sealed but one is a text that is not sealed, the
// question (when given) is asked, and on yes that reading is opened with
// UNSEALED_ARGUMENT; without a question the packer's refusal is the message.
// With progress, the runs count their bytes there, and once the job is
// cancelled the pipeline ends at the next step (false, with the run's
// message; the caller tells the user of the cancel instead).
bool runTranslatePipeline(char* input, int32_t inputLength, const TranslateStep& first, const TranslateStep* second,
                          uint32_t timeoutMs, wchar_t** text, int32_t* units, char message[PIPELINE_MESSAGE_SIZE],
                          UnsealedQuestion* question = nullptr, JobProgress* progress = nullptr);
