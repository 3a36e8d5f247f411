#include "packStatus.h"

const char* packStatusText(PackStatus status) {
    switch (status) {
    case PACK_OK: return "done";
    case PACK_NO_MEMORY: return "out of memory";
    case PACK_READ_ERROR: return "read error";
    case PACK_WRITE_ERROR: return "write error";
    case PACK_DEFLATE_FAILED: return "packing failed";
    case PACK_DAMAGED: return "damaged packed data";
    case PACK_TRUNCATED: return "truncated packed data";
    case PACK_TRAILING_DATA: return "trailing data after the packed data";
    case PACK_TOO_LARGE: return "unpacked data would be more than 8 times the packed data and 1 KiB";
    case PACK_NEEDS_VOCABULARY: return "the text is sealed: name its vocabulary to read it (zarnoGlotPack -d vocabulary)";
    case PACK_WRONG_VOCABULARY: return "the text was sealed with another vocabulary";
    case PACK_ALTERED: return "the text is damaged or was altered";
    case PACK_NO_RANDOM: return "no random numbers from the system";
    case PACK_CRYPTO_FAILED: return "sealing failed";
    case PACK_NOTHING_TO_READ: return "nothing to read: the input is empty";
    case PACK_NOT_SEALED:
        return "the text is not sealed: anyone who knows the vocabulary's words could have written it "
               "(zarnoGlotPack -d -u vocabulary reads it)";
    }
    return "unknown error";
}
