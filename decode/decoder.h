// The decoder: reads ZarnoGlot text back into bytes, piece by piece, with
// the word steps (wordSteps.h), block-wise where it can (blockScan.h), and
// tolerantly from the first word the byte-exact reading cannot read.
#pragma once

#include <cstdint>
#include <cstdio>

#include "wordSteps.h"

// Cuts the next piece of text into words and runs every word that a
// separator ends; a word at the end of the piece stays open in the state.
DecodeResult decodeText(const Dictionary& dictionary, DecoderState* state,
                        const unsigned char* bytes, std::size_t count, OutputBuffer* output);

// decodeText one byte and one word at a time, with the lookup as written
// and then folded: the reference that the block-wise decodeText must match.
DecodeResult decodeTextExactly(const Dictionary& dictionary, DecoderState* state,
                               const unsigned char* bytes, std::size_t count, OutputBuffer* output);

// Ends the text: runs a word left open and checks that no pair value waits.
DecodeResult finishDecoding(const Dictionary& dictionary, DecoderState* state,
                            OutputBuffer* output);

// The tolerant lookup of a word the tolerant scan cut: as written, with its
// first letter folded, then lowercased throughout (findWordLowered).
// DECODE_OK with the index, DECODE_UNKNOWN_WORD or DECODE_WORD_TOO_LONG.
DecodeResult lookUpTolerantly(const Dictionary& dictionary, const TolerantWord& word, int* index);
