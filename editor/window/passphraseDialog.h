// The Shuffle dialog: the passphrase twice in masked fields and the file
// name of the vocabulary to make in the editor's folder.
#pragma once

#include "editorState.h"
#include "vocabularyMaking.h"

#include <windows.h>

// What the dialog hands back. The caller wipes passphraseArgument
// (wipeSecret) as soon as the shuffler has run.
struct ShuffleSettings {
    char passphraseArgument[PASSPHRASE_ARGUMENT_SIZE];   // the shuffler's argument
    wchar_t vocabularyName[NAME_SIZE];                   // a name alone
};

// Shows the dialog until its fields are accepted or it is cancelled. A
// refused field gets a box and the dialog stays open; a vocabulary name
// that exists in folder is replaced only after the user agreed. The
// passphrase fields and every copy of their text are wiped before it
// closes. False when cancelled.
bool askShuffleSettings(HWND owner, const wchar_t* folder, ShuffleSettings* settings);
