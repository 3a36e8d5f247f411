#include "translateCommands.h"

#include "commands.h"
#include "debugLog.h"
#include "documentText.h"
#include "editorState.h"
#include "externRunner.h"
#include "fileCommands.h"
#include "jobWindow.h"
#include "messageBoxes.h"
#include "readingChoice.h"
#include "textConversions.h"
#include "translatePipeline.h"
#include "windowTitle.h"

#include <cstdio>
#include <cstdlib>

namespace {

// Room for a step's arguments as the log shows them.
const int STEP_ARGUMENTS_TEXT_SIZE = 600;

// Takes the document out of the edit control as UTF-8. On success hands over
// the block (absent for an empty document) and its length; on failure the
// box has been shown.
bool translationInput(char** bytes, int32_t* byteCount) {
    long long textBytes = 0;
    const DocumentTextResult result = documentAsUtf8(true, bytes, byteCount, &textBytes);
    if (result == DOCUMENT_TEXT_NO_MEMORY) {
        char message[PIPELINE_MESSAGE_SIZE];
        snprintf(message, sizeof message, "No memory (%lld) for edit control text", textBytes);
        return showPipelineError(message);
    }
    if (result == DOCUMENT_TEXT_NOT_UTF8) return showPipelineError("Cannot convert document to UTF-8 (memory?).");
    return true;
}

LRESULT askUnsealedHere(void* owner) {
    return askYesNo(static_cast<HWND>(owner), UNSEALED_QUESTION) == IDYES ? TRUE : FALSE;
}

// The pipeline asks from the job's thread; the box is the window's.
bool askShowUnsealed(void* owner) {
    return callOnWindowThread(static_cast<HWND>(owner), askUnsealedHere, owner) != FALSE;
}

void runPipelineJob(JobProgress* progress, void* context) {
    PipelineJob* job = static_cast<PipelineJob*>(context);
    job->translated = runTranslatePipeline(job->input, job->inputLength, *job->first, job->second,
                                           EXTERN_PROG_TIMEOUT_MS, &job->text, &job->units, job->message,
                                           job->question, progress);
}

}  // namespace

bool runPipelineAsJob(HWND owner, JobKind kind, PipelineJob* job) {
    job->text = nullptr;
    job->units = 0;
    job->translated = false;
    if (runJob(owner, kind, runPipelineJob, job)) return true;
    free(job->text);
    job->text = nullptr;
    return false;
}

UnsealedQuestion unsealedQuestion(HWND owner) {
    return UnsealedQuestion{askShowUnsealed, owner, false};
}

bool showPipelineError(const char* text) {
    logMessage("%s", text);
    return showError(editorState.editControl, text, PIPELINE_CAPTION);
}

bool externFilterTest(HWND owner, JobKind kind, const TranslateStep& first, const TranslateStep* second,
                      UnsealedQuestion* question) {
    char argumentsA[STEP_ARGUMENTS_TEXT_SIZE];
    char argumentsB[STEP_ARGUMENTS_TEXT_SIZE] = "(null)";
    stepArgumentsText(first, argumentsA, sizeof argumentsA);
    if (second != nullptr) stepArgumentsText(*second, argumentsB, sizeof argumentsB);
    logMessage("externFilterTest, A:[%s],[%s], B:[%s],[%s]", first.program, argumentsA,
               second != nullptr ? second->program : "(null)", argumentsB);
    const HCURSOR previousCursor = beginBusyCursor();
    char* input = nullptr;
    int32_t inputLength = 0;
    if (!translationInput(&input, &inputLength)) {
        endBusyCursor(previousCursor);
        return false;
    }
    PipelineJob job = {input, inputLength, &first, second, question, nullptr, 0, false, {}};
    if (!runPipelineAsJob(owner, kind, &job)) {
        endBusyCursor(previousCursor);
        return false;
    }
    const bool translated = job.translated;
    wchar_t* text = job.text;
    const int32_t units = job.units;
    const char* message = job.message;
    // Replacing the whole text clears the edit control's modified flag: a
    // translation keeps the one the document had, so that nothing typed is
    // lost without the save prompt.
    const LRESULT modified = SendMessageW(editorState.editControl, EM_GETMODIFY, 0, 0);
    const DocumentShow replaced = translated ? replaceDocumentUndoably(text, units) : DOCUMENT_NOT_SHOWN;
    SendMessageW(editorState.editControl, EM_SETMODIFY, modified, 0);
    endBusyCursor(previousCursor);
    free(text);
    if (!translated) {
        return question != nullptr && question->declined ? false : showPipelineError(message);
    }
    if (replaced == DOCUMENT_SHOW_CANCELLED) return false;
    if (replaced != DOCUMENT_SHOWN) {
        return showPipelineError("Cannot update the document.");
    }
    return true;
}

bool writingAgreed(HWND owner) {
    static bool publicVocabularyAgreed = false;
    if (publicVocabularyAgreed || !isPublicVocabulary(editorState.vocabularyName)) {
        return true;
    }
    publicVocabularyAgreed = askYesNo(owner, PUBLIC_VOCABULARY_QUESTION) == IDYES;
    return publicVocabularyAgreed;
}

bool translate_to_zarnoglot(HWND owner) {
    if (!writingAgreed(owner)) return false;
    logMessage("xTx: %d", CMD_TO_ZARNOGLOT);
    const Utf8Name vocabulary = utf8Name(editorState.vocabularyName);
    const TranslateStep encode = encodeStep(vocabulary.text);
    return externFilterTest(owner, JOB_TO_ZARNOGLOT, sealStep(vocabulary.text), &encode);
}

bool translate_from_zarnoglot(HWND owner) {
    logMessage("xTx: %d", CMD_FROM_ZARNOGLOT);
    const Utf8Name vocabulary = utf8Name(editorState.vocabularyName);
    const TranslateStep open = openStep(vocabulary.text);
    UnsealedQuestion question = unsealedQuestion(owner);
    return externFilterTest(owner, JOB_FROM_ZARNOGLOT, decodeStep(vocabulary.text), &open, &question);
}
