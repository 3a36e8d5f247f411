#include "packCore.h"
#include "programCases.h"
#include "sealing.h"
#include "testVocabulary.h"
#include "vocabularyBlob.h"
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

TEST(ParsePackArguments, MinusDAndAVocabularyInThatOrder) {
    struct Case {
        std::vector<std::string> arguments;
        PackMode expected;
        const char* vocabulary;
    } cases[] = {
        {{}, PACK_MODE_PACK, nullptr},          {{"-d"}, PACK_MODE_UNPACK, nullptr},
        {{"v.vcb"}, PACK_MODE_PACK, "v.vcb"},   {{"-d", "v.vcb"}, PACK_MODE_UNPACK, "v.vcb"},
        {{"-D"}, PACK_MODE_PACK, "-D"},         {{"-d", "-d"}, PACK_MODE_UNPACK, "-d"},
        {{""}, PACK_MODE_PACK, ""},             {{"-h"}, PACK_MODE_USAGE, nullptr},
        {{"-d", "-h"}, PACK_MODE_USAGE, nullptr}, {{"v.vcb", "-d"}, PACK_MODE_USAGE, nullptr},
        {{"-d", "a", "b"}, PACK_MODE_USAGE, nullptr}, {{"a", "b"}, PACK_MODE_USAGE, nullptr},
    };
    for (const Case& test : cases) {
        std::vector<char*> pointers;
        for (const std::string& argument : test.arguments) pointers.push_back(const_cast<char*>(argument.c_str()));
        PackCommand command = parsePackArguments(static_cast<int>(pointers.size()), pointers.data());
        std::string shown = test.arguments.empty() ? "(none)" : test.arguments[0];
        EXPECT_EQ(command.mode, test.expected) << shown;
        EXPECT_EQ(std::string(command.vocabulary ? command.vocabulary : "(null)"),
                  std::string(test.vocabulary ? test.vocabulary : "(null)")) << shown;
    }
}

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
    };
    for (const std::vector<std::string>& arguments : commandLines) {
        SCOPED_TRACE(arguments[0]);
        ProgramResult result = runProgram(program, arguments, "some input");
        EXPECT_EQ(result.status, -1);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err.rfind("zarnoGlotPack (version: 26.342) ", 0), 0u) << result.err;
        EXPECT_EQ(lineCount(result.err), 5u) << result.err;
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
        // Texts of earlier versions read with and without the vocabulary.
        EXPECT_TRUE(runProgram(program, {"-d", vocabulary}, pack(test.plain)).out == test.plain);
    }
    // A fresh salt every time: two sealings of one text share nothing.
    ProgramResult first = runProgram(program, {vocabulary}, "x");
    ProgramResult second = runProgram(program, {vocabulary}, "x");
    EXPECT_NE(first.out.substr(0, SALT_BYTES), second.out.substr(0, SALT_BYTES));
}

TEST(ZarnoGlotPackProgram, RefusesSealedTextsItCannotVouchFor) {
    const std::string program = programPath("zarnoGlotPack");
    const std::string vocabulary = joinPath(binaryDirectory(), "sample.vcb");
    std::string folder = makeTempDirectory();
    const std::string other = writeVocabularyFile(folder, "other.vcb", makeTestVocabulary(1));
    const std::string sealed = sealedVectors()[1].sealed;  // "hello"
    auto flipped = [&](size_t at) {
        std::string bytes = sealed;
        bytes[at] ^= 0x04;
        return bytes;
    };
    const std::string needs = "zarnoGlotPack: the text is sealed: name its vocabulary to read it (zarnoGlotPack -d vocabulary)\n";
    const std::string another = "zarnoGlotPack: the text was sealed with another vocabulary\n";
    const std::string altered = "zarnoGlotPack: the text is damaged or was altered\n";
    const std::string missing = joinPath(folder, "absent.vcb");
    expectProgramCases(program, {
        {"sealed text without its vocabulary", {"-d"}, sealed, "", needs, 1},
        {"another vocabulary", {"-d", other}, sealed, "", another, 1},
        // A damaged salt or check gives another key: it reads as another vocabulary.
        {"bit flipped in the salt", {"-d", vocabulary}, flipped(3), "", another, 1},
        {"bit flipped in the check", {"-d", vocabulary}, flipped(SALT_BYTES), "", another, 1},
        {"bit flipped in the ciphertext", {"-d", vocabulary}, flipped(SALT_BYTES + CHECK_BYTES + 1), "", altered, 1},
        {"bit flipped in the tag", {"-d", vocabulary}, flipped(sealed.size() - 1), "", altered, 1},
        {"last byte cut", {"-d", vocabulary}, sealed.substr(0, sealed.size() - 1), "", altered, 1},
        {"shorter than salt, check and tag", {"-d", vocabulary}, sealed.substr(0, 33), "", altered, 1},
        {"missing vocabulary", {"-d", missing}, sealed, "", "zarnoGlotPack: cannot open vocabulary \"" + missing + "\"\n", 1},
    });
    std::vector<std::string> shortWords = makeTestVocabulary(2);
    shortWords.pop_back();
    expectVocabularyRefusals(program, folder, "text", {
        {"4607 words", vocabularyText(shortWords, "\n", true), "zarnoGlotPack: vocabulary has 4607 entries; 4608 required\n"},
    });
    removeTree(folder);
}
