// zarnoGlotPack [-d [-u]] [vocabulary] < inputFile > outputFile
#include "consoleProgram.h"
#include "packCore.h"
#include "versions.h"

static const ConsoleProgram PROGRAM = {PACKER_NAME, PACKER_VERSION,
                                       "Pack bytes and seal them with a vocabulary, or open and check them.",
                                       "[-d [-u]] [vocabulary] < inputFile > outputFile",
                                       {{"-d", "open (or unpack) and check instead of packing; a sealed text needs its vocabulary."},
                                        {"-u", "with -d and a vocabulary, also read a text that is not sealed (anyone who knows "
                                               "the vocabulary's words could have written it)."}},
                                       BINARY_STREAMS};

int main(int argc, char** argv) {
    keepSecretsOutOfCoreDumps();
    argv = utf8Arguments(&argc, argv);
    PackCommand command = parsePackArguments(argc - 1, argv + 1);
    if (!startProgram(PROGRAM, command.mode != PACK_MODE_USAGE)) return USAGE_EXIT_STATUS;
    return runPack(command, stdin, stdout, stderr);
}
