// How the editor has the edit control lay out a long text: in pieces, each
// taking about PIECE_TARGET_MS so that the window answers between them,
// cut where no character and no line end is split; and the control's word
// breaks, ours, so that adding a piece does not make the control work out
// the breaks of the whole text again. Nothing here needs a window.
#pragma once

#include <cstdint>

// The first piece, shown at once, and the bounds of the others. Each piece
// costs the control a share that grows with the text already in it (under
// Wine, with our word breaks, about 0.57 s at 46M units whatever the
// piece's size), so pieces are never made small: with pieces of 32K that
// share made showing 45M units take over ten minutes, with 128K and more
// it takes about two. Half a second a piece, and 128K units (about 0.75 s
// at 46M), keep the window answering within a second.
constexpr int32_t FIRST_PIECE_UNITS = 16384;
constexpr int32_t SMALLEST_PIECE_UNITS = 1 << 17;
constexpr int32_t LARGEST_PIECE_UNITS = 1 << 22;
constexpr uint32_t PIECE_TARGET_MS = 500;

// The size of the next piece, after the last one of lastUnits units took
// lastMs: scaled towards PIECE_TARGET_MS, at most doubled or halved at a
// time, within the bounds above.
int32_t nextPieceUnits(int32_t lastUnits, uint32_t lastMs);

// Where the piece that starts at start and holds about wanted units ends
// in text (units units): after the last line feed, else after the last
// blank, in the second half of the piece; never between the two units of
// a surrogate pair or between CR and LF. units when the rest is shorter.
int32_t pieceEnd(const wchar_t* text, int32_t units, int32_t start, int32_t wanted);

// The word break codes of an edit control's word break procedure (the
// values of WB_LEFT, WB_RIGHT and WB_ISDELIMITER).
enum WordBreakCode { WORD_BREAK_LEFT = 0, WORD_BREAK_RIGHT = 1, WORD_BREAK_IS_DELIMITER = 2 };

// The edit control's word breaks in the line text of count units, for
// wrapping and for moving by words: words are parted by blanks (space and
// tab). WORD_BREAK_LEFT gives the start of the word that begins before
// index, WORD_BREAK_RIGHT the start of the next word after index (count
// at the end), WORD_BREAK_IS_DELIMITER whether the unit at index is a blank.
int wordBreak(const wchar_t* text, int index, int count, int code);
