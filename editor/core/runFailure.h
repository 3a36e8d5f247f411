// The text that tells the user why a filter run failed, for its box and the
// log alike.
#pragma once

#include "runResult.h"

// Room for a failure's text, terminator included.
constexpr int RUN_FAILURE_TEXT_SIZE = 512;

// Builds the text of a failed run: headline (the box's own text) as the
// first line; beneath it the sentence, when given, that says what happened
// (describeRunResult); beneath that, when the program wrote to standard
// error, the
// first line there that is not blank, led by the program's name and ": "
// unless it begins with that name and a colon already
// ("zarnoGlotDecode: unknown word: Ffcfe"). Control characters in that line
// become blanks; it is cut to fit on a UTF-8 character boundary. With no
// error text (absent or blank) the headline stands alone.
void formatRunFailure(const char* headline, const char* sentence, const char* program, const RunErrorText* errorText,
                      char text[RUN_FAILURE_TEXT_SIZE]);

// Whether the program wrote a line that is not blank to standard error.
bool hasErrorLine(const RunErrorText* errorText);
