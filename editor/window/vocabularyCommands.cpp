// Vocabulary > Harvest and Vocabulary > Shuffle (harvest_words and
// shuffle_vcb, declared in commands.h): a word list from text files the user
// picks, and a vocabulary in the editor's folder from a word list and a
// passphrase. Both files are written as documents are: whole or not at all.
#include "commands.h"
#include "debugLog.h"
#include "documentFiles.h"
#include "editorState.h"
#include "fileCommands.h"
#include "jobWindow.h"
#include "messageBoxes.h"
#include "passphraseDialog.h"
#include "textConversions.h"
#include "vocabularyMaking.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace {

const wchar_t TEXT_FILTER[] = L"Text Files (*.txt;*.text)\0*.txt;*.text\0All Files (*.*)\0*.*\0";
const wchar_t WORD_LIST_FILTER[] = L"Word Lists (*.barn)\0*.barn\0All Files (*.*)\0*.*\0";
const wchar_t SUGGESTED_WORD_LIST[] = L"words.barn";
constexpr DWORD TEXTS_FLAGS =
    OFN_ALLOWMULTISELECT | OFN_EXPLORER | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
constexpr DWORD WORD_LIST_FLAGS = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
constexpr DWORD SAVE_WORD_LIST_FLAGS = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST;
// Room for the folder and the names of many files chosen at once.
constexpr int SELECTION_UNITS = 32768;

// The word list Harvest saved last; Shuffle offers it.
wchar_t lastWordList[PATH_UNITS];

// A run of the harvester or the shuffler as a job of the main window, so
// that the window answers and Cancel stops the filter: its inputs, and
// what it hands back once the job has ended.
struct HarvestJob {
    const char* text;
    int32_t length;
    char* list;
    int32_t listLength;
    int32_t words;
    bool done;
    char message[RUN_FAILURE_TEXT_SIZE];
};

struct ShuffleJob {
    const char* list;
    int32_t length;
    const char* passphrase;  // none for a random vocabulary
    char* vocabulary;
    int32_t vocabularyLength;
    bool done;
    char message[RUN_FAILURE_TEXT_SIZE];
};

void runHarvestJob(JobProgress* progress, void* context) {
    HarvestJob* job = static_cast<HarvestJob*>(context);
    job->done = runHarvester(job->text, job->length, &job->list, &job->listLength, &job->words, job->message,
                             progress);
}

void runShuffleJob(JobProgress* progress, void* context) {
    ShuffleJob* job = static_cast<ShuffleJob*>(context);
    job->done = runShuffler(job->list, job->length, job->passphrase, &job->vocabulary, &job->vocabularyLength,
                            job->message, progress);
}

// Shows a file dialog that opens in the data directory with the file
// offered in file, which holds units units.
BOOL runVocabularyDialog(HWND owner, bool saving, const wchar_t* title, const wchar_t* filter, DWORD flags,
                         wchar_t* file, int units, OPENFILENAMEW* dialog) {
    prepareFileDialog(dialog, owner, filter, file, units, title, flags);
    dialog->lpstrDefExt = saving ? L"barn" : nullptr;
    return runFileDialogInDataDirectory(dialog, saving);
}

// Whether the chosen texts that are neither UTF-8 nor UTF-16 (the first is
// named) are to be read in the system's code page.
bool codePageTextsAgreed(HWND owner, const char* firstName) {
    char codePage[64];
    codePageName(GetACP(), codePage, sizeof codePage);
    char question[RUN_FAILURE_TEXT_SIZE + 160];
    snprintf(question, sizeof question,
             "%s is not UTF-8. Read it, and any other chosen text that is not UTF-8, as %s?", firstName, codePage);
    return askYesNo(owner, question) == IDYES;
}

// The text files to harvest, joined into one text, and how many of them
// were converted to UTF-8; false when cancelled or after the box.
bool chosenTexts(HWND owner, char** text, int32_t* length, int* converted) {
    static wchar_t selection[SELECTION_UNITS];
    selection[0] = L'\0';
    OPENFILENAMEW dialog;
    if (!runVocabularyDialog(owner, false, L"Harvest - Choose Texts", TEXT_FILTER, TEXTS_FLAGS, selection,
                             SELECTION_UNITS, &dialog)) {
        if (CommDlgExtendedError() == FNERR_BUFFERTOOSMALL) {
            return showError(owner, "Too many files were chosen at once.");
        }
        return showFileDialogFailure(owner);
    }
    const wchar_t* folder = nullptr;
    const wchar_t* names[HARVEST_MAX_FILES];
    const int count = splitFileSelection(selection, dialog.nFileOffset, &folder, names, HARVEST_MAX_FILES);
    if (count < 0) {
        return showError(owner, "Too many files were chosen at once.");
    }
    char message[RUN_FAILURE_TEXT_SIZE];
    JoinResult joined = joinTextFiles(folder, names, count, false, text, length, converted, message);
    if (joined == JOIN_NEEDS_CODE_PAGE) {
        if (!codePageTextsAgreed(owner, message)) return false;
        joined = joinTextFiles(folder, names, count, true, text, length, converted, message);
    }
    if (joined != JOIN_OK) {
        return showError(owner, message);
    }
    logMessage("Harvest: %d files, %d bytes, %d converted", count, *length, *converted);
    return true;
}

// Asks where to save the word list and writes it there; false when
// cancelled or after the box.
bool saveWordList(HWND owner, const char* list, int32_t length) {
    wchar_t target[PATH_UNITS];
    wcscpy(target, SUGGESTED_WORD_LIST);
    OPENFILENAMEW dialog;
    if (!runVocabularyDialog(owner, true, L"Harvest - Save Word List", WORD_LIST_FILTER, SAVE_WORD_LIST_FLAGS,
                             target, PATH_UNITS, &dialog)) {
        return showFileDialogFailure(owner);
    }
    const DocumentFileResult written = writeDocumentFile(target, list, length);
    if (written != DOCUMENT_OK) {
        return showError(owner, documentFileMessage(written));
    }
    wcscpy(lastWordList, target);
    return true;
}

// The word list to shuffle, read whole; false when cancelled or after the box.
bool chosenWordList(HWND owner, char** list, int32_t* length) {
    wchar_t path[PATH_UNITS];
    wcscpy(path, lastWordList);
    OPENFILENAMEW dialog;
    if (!runVocabularyDialog(owner, false, L"Shuffle - Choose Word List", WORD_LIST_FILTER, WORD_LIST_FLAGS, path,
                             PATH_UNITS, &dialog)) {
        return showFileDialogFailure(owner);
    }
    const DocumentFileResult read = readDocumentFile(path, list, length);
    if (read != DOCUMENT_OK) {
        return showError(owner, read == DOCUMENT_ZERO_BYTE ? "The file contains a zero byte: it is not a word list."
                                                           : documentFileMessage(read));
    }
    if (*length == 0) {
        free(*list);
        return showError(owner, "The word list is empty.");
    }
    return true;
}

// Shuffles the word list with the dialog's passphrase (or at random) and
// writes the vocabulary into folder. The passphrase is wiped here.
bool makeVocabulary(HWND owner, const char* list, int32_t length, const wchar_t* folder, ShuffleSettings* settings) {
    ShuffleJob job = {list, length, settings->random ? nullptr : settings->passphrase, nullptr, 0, false, {}};
    const bool ended = runJob(owner, JOB_SHUFFLE, runShuffleJob, &job);
    wipeSecret(settings->passphrase, PASSPHRASE_UTF8_SIZE);
    char* vocabulary = job.vocabulary;
    const int32_t vocabularyLength = job.vocabularyLength;
    if (!ended) {
        // Cancelled: the box has said so, and nothing is written.
        if (vocabulary != nullptr) wipeSecret(vocabulary, vocabularyLength);
        free(vocabulary);
        return false;
    }
    if (!job.done) {
        return showError(owner, job.message);
    }
    wchar_t path[PATH_UNITS];
    const DocumentFileResult written = vocabularyPath(folder, settings->vocabularyName, path)
                                           ? writeDocumentFile(path, vocabulary, vocabularyLength)
                                           : DOCUMENT_CREATE_FAILED;
    // The vocabulary is the key of the texts sealed with it.
    wipeSecret(vocabulary, vocabularyLength);
    free(vocabulary);
    if (written != DOCUMENT_OK) {
        return showError(owner, documentFileMessage(written));
    }
    logMessage("Vocabulary made: %s%s", utf8Name(settings->vocabularyName).text, settings->random ? " (random)" : "");
    return true;
}

}  // namespace

bool harvest_words(HWND owner) {
    logMessage("harvest_words() start");
    char* text = nullptr;
    int32_t length = 0;
    int converted = 0;
    if (!chosenTexts(owner, &text, &length, &converted)) {
        return false;
    }
    HarvestJob job = {text, length, nullptr, 0, 0, false, {}};
    const bool ended = runJob(owner, JOB_HARVEST, runHarvestJob, &job);
    free(text);
    char* list = job.list;
    const int32_t listLength = job.listLength;
    const int32_t words = job.words;
    if (!ended) {
        // Cancelled: the box has said so, and no word list is asked for.
        free(list);
        return false;
    }
    if (!job.done) {
        return showError(owner, job.message);
    }
    char message[RUN_FAILURE_TEXT_SIZE];
    const bool saved = saveWordList(owner, list, listLength);
    free(list);
    if (!saved) {
        return false;
    }
    char convertedText[96] = "";
    if (converted > 0) {
        snprintf(convertedText, sizeof convertedText, " %d of the texts %s converted from UTF-16 or the code page.",
                 converted, converted == 1 ? "was" : "were");
    }
    snprintf(message, sizeof message,
             "%d words found.%s The word list is saved: Vocabulary > Shuffle makes your vocabulary from it.", words,
             convertedText);
    showInformation(owner, message);
    return true;
}

bool shuffle_vcb(HWND owner) {
    logMessage("shuffle_vcb() start");
    // The vocabulary goes where the filters look for it: the current
    // directory, which is the editor's folder.
    wchar_t folder[PATH_UNITS];
    const DWORD folderLength = GetCurrentDirectoryW(PATH_UNITS, folder);
    if (folderLength == 0 || folderLength >= static_cast<DWORD>(PATH_UNITS)) {
        return showError(owner, "Could not determine the current directory.");
    }
    char* list = nullptr;
    int32_t length = 0;
    if (!chosenWordList(owner, &list, &length)) {
        return false;
    }
    ShuffleSettings settings = {};
    const bool asked = askShuffleSettings(owner, folder, &settings);
    const bool made = asked && makeVocabulary(owner, list, length, folder, &settings);
    free(list);
    if (!made) {
        return false;
    }
    // A random vocabulary cannot be made again: its file is all there is.
    char question[NAME_SIZE * 3 + 160];
    snprintf(question, sizeof question, "The vocabulary %s is made.%s Do you want to use it now?",
             utf8Name(settings.vocabularyName).text,
             settings.random ? " It cannot be made again: keep a copy, and give it to your correspondents." : "");
    if (askYesNo(owner, question) == IDYES) {
        wcscpy(editorState.vocabularyName, settings.vocabularyName);
        settingsChanged();
    }
    return true;
}
