// zarnoGlotHarvest < textFilePathName > wordlistPathName
#include "consoleProgram.h"
#include "harvester.h"
#include "versions.h"

// Text streams on purpose: the word list is written with the platform's line ends.
static const ConsoleProgram PROGRAM = {HARVESTER_NAME, HARVESTER_VERSION, "word extractor  utility",
                                       "< textFilePathName > wordlistPathName", {}, TEXT_STREAMS};

int main(int argc, char** /*argv*/) {
    if (!startProgram(PROGRAM, argc == 1)) return USAGE_EXIT_STATUS;
    return runHarvest(stdin, stdout, stderr);
}
