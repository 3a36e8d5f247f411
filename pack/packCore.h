// zarnoGlotPack's program: its input packed (packedStream.h) and sealed
// with a key made from a vocabulary when one is named (sealing.h), or the
// checked way back, where a vocabulary named takes only sealed texts
// unless -u says otherwise.
#pragma once

#include <cstdio>

#include "packedStream.h"

enum PackMode {
    PACK_MODE_USAGE,   // the command line is wrong, or asks for the usage text
    PACK_MODE_PACK,
    PACK_MODE_UNPACK,
};

// What the command line asks for: packing (sealed when a vocabulary is
// named) or unpacking (sealed texts need the vocabulary; with a vocabulary
// an unsealed text is read only with readsUnsealed).
struct PackCommand {
    PackMode mode;
    const char* vocabulary;  // the file's name, or null
    bool readsUnsealed;      // -d -u
};

// Parses the arguments (argv[0] excluded): [-d [-u]] [vocabulary].
PackCommand parsePackArguments(int count, char** arguments);

// The program: reads standard input whole, packs or seals it (or opens or
// unpacks it) and writes standard output. Returns the exit status; every
// refusal is one line on errors and writes nothing.
int runPack(const PackCommand& command, std::FILE* input, std::FILE* output, std::FILE* errors);
