// The Shuffle dialog: a vocabulary from a passphrase (typed twice in masked
// fields) or a random one, and the file name of the vocabulary to make in
// the editor's folder.
#pragma once

#include "editorState.h"
#include "vocabularyMaking.h"

#include <windows.h>

// What the dialog hands back. The caller wipes passphrase (wipeSecret) as
// soon as the shuffler has run.
struct ShuffleSettings {
    bool random;                              // a random vocabulary: no passphrase
    char passphrase[PASSPHRASE_UTF8_SIZE];    // in UTF-8, unless random
    wchar_t vocabularyName[NAME_SIZE];        // a name alone
};

// Shows the dialog until its fields are accepted or it is cancelled. A
// refused field gets a box and the dialog stays open; a vocabulary name
// that exists in folder is replaced only after the user agreed. The
// passphrase fields and every copy of their text are wiped before it
// closes. False when cancelled.
bool askShuffleSettings(HWND owner, const wchar_t* folder, ShuffleSettings* settings);
