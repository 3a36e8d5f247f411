// zarnoGlotDecode vocabulary < hugeGlotFile > binaryFile
#include <cstring>

#include "decoder.h"

int main(int argc, char** argv) {
    if (argc != 2 || std::strcmp(argv[1], "-h") == 0) printDecoderUsage();
    return runDecoder(argv[1]);
}
