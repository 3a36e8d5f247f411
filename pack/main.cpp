// zarnoGlotPack [-d] < inputFile > outputFile
#include "consoleProgram.h"
#include "packCore.h"

static const ConsoleProgram PROGRAM = {PACKER_NAME, "26.260",
                                       "Pack bytes in the zlib format, or unpack and check them.",
                                       "[-d] < inputFile > outputFile",
                                       {"-d", "unpack and check instead of packing."}, BINARY_STREAMS};

int main(int argc, char** argv) {
    PackMode mode = parsePackArguments(argc - 1, argv + 1);
    if (!startProgram(PROGRAM, mode != PACK_MODE_USAGE)) return USAGE_EXIT_STATUS;
    return runPack(mode == PACK_MODE_UNPACK, stdin, stdout, stderr);
}
