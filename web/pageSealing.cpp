// The page's entry points for the formats derived from a secret: the rules
// of sealed texts and of the vocabulary seeding, all from the programs' own
// code (sealedShape.h, formatVersions.h, readingRule.h), around what only
// the browser does (hash-wasm's Argon2id, WebCrypto's AES-256-GCM, random
// bytes, and zlib through pako). The worker holds no rule or constant of
// the formats: it asks here for the layout, the versions and their costs
// and passwords, the padding, and the verdict on what it opened, which
// comes back in the packer's words on standard error.
#include <emscripten.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "consoleProgram.h"
#include "formatVersions.h"
#include "pageCalls.h"
#include "platform.h"
#include "readingRule.h"
#include "sealedShape.h"
#include "shuffler.h"
#include "vocabularyBlob.h"

// What reading back a text is, for pageReadingKind: refused (the packer's
// line written), sealed, or an unsealed text of an earlier version.
enum PageReading { PAGE_REFUSED = 0, PAGE_SEALED = 1, PAGE_UNSEALED = 2 };

// How the worker's steps over an opened text ended, for pageOpenedStatus.
enum PageOpened {
    OPENED_STREAM_ENDED = 0,      // the zlib stream at the start ended (streamEnd bytes)
    OPENED_STREAM_TRUNCATED = 1,  // the bytes ended first
    OPENED_STREAM_DAMAGED = 2,    // zlib said why (detail)
    OPENED_STREAM_TOO_LARGE = 3,  // it unpacked beyond pageUnpackLimit
    OPENED_TAG_FAILED = 4,        // AES-GCM refused the tag
    OPENED_NO_CHECK_MATCHES = 5,  // no version's check is the text's
};

// Reports the packer's line for the status (with zlib's detail for a
// damaged stream) and returns the packer's exit status.
static int refuse(PackStatus status, const char* detail) {
    if (status == PACK_OK) return 0;
    if (status == PACK_DAMAGED && detail != nullptr && detail[0] != '\0') {
        report(stderr, PACKER_NAME, "%s (%s)", packStatusText(status), detail);
    } else {
        report(stderr, PACKER_NAME, "%s", packStatusText(status));
    }
    return 1;
}

static PackStatus statusOfStream(int outcome) {
    switch (outcome) {
    case OPENED_STREAM_ENDED: return PACK_OK;
    case OPENED_STREAM_TRUNCATED: return PACK_TRUNCATED;
    case OPENED_STREAM_TOO_LARGE: return PACK_TOO_LARGE;
    case OPENED_TAG_FAILED: return PACK_ALTERED;
    case OPENED_NO_CHECK_MATCHES: return PACK_WRONG_VOCABULARY;
    }
    return PACK_DAMAGED;
}

static std::uint32_t asWord(std::size_t value) {
    return static_cast<std::uint32_t>(value);
}

extern "C" {

// The sealed layout and the versions the reader tries: salt, check, key,
// nonce and tag bytes, the number of SEALED_VERSIONS, and the most readings
// of a pasted text the way back tries.
EMSCRIPTEN_KEEPALIVE const std::uint32_t* pageSealedLayout() {
    static const std::uint32_t LAYOUT[7] = {asWord(SALT_BYTES),  asWord(CHECK_BYTES),
                                            asWord(KEY_BYTES),   asWord(NONCE_BYTES),
                                            asWord(TAG_BYTES),   static_cast<std::uint32_t>(SEALED_VERSION_COUNT),
                                            static_cast<std::uint32_t>(MOST_TRIED_READINGS)};
    return LAYOUT;
}

// The Argon2id costs of a sealed version (seeding 0) or of the current
// vocabulary seeding (seeding 1), in hash-wasm's order: passes, KiB of
// memory, lanes, output bytes (for the seeding the seed's length, random
// seeds' too).
EMSCRIPTEN_KEEPALIVE const std::uint32_t* pageDerivationCosts(int seeding, int version) {
    static std::uint32_t costs[4];
    static_assert(VOCABULARY_SEEDING.outputBytes == SEED_BYTES, "the seeding gives the generator's whole state");
    const bool known = version >= 0 && version < SEALED_VERSION_COUNT;
    const FormatVersion& row = seeding ? VOCABULARY_SEEDING : SEALED_VERSIONS[known ? version : 0];
    costs[0] = static_cast<std::uint32_t>(row.passes);
    costs[1] = static_cast<std::uint32_t>(row.memoryKib);
    costs[2] = static_cast<std::uint32_t>(row.lanes);
    costs[3] = asWord(row.outputBytes);
    return costs;
}

// Leaves in the result block the Argon2id password of a sealed version for
// the vocabulary file: its label, one zero byte and the canonical
// vocabulary, as zarnoGlotPack derives a sealed text's key (it loads the
// vocabulary with the encoder's loader and refuses it in the same words
// under its own name). The loaded words are wiped. Returns the exit status.
EMSCRIPTEN_KEEPALIVE int pageSealingPassword(int version) {
    static VocabularyBlob vocabulary;
    clearResult();
    if (version < 0 || version >= SEALED_VERSION_COUNT) return refuse(PACK_CRYPTO_FAILED, nullptr);
    if (!loadVocabulary(VOCABULARY_FILE, &vocabulary, stderr, PACKER_NAME)) return 1;
    const std::size_t canonicalLength = static_cast<std::size_t>(vocabulary.blobSize);
    unsigned char* canonical = static_cast<unsigned char*>(std::malloc(canonicalLength));
    const FormatVersion& row = SEALED_VERSIONS[version];
    unsigned char* password = canonical == nullptr
                                  ? nullptr
                                  : newResult(derivationPasswordLength(row, canonicalLength), PACKER_NAME);
    if (password != nullptr) {
        canonicalVocabulary(vocabulary, canonical);
        writeDerivationPassword(row, canonical, canonicalLength, password);
    } else if (canonical == nullptr) {
        report(stderr, PACKER_NAME, "out of memory");
    }
    if (canonical != nullptr) wipeBytes(canonical, canonicalLength);
    std::free(canonical);
    freeVocabulary(&vocabulary);
    wipeBytes(&vocabulary, sizeof vocabulary);  // its word slots hold the words too
    return password != nullptr ? 0 : 1;
}

// Leaves in the result block the Argon2id password of the current seeding:
// its label, one zero byte and the passphrase.
EMSCRIPTEN_KEEPALIVE int pageSeedingPassword(const unsigned char* passphrase, std::size_t length) {
    unsigned char* password = newResult(derivationPasswordLength(VOCABULARY_SEEDING, length), SHUFFLER_NAME);
    if (password == nullptr) return 1;
    writeDerivationPassword(VOCABULARY_SEEDING, passphrase, length, password);
    return 0;
}

// Whether a salt drawn may seal a text (else the worker draws again).
EMSCRIPTEN_KEEPALIVE int pageTakesSalt(const unsigned char* salt) {
    return takesSalt(salt) ? 1 : 0;
}

// From the salt, the K derived from it and the zlib stream, one after the
// other in input, leaves in the result block what the worker encrypts:
// the sealed text's header, then the stream padded with zero bytes to its
// padded length (the payload). Returns the exit status.
EMSCRIPTEN_KEEPALIVE int pageSealingFrame(const unsigned char* input, std::size_t streamLength) {
    const unsigned char* salt = input;
    const unsigned char* derived = input + SALT_BYTES;
    const unsigned char* stream = derived + DERIVED_BYTES;
    const std::size_t payloadLength = paddedLength(streamLength);
    unsigned char* frame = newResult(HEADER_BYTES + payloadLength, PACKER_NAME);
    if (frame == nullptr) return 1;
    writeSealedHeader(salt, derived, frame);
    std::memcpy(frame + HEADER_BYTES, stream, streamLength);
    std::memset(frame + HEADER_BYTES + streamLength, 0, payloadLength - streamLength);
    return 0;
}

// What a reading's bytes are: PAGE_SEALED, PAGE_UNSEALED, or PAGE_REFUSED
// with the packer's line (nothing to read, or too short to be sealed).
EMSCRIPTEN_KEEPALIVE int pageReadingKind(const unsigned char* bytes, std::size_t length) {
    bool sealed = false;
    const PackStatus status = openingStep(bytes, length, &sealed);
    if (status != PACK_OK) {
        refuse(status, nullptr);
        return PAGE_REFUSED;
    }
    return sealed ? PAGE_SEALED : PAGE_UNSEALED;
}

// Whether K's check, followed in input by the sealed text's header, is the
// text's.
EMSCRIPTEN_KEEPALIVE int pageCheckMatches(const unsigned char* input) {
    return checkMatches(input, input + DERIVED_BYTES) ? 1 : 0;
}

// The most bytes that length bytes of a stream may unpack to.
EMSCRIPTEN_KEEPALIVE std::size_t pageUnpackLimit(std::size_t length) {
    return maxUnpackedBytes(length);
}

// The verdict on an opened text, in the packer's words: bytes are the
// payload of a sealed text (sealed set) or an unsealed text, and outcome
// says how the worker's steps over them ended (PageOpened). Returns 0 when
// the text opened, else 1 after the packer's line.
EMSCRIPTEN_KEEPALIVE int pageOpenedStatus(int sealed, int outcome, const unsigned char* bytes, std::size_t length,
                                          std::size_t streamEnd, const char* detail) {
    PackStatus status = statusOfStream(outcome);
    if (outcome > OPENED_STREAM_TOO_LARGE) return refuse(status, nullptr);
    status = sealed ? sealedPayloadStatus(status, bytes, length, streamEnd)
                    : wholeStreamStatus(status, length, streamEnd);
    return refuse(status, detail);
}

// Whether text of plainLength bytes that deflates to packedLength is stored
// instead, as zarnoGlotPack stores it.
EMSCRIPTEN_KEEPALIVE int pageStoresUncompressed(std::size_t plainLength, std::size_t packedLength) {
    return storesUncompressed(plainLength, packedLength) ? 1 : 0;
}

// Whether the bytes could be what zarnoGlotPack writes (a zlib stream's
// header, or a sealed text whose payload has a padded length).
EMSCRIPTEN_KEEPALIVE int pageHasPackedShape(const unsigned char* bytes, std::size_t length) {
    return hasPackedShape(bytes, length) ? 1 : 0;
}

}  // extern "C"
