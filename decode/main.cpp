// zarnoGlotDecode [-bN] vocabulary < hugeGlotFile > binaryFile
#include <cstring>

#include "consoleProgram.h"
#include "decodeProgram.h"
#include "dictionary.h"
#include "versions.h"

static const ConsoleProgram PROGRAM = {
    DECODER_NAME, DECODER_VERSION, "Decode vocabulary words to binary.", "[-bN] vocabulary < hugeGlotFile > binaryFile",
    {{"-bN", "read the Nth block of lines that reads as ZarnoGlot (N 1..10), for a pasted mail."}},
    BINARY_STREAMS};

int main(int argc, char** argv) {
    argv = utf8Arguments(&argc, argv);
    int reading = argc == 3 ? readingOption(argv[1]) : 1;
    bool fits = (argc == 2 || (argc == 3 && reading > 0)) && std::strcmp(argv[argc - 1], "-h") != 0;
    if (!startProgram(PROGRAM, fits)) return USAGE_EXIT_STATUS;
    return runDecoder(argv[argc - 1], reading, stdin, stdout, stderr);
}
