// zarnoGlotDecode through the real executable, and round trips through both
// programs.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "letterCase.h"
#include "messageBlocks.h"
#include "programCases.h"
#include "readingRule.h"
#include "sealedShape.h"
#include "testSupport.h"
#include "testVocabulary.h"

namespace {

const char* const USAGE =
    "zarnoGlotDecode (version: 26.343) Decode vocabulary words to binary.\n"
    "zarnoGlotDecode [-bN] vocabulary < hugeGlotFile > binaryFile\n"
    "Options:\n"
    "  -h print version, usage and exit.\n"
    "  -bN read the Nth block of lines that reads as ZarnoGlot (N 1..10), for a pasted mail.\n";

class DecodeCli : public ::testing::Test {
protected:
    void SetUp() override {
        folder = makeTempDirectory();
        words = makeTestVocabulary(9);
        // A name outside every single-byte code page: the decoder opens any
        // name its system allows.
        vocabulary = writeVocabularyFile(folder, "W\xC3\xB6rter \xE6\x97\xA5\xE6\x9C\xAC.vcb", words);
    }
    void TearDown() override { removeTree(folder); }
    ProgramResult decode(const std::vector<std::string>& arguments, const std::string& input) {
        return runProgram(programPath("zarnoGlotDecode"), arguments, input);
    }
    ProgramResult encode(const std::string& path, const std::string& input) {
        return runProgram(programPath("zarnoGlotEncode"), {path}, input);
    }
    std::string folder;
    std::vector<std::string> words;
    std::string vocabulary;
};

std::vector<ProgramCase> usageRows() {
    const std::string vocabulary = joinPath(binaryDirectory(), "sample.vcb");
    std::vector<ProgramCase> rows = usageCases(USAGE, vocabulary, "");
    for (const char* reading : {"-b0", "-b11", "-b", "-bx", "-2"}) rows.push_back({reading, {reading, vocabulary}, "", "", USAGE, -1});
    rows.push_back({"-b2 -h", {"-b2", "-h"}, "", "", USAGE, -1});
    return rows;
}

class DecodeUsage : public ::testing::TestWithParam<ProgramCase> {};

TEST_P(DecodeUsage, ForAnyArgumentCountButOneAndForH) {
    expectProgramCase(programPath("zarnoGlotDecode"), GetParam());
}

INSTANTIATE_TEST_SUITE_P(Rows, DecodeUsage, ::testing::ValuesIn(usageRows()), RowName());

class DecodeRefusals : public DecodeCli, public ::testing::WithParamInterface<VocabularyChange> {};

TEST_P(DecodeRefusals, ABadVocabularyBeforeReadingInput) {
    expectVocabularyRefusal(programPath("zarnoGlotDecode"), folder, words[0] + " " + words[1], GetParam().text(words),
                            GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(Rows, DecodeRefusals, ::testing::Values(
    VocabularyChange{"4607 words", [](std::vector<std::string> w) { w.pop_back(); return vocabularyText(w, "\n", true); },
                     "zarnoGlotDecode: dictionary must contain 4608 words\n"},
    VocabularyChange{"4609 words", [](std::vector<std::string> w) { w.push_back("extrax"); return vocabularyText(w, "\n", true); },
                     "zarnoGlotDecode: too many dictionary words\n"},
    VocabularyChange{"an empty line",
                     [](std::vector<std::string> w) { w.pop_back(); return "\n" + vocabularyText(w, "\n", true); },
                     "zarnoGlotDecode: invalid dictionary word\n"},
    VocabularyChange{"an 8-byte word", withWord(7, "abcdefgh"), "zarnoGlotDecode: invalid dictionary word\n"},
    VocabularyChange{"an 8-byte word, CR LF", withWord(7, "abcdefgh", "\r\n"), "zarnoGlotDecode: invalid dictionary word\n"},
    VocabularyChange{"a word twice", [](std::vector<std::string> w) { w[4000] = w[3]; return vocabularyText(w, "\n", true); },
                     "zarnoGlotDecode: duplicate dictionary word\n"}),
    RowName());

TEST_F(DecodeCli, RefusesAMissingVocabulary) {
    ProgramResult result = decode({joinPath(folder, "missing.vcb")}, "");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(unixLineEnds(result.err), "zarnoGlotDecode: cannot open dictionary\n");
}

// A row of the text errors: {pair} stands for two words that read as
// "ABC", {w9}, {first D}, {second 0} for the words of index 9, of the
// first leftover 'D' and of the second leftover 0 (4352), {v} for the
// vocabulary's path.
struct TextErrorCase {
    const char* name;
    std::string text;
    std::string out;
    std::string err;
};

void PrintTo(const TextErrorCase& row, std::ostream* out) {
    *out << row.name;
}

class DecodeTextErrors : public DecodeCli, public ::testing::WithParamInterface<TextErrorCase> {
protected:
    std::string expand(std::string text) const {
        const std::pair<const char*, std::string> marks[] = {
            {"{pair}", words[0x414] + " " + words[0x243] + ". "}, {"{w9}", words[9]}, {"{w7}", words[7]},
            {"{w1}", words[1]}, {"{first D}", words[4096 + 'D']}, {"{first 0}", words[4096]},
            {"{second 0}", words[4352]}, {"{v}", vocabulary}};
        for (const auto& mark : marks) {
            for (std::size_t at = text.find(mark.first); at != std::string::npos; at = text.find(mark.first)) {
                text.replace(at, std::strlen(mark.first), mark.second);
            }
        }
        return text;
    }
};

TEST_P(DecodeTextErrors, ReportTheErrorAndKeepTheBytesBeforeIt) {
    const TextErrorCase& row = GetParam();
    const std::string err = expand(row.err);
    ProgramResult result = decode({vocabulary}, expand(row.text));
    EXPECT_EQ(result.status, err.empty() ? 0 : 1);
    EXPECT_EQ(unixLineEnds(result.err), err);
    EXPECT_EQ(result.out, row.out);
}

INSTANTIATE_TEST_SUITE_P(Rows, DecodeTextErrors, ::testing::Values(
    TextErrorCase{"unknown word", "{pair}Qqqqx {pair}", "ABC", "zarnoGlotDecode: unknown word: Qqqqx (line 1, column 17)\n"},
    TextErrorCase{"word too long", "{pair}abcdefghij", "ABC",
                  "zarnoGlotDecode: input word too long: abcdefghij (line 1, column 17)\n"},
    TextErrorCase{"invisible characters named, on their line", "{pair}\r\n\r\n{pair}\n{w9}\xC2\xADq\xCC\x81 {pair}",
                  "ABCABC", "zarnoGlotDecode: unknown word: {w9}<U+00AD>q<U+0301> (line 4, column 1)\n"},
    TextErrorCase{"bytes that are not UTF-8 named", "{pair}ab\xC3" "cd", "ABC",
                  "zarnoGlotDecode: unknown word: ab<0xC3>cd (line 1, column 17)\n"},
    TextErrorCase{"most words unknown, in another vocabulary's shape", "{pair}Xqqq yyyy zqzq. Qxqx wxwx.\n", "ABC",
                  "zarnoGlotDecode: this text was not written with the vocabulary {v} (5 of its 7 words are not in it)\n"},
    TextErrorCase{"most words unknown, ordinary prose", "Hey Zoe, you okay? Fix my xylophone by 5 today.\n", "",
                  "zarnoGlotDecode: this does not look like ZarnoGlot (9 of its 9 words are not in the vocabulary {v})\n"},
    TextErrorCase{"incomplete pair", "{pair}{w7}", "ABC", "zarnoGlotDecode: incomplete 12-bit pair\n"},
    TextErrorCase{"after leftover", "{first D} {pair}", "D", "zarnoGlotDecode: invalid word after leftover byte\n"},
    TextErrorCase{"final leftover sequence", "{first D} {w1}", "D", "zarnoGlotDecode: invalid final leftover sequence\n"},
    TextErrorCase{"second without first", "{pair}{second 0}", "ABC", "zarnoGlotDecode: second leftover byte without first\n"},
    TextErrorCase{"leftover after incomplete block", "{pair}{w1} {first 0}", "ABC",
                  "zarnoGlotDecode: leftover byte after incomplete block\n"},
    TextErrorCase{"separators only", " ,.\n\n0123", "", ""}),
    RowName());

TEST_F(DecodeCli, RoundTripsThroughBothPrograms) {
    std::vector<std::string> mixed = makeTestVocabulary(10);
    mixed[4351] = "q";   // 1-byte words at the leftover ends
    mixed[4607] = "Q";
    std::string mixedPath = joinPath(folder, "mixed.vcb");
    writeFile(mixedPath, vocabularyText(mixed, "\r\n", false));
    std::mt19937 random(3);
    std::vector<std::string> inputs = {"", "\xFF", "\xFF\xFF", "ABC", "ABCD", "ABCDE", std::string(7, '\0')};
    for (std::size_t size : {std::size_t(65535), std::size_t(65537), std::size_t(300000)}) {
        std::string bytes;
        for (std::size_t i = 0; i < size; ++i) bytes += static_cast<char>(random());
        inputs.push_back(bytes);
    }
    for (const std::string& path : {vocabulary, mixedPath}) {
        for (const std::string& input : inputs) {
            ProgramResult text = encode(path, input);
            ASSERT_EQ(text.status, 0) << unixLineEnds(text.err);
            ProgramResult back = decode({path}, text.out);
            ASSERT_EQ(back.status, 0) << unixLineEnds(back.err);
            EXPECT_EQ(back.out, input) << input.size();
        }
    }
}

TEST_F(DecodeCli, ReflowedAndCapitalisedTextDecodesTheSame) {
    // zux has no capital form of its own, Bax and bax are both words.
    words[100] = "zux";
    words[101] = "bax";
    words[102] = "Bax";
    vocabulary = writeVocabularyFile(folder, "v.vcb", words);
    std::string text = "Zux,bax\n\nBax 42 zux";
    ProgramResult result = decode({vocabulary}, text);
    EXPECT_EQ(result.status, 0) << unixLineEnds(result.err);
    EXPECT_EQ(result.out, std::string("\x06\x40\x65\x06\x60\x64", 6));
}

// tests/decode/manglings.txt, which the page's tests read too: a real
// sealed message as mail, phones and keyboards leave it, alone and in
// threads with a short reply.
struct Mangling {
    std::string kind;  // "read", "thread" or "refused"
    std::string name;
    std::string reason;
    std::string expected;  // the bytes of the first message that opens
    std::string text;
};

void PrintTo(const Mangling& row, std::ostream* out) {
    *out << row.name;
}

std::string unescaped(const std::string& text) {
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            bytes += text[i];
            continue;
        }
        char kind = text[++i];
        if (kind == 'x') {
            bytes += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else if (kind == 'u') {
            std::size_t close = text.find('}', i);
            unsigned char encoded[4];
            int length = encodeUtf8Char(static_cast<std::uint32_t>(std::stoul(text.substr(i + 2, close - i - 2), nullptr, 16)),
                                        encoded, UTF8_UP_TO_4_BYTES);
            bytes.append(reinterpret_cast<char*>(encoded), static_cast<std::size_t>(length));
            i = close;
        } else {
            bytes += kind == 'n' ? '\n' : kind == 'r' ? '\r' : kind == 't' ? '\t' : kind;
        }
    }
    return bytes;
}

std::string fromHex(const std::string& hex) {
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return bytes;
}

// What a sealed text opens to, for the texts the way back may meet.
typedef std::map<std::string, std::string> SealedTexts;

struct MangledMessages {
    SealedTexts opens;  // the message's and the reply's sealed bytes, and their plain bytes
    std::vector<Mangling> rows;
};

const MangledMessages& manglings() {
    static MangledMessages table;
    if (!table.rows.empty()) return table;
    std::map<std::string, std::string> bytes;  // plain, sealed, plain2, sealed2
    std::string file = readFile(joinPath(binaryDirectory(), "manglings.txt"));
    for (std::size_t start = 0, end; start < file.size(); start = end + 1) {
        end = file.find('\n', start);
        std::string line = file.substr(start, end - start);
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> fields;
        for (std::size_t at = 0, bar; at <= line.size(); at = bar + 1) {
            bar = line.find('|', at);
            if (bar == std::string::npos) bar = line.size();
            fields.push_back(line.substr(at, bar - at));
        }
        if (fields.size() == 2) {
            bytes[fields[0]] = fromHex(fields[1]);
        } else if (fields[0] == "read" || fields[0] == "thread" || fields[0] == "refused") {
            std::string expected = bytes[fields[0] == "thread" && fields[2] == "2" ? "plain2" : "plain"];
            table.rows.push_back({fields[0], fields[1], fields[0] == "refused" ? fields[2] : "", expected,
                                  unescaped(fields.back())});
        }
    }
    table.opens = {{bytes["sealed"], bytes["plain"]}, {bytes["sealed2"], bytes["plain2"]}};
    return table;
}

// The way back as the editor and the page go it (readingRule.h): the
// decoder's readings in turn while the packer refuses what one reads. The
// packer opens a sealed text of the vocabulary and refuses any other bytes
// (its own tests show that), so here what a reading opens to is looked up
// among the sealed texts the way back may meet; the packer runs only for a
// reading of no bytes, whose refusal is its own ("nothing to read"). The
// bytes, or the refusal they show.
bool readBack(const std::string& text, const SealedTexts& opens, std::string* bytes, std::string* refusal) {
    const std::string vocabulary = joinPath(binaryDirectory(), "sample.vcb");
    refusal->clear();
    for (int reading = 1; reading <= MOST_TRIED_READINGS; ++reading) {
        std::vector<std::string> arguments = {vocabulary};
        if (reading > 1) arguments.insert(arguments.begin(), "-b" + std::to_string(reading));
        ProgramResult decoded = runProgram(programPath("zarnoGlotDecode"), arguments, text);
        if (decoded.status != 0) {
            // Past the last reading: why the text itself does not read, or
            // the packer's refusal of the text when it does.
            if (refusal->empty() || decoded.err.find("no other block") == std::string::npos) {
                *refusal = unixLineEnds(decoded.err);
            }
            return false;
        }
        const SealedTexts::const_iterator opened = opens.find(decoded.out);
        if (opened != opens.end()) {
            *bytes = opened->second;
            return true;
        }
        if (!refusal->empty()) continue;
        if (decoded.out.empty()) {
            *refusal = unixLineEnds(runProgram(programPath("zarnoGlotPack"), {"-d", vocabulary}, "").err);
        } else {
            *refusal = "the packer refuses the " + std::to_string(decoded.out.size()) + " bytes of reading " +
                       std::to_string(reading) + "\n";
        }
    }
    return false;
}

// The two sealed texts of the table are the packer's: they open to their
// plain bytes (one key derivation each; the rows then need none).
TEST(DecodeMangledTexts, SealedBytesOpenToTheirPlainBytes) {
    const std::string vocabulary = joinPath(binaryDirectory(), "sample.vcb");
    ASSERT_EQ(manglings().opens.size(), 2u);
    for (const auto& text : manglings().opens) {
        ProgramResult opened = runProgram(programPath("zarnoGlotPack"), {"-d", vocabulary}, text.first);
        EXPECT_EQ(opened.status, 0) << opened.err;
        EXPECT_TRUE(opened.out == text.second);
    }
}

class DecodeMangledText : public ::testing::TestWithParam<Mangling> {};

TEST_P(DecodeMangledText, ReadsOrSaysWhyNot) {
    const Mangling& row = GetParam();
    std::string bytes, refusal;
    bool read = readBack(row.text, manglings().opens, &bytes, &refusal);
    if (row.kind == "refused") {
        EXPECT_FALSE(read);
        EXPECT_NE(refusal.find(row.reason), std::string::npos) << refusal;
    } else {
        EXPECT_TRUE(read) << refusal;
        EXPECT_TRUE(bytes == row.expected);
    }
}

// A row's name as a test's: its letters and digits, each word capitalised.
std::string caseName(const ::testing::TestParamInfo<Mangling>& info) {
    std::string name;
    bool capital = true;
    for (char c : info.param.name) {
        bool alphanumeric = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!alphanumeric) {
            capital = true;
            continue;
        }
        name += capital && c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
        capital = false;
    }
    return name;
}

INSTANTIATE_TEST_SUITE_P(AsMailAndPhonesLeaveIt, DecodeMangledText, ::testing::ValuesIn(manglings().rows), caseName);

// A mail longer than the decoder reads as a whole (it streams it): the
// lines around the message are left aside all the same. The message is
// random bytes of the shape of a sealed text, which is all the decoder
// looks for: no key derivation.
struct LongMail {
    const char* name;
    const char* before;
    const char* after;
};

void PrintTo(const LongMail& mail, std::ostream* out) {
    *out << mail.name;
}

class DecodeLongMail : public ::testing::TestWithParam<LongMail> {
protected:
    static void SetUpTestSuite() {
        std::mt19937 random(21);
        std::size_t payload = 150000;
        while (paddedLength(payload) != payload) ++payload;
        shaped = new std::string;
        for (std::size_t i = 0; i < SEALED_OVERHEAD_BYTES + payload; ++i) *shaped += static_cast<char>(random());
        (*shaped)[0] = static_cast<char>(ZLIB_FIRST_BYTE ^ 0xFF);
        const std::string vocabulary = joinPath(binaryDirectory(), "sample.vcb");
        text = new std::string(runProgram(programPath("zarnoGlotEncode"), {vocabulary}, *shaped).out);
    }
    static void TearDownTestSuite() {
        delete shaped;
        delete text;
    }
    static std::string* shaped;
    static std::string* text;
};

std::string* DecodeLongMail::shaped;
std::string* DecodeLongMail::text;

TEST_P(DecodeLongMail, ReadsTheMessageAmongItsLines) {
    ASSERT_GT(text->size(), WHOLE_TEXT_BYTES);
    std::string bytes, refusal;
    EXPECT_TRUE(readBack(GetParam().before + *text + GetParam().after, {{*shaped, *shaped}}, &bytes, &refusal))
        << refusal;
    EXPECT_TRUE(bytes == *shaped);
}

INSTANTIATE_TEST_SUITE_P(LongerThanAWholeText, DecodeLongMail, ::testing::Values(
    LongMail{"AGreetingAndASignature", "Hi Anna,\n\n", "\nCheers,\nAnna\n-- \nAnna Smith, 555-1234\n"},
    LongMail{"ASignOffOfVocabularyWords", "", "\nStab things,\nBob\n"},
    LongMail{"AQuotedMessageBelowAReply", "Thanks!\n\nOn Mon, 3 Mar 2025, Anna wrote:\n", ""}),
    [](const ::testing::TestParamInfo<LongMail>& info) { return std::string(info.param.name); });

// A text of exactly 256 KiB is still read as a whole, its blocks
// searched: a message pasted twice, whose leftover words make the whole
// unreadable, opens as its first copy. A byte more and it is streamed,
// whose reading stops where the second copy begins.
TEST(DecodeWholeText, UpToItsLastByte) {
    std::mt19937 random(23);
    std::size_t payload = 24000;
    while (paddedLength(payload) != payload) ++payload;
    std::string shaped(SEALED_OVERHEAD_BYTES + payload, '\0');
    ASSERT_NE(shaped.size() % 3, 0u);  // leftover words end each copy
    for (char& byte : shaped) byte = static_cast<char>(random());
    shaped[0] = static_cast<char>(ZLIB_FIRST_BYTE ^ 0xFF);
    const std::string vocabulary = joinPath(binaryDirectory(), "sample.vcb");
    const std::string message = runProgram(programPath("zarnoGlotEncode"), {vocabulary}, shaped).out;
    // 256 KiB, as the user guide and the man page say.
    const std::size_t wholeText = 256 * 1024;
    std::string twice = message + "\n\n" + message;
    ASSERT_LE(twice.size(), wholeText);
    twice.resize(wholeText, ' ');
    ProgramResult whole = runProgram(programPath("zarnoGlotDecode"), {vocabulary}, twice);
    EXPECT_EQ(whole.status, 0) << whole.err;
    EXPECT_TRUE(whole.out == shaped);
    ProgramResult streamed = runProgram(programPath("zarnoGlotDecode"), {vocabulary}, twice + " ");
    EXPECT_EQ(streamed.status, 1);
    EXPECT_EQ(unixLineEnds(streamed.err), "zarnoGlotDecode: invalid word after leftover byte\n");
}

#ifndef _WIN32
TEST_F(DecodeCli, ReportsWriteAndReadErrors) {
    std::string input = joinPath(folder, "input");
    writeFile(input, words[0x414] + " " + words[0x243]);
    ProgramResult full = runProgramWithFiles(programPath("zarnoGlotDecode"), {vocabulary}, input, "/dev/full");
    EXPECT_EQ(full.status, 1);
    EXPECT_EQ(unixLineEnds(full.err), "zarnoGlotDecode: write error\n");

    std::string output = joinPath(folder, "output");
    ProgramResult unreadable = runProgramWithFiles(programPath("zarnoGlotDecode"), {vocabulary}, folder, output);
    EXPECT_EQ(unreadable.status, 1);
    EXPECT_EQ(unixLineEnds(unreadable.err), "zarnoGlotDecode: input read error\n");
}
#endif

}  // namespace
