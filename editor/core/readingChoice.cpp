#include "readingChoice.h"

#include <cstring>

namespace {

// The packer's refusal of a text that is not sealed, as its line begins.
const char NOT_SEALED_REFUSAL[] = "zarnoGlotPack: the text is not sealed:";

}  // namespace

void startReadingSearch(ReadingSearch* search) {
    search->reading = 1;
    search->unsealedReading = 0;
}

ReadingStep afterReading(ReadingSearch* search, ReadingOutcome outcome, int mostReadings) {
    if (outcome == READING_OPENED) return STEP_SHOW;
    if (outcome == READING_NOT_SHOWN) return STEP_FAIL;
    if (outcome == READING_NOT_SEALED && search->unsealedReading == 0) search->unsealedReading = search->reading;
    const bool more = outcome != READING_NOT_READ && search->reading < mostReadings;
    if (more) {
        search->reading++;
        return STEP_NEXT_READING;
    }
    return search->unsealedReading != 0 ? STEP_ASK_UNSEALED : STEP_FAIL;
}

bool refusedAsNotSealed(const RunErrorText& errorText) {
    const size_t length = sizeof NOT_SEALED_REFUSAL - 1;
    return errorText.length >= static_cast<int32_t>(length) && std::memcmp(errorText.bytes, NOT_SEALED_REFUSAL, length) == 0;
}
