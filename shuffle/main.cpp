// zarnoGlotShuffle passphrase < base.barn > shuffled.vcb
#include <cstdio>
#include <cstring>

#include "shuffler.h"

int main(int argc, char** argv) {
    if (argc != 2 || std::strcmp(argv[1], "-h") == 0) {
        printShuffleUsage(stderr);
        return -1;
    }
    if (std::strcmp(argv[1], "-t") == 0) return runMd5SelfTest(stdout, stderr) ? 0 : 1;
    return runShuffle(argv[1], stdin, stdout, stderr);
}
