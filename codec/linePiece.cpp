#include "linePiece.h"

bool readLinePiece(std::FILE* file, unsigned char* piece, int maxBytes, int* length) {
    int count = 0;
    while (count < maxBytes) {
        int byte = std::getc(file);
        if (byte == EOF) break;
        piece[count++] = static_cast<unsigned char>(byte);
        if (byte == '\n') break;
    }
    *length = count;
    return count > 0;
}
