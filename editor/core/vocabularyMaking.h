// The window-free part of making a vocabulary in the editor: the texts the
// user chose joined into the harvester's input, the harvester and the
// shuffler run over their inputs (the passphrase on the shuffler's standard
// input), and the checks of what the Shuffle dialog was given (passphrase
// and vocabulary file name).
#pragma once

#include "editorState.h"
#include "jobProgress.h"
#include "runFailure.h"

#include <cstdint>

// Most files one Harvest takes.
constexpr int HARVEST_MAX_FILES = 256;

// The passphrase field's limit in UTF-16 units, and the room for the
// passphrase in UTF-8 (up to three bytes a unit), terminator included.
constexpr int PASSPHRASE_MAX_CHARACTERS = 255;
constexpr int PASSPHRASE_UTF8_SIZE = PASSPHRASE_MAX_CHARACTERS * 3 + 1;

// Splits the Open dialog's multiple selection in place: either a folder, a
// 0 and names each ended by a 0 with an empty name last, or one full path
// whose name begins at fileOffset. Sets *folder (its backslash cut off) and
// names, in the order of their names, so that the same files give the same
// word list however they were picked. Returns the number of names, or -1
// when there are more than capacity.
int splitFileSelection(wchar_t* selection, int fileOffset, const wchar_t** folder, const wchar_t* names[],
                       int capacity);

enum JoinResult {
    JOIN_OK,
    JOIN_FAILED,            // message holds the box's text
    JOIN_NEEDS_CODE_PAGE,   // a file is neither UTF-8 nor UTF-16: message holds its name
};

// Reads the named files of the folder and joins their text as UTF-8 into
// one new malloc'ed block, with a line end between two files where the
// first lacks one, so that a word never runs on from one file into the
// next. UTF-16 files (with their mark) are converted, and so are files in
// the system's code page when codePageAccepted; *converted counts them. On
// failure hands over nothing.
JoinResult joinTextFiles(const wchar_t* folder, const wchar_t* const names[], int count, bool codePageAccepted,
                         char** text, int32_t* length, int* converted, char message[RUN_FAILURE_TEXT_SIZE]);

// Runs zarnoGlotHarvest over length bytes of text. On success hands over
// the word list (malloc'ed, *listLength bytes) and its number of words; on
// failure writes the box's text, with the harvester's own reason, into
// message.
// With progress, the run counts its bytes there and ends soon after the
// job is cancelled (as runShuffler's).
bool runHarvester(const char* text, int32_t length, char** list, int32_t* listLength, int32_t* wordCount,
                  char message[RUN_FAILURE_TEXT_SIZE], JobProgress* progress = nullptr);

// Runs zarnoGlotShuffle over the word list: with the passphrase (UTF-8,
// made by passphraseUtf8) as "zarnoGlotShuffle -i", the passphrase's line
// before the list on its standard input, never on its command line; with
// none as "zarnoGlotShuffle -r", a random vocabulary. The input block that
// held the passphrase is wiped. On success hands over the vocabulary
// (malloc'ed, *vocabularyLength bytes); on failure writes the box's text,
// with the shuffler's own reason, into message.
bool runShuffler(const char* wordList, int32_t length, const char* passphrase, char** vocabulary,
                 int32_t* vocabularyLength, char message[RUN_FAILURE_TEXT_SIZE], JobProgress* progress = nullptr);

// Runs zarnoGlotEncode with the vocabulary named (in the editor's folder)
// over one byte: the filters' own check of a vocabulary. On refusal writes
// the box's text, with the encoder's reason, into message.
bool checkVocabulary(const char* name, char message[RUN_FAILURE_TEXT_SIZE]);

// Checks the passphrase typed twice and gives it in UTF-8, as the
// shuffler reads it on every system and the page takes it. A passphrase is
// one line: it cannot hold a line end. Returns the text of the refusal, or
// none when utf8 holds the passphrase. Every copy made here is wiped.
const char* passphraseUtf8(const wchar_t* passphrase, const wchar_t* repeated, char utf8[PASSPHRASE_UTF8_SIZE]);

// Checks a vocabulary file name typed in the Shuffle dialog, which must be
// a name alone (no folder) that Windows can store, under the Select
// Vocabulary rules, and copies it into name (NAME_SIZE units). Returns the
// text of the refusal, or none.
const char* newVocabularyName(const wchar_t* typed, wchar_t* name);

// The path of the vocabulary named name in folder; false when it does not fit.
bool vocabularyPath(const wchar_t* folder, const wchar_t* name, wchar_t path[PATH_UNITS]);

// Wipes a buffer that held a passphrase; the compiler may not drop it.
void wipeSecret(void* buffer, int32_t size);
