// zarnoGlotDecode after its command line: the vocabulary loaded, standard
// input read and decoded to standard output (both raw bytes), and a failure
// reported in words that help.
#pragma once

// -bN: the reading of a pasted text to decode (messageBlocks.h), 1..MOST_READINGS.
constexpr const char* READING_OPTION = "-b";

// The reading an argument asks for ("-b2" gives 2), or 0 when it is no
// such option.
int readingOption(const char* argument);

// Returns the exit status.
int runDecoder(const char* vocabularyFileName, int reading);
