// zarnoGlotShuffle's program: which seed its command line asks for (a
// passphrase through Argon2id, the legacy MD5 of one, or random bytes), the
// passphrase taken from the argument or from the first line of standard
// input, and the run itself. The derivation links libgcrypt (zgDerive,
// pack/keyDerivation.h),
// which the page does not: it derives the seed in the browser and calls
// the steps of shuffler.h itself.
#pragma once

#include <cstddef>
#include <cstdio>

#include "shuffler.h"

enum ShuffleMode {
    SHUFFLE_USAGE,       // the command line is wrong, or asks for the usage text
    SHUFFLE_SELF_TEST,   // -t
    SHUFFLE_PASSPHRASE,  // Argon2id of the passphrase, salted with the word list
    SHUFFLE_LEGACY,      // -m: MD5 of the passphrase, as earlier versions seeded
    SHUFFLE_RANDOM,      // -r: 16 bytes from the system's random source
};

struct ShuffleCommand {
    ShuffleMode mode;
    // The passphrase argument, or none: with -i it is the first line of
    // standard input, and -t and -r take none.
    char* passphrase;
};

// Parses the arguments (argv[0] excluded): passphrase, -i, -m passphrase,
// -m -i, -r or -t. None of the options is taken as a passphrase.
ShuffleCommand parseShuffleArguments(int count, char** arguments);

// The longest passphrase -i reads, in bytes without its line end.
constexpr std::size_t MAX_PASSPHRASE_BYTES = 1024;

// Reads the passphrase line (-i): the bytes up to the first line feed,
// which is removed, and then one carriage return before it. Refuses, with
// one message on errors, a line longer than MAX_PASSPHRASE_BYTES, one with
// a zero byte, and an input that ends before the line feed. passphrase has
// room for MAX_PASSPHRASE_BYTES + 2 bytes.
bool readPassphraseLine(std::FILE* input, unsigned char* passphrase, std::size_t* length, std::FILE* errors);

// The seed of the current seeding (formatVersions.h, VOCABULARY_SEEDING):
// Argon2id of its label, a zero byte and the passphrase, salted with SHA-256
// of the sorted list's words each followed by one 0x0A byte.
bool deriveVocabularySeed(const unsigned char* passphrase, std::size_t length, const WordList* sorted,
                          unsigned char seed[SEED_BYTES]);

// The program after its command line: reads the passphrase (-i) and the
// word list, seeds and writes the vocabulary. Every copy of the passphrase,
// the argument included, and the seed are wiped. Returns the exit status.
int runShuffleCommand(const ShuffleCommand& command, std::FILE* input, std::FILE* output, std::FILE* errors);
