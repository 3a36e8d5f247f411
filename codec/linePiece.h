// Reading a vocabulary file the way both filters cut it: in pieces that end
// after a "\n" or after a fixed number of bytes, whichever comes first.
#pragma once

#include <cstdio>

// Reads one piece of at most maxBytes bytes into piece. False at the end of
// the file (or on a read error) with nothing read.
bool readLinePiece(std::FILE* file, unsigned char* piece, int maxBytes, int* length);
