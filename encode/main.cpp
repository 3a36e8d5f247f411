// zarnoGlotEncode vocabulary < binaryFile > zarnoGlotFile
#include "consoleProgram.h"
#include "encoder.h"
#include "versions.h"

static const ConsoleProgram PROGRAM = {ENCODER_NAME, ENCODER_VERSION, "Encode binary to vocabulary words.",
                                       "vocabulary < binaryFile > zarnoGlotFile", {}, BINARY_STREAMS};

int main(int argc, char** argv) {
    argv = utf8Arguments(&argc, argv);
    if (!startProgram(PROGRAM, hasOneArgument(argc, argv))) return USAGE_EXIT_STATUS;
    return runEncoder(argv[1], stdin, stdout, stderr);
}
