// zarnoGlotShuffle [-m] passphrase|-i < base.barn > shuffled.vcb
// zarnoGlotShuffle -r < base.barn > shuffled.vcb
#include "consoleProgram.h"
#include "shuffleProgram.h"
#include "versions.h"

// Text streams on purpose: the vocabulary is written with the platform's line ends.
static const ConsoleProgram PROGRAM = {
    SHUFFLER_NAME, SHUFFLER_VERSION, "vocabulary shuffler", "[-m] passphrase|-i < base.barn > shuffled.vcb",
    {{"-t", "run MD5 self-test and exit."},
     {"-i", "read the passphrase from standard input's first line, before the word list (an argument can be "
            "seen by other users of the machine)."},
     {"-r", "no passphrase: seed with 16 random bytes from the system (the strongest vocabulary: nobody can "
            "guess it)."},
     {"-m", "seed with MD5 of the passphrase as earlier versions did (fast to guess: only to make such a "
            "vocabulary again)."}},
    TEXT_STREAMS};

int main(int argc, char** argv) {
    keepSecretsOutOfCoreDumps();
    argv = utf8Arguments(&argc, argv);
    const ShuffleCommand command = parseShuffleArguments(argc - 1, argv + 1);
    if (!startProgram(PROGRAM, command.mode != SHUFFLE_USAGE)) return USAGE_EXIT_STATUS;
    return runShuffleCommand(command, stdin, stdout, stderr);
}
