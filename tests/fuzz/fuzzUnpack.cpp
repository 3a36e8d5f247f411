// zarnoGlotPack's work on arbitrary bytes, through runPack as the program
// runs it. Checked: unpacking (-d) arbitrary bytes never crashes, succeeds
// exactly when unpackBytes does and then writes its bytes, and on failure
// writes one message line and nothing on standard output (a text that is
// not a zlib stream is taken for a sealed one and refused without its
// vocabulary); packing then unpacking gives back the input; and the packed
// form with its last byte cut off, or with a byte added, is refused. The
// payload of a sealed text (what its tag vouches for) is fuzzed directly,
// as a key derivation per input would leave the fuzzer no time: arbitrary
// payloads never crash and are taken only when they are one stream and its
// exact zero padding; a packed stream with its padding always opens.
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzzSupport.h"
#include "packCore.h"
#include "sealing.h"

struct PackRun {
    int status;
    std::string out;
    std::string err;
};

static PackRun runPackOn(bool unpacking, const unsigned char* bytes, std::size_t count) {
    PackRun run;
    std::FILE* input = openMemoryInput(bytes, count);
    MemoryOutput out;
    MemoryOutput err;
    openMemoryOutput(&out);
    openMemoryOutput(&err);
    run.status = runPack(PackCommand{unpacking ? PACK_MODE_UNPACK : PACK_MODE_PACK, nullptr, false}, input, out.stream,
                         err.stream);
    std::fclose(input);
    run.out = closeMemoryOutput(&out);
    run.err = closeMemoryOutput(&err);
    return run;
}

static const unsigned char* bytesOf(const std::string& text) {
    return reinterpret_cast<const unsigned char*>(text.data());
}

static void checkUnpackOfGarbage(const std::uint8_t* data, std::size_t size) {
    PackRun run = runPackOn(true, data, size);
    ByteBlock plain = {nullptr, 0, 0};
    PackStatus status = isSealedText(data, size) ? PACK_NEEDS_VOCABULARY : unpackBytes(data, size, &plain, nullptr);
    if (status == PACK_OK) {
        FUZZ_CHECK(run.status == 0 && run.err.empty(), "unpacking failed where unpackBytes succeeds");
        FUZZ_CHECK(run.out == std::string(reinterpret_cast<const char*>(plain.data), plain.length),
                   "unpacking wrote other bytes than unpackBytes");
        FUZZ_CHECK(plain.length <= maxUnpackedBytes(size) && plain.capacity <= maxUnpackedBytes(size) + 1,
                   "unpacking went beyond its bound");
        freeByteBlock(&plain);
    } else {
        FUZZ_CHECK(plain.data == nullptr, "a failed unpack kept its memory");
        FUZZ_CHECK(run.status == 1, "a failed unpack did not exit with status 1");
        FUZZ_CHECK(run.out.empty(), "a failed unpack wrote output");
        FUZZ_CHECK(run.err.compare(0, 15, "zarnoGlotPack: ") == 0 && run.err.find('\n') == run.err.size() - 1,
                   "a failed unpack did not write one message line");
    }
}

static void checkRoundTrip(const std::uint8_t* data, std::size_t size) {
    PackRun packed = runPackOn(false, data, size);
    FUZZ_CHECK(packed.status == 0 && packed.err.empty() && !packed.out.empty(), "packing failed");
    PackRun unpacked = runPackOn(true, bytesOf(packed.out), packed.out.size());
    FUZZ_CHECK(unpacked.status == 0, "the packed form does not unpack");
    FUZZ_CHECK(unpacked.out.size() == size && (size == 0 || std::memcmp(unpacked.out.data(), data, size) == 0),
               "pack then unpack does not give back the input");

    // The stream must be whole and alone: a missing or an extra byte is refused.
    ByteBlock plain;
    FUZZ_CHECK(unpackBytes(bytesOf(packed.out), packed.out.size() - 1, &plain, nullptr) != PACK_OK,
               "a packed form without its last byte unpacks");
    std::string extended = packed.out + static_cast<char>(size);
    FUZZ_CHECK(unpackBytes(bytesOf(extended), extended.size(), &plain, nullptr) == PACK_TRAILING_DATA,
               "a packed form with a byte behind it unpacks");
}

static void checkSealedPayloads(const std::uint8_t* data, std::size_t size) {
    ByteBlock plain;
    if (unpackSealedPayload(data, size, &plain) == PACK_OK) {
        FUZZ_CHECK(size == paddedLength(size) || size == 0, "a payload of an unpadded length opened");
        FUZZ_CHECK(plain.length <= maxUnpackedBytes(size), "a payload unpacked beyond its bound");
        freeByteBlock(&plain);
    } else {
        FUZZ_CHECK(plain.data == nullptr, "a refused payload kept its memory");
    }
    ByteBlock packed;
    FUZZ_CHECK(packBytes(data, size, &packed) == PACK_OK, "packing failed");
    std::string payload(reinterpret_cast<const char*>(packed.data), packed.length);
    freeByteBlock(&packed);
    payload.resize(paddedLength(payload.size()), '\0');
    FUZZ_CHECK(unpackSealedPayload(bytesOf(payload), payload.size(), &plain) == PACK_OK, "a padded stream is refused");
    FUZZ_CHECK(plain.length == size && (size == 0 || std::memcmp(plain.data, data, size) == 0),
               "a padded stream opened to other bytes");
    freeByteBlock(&plain);
    payload.push_back('\0');
    FUZZ_CHECK(unpackSealedPayload(bytesOf(payload), payload.size(), &plain) != PACK_OK,
               "a payload with padding beyond its length opened");
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    checkUnpackOfGarbage(data, size);
    checkRoundTrip(data, size);
    checkSealedPayloads(data, size);
    return 0;
}
