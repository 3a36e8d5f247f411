// zarnoGlotShuffle passphrase < base.barn > shuffled.vcb
#include <cstring>

#include "consoleProgram.h"
#include "shuffler.h"
#include "versions.h"

// Text streams on purpose: the vocabulary is written with the platform's line ends.
static const ConsoleProgram PROGRAM = {SHUFFLER_NAME, SHUFFLER_VERSION, "vocabulary shuffler",
                                       "passphrase < base.barn > shuffled.vcb",
                                       {"-t", "run MD5 self-test and exit."}, TEXT_STREAMS};

int main(int argc, char** argv) {
    argv = utf8Arguments(&argc, argv);
    if (!startProgram(PROGRAM, hasOneArgument(argc, argv))) return USAGE_EXIT_STATUS;
    if (std::strcmp(argv[1], "-t") == 0) return runMd5SelfTest(stdout, stderr) ? 0 : 1;
    return runShuffle(argv[1], stdin, stdout, stderr);
}
