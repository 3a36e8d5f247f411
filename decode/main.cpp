// zarnoGlotDecode vocabulary < hugeGlotFile > binaryFile
#include "consoleProgram.h"
#include "decoder.h"

static const ConsoleProgram PROGRAM = {DECODER_NAME, "26.245", "Decode vocabulary words to binary.",
                                       "vocabulary < hugeGlotFile > binaryFile", {}, BINARY_STREAMS};

int main(int argc, char** argv) {
    argv = utf8Arguments(&argc, argv);
    if (!startProgram(PROGRAM, hasOneArgument(argc, argv))) return USAGE_EXIT_STATUS;
    return runDecoder(argv[1]);
}
