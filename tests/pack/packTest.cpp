#include "packCore.h"
#include "testSupport.h"

#include <gtest/gtest.h>
#include <zlib.h>

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

TEST(UnpackBytes, RefusesDamagedTruncatedAndTrailingData) {
    for (const RefusalCase& test : refusalCases()) {
        SCOPED_TRACE(test.name);
        std::string plain;
        EXPECT_EQ(unpack(test.packed, &plain), test.expected);
    }
}

TEST(ParsePackArguments, OnlyNothingOrMinusDAreAccepted) {
    struct Case {
        std::vector<std::string> arguments;
        PackMode expected;
    } cases[] = {
        {{}, PACK_MODE_PACK}, {{"-d"}, PACK_MODE_UNPACK}, {{"-h"}, PACK_MODE_USAGE}, {{"-D"}, PACK_MODE_USAGE},
        {{"d"}, PACK_MODE_USAGE}, {{""}, PACK_MODE_USAGE}, {{"-d", "-d"}, PACK_MODE_USAGE},
        {{"-d", "x"}, PACK_MODE_USAGE}, {{"-dd"}, PACK_MODE_USAGE},
    };
    for (const Case& test : cases) {
        std::vector<char*> pointers;
        for (const std::string& argument : test.arguments) pointers.push_back(const_cast<char*>(argument.c_str()));
        EXPECT_EQ(parsePackArguments(static_cast<int>(pointers.size()), pointers.data()), test.expected)
            << (test.arguments.empty() ? "(none)" : test.arguments[0]);
    }
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
    }
}

TEST(ZarnoGlotPackProgram, UsageForAnyOtherCommandLine) {
    const std::string program = programPath("zarnoGlotPack");
    const std::vector<std::vector<std::string>> commandLines = {
        {"-h"}, {"-x"}, {"-D"}, {""}, {"-d", "-d"}, {"-h", "-d"}, {"file"},
    };
    for (const std::vector<std::string>& arguments : commandLines) {
        SCOPED_TRACE(arguments[0]);
        ProgramResult result = runProgram(program, arguments, "some input");
        EXPECT_EQ(result.status, -1);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err.rfind("zarnoGlotPack (version: 26.260) ", 0), 0u) << result.err;
        EXPECT_EQ(lineCount(result.err), 5u) << result.err;
    }
}
