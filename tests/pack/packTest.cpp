#include "packCore.h"
#include "programCases.h"
#include "sealing.h"
#include "testVocabulary.h"
#include "vocabularyBlob.h"
#include "testSupport.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

static std::string randomBytes(size_t count, unsigned seed) {
    std::mt19937 generator(seed);
    std::string bytes(count, '\0');
    for (char& byte : bytes) byte = static_cast<char>(generator() & 0xFF);
    return bytes;
}

static std::string compressibleBytes(size_t count) {
    std::string bytes;
    while (bytes.size() < count) bytes += "Dear friend,\r\nthe weather is fine. ";
    bytes.resize(count);
    return bytes;
}

// Letters and blanks in random order: ordinary text's share of redundancy.
static std::string proseLikeBytes(size_t count) {
    std::string bytes = randomBytes(count, 11);
    for (char& byte : bytes) {
        unsigned value = static_cast<unsigned char>(byte) % 32;
        byte = value < 26 ? static_cast<char>('a' + value) : (value < 31 ? ' ' : '\n');
    }
    return bytes;
}

static std::string allByteValues() {
    std::string bytes;
    for (int value = 0; value < 256; ++value) bytes += static_cast<char>(value);
    return bytes;
}

static std::string pack(const std::string& plain) {
    ByteBlock packed;
    EXPECT_EQ(packBytes(reinterpret_cast<const unsigned char*>(plain.data()), plain.size(), &packed), PACK_OK);
    std::string bytes(reinterpret_cast<char*>(packed.data), packed.length);
    freeByteBlock(&packed);
    return bytes;
}

static PackStatus unpack(const std::string& packed, std::string* plain) {
    ByteBlock block;
    PackStatus status = unpackBytes(reinterpret_cast<const unsigned char*>(packed.data()),
                                    packed.size(), &block, nullptr);
    if (status == PACK_OK) plain->assign(reinterpret_cast<char*>(block.data), block.length);
    freeByteBlock(&block);
    return status;
}

// zlib's own one-shot decoder, as an independent reader of the format.
static std::string uncompressWithZlib(const std::string& packed, size_t plainLength) {
    std::vector<Bytef> plain(plainLength + 1);
    uLongf length = static_cast<uLongf>(plain.size());
    int code = uncompress(plain.data(), &length, reinterpret_cast<const Bytef*>(packed.data()),
                          static_cast<uLong>(packed.size()));
    EXPECT_EQ(code, Z_OK);
    return std::string(reinterpret_cast<char*>(plain.data()), length);
}

struct RoundTripCase {
    const char* name;
    std::string plain;
};

static std::vector<RoundTripCase> roundTripCases() {
    return {
        {"empty", ""},
        {"one byte", "x"},
        {"every byte value with CR LF and 0x1A", allByteValues() + "\r\n\x1a\r\n"},
        {"1 MB random", randomBytes(1 << 20, 7)},
        {"1 MB prose-like", proseLikeBytes(1 << 20)},
    };
}

TEST(PackBytes, RoundTripsInTheZlibFormatAtBestCompression) {
    for (const RoundTripCase& test : roundTripCases()) {
        SCOPED_TRACE(test.name);
        std::string packed = pack(test.plain);
        ASSERT_GE(packed.size(), 8u);  // 2 header bytes, data, 4 check bytes
        EXPECT_EQ(packed[0], '\x78');
        EXPECT_EQ(packed[1], '\xDA');  // header flags of compression level 9
        EXPECT_EQ(uncompressWithZlib(packed, test.plain.size()), test.plain);
        std::string back;
        EXPECT_EQ(unpack(packed, &back), PACK_OK);
        EXPECT_EQ(back, test.plain);
    }
}

TEST(PackBytes, ShrinksTextButNeverMoreThanUnpackingMayGrow) {
    std::string prose = proseLikeBytes(1 << 20);
    EXPECT_LT(pack(prose).size(), prose.size() * 3 / 4);

    // Long repeats would deflate a thousandfold; they are stored instead, so
    // "-d" never writes more than MAX_UNPACK_EXPANSION times its input.
    for (const std::string& repetitive :
         {compressibleBytes(1 << 20), std::string(1 << 20, 'y'), std::string(100, '\n')}) {
        std::string packed = pack(repetitive);
        EXPECT_GE(packed.size() * MAX_UNPACK_EXPANSION, repetitive.size());
        EXPECT_EQ(packed[0], '\x78');
        EXPECT_EQ(uncompressWithZlib(packed, repetitive.size()), repetitive);
        std::string back;
        EXPECT_EQ(unpack(packed, &back), PACK_OK);
        EXPECT_EQ(back, repetitive);
    }
}

struct RefusalCase {
    const char* name;
    std::string packed;
    PackStatus expected;
};

static std::vector<RefusalCase> refusalCases() {
    std::string good = pack(compressibleBytes(5000));
    std::string badCheck = good;
    badCheck[badCheck.size() - 1] ^= 0x01;
    std::string badBody = good;
    badBody[good.size() / 2] ^= 0x55;
    // zlib's own packing of 1 MiB of zeros: about 1 KB that unpacks a thousandfold.
    std::vector<Bytef> bomb(compressBound(1 << 20));
    uLongf bombLength = static_cast<uLongf>(bomb.size());
    EXPECT_EQ(compress2(bomb.data(), &bombLength, std::vector<Bytef>(1 << 20).data(), 1 << 20, 9), Z_OK);
    return {
        {"empty input", "", PACK_TRUNCATED},
        {"garbage", "this is not packed at all", PACK_DAMAGED},
        {"header only", good.substr(0, 2), PACK_TRUNCATED},
        {"check missing", good.substr(0, good.size() - 4), PACK_TRUNCATED},
        {"last byte missing", good.substr(0, good.size() - 1), PACK_TRUNCATED},
        {"trailing byte", good + "\n", PACK_TRAILING_DATA},
        {"second stream behind", good + good, PACK_TRAILING_DATA},
        {"corrupted check", badCheck, PACK_DAMAGED},
        {"corrupted body", badBody, PACK_DAMAGED},
        {"unpacks to over 8 times its size plus 1 KiB", std::string(bomb.begin(), bomb.begin() + bombLength),
         PACK_TOO_LARGE},
    };
}

// The bound is exact: a stream that unpacks to 8 times its length plus
// 1 KiB is read, one that unpacks to a byte more is refused.
TEST(UnpackBytes, BoundHoldsToTheByte) {
    EXPECT_EQ(maxUnpackedBytes(0), 1024u);
    EXPECT_EQ(maxUnpackedBytes(100), 1824u);
    EXPECT_EQ(maxUnpackedBytes(SIZE_MAX), SIZE_MAX - 1);
    for (size_t beyond : {0u, 1u}) {
        SCOPED_TRACE(beyond);
        std::string packed;
        size_t plainLength = 1024;
        // Runs of zeros pack to a few bytes per 258: some length lands on the bound.
        for (; plainLength < 20000; plainLength++) {
            std::vector<Bytef> stream(compressBound(static_cast<uLong>(plainLength)));
            uLongf length = static_cast<uLongf>(stream.size());
            compress2(stream.data(), &length, std::vector<Bytef>(plainLength).data(), static_cast<uLong>(plainLength), 9);
            if (plainLength == maxUnpackedBytes(length) + beyond) {
                packed.assign(stream.begin(), stream.begin() + static_cast<std::ptrdiff_t>(length));
                break;
            }
        }
        ASSERT_FALSE(packed.empty());
        std::string plain;
        EXPECT_EQ(unpack(packed, &plain), beyond == 0 ? PACK_OK : PACK_TOO_LARGE);
        EXPECT_EQ(plain.size(), beyond == 0 ? plainLength : 0u);
    }
}

TEST(UnpackBytes, RefusesDamagedTruncatedAndTrailingData) {
    for (const RefusalCase& test : refusalCases()) {
        SCOPED_TRACE(test.name);
        std::string plain;
        EXPECT_EQ(unpack(test.packed, &plain), test.expected);
    }
}

namespace {

struct ArgumentsCase {
    const char* name;
    std::vector<std::string> arguments;
    PackMode expected;
    const char* vocabulary;
    bool readsUnsealed;
};

void PrintTo(const ArgumentsCase& row, std::ostream* out) {
    *out << row.name;
}

class ParsePackArguments : public testing::TestWithParam<ArgumentsCase> {};

TEST_P(ParsePackArguments, MinusDThenMinusUThenAVocabulary) {
    const ArgumentsCase& row = GetParam();
    std::vector<char*> pointers;
    for (const std::string& argument : row.arguments) pointers.push_back(const_cast<char*>(argument.c_str()));
    PackCommand command = parsePackArguments(static_cast<int>(pointers.size()), pointers.data());
    EXPECT_EQ(command.mode, row.expected);
    EXPECT_EQ(std::string(command.vocabulary ? command.vocabulary : "(null)"),
              std::string(row.vocabulary ? row.vocabulary : "(null)"));
    EXPECT_EQ(command.readsUnsealed, row.readsUnsealed);
}

INSTANTIATE_TEST_SUITE_P(Rows, ParsePackArguments, testing::Values(
    ArgumentsCase{"none", {}, PACK_MODE_PACK, nullptr, false},
    ArgumentsCase{"d", {"-d"}, PACK_MODE_UNPACK, nullptr, false},
    ArgumentsCase{"vocabulary", {"v.vcb"}, PACK_MODE_PACK, "v.vcb", false},
    ArgumentsCase{"d vocabulary", {"-d", "v.vcb"}, PACK_MODE_UNPACK, "v.vcb", false},
    ArgumentsCase{"D is a name", {"-D"}, PACK_MODE_PACK, "-D", false},
    ArgumentsCase{"d d names d", {"-d", "-d"}, PACK_MODE_UNPACK, "-d", false},
    ArgumentsCase{"empty name", {""}, PACK_MODE_PACK, "", false},
    ArgumentsCase{"h", {"-h"}, PACK_MODE_USAGE, nullptr, false},
    ArgumentsCase{"d h", {"-d", "-h"}, PACK_MODE_USAGE, nullptr, false},
    ArgumentsCase{"vocabulary before d", {"v.vcb", "-d"}, PACK_MODE_USAGE, nullptr, false},
    ArgumentsCase{"d two names", {"-d", "a", "b"}, PACK_MODE_USAGE, nullptr, false},
    ArgumentsCase{"two names", {"a", "b"}, PACK_MODE_USAGE, nullptr, false},
    ArgumentsCase{"d u", {"-d", "-u"}, PACK_MODE_UNPACK, nullptr, true},
    ArgumentsCase{"d u vocabulary", {"-d", "-u", "v.vcb"}, PACK_MODE_UNPACK, "v.vcb", true},
    ArgumentsCase{"u without d is a name", {"-u"}, PACK_MODE_PACK, "-u", false},
    ArgumentsCase{"u before d", {"-u", "-d"}, PACK_MODE_USAGE, nullptr, false},
    ArgumentsCase{"d u u names u", {"-d", "-u", "-u"}, PACK_MODE_UNPACK, "-u", true},
    ArgumentsCase{"u after the vocabulary", {"-d", "v.vcb", "-u"}, PACK_MODE_USAGE, nullptr, false},
    ArgumentsCase{"d u h", {"-d", "-u", "-h"}, PACK_MODE_USAGE, nullptr, false}),
    RowName());

}  // namespace

TEST(SealedText, PaddedLengthRoundsUpToFewerSignificantBits) {
    const struct { size_t length, padded; } cases[] = {
        {0, 0}, {1, 1}, {2, 2}, {7, 7}, {8, 8}, {9, 10}, {11, 12}, {100, 104}, {1000, 1024},
        {1024, 1024}, {1025, 1088}, {65536, 65536}, {65537, 67584}, {1000000, 1015808},
    };
    for (const auto& test : cases) EXPECT_EQ(paddedLength(test.length), test.padded) << test.length;
}

static std::string fromHex(const std::string& hex) {
    std::string bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return bytes;
}

static const unsigned char* bytesOf(const std::string& text) {
    return reinterpret_cast<const unsigned char*>(text.data());
}

// The canonical bytes of a vocabulary file, as the packer derives its key.
static std::string canonicalOf(const std::string& path) {
    static VocabularyBlob vocabulary;
    EXPECT_TRUE(loadVocabulary(path.c_str(), &vocabulary, stderr, PACKER_NAME)) << path;
    std::string canonical(static_cast<size_t>(vocabulary.blobSize), '\0');
    canonicalVocabulary(vocabulary, reinterpret_cast<unsigned char*>(&canonical[0]));
    freeVocabulary(&vocabulary);
    return canonical;
}

struct SealedVector {
    std::string name, salt, plain, sealed, packed;
};

// tests/pack/sealedVectors.txt, which the page's tests read too.
static std::vector<SealedVector> sealedVectors() {
    std::vector<SealedVector> vectors;
    std::string text = readFile(joinPath(binaryDirectory(), "sealedVectors.txt"));
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        std::string line = text.substr(start, end - start);
        start = end == std::string::npos ? text.size() : end + 1;
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> fields;
        for (size_t at = 0; at != std::string::npos;) {
            size_t bar = line.find('|', at);
            fields.push_back(line.substr(at, bar == std::string::npos ? bar : bar - at));
            at = bar == std::string::npos ? bar : bar + 1;
        }
        EXPECT_EQ(fields.size(), 6u) << line;
        if (fields.size() == 6) {
            vectors.push_back({fields[0], fromHex(fields[2]), fromHex(fields[3]), fromHex(fields[4]), fromHex(fields[5])});
        }
    }
    EXPECT_GE(vectors.size(), 3u);
    return vectors;
}

TEST(SealedText, TestVectorsSealAndOpenByteForByte) {
    std::string folder = makeTempDirectory();
    std::string canonical = canonicalOf(joinPath(binaryDirectory(), "sample.vcb"));
    // A CR LF copy of the vocabulary is the same key.
    std::string crLf;
    for (char c : readFile(joinPath(binaryDirectory(), "sample.vcb"))) crLf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    std::string crLfPath = joinPath(folder, "crlf.vcb");
    writeFile(crLfPath, crLf);
    EXPECT_TRUE(canonicalOf(crLfPath) == canonical);
    for (const SealedVector& vector : sealedVectors()) {
        SCOPED_TRACE(vector.name);
        ByteBlock sealed;
        ASSERT_EQ(sealWithSalt(bytesOf(canonical), canonical.size(), bytesOf(vector.salt), bytesOf(vector.packed),
                               vector.packed.size(), &sealed), PACK_OK);
        EXPECT_TRUE(std::string(reinterpret_cast<char*>(sealed.data), sealed.length) == vector.sealed);
        freeByteBlock(&sealed);
        ByteBlock plain;
        ASSERT_EQ(openSealed(bytesOf(canonical), canonical.size(), bytesOf(vector.sealed), vector.sealed.size(),
                             &plain), PACK_OK);
        EXPECT_TRUE(std::string(reinterpret_cast<char*>(plain.data), plain.length) == vector.plain);
        freeByteBlock(&plain);
    }
    removeTree(folder);
}

// --- The real program ---

static size_t lineCount(const std::string& text) {
    size_t lines = 0;
    for (char c : text) lines += c == '\n';
    return lines;
}

TEST(ZarnoGlotPackProgram, RoundTripsThroughTheRealProgram) {
    const std::string program = programPath("zarnoGlotPack");
    for (const RoundTripCase& test : roundTripCases()) {
        SCOPED_TRACE(test.name);
        ProgramResult packed = runProgram(program, {}, test.plain);
        ASSERT_EQ(packed.status, 0) << packed.err;
        EXPECT_EQ(packed.err, "");
        EXPECT_EQ(packed.out, pack(test.plain));
        ProgramResult back = runProgram(program, {"-d"}, packed.out);
        ASSERT_EQ(back.status, 0) << back.err;
        EXPECT_EQ(back.err, "");
        EXPECT_EQ(back.out, test.plain);
    }
}

TEST(ZarnoGlotPackProgram, RefusalsWriteNothingAndOneLineOnStandardError) {
    const std::string program = programPath("zarnoGlotPack");
    for (const RefusalCase& test : refusalCases()) {
        SCOPED_TRACE(test.name);
        ProgramResult result = runProgram(program, {"-d"}, test.packed);
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err.rfind("zarnoGlotPack: ", 0), 0u) << result.err;
        EXPECT_EQ(lineCount(result.err), 1u) << result.err;
        if (test.packed.empty()) {
            EXPECT_EQ(result.err, platformLineEnds("zarnoGlotPack: nothing to read: the input is empty\n"));
        }
    }
}

TEST(ZarnoGlotPackProgram, UsageForAnyOtherCommandLine) {
    const std::string program = programPath("zarnoGlotPack");
    const std::vector<std::vector<std::string>> commandLines = {
        {"-h"}, {"-d", "-h"}, {"-h", "-d"}, {"a.vcb", "b.vcb"}, {"-d", "a.vcb", "b.vcb"}, {"a.vcb", "-d"},
        {"-u", "-d"}, {"-d", "a.vcb", "-u"},
    };
    for (const std::vector<std::string>& arguments : commandLines) {
        SCOPED_TRACE(arguments[0]);
        ProgramResult result = runProgram(program, arguments, "some input");
        EXPECT_EQ(result.status, -1);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err.rfind("zarnoGlotPack (version: 26.343) ", 0), 0u) << result.err;
        EXPECT_EQ(lineCount(result.err), 6u) << result.err;
    }
}

TEST(ZarnoGlotPackProgram, SealsWithAVocabularyAndOpensSealedAndOldTexts) {
    const std::string program = programPath("zarnoGlotPack");
    const std::string vocabulary = joinPath(binaryDirectory(), "sample.vcb");
    std::vector<RoundTripCase> cases = roundTripCases();
    cases.push_back({"stored: 1 MB of one repeated line", compressibleBytes(1 << 20)});
    for (const RoundTripCase& test : cases) {
        SCOPED_TRACE(test.name);
        ProgramResult sealed = runProgram(program, {vocabulary}, test.plain);
        ASSERT_EQ(sealed.status, 0) << sealed.err;
        EXPECT_EQ(sealed.out.size(), SEALED_OVERHEAD_BYTES + paddedLength(pack(test.plain).size()));
        EXPECT_NE(sealed.out[0], '\x78');
        ProgramResult back = runProgram(program, {"-d", vocabulary}, sealed.out);
        ASSERT_EQ(back.status, 0) << back.err;
        EXPECT_EQ(back.err, "");
        EXPECT_TRUE(back.out == test.plain);
        // Unsealed texts (every text of an earlier version) read without
        // the vocabulary, and with it only on request.
        EXPECT_TRUE(runProgram(program, {"-d"}, pack(test.plain)).out == test.plain);
        EXPECT_TRUE(runProgram(program, {"-d", "-u", vocabulary}, pack(test.plain)).out == test.plain);
    }
    // A fresh salt every time: two sealings of one text share nothing.
    ProgramResult first = runProgram(program, {vocabulary}, "x");
    ProgramResult second = runProgram(program, {vocabulary}, "x");
    EXPECT_NE(first.out.substr(0, SALT_BYTES), second.out.substr(0, SALT_BYTES));
}

namespace {

// A row of the refusals: the input made from a sealed vector's bytes, the
// options before the vocabulary, which vocabulary, and the one line.
enum NamedVocabulary { NO_VOCABULARY, SAMPLE_VOCABULARY, OTHER_VOCABULARY, MISSING_VOCABULARY };

struct OpenCase {
    const char* name;
    std::vector<std::string> options;
    NamedVocabulary vocabulary;
    std::function<std::string(const std::string& sealed)> input;
    std::string err;  // with "\n" line ends
    std::string out;
    int status;
};

void PrintTo(const OpenCase& row, std::ostream* out) {
    *out << row.name;
}

std::function<std::string(const std::string&)> flipped(size_t at) {
    return [at](const std::string& sealed) {
        std::string bytes = sealed;
        bytes[at] ^= 0x04;
        return bytes;
    };
}

std::string asItIs(const std::string& sealed) {
    return sealed;
}

// An unsealed text as every earlier version wrote it.
std::string unsealedHello(const std::string&) {
    return pack("hello");
}

const std::string NEEDS = "zarnoGlotPack: the text is sealed: name its vocabulary to read it (zarnoGlotPack -d vocabulary)\n";
const std::string ANOTHER = "zarnoGlotPack: the text was sealed with another vocabulary\n";
const std::string ALTERED = "zarnoGlotPack: the text is damaged or was altered\n";
const std::string NOT_SEALED = "zarnoGlotPack: the text is not sealed: anyone who knows the vocabulary's words could "
                               "have written it (zarnoGlotPack -d -u vocabulary reads it)\n";

class PackRefusals : public testing::TestWithParam<OpenCase> {
protected:
    static void SetUpTestSuite() {
        folder = makeTempDirectory();
        other = writeVocabularyFile(folder, "other.vcb", makeTestVocabulary(1));
    }
    static void TearDownTestSuite() { removeTree(folder); }

    static std::string vocabularyPath(NamedVocabulary vocabulary) {
        if (vocabulary == SAMPLE_VOCABULARY) return joinPath(binaryDirectory(), "sample.vcb");
        if (vocabulary == OTHER_VOCABULARY) return other;
        return joinPath(folder, "absent.vcb");
    }

    static std::string folder;
    static std::string other;
};

std::string PackRefusals::folder;
std::string PackRefusals::other;

TEST_P(PackRefusals, OneLineAndNothingWrittenUnlessTheTextCanBeVouchedFor) {
    const OpenCase& row = GetParam();
    std::vector<std::string> arguments = row.options;
    std::string err = row.err;
    if (row.vocabulary != NO_VOCABULARY) {
        const std::string path = vocabularyPath(row.vocabulary);
        arguments.push_back(path);
        if (row.vocabulary == MISSING_VOCABULARY) err = "zarnoGlotPack: cannot open vocabulary \"" + path + "\"\n";
    }
    const std::string sealed = sealedVectors()[1].sealed;  // "hello"
    expectProgramCase(programPath("zarnoGlotPack"),
                      ProgramCase{row.name, arguments, row.input(sealed), row.out, err, row.status});
}

INSTANTIATE_TEST_SUITE_P(Rows, PackRefusals, testing::Values(
    OpenCase{"sealed text without its vocabulary", {"-d"}, NO_VOCABULARY, asItIs, NEEDS, "", 1},
    OpenCase{"another vocabulary", {"-d"}, OTHER_VOCABULARY, asItIs, ANOTHER, "", 1},
    // A damaged salt or check gives another key: it reads as another vocabulary.
    OpenCase{"bit flipped in the salt", {"-d"}, SAMPLE_VOCABULARY, flipped(3), ANOTHER, "", 1},
    OpenCase{"bit flipped in the check", {"-d"}, SAMPLE_VOCABULARY, flipped(SALT_BYTES), ANOTHER, "", 1},
    OpenCase{"bit flipped in the ciphertext", {"-d"}, SAMPLE_VOCABULARY, flipped(SALT_BYTES + CHECK_BYTES + 1),
             ALTERED, "", 1},
    OpenCase{"bit flipped in the tag", {"-d"}, SAMPLE_VOCABULARY,
             [](const std::string& s) { return flipped(s.size() - 1)(s); }, ALTERED, "", 1},
    OpenCase{"last byte cut", {"-d"}, SAMPLE_VOCABULARY, [](const std::string& s) { return s.substr(0, s.size() - 1); },
             ALTERED, "", 1},
    OpenCase{"shorter than salt, check and tag", {"-d"}, SAMPLE_VOCABULARY,
             [](const std::string& s) { return s.substr(0, 33); }, ALTERED, "", 1},
    OpenCase{"missing vocabulary", {"-d"}, MISSING_VOCABULARY, asItIs, "", "", 1},
    // Anyone who learnt the vocabulary's words could have written an unsealed text.
    OpenCase{"unsealed text with a vocabulary", {"-d"}, SAMPLE_VOCABULARY, unsealedHello, NOT_SEALED, "", 1},
    OpenCase{"unsealed text with another vocabulary", {"-d"}, OTHER_VOCABULARY, unsealedHello, NOT_SEALED, "", 1},
    OpenCase{"unsealed text with u", {"-d", "-u"}, SAMPLE_VOCABULARY, unsealedHello, "", "hello", 0},
    OpenCase{"unsealed text without a vocabulary", {"-d"}, NO_VOCABULARY, unsealedHello, "", "hello", 0},
    OpenCase{"damaged unsealed text says so", {"-d"}, SAMPLE_VOCABULARY,
             [](const std::string&) { return pack("hello").substr(0, 9); }, "zarnoGlotPack: truncated packed data\n",
             "", 1},
    OpenCase{"sealed text with u", {"-d", "-u"}, SAMPLE_VOCABULARY, asItIs, "", "hello", 0}),
    RowName());

}  // namespace

TEST(ZarnoGlotPackProgram, RefusesAVocabularyTheEncoderRefuses) {
    std::string folder = makeTempDirectory();
    std::vector<std::string> shortWords = makeTestVocabulary(2);
    shortWords.pop_back();
    expectVocabularyRefusals(programPath("zarnoGlotPack"), folder, "text", {
        {"4607 words", vocabularyText(shortWords, "\n", true), "zarnoGlotPack: vocabulary has 4607 entries; 4608 required\n"},
    });
    removeTree(folder);
}
