#include "textLayout.h"

namespace {

bool isBlank(wchar_t unit) {
    return unit == L' ' || unit == L'\t';
}

bool isHighSurrogate(wchar_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

// Whether text may be cut before position at: not inside a surrogate pair,
// not between CR and LF.
bool cutAllowed(const wchar_t* text, int32_t at) {
    return !isHighSurrogate(text[at - 1]) && !(text[at - 1] == L'\r' && text[at] == L'\n');
}

}  // namespace

int32_t nextPieceUnits(int32_t lastUnits, uint32_t lastMs) {
    int64_t next = lastMs == 0 ? static_cast<int64_t>(lastUnits) * 2
                               : static_cast<int64_t>(lastUnits) * PIECE_TARGET_MS / lastMs;
    if (next > static_cast<int64_t>(lastUnits) * 2) next = static_cast<int64_t>(lastUnits) * 2;
    if (next < lastUnits / 2) next = lastUnits / 2;
    if (next < SMALLEST_PIECE_UNITS) next = SMALLEST_PIECE_UNITS;
    if (next > LARGEST_PIECE_UNITS) next = LARGEST_PIECE_UNITS;
    return static_cast<int32_t>(next);
}

int32_t pieceStart(const wchar_t* text, int32_t end, int32_t wanted) {
    if (wanted < 1) wanted = 1;
    if (end <= wanted) return 0;
    const int32_t start = end - wanted;
    const int32_t half = end - wanted / 2;
    for (int32_t at = start; at < half; at++) {
        if (text[at - 1] == L'\n') return at;
    }
    for (int32_t at = start; at < half; at++) {
        if (isBlank(text[at - 1]) && cutAllowed(text, at)) return at;
    }
    for (int32_t at = start; at < end; at++) {
        if (cutAllowed(text, at)) return at;
    }
    for (int32_t at = start - 1; at > 0; at--) {
        if (cutAllowed(text, at)) return at;
    }
    return 0;
}

int wordBreak(const wchar_t* text, int index, int count, int code) {
    if (index < 0) index = 0;
    if (index > count) index = count;
    if (code == WORD_BREAK_IS_DELIMITER) return index < count && isBlank(text[index]) ? 1 : 0;
    int at = index;
    if (code == WORD_BREAK_LEFT) {
        while (at > 0 && isBlank(text[at - 1])) at--;
        while (at > 0 && !isBlank(text[at - 1])) at--;
        return at;
    }
    while (at < count && !isBlank(text[at])) at++;
    while (at < count && isBlank(text[at])) at++;
    return at;
}
