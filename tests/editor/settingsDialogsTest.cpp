// End-to-end tests of the settings commands: Select Vocabulary, Select font
// and Select data directory, through the platform's real dialogs, with the
// settings checked in the configuration written at exit; and of the
// Vocabulary menu's Harvest and Shuffle, against the command-line tools.
#include "editorTest.h"
#include "testFiles.h"
#include "testVocabulary.h"

#include <shlobj.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const int FONT_FACE_COMBO_ID = 0x470;
const int FONT_SIZE_COMBO_ID = 0x472;
// The fields of the Shuffle dialog.
const int PASSPHRASE_FIELD_ID = 101;
const int REPEATED_FIELD_ID = 102;
const int NAME_FIELD_ID = 103;
const int RANDOM_CHOICE_ID = 105;
const std::vector<std::string> VOCABULARY_TOOLS = {"zarnoGlotHarvest.exe", "zarnoGlotShuffle.exe"};

// The words of the bundled word list, in its order.
std::vector<std::string> sampleWords() {
    std::vector<std::string> words;
    const std::string list = readFile(joinPath(binaryDirectory(), "sample.barn"));
    size_t begin = 0;
    while (begin < list.size()) {
        size_t end = list.find_first_of("\r\n", begin);
        if (end == std::string::npos) end = list.size();
        if (end > begin) words.push_back(list.substr(begin, end - begin));
        begin = end + 1;
    }
    return words;
}

std::string wordsFrom(const std::vector<std::string>& words, size_t first, size_t last) {
    std::string text;
    for (size_t i = first; i < last && i < words.size(); i++) text += (i > first ? " " : "") + words[i];
    return text;
}

// The field's text, given as UTF-8.
void setField(HWND dialog, int id, const std::string& text) {
    SendMessageW(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(widen(text).c_str()));
}

class SettingsDialogsTest : public EditorTest {
protected:
    // The data directory of a user whose name is not ASCII, in a folder whose
    // name no single-byte code page holds.
    void SetUp() override {
        base = makeTempDirectory();
        docs = joinPath(base, "Jos\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC");
        ASSERT_TRUE(CreateDirectoryW(widen(docs).c_str(), nullptr));
    }

    void TearDown() override {
        EditorTest::TearDown();
        removeTree(base);
    }

    std::string doc(const std::string& name) const { return joinPath(docs, name); }

    void choose(MenuCommand command, const char* caption, const std::wstring& name) {
        HWND dialog = showCommandDialog(command, caption);
        ASSERT_NE(dialog, nullptr);
        ASSERT_TRUE(chooseInFileDialog(dialog, name));
    }

    void cancel(MenuCommand command, const char* caption) {
        HWND dialog = showCommandDialog(command, caption);
        ASSERT_NE(dialog, nullptr);
        pressDialogButton(dialog, IDCANCEL);
        ASSERT_TRUE(waitUntilClosed(dialog));
        sync();
        EXPECT_TRUE(noMessageBoxFor(session, 100));
    }

    void expectError(const std::string& caption, const std::string& text) { expectOkBox(caption, text, ICON_ERROR); }

    // Distance between the first two lines of the edit control, which
    // follows its font (the font handle cannot be read from another process).
    int lineHeight() {
        const LRESULT first = sendToEdit(session, EM_POSFROMCHAR, 0);
        const LRESULT second = sendToEdit(session, EM_POSFROMCHAR, 3);
        return static_cast<short>(HIWORD(second)) - static_cast<short>(HIWORD(first));
    }

    // Starts Vocabulary > Shuffle over the word list and fills the Shuffle
    // dialog; returns the dialog with OK pressed.
    HWND shuffleWith(const std::string& wordList, const std::string& passphrase, const std::string& repeated,
                     const std::string& name) {
        HWND open = showCommandDialog(CMD_SHUFFLE, "Shuffle - Choose Word List");
        EXPECT_TRUE(open != nullptr && chooseInFileDialog(open, widen(wordList)));
        HWND dialog = waitForDialog(session, "Shuffle");
        EXPECT_NE(dialog, nullptr);
        setField(dialog, PASSPHRASE_FIELD_ID, passphrase);
        setField(dialog, REPEATED_FIELD_ID, repeated);
        setField(dialog, NAME_FIELD_ID, name);
        pressDialogButton(dialog, IDOK);
        return dialog;
    }

    // Expects a box of the editor's caption over the dialog and answers it.
    void expectBoxOver(HWND dialog, const std::string& text, BoxIcon icon, int answer) {
        MessageBoxInfo box;
        ASSERT_TRUE(waitForMessageBox(session, &box, 60000, dialog)) << "no box for: " << text;
        EXPECT_EQ(box.caption, "zarnoGlotWriteW");
        EXPECT_EQ(box.text, text);
        EXPECT_EQ(box.icon, icon);
        EXPECT_EQ(box.owner, dialog);
        answerMessageBox(box, answer);
    }

    std::string base;
    std::string docs;
};

std::string copyQuestion(const std::string& name) {
    return "The vocabulary " + name +
           " is not in the editor's folder, where the translations look for it.\n\nCopy it into the editor's folder?";
}

std::string replaceQuestion(const std::string& name) {
    return "The editor's folder already holds a different file named " + name +
           ".\n\nReplace it with the selected one?";
}

// A vocabulary in the editor's folder is taken as it is; one from elsewhere
// is copied there first when the user agrees, and a different file of the
// same name is replaced only when the user agrees again.
TEST_F(SettingsDialogsTest, SelectVocabularyTakesItsFileIntoTheEditorsFolder) {
    const std::string name63 = std::string(59, 'v') + ".vcb";
    // Distinct vocabularies the filters take, so that the file found in the
    // editor's folder afterwards tells which one was copied.
    const std::string outside = vocabularyText(makeTestVocabulary(1), "\n", true);
    const std::string inside = vocabularyText(makeTestVocabulary(2), "\n", true);
    const std::string vocabulary = vocabularyText(makeTestVocabulary(3), "\r\n", true);
    const std::string name64 = std::string(60, 'v') + ".vcb";
    const std::string personal = "meine-w\xC3\xB6rter.vcb";
    ASSERT_TRUE(CreateDirectoryW(widen(doc("voc")).c_str(), nullptr));
    ASSERT_TRUE(writeFile(doc("voc\\mine.vcb"), outside));
    for (const std::string& name : {name63, name64, personal}) {
        ASSERT_TRUE(writeFile(doc("voc\\" + name), vocabulary));
    }
    // One the filters refuse, with their reason.
    ASSERT_TRUE(writeFile(doc("voc\\short.vcb"), "one\ntwo\nthree\n"));
    start("old.vcb\r\nC:\\Data\r\nConsolas,10\r\n", {"zarnoGlotEncode.exe"});
    const std::string here = session.folder;
    ASSERT_TRUE(writeFile(joinPath(here, "local.vcb"), vocabulary));
    ASSERT_TRUE(writeFile(joinPath(here, "mine.vcb"), inside));
    const char* const caption = "Select Vocabulary File";

    cancel(CMD_SELECT_VOCABULARY, caption);
    // The dialog opens in the program's folder.
    choose(CMD_SELECT_VOCABULARY, caption, L"local.vcb");
    EXPECT_TRUE(noMessageBoxFor(session, 100));
    // Kept at once, so that a killed editor starts again with it, and named in the title.
    EXPECT_EQ(configurationText(session), "local.vcb\r\nC:\\Data\r\nConsolas,10\r\n");
    EXPECT_EQ(windowText(session.mainWindow), "Untitled - zarnoGlotWrite - local.vcb");
    const struct {
        std::string name;
        std::vector<int> answers;   // to the copy question, then to the replace question
        std::string here;           // the file of that name in the editor's folder afterwards
    } cases[] = {
        {"mine.vcb", {IDNO}, inside},
        {"mine.vcb", {IDYES, IDNO}, inside},
        {name63, {IDYES}, vocabulary},
        {name63, {IDYES}, vocabulary},   // the same file is there already: no second question
        {personal, {IDYES}, vocabulary},
        {"mine.vcb", {IDYES, IDYES}, outside},
        {name63, {IDNO}, vocabulary},    // keeps mine.vcb, as the configuration shows
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name + " " + std::to_string(c.answers.size()));
        choose(CMD_SELECT_VOCABULARY, caption, widen(doc("voc\\" + c.name)));
        answerQuestion(caption, copyQuestion(c.name), c.answers[0]);
        if (c.answers.size() > 1) {
            answerQuestion(caption, replaceQuestion(c.name), c.answers[1]);
        }
        sync();
        EXPECT_TRUE(noMessageBoxFor(session, 100));
        EXPECT_EQ(readFile(joinPath(here, c.name)), c.here);
    }
    choose(CMD_SELECT_VOCABULARY, caption, widen(doc("voc\\" + name64)));
    expectError(caption, "The selected filename is too long.");
    // The bundled vocabulary in the editor's folder, which has a name no
    // single-byte code page holds.
    choose(CMD_SELECT_VOCABULARY, caption, widen(joinPath(here, "local.vcb")));
    EXPECT_TRUE(noMessageBoxFor(session, 100));
    choose(CMD_SELECT_VOCABULARY, caption, widen(doc("voc\\mine.vcb")));
    answerQuestion(caption, copyQuestion("mine.vcb"), IDYES);
    // Refused in the filters' words, and the vocabulary in use stays.
    choose(CMD_SELECT_VOCABULARY, caption, widen(doc("voc\\short.vcb")));
    answerQuestion(caption, copyQuestion("short.vcb"), IDYES);
    expectError(caption, "This vocabulary cannot be used: zarnoGlotEncode ended with exit status 1.\n"
                         "zarnoGlotEncode: vocabulary has 3 entries; 4608 required");

    // The configuration is written back beside the program.
    EXPECT_EQ(exitAndReadConfiguration(), "mine.vcb\r\nC:\\Data\r\nConsolas,10\r\n");
    EXPECT_FALSE(fileExists(doc("voc\\zarnoGlotWriteW.ini")));
    EXPECT_FALSE(fileExists(joinPath(here, name64)));
    size_t starts = 0;
    for (const std::string& line : logLines(session)) {
        starts += line == "select_vcb() start";
    }
    EXPECT_EQ(starts, 13u);
}

TEST_F(SettingsDialogsTest, SelectFontAppliesTheFontAndKeepsItsFaceAndWholePoints) {
    start("w.vcb\r\nC:\\Data\r\nConsolas,12\r\n");
    setEditText(session, L"a\r\nb");
    const int startHeight = lineHeight();
    cancel(CMD_SELECT_FONT, "Font");
    EXPECT_EQ(lineHeight(), startHeight);

    HWND dialog = showCommandDialog(CMD_SELECT_FONT, "Font");
    ASSERT_NE(dialog, nullptr);
    HWND faces = GetDlgItem(dialog, FONT_FACE_COMBO_ID);
    HWND sizes = GetDlgItem(dialog, FONT_SIZE_COMBO_ID);
    const LRESULT count = SendMessageW(faces, CB_GETCOUNT, 0, 0);
    ASSERT_GT(count, 0);
    SendMessageW(faces, CB_SETCURSEL, count - 1, 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(FONT_FACE_COMBO_ID, CBN_SELCHANGE), reinterpret_cast<LPARAM>(faces));
    const std::string face = windowText(faces);
    ASSERT_FALSE(face.empty());
    SendMessageW(sizes, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"14"));
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(FONT_SIZE_COMBO_ID, CBN_EDITCHANGE), reinterpret_cast<LPARAM>(sizes));
    pressDialogButton(dialog, IDOK);
    ASSERT_TRUE(waitUntilClosed(dialog));
    sync();
    EXPECT_TRUE(noMessageBoxFor(session, 100));
    // 14 points are taller than the 12 the edit control starts with.
    EXPECT_GT(lineHeight(), startHeight);
    EXPECT_EQ(configurationText(session), "w.vcb\r\nC:\\Data\r\n" + face + ",14\r\n") << "not kept at once";

    // The dialog opens again with the chosen face and size.
    dialog = showCommandDialog(CMD_SELECT_FONT, "Font");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(windowText(GetDlgItem(dialog, FONT_FACE_COMBO_ID)), face);
    EXPECT_EQ(windowText(GetDlgItem(dialog, FONT_SIZE_COMBO_ID)), "14");
    pressDialogButton(dialog, IDCANCEL);
    ASSERT_TRUE(waitUntilClosed(dialog));

    EXPECT_EQ(exitAndReadConfiguration(), "w.vcb\r\nC:\\Data\r\n" + face + ",14\r\n");
    const std::vector<std::string> lines = logLines(session);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "select_font() start"), 3);
}

TEST_F(SettingsDialogsTest, SelectDataDirectoryOpensAtTheProfileAndKeepsAnyFolder) {
    const std::string briefe = doc("Briefe f\xC3\xBCr Oma");
    ASSERT_TRUE(CreateDirectoryW(widen(briefe).c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(widen(doc("picked")).c_str(), nullptr));
    // The configured folder plays no part: the dialog starts at the profile.
    start("w.vcb\r\n" + docs + "\r\nConsolas,10\r\n");

    cancel(CMD_SELECT_DATA_DIRECTORY, "Select Data Directory");
    choose(CMD_SELECT_DATA_DIRECTORY, "Select Data Directory", widen(doc("picked")));
    EXPECT_TRUE(noMessageBoxFor(session, 100));
    choose(CMD_SELECT_DATA_DIRECTORY, "Select Data Directory", widen(briefe));
    EXPECT_TRUE(noMessageBoxFor(session, 100));
    EXPECT_EQ(exitAndReadConfiguration(), "w.vcb\r\n" + briefe + "\r\nConsolas,10\r\n");
    stopEditor(&session);

    // A cancelled dialog keeps the data directory; a name typed alone is
    // found in the profile folder, where the dialog starts.
    start("w.vcb\r\n" + docs + "\r\nConsolas,10\r\n");
    cancel(CMD_SELECT_DATA_DIRECTORY, "Select Data Directory");
    EXPECT_EQ(exitAndReadConfiguration(), ini);
    stopEditor(&session);
    wchar_t profile[MAX_PATH] = L"";
    ASSERT_TRUE(SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_PROFILE, nullptr, SHGFP_TYPE_CURRENT, profile)));
    start("w.vcb\r\n" + docs + "\r\nConsolas,10\r\n");
    choose(CMD_SELECT_DATA_DIRECTORY, "Select Data Directory", L"AppData");
    EXPECT_TRUE(noMessageBoxFor(session, 100));
    EXPECT_EQ(exitAndReadConfiguration(), "w.vcb\r\n" + narrow(profile) + "\\AppData\r\nConsolas,10\r\n");
}

// Harvest reads the chosen texts in the order of their names, one after the
// other, as the command-line harvester reads them joined; the first text
// lacks a final line end, and its last word does not run on into the next.
TEST_F(SettingsDialogsTest, HarvestGivesTheCommandLinesWordListOfTheChosenTexts) {
    const std::vector<std::string> words = sampleWords();
    ASSERT_GT(words.size(), 8000u);
    const std::string first = wordsFrom(words, 0, 5000);
    const std::string second = wordsFrom(words, 4000, words.size()) + "\r\n";
    // Names of any script: the one with the Latin letter comes first.
    const std::string one = "M\xC3\xA4rchen eins.txt";
    const std::string two = "\xE6\x97\xA5\xE6\x9C\xAC zwei.txt";
    ASSERT_TRUE(writeFile(doc(one), first));
    ASSERT_TRUE(writeFile(doc(two), second));
    ASSERT_TRUE(writeFile(doc("few.txt"), "Only three words."));
    const ProgramResult expected = runProgram(programPath("zarnoGlotHarvest"), {}, first + "\n" + second);
    ASSERT_EQ(expected.status, 0) << expected.err;
    const long lines = static_cast<long>(std::count(expected.out.begin(), expected.out.end(), '\n'));
    start("w.vcb\r\n" + docs + "\r\nConsolas,10\r\n", VOCABULARY_TOOLS);

    // The harvester's refusal is the reason, and nothing is saved.
    choose(CMD_HARVEST, "Harvest - Choose Texts", L"few.txt");
    expectError("zarnoGlotWriteW", "No word list was made: zarnoGlotHarvest ended with exit status 1.\n"
                                   "zarnoGlotHarvest: only 3 unique words found; 4608 required");
    EXPECT_TRUE(noMessageBoxFor(session, 300));

    choose(CMD_HARVEST, "Harvest - Choose Texts", widen("\"" + two + "\" \"" + one + "\""));
    ASSERT_TRUE(chooseFile(session, "Harvest - Save Word List", widen(doc("W\xC3\xB6rter"))));
    expectOkBox("zarnoGlotWriteW",
                std::to_string(lines) +
                    " words found. The word list is saved: Vocabulary > Shuffle makes your vocabulary from it.",
                ICON_INFORMATION);
    EXPECT_TRUE(readFile(doc("W\xC3\xB6rter.barn")) == expected.out) << "the editor's word list differs";

    // The harvester stops reading at its 10000th word; the rest of a long
    // text is left unread and the list is complete all the same.
    std::string many;
    for (int i = 0; i < 240000; i++) many += generatedWord(i % 12000) + " ";
    ASSERT_TRUE(writeFile(doc("many.txt"), many));
    choose(CMD_HARVEST, "Harvest - Choose Texts", L"many.txt");
    ASSERT_TRUE(chooseFile(session, "Harvest - Save Word List", widen(doc("many.barn"))));
    expectOkBox("zarnoGlotWriteW",
                "10000 words found. The word list is saved: Vocabulary > Shuffle makes your vocabulary from it.",
                ICON_INFORMATION);
    EXPECT_TRUE(readFile(doc("many.barn")) == runProgram(programPath("zarnoGlotHarvest"), {}, many).out);
    EXPECT_EQ(folderEntries(docs).size(), 6u);

    // A UTF-16 text and a windows-1252 one give the words of their UTF-8
    // copies, no word cut at an umlaut; the result line counts them.
    if (GetACP() != 1252) return;
    std::string utf16 = "\xFF\xFE";
    for (wchar_t unit : widen(first)) utf16 += std::string{static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    ASSERT_TRUE(writeFile(doc("a-utf16.txt"), utf16));
    ASSERT_TRUE(writeFile(doc("b-1252.txt"), "Gr\xFC\xDF" "e aus der Stra\xDF" "e, \xDC" "bermut und M\xFC" "ller."));
    const ProgramResult copies = runProgram(programPath("zarnoGlotHarvest"), {},
                                            first + "\nGr\xC3\xBC\xC3\x9F" "e aus der Stra\xC3\x9F" "e, \xC3\x9C"
                                                    "bermut und M\xC3\xBC" "ller.");
    ASSERT_EQ(copies.status, 0) << copies.err;
    choose(CMD_HARVEST, "Harvest - Choose Texts", L"\"b-1252.txt\" \"a-utf16.txt\"");
    answerQuestion("zarnoGlotWriteW",
                   "b-1252.txt is not UTF-8. Read it, and any other chosen text that is not UTF-8, as Windows-1252 "
                   "(code page 1252)?",
                   IDYES);
    ASSERT_TRUE(chooseFile(session, "Harvest - Save Word List", widen(doc("converted.barn"))));
    expectOkBox("zarnoGlotWriteW",
                std::to_string(std::count(copies.out.begin(), copies.out.end(), '\n')) +
                    " words found. 2 of the texts were converted from UTF-16 or the code page. The word list is "
                    "saved: Vocabulary > Shuffle makes your vocabulary from it.",
                ICON_INFORMATION);
    EXPECT_TRUE(readFile(doc("converted.barn")) == copies.out) << "the converted texts gave other words";
    EXPECT_NE(copies.out.find("Stra\xC3\x9F" "e"), std::string::npos);
}

TEST_F(SettingsDialogsTest, ShuffleGivesTheCommandLinesVocabularyAndNoFileHoldsThePassphrase) {
    // Quotes, blanks and backslashes reach the shuffler as typed, on its
    // standard input, and give the vocabulary of the passphrase argument.
    const std::string passphrase = "Tr0ub4dor \"&3\" C:\\dir\\";
    const std::string wordList = readFile(joinPath(binaryDirectory(), "sample.barn"));
    const std::string words = doc("W\xC3\xB6rter.barn");
    const std::string personal = "meine-w\xC3\xB6rter.vcb";
    ASSERT_TRUE(writeFile(words, wordList));
    const ProgramResult expected = runProgram(programPath("zarnoGlotShuffle"), {passphrase}, wordList);
    ASSERT_EQ(expected.status, 0) << expected.err;
    start("w.vcb\r\n" + docs + "\r\nConsolas,10\r\n", VOCABULARY_TOOLS);

    // Refused fields keep the dialog open; a refused passphrase empties both
    // of its fields.
    HWND dialog = shuffleWith(words, passphrase, passphrase + "x", personal);
    expectBoxOver(dialog, "The two passphrases do not match. Please type them again.", ICON_ERROR, IDOK);
    EXPECT_EQ(SendMessageA(GetDlgItem(dialog, PASSPHRASE_FIELD_ID), WM_GETTEXTLENGTH, 0, 0), 0);
    EXPECT_EQ(SendMessageA(GetDlgItem(dialog, REPEATED_FIELD_ID), WM_GETTEXTLENGTH, 0, 0), 0);
    const char* const oneLine = "The passphrase cannot hold a line end: zarnoGlotShuffle reads it as one line.";
    const struct { std::string passphrase; std::string name; const char* refusal; } refused[] = {
        {"two\nlines", "mine.vcb", oneLine},
        {"carriage\rreturn", "mine.vcb", oneLine},
        {passphrase, "..\\mine.vcb",
         "The vocabulary's file name must be a name alone: it is written in the editor's folder."},
        {passphrase, "", "Please type a file name for the vocabulary."},
        {passphrase, "w\xC3\xB6rter?.vcb",
         "Windows cannot store a file of this name: a name cannot be empty, hold \\ / : * ? \" < > | or a control "
         "character, end with a dot or a blank, or be a device name such as CON or NUL."},
    };
    for (const auto& r : refused) {
        setField(dialog, PASSPHRASE_FIELD_ID, r.passphrase);
        setField(dialog, REPEATED_FIELD_ID, r.passphrase);
        setField(dialog, NAME_FIELD_ID, r.name);
        pressDialogButton(dialog, IDOK);
        expectBoxOver(dialog, r.refusal, ICON_ERROR, IDOK);
    }
    setField(dialog, NAME_FIELD_ID, personal);
    pressDialogButton(dialog, IDOK);
    ASSERT_TRUE(waitUntilClosed(dialog));
    answerQuestion("zarnoGlotWriteW", "The vocabulary " + personal + " is made. Do you want to use it now?", IDYES);
    const std::string vocabulary = readFile(joinPath(session.folder, personal));
    EXPECT_TRUE(vocabulary == expected.out) << "the editor's vocabulary differs";

    // An existing vocabulary is replaced only after a Yes.
    dialog = shuffleWith(words, "other", "other", personal);
    expectBoxOver(dialog, personal + " already exists in the editor's folder. Do you want to replace it?",
                  ICON_QUESTION, IDNO);
    pressDialogButton(dialog, IDCANCEL);
    ASSERT_TRUE(waitUntilClosed(dialog));
    EXPECT_TRUE(readFile(joinPath(session.folder, personal)) == vocabulary);

    // A passphrase of any script gives the shuffler's vocabulary of the
    // command line, which is the Linux shuffler's (ShuffleProgram tests).
    const std::string cyrillic = "Gro\xC3\x9Fmutters \xD0\xBF\xD0\xB0\xD1\x80\xD0\xBE\xD0\xBB\xD1\x8C \xE6\x97\xA5\xE6\x9C\xAC";
    const ProgramResult fromCyrillic = runProgram(programPath("zarnoGlotShuffle"), {cyrillic}, wordList);
    ASSERT_EQ(fromCyrillic.status, 0) << fromCyrillic.err;
    dialog = shuffleWith(words, cyrillic, cyrillic, "kyrillisch.vcb");
    ASSERT_TRUE(waitUntilClosed(dialog));
    answerQuestion("zarnoGlotWriteW", "The vocabulary kyrillisch.vcb is made. Do you want to use it now?", IDNO);
    EXPECT_TRUE(readFile(joinPath(session.folder, "kyrillisch.vcb")) == fromCyrillic.out)
        << "the editor's vocabulary of the Cyrillic passphrase differs";

    // A random vocabulary takes no passphrase: its fields are off.
    HWND open = showCommandDialog(CMD_SHUFFLE, "Shuffle - Choose Word List");
    ASSERT_TRUE(open != nullptr && chooseInFileDialog(open, widen(words)));
    dialog = waitForDialog(session, "Shuffle");
    ASSERT_NE(dialog, nullptr);
    SendMessageW(GetDlgItem(dialog, RANDOM_CHOICE_ID), BM_CLICK, 0, 0);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, PASSPHRASE_FIELD_ID)));
    setField(dialog, NAME_FIELD_ID, "random.vcb");
    pressDialogButton(dialog, IDOK);
    ASSERT_TRUE(waitUntilClosed(dialog));
    answerQuestion("zarnoGlotWriteW", "The vocabulary random.vcb is made. It cannot be made again: keep a copy, and "
                   "give it to your correspondents. Do you want to use it now?", IDNO);
    const std::string random = readFile(joinPath(session.folder, "random.vcb"));
    std::vector<std::string> randomWords;
    for (size_t at = 0, end; (end = random.find("\r\n", at)) != std::string::npos; at = end + 2) {
        randomWords.push_back(random.substr(at, end - at));
    }
    std::vector<std::string> listed = sampleWords();
    std::sort(listed.begin(), listed.end());
    std::sort(randomWords.begin(), randomWords.end());
    EXPECT_EQ(randomWords.size(), 4608u);
    EXPECT_EQ(std::adjacent_find(randomWords.begin(), randomWords.end()), randomWords.end());
    EXPECT_TRUE(std::includes(listed.begin(), listed.end(), randomWords.begin(), randomWords.end()));

    EXPECT_EQ(exitAndReadConfiguration(), personal + "\r\n" + docs + "\r\nConsolas,10\r\n");
    // The passphrase went on the shuffler's standard input: the command
    // lines the runner started, as it logs them, are these alone.
    const std::string log = logText(session);
    size_t started = 0;
    for (size_t at = 0; (at = log.find("c/l: [\"zarnoGlotShuffle\"", at)) != std::string::npos; at++) {
        const std::string line = log.substr(at, log.find('\r', at) - at);
        EXPECT_TRUE(line == "c/l: [\"zarnoGlotShuffle\" \"-i\"]" || line == "c/l: [\"zarnoGlotShuffle\" \"-r\"]") << line;
        started++;
    }
    EXPECT_EQ(started, 3u);
    for (const char* secret : {"Tr0ub4dor", "\xD0\xBF\xD0\xB0\xD1\x80\xD0\xBE\xD0\xBB\xD1\x8C"}) {
        EXPECT_EQ(logText(session).find(secret), std::string::npos);
        for (const std::string& folder : {session.folder, docs}) {
            for (const std::string& name : folderEntries(folder)) {
                EXPECT_EQ(readFile(joinPath(folder, name)).find(secret), std::string::npos) << name;
                EXPECT_EQ(name.find(secret), std::string::npos);
            }
        }
    }
}

}  // namespace
