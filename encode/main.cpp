// zarnoGlotEncode vocabulary < binaryFile > zarnoGlotFile
#include <cstring>

#include "encoder.h"

int main(int argc, char** argv) {
    if (argc != 2 || std::strcmp(argv[1], "-h") == 0) printEncoderUsage();
    return runEncoder(argv[1]);
}
