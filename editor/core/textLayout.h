// How the editor has the edit control lay out a long text: in pieces, each
// taking about PIECE_TARGET_MS so that the window answers between them,
// from the text's end backwards and cut where no character and no line end
// is split; and the control's word breaks, ours, so that adding a piece
// does not make the control work out the breaks of the whole text again.
// Nothing here needs a window.
#pragma once

#include <cstdint>

// The first piece, shown at once, and the bounds of the others. Under Wine
// a piece of 256K units put in front costs the control about a third of a
// second, a little more the more text stands behind it (0.46 s at 42M);
// every piece also costs a share of its own, so pieces are not made small.
// 0.4 s a piece, and never under 128K units, keep the window
// answering within a second.
constexpr int32_t FIRST_PIECE_UNITS = 16384;
constexpr int32_t SMALLEST_PIECE_UNITS = 1 << 17;
constexpr int32_t LARGEST_PIECE_UNITS = 1 << 22;
constexpr uint32_t PIECE_TARGET_MS = 400;

// The size of the next piece, after the last one of lastUnits units took
// lastMs: scaled towards PIECE_TARGET_MS, at most doubled or halved at a
// time, within the bounds above.
int32_t nextPieceUnits(int32_t lastUnits, uint32_t lastMs);

// Where the piece that ends at end and holds about wanted units starts in
// text: after the first line feed, else after the first blank, in the
// first half of the piece; never between the two units of a surrogate pair
// or between CR and LF. 0 when the rest is shorter. The pieces go in from
// the text's end backwards, each in front of those shown: a piece added at
// the front costs the control about the same however much text follows it,
// one added at the end ever more the longer the text before it.
int32_t pieceStart(const wchar_t* text, int32_t end, int32_t wanted);

// The word break codes of an edit control's word break procedure (the
// values of WB_LEFT, WB_RIGHT and WB_ISDELIMITER).
enum WordBreakCode { WORD_BREAK_LEFT = 0, WORD_BREAK_RIGHT = 1, WORD_BREAK_IS_DELIMITER = 2 };

// The edit control's word breaks in the line text of count units, for
// wrapping and for moving by words: words are parted by blanks (space and
// tab). WORD_BREAK_LEFT gives the start of the word that begins before
// index, WORD_BREAK_RIGHT the start of the next word after index (count
// at the end), WORD_BREAK_IS_DELIMITER whether the unit at index is a blank.
int wordBreak(const wchar_t* text, int index, int count, int code);
