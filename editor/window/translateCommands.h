// The Translate menu: the whole document through a pipeline of external
// filters, to ZarnoGlot and back, and the box of a failed translation that
// the clipboard translations show too. The commands themselves are declared
// in commands.h.
#pragma once

#include "translatePipeline.h"

#include <windows.h>

// The caption of every box of a failed translation.
constexpr const char* PIPELINE_CAPTION = "externFilterTest error";

// Shows a translation's failure in its box (PIPELINE_CAPTION, owned by the
// edit control) and writes the same text to the log. Returns false.
bool showPipelineError(const char* text);

// The question of the way back before a text that is not sealed is shown
// (readingChoice.h's UNSEALED_QUESTION, Yes and No), owned by owner.
UnsealedQuestion unsealedQuestion(HWND owner);

// Runs the first step and then, when given, the second over the document
// as UTF-8 and puts the last output in its place. Returns true when the
// document was replaced; false after a box (showPipelineError), or after
// the question was answered No, with the document unchanged.
bool externFilterTest(const TranslateStep& first, const TranslateStep* second,
                      UnsealedQuestion* question = nullptr);

// The question before the first text of a session is written with the
// public vocabulary.
constexpr const char* PUBLIC_VOCABULARY_QUESTION =
    "sample.vcb is public: anyone can read what you write with it. Write with it anyway?";

// Whether a translation into ZarnoGlot may go on: with the public
// vocabulary, the first one of the session asks first (No changes nothing).
bool writingAgreed(HWND owner);

// Marks what the open clipboard holds so that Windows keeps it out of its
// clipboard history and its cloud clipboard, and clipboard monitors leave
// it alone ("CanIncludeInClipboardHistory" and "CanUploadToCloudClipboard"
// hold a DWORD 0). The clipboard translations call it (clipboardCommands.cpp).
void keepOutOfClipboardHistory();
