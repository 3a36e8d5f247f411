// The way back's choice among the readings of a text (the decoder's -bN for
// a pasted mail): which reading to show, when to try the next one, and when
// to ask before showing a text that is not sealed. Window-free and without
// a Windows header, so that it is built and tested natively too.
#pragma once

#include "runResult.h"

// How one reading came out.
enum ReadingOutcome {
    READING_OPENED,      // the packer opened it
    READING_NOT_SEALED,  // the packer refused it as a text that is not sealed
    READING_REFUSED,     // the packer refused it otherwise (another vocabulary, altered)
    READING_NOT_READ,    // the decoder has no such reading, or the text does not read
    READING_NOT_SHOWN,   // it opened, but cannot be shown (not UTF-8, a zero byte)
};

// What the way back does after a reading.
enum ReadingStep {
    STEP_SHOW,           // show what the reading opened
    STEP_NEXT_READING,   // try the decoder's next reading
    STEP_ASK_UNSEALED,   // no reading opens sealed: ask before showing the first unsealed one
    STEP_FAIL,           // show why the text does not read
};

struct ReadingSearch {
    int reading;          // the reading the next outcome is of, from 1
    int unsealedReading;  // the first reading refused as not sealed, or 0
};

void startReadingSearch(ReadingSearch* search);

// The step after the outcome of search->reading, of at most mostReadings
// tried. A sealed text found later opens without a question; a text that is
// not sealed is asked about only when no reading opens sealed, and then the
// first of them is the one to show.
ReadingStep afterReading(ReadingSearch* search, ReadingOutcome outcome, int mostReadings);

// Whether the packer's error text is its refusal of a text that is not sealed.
bool refusedAsNotSealed(const RunErrorText& errorText);

// The question before an unsealed text is shown, with Yes and No.
constexpr const char* UNSEALED_QUESTION =
    "This text was not sealed: it comes from an earlier version, or from someone who learnt your vocabulary's "
    "words. Show it anyway?";
