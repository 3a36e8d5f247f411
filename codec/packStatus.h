// Every outcome of packing, unpacking, sealing and opening, and the one
// line the packer writes for it: the programs and the page refuse a text in
// the same words.
#pragma once

enum PackStatus {
    PACK_OK = 0,
    PACK_NO_MEMORY,
    PACK_READ_ERROR,
    PACK_WRITE_ERROR,
    PACK_DEFLATE_FAILED,
    PACK_DAMAGED,           // not a zlib stream, or its check does not match
    PACK_TRUNCATED,         // the stream ends before its end marker and check
    PACK_TRAILING_DATA,     // bytes follow the end of the stream
    PACK_TOO_LARGE,         // the stream unpacks to more than maxUnpackedBytes allows
    PACK_NEEDS_VOCABULARY,  // a sealed text, and no vocabulary to open it
    PACK_WRONG_VOCABULARY,  // sealed with another vocabulary
    PACK_ALTERED,           // a sealed text that was cut, damaged or changed
    PACK_NO_RANDOM,         // the system's random source failed
    PACK_CRYPTO_FAILED,     // the cryptographic library failed
    PACK_NOTHING_TO_READ,   // -d with an empty input (a text with no words)
    PACK_NOT_SEALED,        // -d with a vocabulary and without -u: a text that is not sealed
};

// The packer's name, which begins each of its lines.
constexpr const char* PACKER_NAME = "zarnoGlotPack";

// The one-line description that follows "zarnoGlotPack: ".
const char* packStatusText(PackStatus status);
