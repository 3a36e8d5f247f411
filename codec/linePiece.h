// Reading a vocabulary file the way both filters cut it: in pieces that end
// after a "\n" or after a fixed number of bytes, whichever comes first.
#pragma once

#include <cstdio>

// Reads one piece of at most maxBytes bytes into piece. False at the end of
// the file (or on a read error) with nothing read.
bool readLinePiece(std::FILE* file, unsigned char* piece, int maxBytes, int* length);

// The length of a piece without the line end the decoder drops from a
// vocabulary line: one "\n", then one "\r". The encoder refuses a word that
// this rule would leave a line end behind.
inline int withoutDecoderLineEnd(const unsigned char* piece, int length) {
    if (length > 0 && piece[length - 1] == '\n') --length;
    if (length > 0 && piece[length - 1] == '\r') --length;
    return length;
}
