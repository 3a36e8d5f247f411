// The block scan: text cut into words a batch of 64-byte blocks at a time,
// each block's word bytes found as one mask (wordByteMask.h) and its words
// looked up with one probe each (foldedTable.h). A batch whose words are all
// pair values is decoded in one go; anything else goes through the byte-wise
// scan (wordSteps.h), so that every rule and message stays that path's own.
// It reads 8-byte loads, so only little-endian machines take it.
#pragma once

#include <cstddef>

#include "wordSteps.h"

#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
#define ZG_SCAN_WORDS_AT_ONCE 1

// Scans from bytes[*position], which stands between words, while 64 bytes
// remain, and leaves *position where the byte-wise scan goes on (between
// words, or at the first error).
DecodeResult scanBlocks(const Dictionary& dictionary, DecoderState* state, const unsigned char* bytes,
                        std::size_t* position, std::size_t count, OutputBuffer* output);
#endif
