#include "tolerantScan.h"

#include <cstring>

#include "letterCase.h"

// A letter of the case table and the ASCII letter and combining mark its
// canonical decomposition holds, by mark and then by letter.
struct Composition {
    std::uint16_t mark;
    char base;
    std::uint16_t letter;
};

constexpr int COMPOSITION_COUNT = 161;

static const Composition COMPOSITIONS[COMPOSITION_COUNT] = {
    {0x0300, 'A', 0x00C0}, {0x0300, 'E', 0x00C8}, {0x0300, 'I', 0x00CC}, {0x0300, 'O', 0x00D2},
    {0x0300, 'U', 0x00D9}, {0x0300, 'a', 0x00E0}, {0x0300, 'e', 0x00E8}, {0x0300, 'i', 0x00EC},
    {0x0300, 'o', 0x00F2}, {0x0300, 'u', 0x00F9}, {0x0301, 'A', 0x00C1}, {0x0301, 'C', 0x0106},
    {0x0301, 'E', 0x00C9}, {0x0301, 'I', 0x00CD}, {0x0301, 'L', 0x0139}, {0x0301, 'N', 0x0143},
    {0x0301, 'O', 0x00D3}, {0x0301, 'R', 0x0154}, {0x0301, 'S', 0x015A}, {0x0301, 'U', 0x00DA},
    {0x0301, 'Y', 0x00DD}, {0x0301, 'Z', 0x0179}, {0x0301, 'a', 0x00E1}, {0x0301, 'c', 0x0107},
    {0x0301, 'e', 0x00E9}, {0x0301, 'i', 0x00ED}, {0x0301, 'l', 0x013A}, {0x0301, 'n', 0x0144},
    {0x0301, 'o', 0x00F3}, {0x0301, 'r', 0x0155}, {0x0301, 's', 0x015B}, {0x0301, 'u', 0x00FA},
    {0x0301, 'y', 0x00FD}, {0x0301, 'z', 0x017A}, {0x0302, 'A', 0x00C2}, {0x0302, 'C', 0x0108},
    {0x0302, 'E', 0x00CA}, {0x0302, 'G', 0x011C}, {0x0302, 'H', 0x0124}, {0x0302, 'I', 0x00CE},
    {0x0302, 'J', 0x0134}, {0x0302, 'O', 0x00D4}, {0x0302, 'S', 0x015C}, {0x0302, 'U', 0x00DB},
    {0x0302, 'W', 0x0174}, {0x0302, 'Y', 0x0176}, {0x0302, 'a', 0x00E2}, {0x0302, 'c', 0x0109},
    {0x0302, 'e', 0x00EA}, {0x0302, 'g', 0x011D}, {0x0302, 'h', 0x0125}, {0x0302, 'i', 0x00EE},
    {0x0302, 'j', 0x0135}, {0x0302, 'o', 0x00F4}, {0x0302, 's', 0x015D}, {0x0302, 'u', 0x00FB},
    {0x0302, 'w', 0x0175}, {0x0302, 'y', 0x0177}, {0x0303, 'A', 0x00C3}, {0x0303, 'I', 0x0128},
    {0x0303, 'N', 0x00D1}, {0x0303, 'O', 0x00D5}, {0x0303, 'U', 0x0168}, {0x0303, 'a', 0x00E3},
    {0x0303, 'i', 0x0129}, {0x0303, 'n', 0x00F1}, {0x0303, 'o', 0x00F5}, {0x0303, 'u', 0x0169},
    {0x0304, 'A', 0x0100}, {0x0304, 'E', 0x0112}, {0x0304, 'I', 0x012A}, {0x0304, 'O', 0x014C},
    {0x0304, 'U', 0x016A}, {0x0304, 'a', 0x0101}, {0x0304, 'e', 0x0113}, {0x0304, 'i', 0x012B},
    {0x0304, 'o', 0x014D}, {0x0304, 'u', 0x016B}, {0x0306, 'A', 0x0102}, {0x0306, 'E', 0x0114},
    {0x0306, 'G', 0x011E}, {0x0306, 'I', 0x012C}, {0x0306, 'O', 0x014E}, {0x0306, 'U', 0x016C},
    {0x0306, 'a', 0x0103}, {0x0306, 'e', 0x0115}, {0x0306, 'g', 0x011F}, {0x0306, 'i', 0x012D},
    {0x0306, 'o', 0x014F}, {0x0306, 'u', 0x016D}, {0x0307, 'C', 0x010A}, {0x0307, 'E', 0x0116},
    {0x0307, 'G', 0x0120}, {0x0307, 'I', 0x0130}, {0x0307, 'Z', 0x017B}, {0x0307, 'c', 0x010B},
    {0x0307, 'e', 0x0117}, {0x0307, 'g', 0x0121}, {0x0307, 'z', 0x017C}, {0x0308, 'A', 0x00C4},
    {0x0308, 'E', 0x00CB}, {0x0308, 'I', 0x00CF}, {0x0308, 'O', 0x00D6}, {0x0308, 'U', 0x00DC},
    {0x0308, 'Y', 0x0178}, {0x0308, 'a', 0x00E4}, {0x0308, 'e', 0x00EB}, {0x0308, 'i', 0x00EF},
    {0x0308, 'o', 0x00F6}, {0x0308, 'u', 0x00FC}, {0x0308, 'y', 0x00FF}, {0x030A, 'A', 0x00C5},
    {0x030A, 'U', 0x016E}, {0x030A, 'a', 0x00E5}, {0x030A, 'u', 0x016F}, {0x030B, 'O', 0x0150},
    {0x030B, 'U', 0x0170}, {0x030B, 'o', 0x0151}, {0x030B, 'u', 0x0171}, {0x030C, 'C', 0x010C},
    {0x030C, 'D', 0x010E}, {0x030C, 'E', 0x011A}, {0x030C, 'L', 0x013D}, {0x030C, 'N', 0x0147},
    {0x030C, 'R', 0x0158}, {0x030C, 'S', 0x0160}, {0x030C, 'T', 0x0164}, {0x030C, 'Z', 0x017D},
    {0x030C, 'c', 0x010D}, {0x030C, 'd', 0x010F}, {0x030C, 'e', 0x011B}, {0x030C, 'l', 0x013E},
    {0x030C, 'n', 0x0148}, {0x030C, 'r', 0x0159}, {0x030C, 's', 0x0161}, {0x030C, 't', 0x0165},
    {0x030C, 'z', 0x017E}, {0x0327, 'C', 0x00C7}, {0x0327, 'G', 0x0122}, {0x0327, 'K', 0x0136},
    {0x0327, 'L', 0x013B}, {0x0327, 'N', 0x0145}, {0x0327, 'R', 0x0156}, {0x0327, 'S', 0x015E},
    {0x0327, 'T', 0x0162}, {0x0327, 'c', 0x00E7}, {0x0327, 'g', 0x0123}, {0x0327, 'k', 0x0137},
    {0x0327, 'l', 0x013C}, {0x0327, 'n', 0x0146}, {0x0327, 'r', 0x0157}, {0x0327, 's', 0x015F},
    {0x0327, 't', 0x0163}, {0x0328, 'A', 0x0104}, {0x0328, 'E', 0x0118}, {0x0328, 'I', 0x012E},
    {0x0328, 'U', 0x0172}, {0x0328, 'a', 0x0105}, {0x0328, 'e', 0x0119}, {0x0328, 'i', 0x012F},
    {0x0328, 'u', 0x0173},
};

std::uint32_t composedLetter(std::uint32_t base, std::uint32_t mark) {
    for (const Composition& row : COMPOSITIONS) {
        if (row.mark == mark && static_cast<unsigned char>(row.base) == base) return row.letter;
    }
    return 0;
}

enum CharacterKind {
    KIND_WORD,       // part of a word
    KIND_SEPARATOR,  // ends a word, as a space does
    KIND_MARK,       // a combining mark: composes with the letter before it
    KIND_DROPPED,    // a soft hyphen: no part of the word's form
};

struct CodePointRange {
    std::uint32_t first;
    std::uint32_t last;
};

// What keyboards, mailers and phones put between words or around them: the
// Latin-1 controls, spaces, punctuation and signs; the Ogham and Mongolian
// spaces; the General Punctuation block (spaces, zero-width characters,
// direction marks, dashes, typographic quotes, ellipsis, line and paragraph
// separators); the minus sign; the ideographic space and full stops; the
// variation selectors; and the byte-order mark (zero-width no-break space).
static const CodePointRange SEPARATORS[] = {
    {0x0080, 0x00AC}, {0x00AE, 0x00BF}, {0x00D7, 0x00D7}, {0x00F7, 0x00F7}, {0x1680, 0x1680},
    {0x180E, 0x180E}, {0x2000, 0x206F}, {0x2212, 0x2212}, {0x3000, 0x3003}, {0xFE00, 0xFE0F},
    {0xFEFF, 0xFEFF},
};

static bool inRanges(const CodePointRange* ranges, int count, std::uint32_t codePoint) {
    for (int i = 0; i < count; ++i) {
        if (codePoint >= ranges[i].first && codePoint <= ranges[i].last) return true;
    }
    return false;
}

static CharacterKind kindOf(std::uint32_t codePoint) {
    if (codePoint == 0x00AD) return KIND_DROPPED;
    if (codePoint >= 0x0300 && codePoint <= 0x036F) return KIND_MARK;
    if (inRanges(SEPARATORS, static_cast<int>(sizeof SEPARATORS / sizeof SEPARATORS[0]), codePoint)) {
        return KIND_SEPARATOR;
    }
    return KIND_WORD;
}

// Spaces, format and control characters, and marks that stand alone.
static const CodePointRange INVISIBLE[] = {
    {0x0000, 0x0020}, {0x007F, 0x00A0}, {0x00AD, 0x00AD}, {0x0300, 0x036F}, {0x115F, 0x1160},
    {0x1680, 0x1680}, {0x17B4, 0x17B5}, {0x180B, 0x180F}, {0x2000, 0x200F}, {0x2028, 0x202F},
    {0x205F, 0x206F}, {0x3000, 0x3000}, {0x3164, 0x3164}, {0xFE00, 0xFE0F}, {0xFEFF, 0xFEFF},
    {0xFFA0, 0xFFA0}, {0xFFF0, 0xFFFB}, {0xE0000, 0xE0FFF},
};

bool isInvisibleCharacter(std::uint32_t codePoint) {
    return inRanges(INVISIBLE, static_cast<int>(sizeof INVISIBLE / sizeof INVISIBLE[0]), codePoint);
}

// ---------------------------------------------------------------- words

static void clearTolerantWord(TolerantWord* word) {
    word->shownLength = 0;
    word->shownCut = false;
    word->formLength = 0;
    word->formTooLong = false;
    word->lastBase = 0;
    word->start = 0;
}

void startTolerantScan(TolerantScan* scan, std::uint64_t offset) {
    clearTolerantWord(&scan->word);
    scan->sequenceLength = 0;
    scan->sequenceExpected = 0;
    scan->sequenceStart = 0;
    scan->offset = offset;
}

static void appendShown(TolerantWord* word, const unsigned char* bytes, int count, std::uint64_t at) {
    if (word->shownLength == 0 && !word->shownCut) word->start = at;
    if (word->shownLength + count > SHOWN_WORD_BYTES) {
        word->shownCut = true;
        return;
    }
    std::memcpy(word->shown + word->shownLength, bytes, static_cast<std::size_t>(count));
    word->shownLength += count;
}

static void appendForm(TolerantWord* word, const unsigned char* bytes, int count) {
    if (word->formLength + count > WORD_FORM_BYTES) {
        word->formTooLong = true;
        return;
    }
    std::memcpy(word->form + word->formLength, bytes, static_cast<std::size_t>(count));
    word->formLength += count;
}

// Bytes of a word; base is the ASCII letter they are, or 0.
static void appendToWord(TolerantWord* word, const unsigned char* bytes, int count, std::uint64_t at,
                         std::uint32_t base) {
    appendShown(word, bytes, count, at);
    appendForm(word, bytes, count);
    word->lastBase = base;
}

// A combining mark joins the ASCII letter before it where the two make a
// letter of the case table; otherwise it stays in the word as it is.
static void appendMark(TolerantWord* word, const unsigned char* bytes, int count, std::uint64_t at,
                       std::uint32_t mark) {
    std::uint32_t letter = word->lastBase != 0 && !word->formTooLong ? composedLetter(word->lastBase, mark) : 0;
    if (letter == 0) {
        appendToWord(word, bytes, count, at, 0);
        return;
    }
    appendShown(word, bytes, count, at);
    unsigned char encoded[4];
    int length = encodeUtf8Char(letter, encoded, UTF8_UP_TO_3_BYTES);
    --word->formLength;  // the letter replaces its base
    appendForm(word, encoded, length);
    word->lastBase = 0;
}

static bool endWord(TolerantScan* scan, TolerantWordSink sink, void* context, bool endOfText) {
    TolerantWord* word = &scan->word;
    bool goOn = true;
    // A word of soft hyphens alone has no form, and is no word.
    if (word->formLength > 0 || word->formTooLong) goOn = sink(context, *word, endOfText);
    clearTolerantWord(word);
    return goOn;
}

// ---------------------------------------------------------------- bytes

// The length of the sequence a lead byte opens in well-formed UTF-8, or 0.
static int leadLength(unsigned char byte) {
    if (byte >= 0xC2 && byte <= 0xDF) return 2;
    if (byte >= 0xE0 && byte <= 0xEF) return 3;
    if (byte >= 0xF0 && byte <= 0xF4) return 4;
    return 0;
}

// The bytes read of a sequence that is not well-formed are word bytes, as
// the byte-exact reading takes them.
static void takeIllFormed(TolerantScan* scan) {
    appendToWord(&scan->word, scan->sequence, scan->sequenceLength, scan->sequenceStart, 0);
    scan->sequenceLength = 0;
    scan->sequenceExpected = 0;
}

static bool takeSequence(TolerantScan* scan, TolerantWordSink sink, void* context) {
    std::uint32_t codePoint = 0;
    int length = 0;
    if (!decodeUtf8Char(scan->sequence, static_cast<std::uint64_t>(scan->sequenceLength), UTF8_UP_TO_4_BYTES,
                        &codePoint, &length) ||
        !isWellFormedChar(codePoint, length)) {
        takeIllFormed(scan);
        return true;
    }
    scan->sequenceExpected = 0;
    scan->sequenceLength = 0;
    TolerantWord* word = &scan->word;
    switch (kindOf(codePoint)) {
    case KIND_SEPARATOR: return endWord(scan, sink, context, false);
    case KIND_DROPPED:
        if (word->shownLength > 0 || word->formLength > 0) appendShown(word, scan->sequence, length, scan->sequenceStart);
        return true;
    case KIND_MARK: appendMark(word, scan->sequence, length, scan->sequenceStart, codePoint); return true;
    case KIND_WORD: appendToWord(word, scan->sequence, length, scan->sequenceStart, 0); return true;
    }
    return true;
}

static bool isAsciiLetter(unsigned char byte) {
    return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z');
}

static bool takeByte(TolerantScan* scan, unsigned char byte, TolerantWordSink sink, void* context) {
    std::uint64_t at = scan->offset++;
    if (scan->sequenceExpected > 0) {
        if ((byte & 0xC0) == 0x80) {
            scan->sequence[scan->sequenceLength++] = byte;
            return scan->sequenceLength < scan->sequenceExpected || takeSequence(scan, sink, context);
        }
        takeIllFormed(scan);  // a sequence cut short; this byte starts afresh
    }
    if (byte < 0x80) {
        if (!isAsciiLetter(byte)) return endWord(scan, sink, context, false);
        appendToWord(&scan->word, &byte, 1, at, byte);
        return true;
    }
    int expected = leadLength(byte);
    if (expected == 0) {
        appendToWord(&scan->word, &byte, 1, at, 0);
        return true;
    }
    scan->sequence[0] = byte;
    scan->sequenceLength = 1;
    scan->sequenceExpected = expected;
    scan->sequenceStart = at;
    return true;
}

bool scanTolerantly(TolerantScan* scan, const unsigned char* bytes, std::size_t count, TolerantWordSink sink,
                    void* context) {
    for (std::size_t i = 0; i < count; ++i) {
        if (!takeByte(scan, bytes[i], sink, context)) return false;
    }
    return true;
}

bool finishTolerantScan(TolerantScan* scan, TolerantWordSink sink, void* context) {
    if (scan->sequenceExpected > 0) takeIllFormed(scan);
    return endWord(scan, sink, context, true);
}
