// Sealed texts: the padding, the packed shape, the way back's first step,
// the shared vectors with their keys, sealing and opening with a key, and
// the real program where it derives a key.
#include "packCore.h"
#include "packedBytes.h"
#include "programCases.h"
#include "sealing.h"
#include "testSupport.h"
#include "testVocabulary.h"
#include "vocabularyBlob.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

struct PaddedCase {
    size_t length;
    size_t padded;
};

static void PrintTo(const PaddedCase& row, std::ostream* out) {
    *out << row.length;
}

class PaddedLength : public testing::TestWithParam<PaddedCase> {};

TEST_P(PaddedLength, RoundsUpToFewerSignificantBits) {
    EXPECT_EQ(paddedLength(GetParam().length), GetParam().padded);
}

INSTANTIATE_TEST_SUITE_P(Rows, PaddedLength, testing::Values(
    PaddedCase{0, 0}, PaddedCase{1, 1}, PaddedCase{2, 2}, PaddedCase{3, 3}, PaddedCase{7, 7}, PaddedCase{8, 8},
    PaddedCase{9, 10}, PaddedCase{11, 12}, PaddedCase{100, 104}, PaddedCase{1000, 1024}, PaddedCase{1024, 1024},
    PaddedCase{1025, 1088}, PaddedCase{65536, 65536}, PaddedCase{65537, 67584}, PaddedCase{1000000, 1015808}),
    [](const testing::TestParamInfo<PaddedCase>& info) {
        return std::to_string(info.param.length) + "_to_" + std::to_string(info.param.padded);
    });

// What could be the packer's bytes (the decoder looks for them among the
// lines of a pasted mail): a zlib header as the packer writes one, or a
// sealed text whose payload has a padded length.
struct ShapeCase {
    const char* name;
    std::string bytes;
    bool packed;
};

static void PrintTo(const ShapeCase& row, std::ostream* out) {
    *out << row.name;
}

// A sealed text's shape: a salt not beginning like a zlib stream, and a
// payload of the given length.
static std::string sealedOfPayload(size_t payload) {
    return "\x01" + std::string(SEALED_OVERHEAD_BYTES - 1 + payload, '\x5A');
}

class PackedShape : public testing::TestWithParam<ShapeCase> {};

TEST_P(PackedShape, IsAZlibHeaderOrASealedTextOfAPaddedLength) {
    const std::string& bytes = GetParam().bytes;
    EXPECT_EQ(hasPackedShape(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()), GetParam().packed);
}

INSTANTIATE_TEST_SUITE_P(Rows, PackedShape, testing::Values(
    ShapeCase{"level 9", std::string("\x78\xDA", 2), true},
    ShapeCase{"default level", std::string("\x78\x9C", 2), true},
    ShapeCase{"stored", std::string("\x78\x01", 2), true},
    ShapeCase{"a header that fails its check", std::string("\x78\xDB", 2), false},
    ShapeCase{"a header with a preset dictionary", std::string("\x78\xBB", 2), false},
    ShapeCase{"a first byte alone", std::string("\x78", 1), false},
    ShapeCase{"salt check and tag alone", sealedOfPayload(0), true},
    ShapeCase{"one byte short of salt check and tag", sealedOfPayload(0).substr(1), false},
    ShapeCase{"a payload of 9 bytes", sealedOfPayload(9), false},
    ShapeCase{"a payload of 10 bytes", sealedOfPayload(10), true},
    ShapeCase{"a payload of 1025 bytes", sealedOfPayload(1025), false},
    ShapeCase{"a payload of 1088 bytes", sealedOfPayload(1088), true}),
    RowName());

// A salt never begins like a zlib stream, so the first byte tells a sealed
// text from an unsealed one; the way back refuses what cannot be either
// before it derives anything.
TEST(SealedText, NoSaltBeginsLikeAZlibStream) {
    const unsigned char zlibFirst[SALT_BYTES] = {ZLIB_FIRST_BYTE};
    const unsigned char other[SALT_BYTES] = {ZLIB_FIRST_BYTE + 1};
    EXPECT_FALSE(takesSalt(zlibFirst));
    EXPECT_TRUE(takesSalt(other));
}

struct OpeningCase {
    const char* name;
    std::string bytes;
    PackStatus status;
    bool sealed;
};

static void PrintTo(const OpeningCase& row, std::ostream* out) {
    *out << row.name;
}

class OpeningStep : public testing::TestWithParam<OpeningCase> {};

TEST_P(OpeningStep, TellsSealedFromUnsealedAndRefusesTooLittle) {
    const OpeningCase& row = GetParam();
    bool sealed = !row.sealed;
    EXPECT_EQ(openingStep(bytesOf(row.bytes), row.bytes.size(), &sealed), row.status);
    EXPECT_EQ(sealed, row.sealed);
}

INSTANTIATE_TEST_SUITE_P(Rows, OpeningStep, testing::Values(
    OpeningCase{"nothing", "", PACK_NOTHING_TO_READ, false},
    OpeningCase{"a zlib stream", std::string("\x78\xDA", 2), PACK_OK, false},
    OpeningCase{"the zlib stream's first byte alone", "\x78", PACK_OK, false},
    OpeningCase{"a byte short of salt check and tag", sealedOfPayload(0).substr(1), PACK_ALTERED, true},
    OpeningCase{"salt check and tag", sealedOfPayload(0), PACK_OK, true}),
    RowName());

static std::string fromHex(const std::string& hex) {
    std::string bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return bytes;
}

static std::string textOf(const ByteBlock& block) {
    return std::string(reinterpret_cast<const char*>(block.data), block.length);
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
    std::string name, salt, plain, sealed, packed, key;
};

static void PrintTo(const SealedVector& vector, std::ostream* out) {
    *out << vector.name;
}

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
        EXPECT_EQ(fields.size(), 7u) << line;
        if (fields.size() == 7) {
            vectors.push_back({fields[0], fromHex(fields[2]), fromHex(fields[3]), fromHex(fields[4]), fromHex(fields[5]),
                               fromHex(fields[6])});
        }
    }
    EXPECT_GE(vectors.size(), 3u);
    return vectors;
}

// Seals the bytes given as a stream with the vector's key and salt.
static std::string sealedWith(const SealedVector& vector, const std::string& stream) {
    ByteBlock sealed;
    EXPECT_EQ(sealWithKey(bytesOf(vector.key), bytesOf(vector.salt), bytesOf(stream), stream.size(), &sealed), PACK_OK);
    std::string bytes = textOf(sealed);
    freeByteBlock(&sealed);
    return bytes;
}

// Opens the bytes with the vector's key: the status, and the plain bytes.
static PackStatus openedWith(const SealedVector& vector, const std::string& sealed, std::string* plain) {
    ByteBlock opened;
    PackStatus status = openWithKey(bytesOf(vector.key), bytesOf(sealed), sealed.size(), &opened);
    *plain = textOf(opened);
    freeByteBlock(&opened);
    return status;
}

class SealedVectors : public testing::TestWithParam<SealedVector> {};

// The layout, the padding and the cipher against every vector, with its K:
// no key derivation.
TEST_P(SealedVectors, SealAndOpenByteForByteWithTheirKey) {
    const SealedVector& vector = GetParam();
    EXPECT_TRUE(sealedWith(vector, vector.packed) == vector.sealed);
    std::string plain;
    EXPECT_EQ(openedWith(vector, vector.sealed, &plain), PACK_OK);
    EXPECT_TRUE(plain == vector.plain);
}

INSTANTIATE_TEST_SUITE_P(Shared, SealedVectors, testing::ValuesIn(sealedVectors()), RowName());

// K itself: Argon2id of the label, a zero byte and the canonical vocabulary
// with the salt, at the current version's costs (one derivation), from the
// LF and the CR LF copy of a vocabulary alike.
TEST(SealedText, KeyIsTheDerivationOfTheVocabularyAndTheSalt) {
    const std::string canonical = canonicalOf(joinPath(binaryDirectory(), "sample.vcb"));
    std::string folder = makeTempDirectory();
    std::string crLf;
    for (char c : readFile(joinPath(binaryDirectory(), "sample.vcb"))) crLf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    std::string crLfPath = joinPath(folder, "crlf.vcb");
    writeFile(crLfPath, crLf);
    EXPECT_TRUE(canonicalOf(crLfPath) == canonical);
    removeTree(folder);
    const SealedVector vector = sealedVectors()[1];
    unsigned char derived[DERIVED_BYTES];
    ASSERT_TRUE(deriveSealingKey(SEALING_VERSION, bytesOf(canonical), canonical.size(), bytesOf(vector.salt), derived));
    EXPECT_TRUE(std::string(reinterpret_cast<char*>(derived), DERIVED_BYTES) == vector.key);
}

// Sealing and opening with one K: every text of the round trips, the
// lengths the padding gives, and no sealed text beginning like a zlib stream.
class SealedRoundTrip : public testing::TestWithParam<RoundTripCase> {};

TEST_P(SealedRoundTrip, SealsAndOpensWithAKey) {
    const SealedVector vector = sealedVectors()[0];
    const std::string original = GetParam().make();
    const std::string packed = pack(original);
    const std::string sealed = sealedWith(vector, packed);
    EXPECT_EQ(sealed.size(), SEALED_OVERHEAD_BYTES + paddedLength(packed.size()));
    EXPECT_TRUE(isSealedText(bytesOf(sealed), sealed.size()));
    std::string plain;
    EXPECT_EQ(openedWith(vector, sealed, &plain), PACK_OK);
    EXPECT_TRUE(plain == original);
}

INSTANTIATE_TEST_SUITE_P(Rows, SealedRoundTrip, testing::ValuesIn(roundTrips()), RowName());

namespace {

// A sealed text opened with its K, changed or made as no packer makes it.
struct KeyedCase {
    const char* name;
    std::function<std::string(const SealedVector& vector)> sealed;
    PackStatus expected;
};

void PrintTo(const KeyedCase& row, std::ostream* out) {
    *out << row.name;
}

std::function<std::string(const SealedVector&)> flippedAt(std::function<size_t(const std::string&)> at) {
    return [at](const SealedVector& vector) {
        std::string bytes = vector.sealed;
        bytes[at(bytes)] ^= 0x04;
        return bytes;
    };
}

size_t fixedPlace(size_t place) {
    return place;
}

// A stream of the first length whose padded length is longer, and the
// bytes that make up that padded length behind it.
std::string paddedBy(const std::string& tail) {
    for (std::string plain = "x";; plain += "y") {
        const std::string stream = pack(plain);
        if (paddedLength(stream.size()) == stream.size() + tail.size()) return stream + tail;
    }
}

class OpenWithKey : public testing::TestWithParam<KeyedCase> {};

TEST_P(OpenWithKey, RefusesWhatThePackerDidNotSealWithIt) {
    const SealedVector vector = sealedVectors()[1];  // "hello"
    std::string plain;
    EXPECT_EQ(openedWith(vector, GetParam().sealed(vector), &plain), GetParam().expected);
    if (GetParam().expected != PACK_OK) {
        EXPECT_EQ(plain, "");
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, OpenWithKey, testing::Values(
    KeyedCase{"as sealed", [](const SealedVector& v) { return v.sealed; }, PACK_OK},
    // Under the right K a damaged salt fails the tag: the salt is associated data.
    KeyedCase{"bit flipped in the salt", flippedAt([](const std::string&) { return fixedPlace(3); }), PACK_ALTERED},
    KeyedCase{"first byte of the check flipped", flippedAt([](const std::string&) { return SALT_BYTES; }),
              PACK_WRONG_VOCABULARY},
    KeyedCase{"last byte of the check flipped", flippedAt([](const std::string&) { return HEADER_BYTES - 1; }),
              PACK_WRONG_VOCABULARY},
    KeyedCase{"bit flipped in the ciphertext", flippedAt([](const std::string&) { return HEADER_BYTES + 1; }),
              PACK_ALTERED},
    KeyedCase{"bit flipped in the tag", flippedAt([](const std::string& s) { return s.size() - 1; }), PACK_ALTERED},
    KeyedCase{"last byte cut", [](const SealedVector& v) { return v.sealed.substr(0, v.sealed.size() - 1); },
              PACK_ALTERED},
    KeyedCase{"shorter than salt, check and tag",
              [](const SealedVector& v) { return v.sealed.substr(0, SEALED_OVERHEAD_BYTES - 1); }, PACK_ALTERED},
    KeyedCase{"only salt, check and tag", [](const SealedVector& v) { return sealedWith(v, ""); }, PACK_ALTERED},
    KeyedCase{"a payload that is no stream", [](const SealedVector& v) { return sealedWith(v, "0123456789"); },
              PACK_ALTERED},
    KeyedCase{"a stream padded beyond its padded length",
              [](const SealedVector& v) { return sealedWith(v, pack("hello") + std::string(8, '\0')); }, PACK_ALTERED},
    KeyedCase{"padding that is not zeros", [](const SealedVector& v) { return sealedWith(v, paddedBy("\x01")); },
              PACK_ALTERED},
    KeyedCase{"a zero padding as no packer wrote it", [](const SealedVector& v) { return sealedWith(v, paddedBy(std::string(1, '\0'))); },
              PACK_OK},
    KeyedCase{"a payload that unpacks beyond the bound", [](const SealedVector& v) { return sealedWith(v, zlibBomb()); },
              PACK_TOO_LARGE}),
    RowName());

}  // namespace

// Through the real program, where every step derives K: a text sealed
// twice (two salts) and opened once, which is the whole of what the program
// adds to the library (the vocabulary's canonical bytes, the salt, the
// lines).
TEST(ZarnoGlotPackProgram, SealsWithAVocabularyAFreshSaltEachTimeAndOpens) {
    const std::string program = programPath("zarnoGlotPack");
    const std::string vocabulary = joinPath(binaryDirectory(), "sample.vcb");
    const std::string plain = allByteValues() + "\r\n";
    ProgramResult first = runProgram(program, {vocabulary}, plain);
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(first.out.size(), SEALED_OVERHEAD_BYTES + paddedLength(pack(plain).size()));
    EXPECT_NE(first.out[0], '\x78');
    ProgramResult back = runProgram(program, {"-d", vocabulary}, first.out);
    ASSERT_EQ(back.status, 0) << back.err;
    EXPECT_EQ(back.err, "");
    EXPECT_TRUE(back.out == plain);
    ProgramResult second = runProgram(program, {vocabulary}, plain);
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
    // A damaged salt gives another key: it reads as another vocabulary (the
    // other damages, under the right key, are OpenWithKey's rows).
    OpenCase{"bit flipped in the salt", {"-d"}, SAMPLE_VOCABULARY, flipped(3), ANOTHER, "", 1},
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
