// The way back's rule for a text pasted from a mail, the same for every
// reader (the editor, the page and the tests that go that way): the decoder
// offers a text's readings nearest the top first (zarnoGlotDecode -bN), and
// only the packer's check of a sealed text tells the right one, so while the
// packer refuses the bytes of one reading the next is tried, up to this many.
#pragma once

constexpr int MOST_TRIED_READINGS = 4;
