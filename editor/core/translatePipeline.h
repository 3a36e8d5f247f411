// The window-free part of a translation: one or two external filters run one
// after the other over the document's UTF-8 bytes, and the last output turned
// into UTF-16 text for the edit control.
#pragma once

#include "runFailure.h"

#include <cstdint>

// The programs of the two translations: to ZarnoGlot, PACK_PROGRAM and then
// ENCODE_PROGRAM with the vocabulary; back, DECODE_PROGRAM with the
// vocabulary and then PACK_PROGRAM with UNPACK_ARGUMENT.
constexpr const char* PACK_PROGRAM = "zarnoGlotPack";
constexpr const char* UNPACK_ARGUMENT = "-d";
constexpr const char* ENCODE_PROGRAM = "zarnoGlotEncode";
constexpr const char* DECODE_PROGRAM = "zarnoGlotDecode";

// Room for the text of a failure box, terminator included.
constexpr int PIPELINE_MESSAGE_SIZE = RUN_FAILURE_TEXT_SIZE;

// Capacity of a run's first output block: one and a half times its input,
// kept within the largest block the runner may grow to.
int32_t initialOutputCapacity(int32_t inputLength);

// Runs programA (with argumentA, absent for none) over inputLength bytes of
// input, then programB (with argumentB) over what programA wrote; an absent
// programB makes a single run. The pipeline takes over the malloc'ed input
// block (absent when inputLength is 0) and frees it after the first run.
// On success hands over *text, a malloc'ed block of *units UTF-16 units and
// a 0 unit. On failure returns false, hands over nothing and writes the text
// of the box to show into message: the box's own line and, when the failing
// program said why on standard error, its name and first error line beneath
// (formatRunFailure).
bool runTranslatePipeline(char* input, int32_t inputLength, const char* programA, const char* argumentA,
                          const char* programB, const char* argumentB, uint32_t timeoutMs, wchar_t** text,
                          int32_t* units, char message[PIPELINE_MESSAGE_SIZE]);
