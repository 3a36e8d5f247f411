#include "packCore.h"
#include "platform.h"

int main(int argc, char** argv) {
    int mode = parsePackArguments(argc - 1, argv + 1);
    if (mode == 0) {
        printPackUsage(stderr, PACK_PROGRAM_NAME);
        return -1;
    }
    setBinaryMode(stdin);
    setBinaryMode(stdout);
    return runPack(mode == 2, stdin, stdout, stderr);
}
