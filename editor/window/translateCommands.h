// The Translate menu: the whole document through a pipeline of external
// filters, to ZarnoGlot and back, and the box of a failed translation that
// the clipboard translations show too. The commands themselves are declared
// in commands.h.
#pragma once

#include "editorJob.h"
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

// A pipeline run as a job of the main window (jobWindow.h): the input it
// takes over, its steps and question, and what it came to.
struct PipelineJob {
    char* input;
    int32_t inputLength;
    const TranslateStep* first;
    const TranslateStep* second;
    UnsealedQuestion* question;
    wchar_t* text;
    int32_t units;
    bool translated;
    char message[PIPELINE_MESSAGE_SIZE];
};

// Runs the pipeline on the job's thread while the window keeps answering.
// False when the job was cancelled (the box said so; nothing is handed
// over); else true, with the pipeline's result in the record.
bool runPipelineAsJob(HWND owner, JobKind kind, PipelineJob* job);

// Runs the first step and then, when given, the second over the document
// as UTF-8, as a job of that kind, and puts the last output in its place.
// Returns true when the document was replaced; false after a box
// (showPipelineError), after the question was answered No, or once the job
// was cancelled, with the document unchanged.
bool externFilterTest(HWND owner, JobKind kind, const TranslateStep& first, const TranslateStep* second,
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
