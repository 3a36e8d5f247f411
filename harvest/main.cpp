// zarnoGlotHarvest < textFilePathName > wordlistPathName
#include <cstdio>

#include "harvester.h"

int main(int argc, char** /*argv*/) {
    if (argc != 1) {
        printHarvestUsage(stderr);
        return -1;
    }
    return runHarvest(stdin, stdout, stderr);
}
