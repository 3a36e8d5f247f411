// The Translate menu: the whole document through a pipeline of external
// filters, to ZarnoGlot and back. The commands themselves are declared in
// commands.h.
#pragma once

// Runs programA (with argumentA, absent for none) and then, when given,
// programB (with argumentB) over the document as UTF-8 and puts the last
// output in its place. Returns true when the document was replaced; false
// after a box (caption "externFilterTest error") with the document unchanged.
bool externFilterTest(const char* programA, const char* argumentA, const char* programB, const char* argumentB);
