// zarnoGlotPack's packing and unpacking, its command line and its
// refusals of unsealed texts, through its library and the real program
// (sealed texts: sealingTest.cpp).
#include "packCore.h"
#include "packedBytes.h"
#include "programCases.h"
#include "testSupport.h"
#include "testVocabulary.h"
#include "vocabularyBlob.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <string>
#include <vector>

class PackRoundTrip : public testing::TestWithParam<RoundTripCase> {};

TEST_P(PackRoundTrip, InTheZlibFormatThatZlibReadsAndTheWayBackReads) {
    const std::string plain = GetParam().make();
    std::string packed = pack(plain);
    ASSERT_GE(packed.size(), 8u);  // 2 header bytes, data, 4 check bytes
    EXPECT_EQ(packed[0], '\x78');
    // Header flags of compression level 9, or of stored blocks.
    EXPECT_EQ(packed[1], storesUncompressed(plain.size(), deflatedWithZlib(plain).size()) ? '\x01' : '\xDA');
    EXPECT_TRUE(uncompressWithZlib(packed, plain.size()) == plain);
    std::string back;
    EXPECT_EQ(unpack(packed, &back), PACK_OK);
    EXPECT_TRUE(back == plain);
}

// The real program writes the same stream and reads it back; an unsealed
// text (every text of an earlier version) reads without a vocabulary, and
// with one only on request.
TEST_P(PackRoundTrip, ThroughTheRealProgramWithoutAVocabularyOrWithMinusU) {
    const std::string program = programPath("zarnoGlotPack");
    const std::string vocabulary = joinPath(binaryDirectory(), "sample.vcb");
    const std::string plain = GetParam().make();
    ProgramResult packed = runProgram(program, {}, plain);
    ASSERT_EQ(packed.status, 0) << packed.err;
    EXPECT_EQ(packed.err, "");
    EXPECT_TRUE(packed.out == pack(plain));
    ProgramResult back = runProgram(program, {"-d"}, packed.out);
    ASSERT_EQ(back.status, 0) << back.err;
    EXPECT_EQ(back.err, "");
    EXPECT_TRUE(back.out == plain);
    EXPECT_TRUE(runProgram(program, {"-d", "-u", vocabulary}, packed.out).out == plain);
}

INSTANTIATE_TEST_SUITE_P(Rows, PackRoundTrip, testing::ValuesIn(roundTrips()), RowName());

TEST(PackBytes, ShrinksTextButNeverMoreThanUnpackingMayGrow) {
    std::string prose = proseLikeBytes(1 << 20);
    EXPECT_LT(pack(prose).size(), prose.size() * 3 / 4);

    // Long repeats would deflate a thousandfold; they are stored instead, so
    // "-d" never writes more than seven times its input.
    for (const std::string& repetitive :
         {compressibleBytes(1 << 20), std::string(1 << 20, 'y'), std::string(100, '\n')}) {
        std::string packed = pack(repetitive);
        EXPECT_GE(packed.size() * 7, repetitive.size());
        EXPECT_EQ(packed[0], '\x78');
        EXPECT_EQ(uncompressWithZlib(packed, repetitive.size()), repetitive);
    }
}

// Stored exactly when deflate would shrink the text more than sevenfold.
TEST(PackBytes, StoresWhatWouldShrinkMoreThanSevenfold) {
    EXPECT_TRUE(storesUncompressed(7000, 999));
    EXPECT_FALSE(storesUncompressed(7000, 1000));
    EXPECT_FALSE(storesUncompressed(6999, 999));
    EXPECT_FALSE(storesUncompressed(0, 8));
}

struct RefusalCase {
    const char* name;
    std::string (*packed)();
    PackStatus expected;
};

static void PrintTo(const RefusalCase& row, std::ostream* out) {
    *out << row.name;
}

// A stream of 5000 bytes, and the same with one byte changed.
static std::string goodStream() {
    return pack(compressibleBytes(5000));
}

static std::string changedAt(size_t fromEnd, unsigned char bits) {
    std::string bytes = goodStream();
    bytes[bytes.size() - fromEnd] ^= static_cast<char>(bits);
    return bytes;
}

static const std::vector<RefusalCase> REFUSALS = {
    {"empty input", [] { return std::string(); }, PACK_TRUNCATED},
    {"garbage", [] { return std::string("x marks no packed data"); }, PACK_DAMAGED},  // 0x78 first: not sealed
    {"header only", [] { return goodStream().substr(0, 2); }, PACK_TRUNCATED},
    {"check missing", [] { return goodStream().substr(0, goodStream().size() - 4); }, PACK_TRUNCATED},
    {"last byte missing", [] { return goodStream().substr(0, goodStream().size() - 1); }, PACK_TRUNCATED},
    {"trailing byte", [] { return goodStream() + "\n"; }, PACK_TRAILING_DATA},
    {"second stream behind", [] { return goodStream() + goodStream(); }, PACK_TRAILING_DATA},
    {"corrupted check", [] { return changedAt(1, 0x01); }, PACK_DAMAGED},
    {"corrupted body", [] { return changedAt(goodStream().size() / 2, 0x55); }, PACK_DAMAGED},
    {"unpacks to over 8 times its size plus 1 KiB", zlibBomb, PACK_TOO_LARGE},
};

class UnpackRefusals : public testing::TestWithParam<RefusalCase> {};

TEST_P(UnpackRefusals, DamagedTruncatedTrailingAndTooLarge) {
    std::string plain;
    EXPECT_EQ(unpack(GetParam().packed(), &plain), GetParam().expected);
}

// The program: one line, nothing written (an empty input is a text that held
// no words, which it says).
TEST_P(UnpackRefusals, WriteNothingAndOneLineThroughTheRealProgram) {
    const RefusalCase& row = GetParam();
    const std::string packed = row.packed();
    ProgramResult result = runProgram(programPath("zarnoGlotPack"), {"-d"}, packed);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    const PackStatus shown = packed.empty() ? PACK_NOTHING_TO_READ : row.expected;
    const std::string line = unixLineEnds(result.err);
    EXPECT_EQ(line.rfind(std::string("zarnoGlotPack: ") + packStatusText(shown), 0), 0u) << line;
    EXPECT_EQ(std::count(line.begin(), line.end(), '\n'), 1) << line;
}

INSTANTIATE_TEST_SUITE_P(Rows, UnpackRefusals, testing::ValuesIn(REFUSALS), RowName());

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
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 6) << result.err;
    }
}

TEST(ZarnoGlotPackProgram, RefusesAVocabularyTheEncoderRefuses) {
    std::string folder = makeTempDirectory();
    std::vector<std::string> shortWords = makeTestVocabulary(2);
    shortWords.pop_back();
    expectVocabularyRefusals(programPath("zarnoGlotPack"), folder, "text", {
        {"4607 words", vocabularyText(shortWords, "\n", true), "zarnoGlotPack: vocabulary has 4607 entries; 4608 required\n"},
    });
    removeTree(folder);
}
