#include "packCore.h"

#include <cstdlib>
#include <cstring>

#include "consoleProgram.h"
#include "sealing.h"
#include "vocabularyBlob.h"

static int reportFailure(std::FILE* errors, PackStatus status, const char* detail) {
    if (detail != nullptr) {
        report(errors, PACKER_NAME, "%s (%s)", packStatusText(status), detail);
    } else {
        report(errors, PACKER_NAME, "%s", packStatusText(status));
    }
    return 1;
}

// The canonical bytes of the named vocabulary, read and checked as the
// encoder reads it; false after the encoder's message under the packer's name.
static bool loadCanonicalVocabulary(const char* fileName, ByteBlock* canonical, std::FILE* errors) {
    static VocabularyBlob vocabulary;
    *canonical = ByteBlock{nullptr, 0, 0};
    if (!loadVocabulary(fileName, &vocabulary, errors, PACKER_NAME)) return false;
    size_t length = static_cast<size_t>(vocabulary.blobSize);
    canonical->data = static_cast<unsigned char*>(std::malloc(length));
    if (canonical->data != nullptr) {
        canonicalVocabulary(vocabulary, canonical->data);
        *canonical = ByteBlock{canonical->data, length, length};
    }
    freeVocabulary(&vocabulary);
    if (canonical->data == nullptr) report(errors, PACKER_NAME, "out of memory");
    return canonical->data != nullptr;
}

static PackStatus sealBytes(const ByteBlock& canonical, const unsigned char* data, size_t length,
                            ByteBlock* sealed) {
    ByteBlock packed;
    PackStatus status = packBytes(data, length, &packed);
    if (status != PACK_OK) return status;
    status = sealPacked(canonical.data, canonical.length, packed.data, packed.length, sealed);
    freeByteBlock(&packed);
    return status;
}

// Reads a sealed or an unsealed text; a sealed one needs the vocabulary.
// With a vocabulary, an unsealed text is read only when readsUnsealed says
// so: anyone who learnt the vocabulary's words from texts read before could
// have written it, and it vouches for nothing. It is refused only once it
// is known to unpack, so that a damaged one says so.
static PackStatus openBytes(const ByteBlock* canonical, bool readsUnsealed, const unsigned char* data,
                            size_t length, ByteBlock* plain, const char** detail) {
    *plain = ByteBlock{nullptr, 0, 0};
    bool sealed = false;
    PackStatus status = openingStep(data, length, &sealed);
    if (status != PACK_OK) return status;
    if (!sealed) {
        status = unpackBytes(data, length, plain, detail);
        if (status != PACK_OK || canonical == nullptr || readsUnsealed) return status;
        freeByteBlock(plain);
        return PACK_NOT_SEALED;
    }
    if (canonical == nullptr) return PACK_NEEDS_VOCABULARY;
    return openSealed(canonical->data, canonical->length, data, length, plain);
}

// The whole input is read before the vocabulary: a program that stopped
// reading early would leave its caller unable to tell why.
int runPack(const PackCommand& command, std::FILE* input, std::FILE* output, std::FILE* errors) {
    ByteBlock source;
    PackStatus status = readWholeStream(input, &source);
    if (status != PACK_OK) return reportFailure(errors, status, nullptr);
    ByteBlock canonical = {nullptr, 0, 0};
    if (command.vocabulary != nullptr && !loadCanonicalVocabulary(command.vocabulary, &canonical, errors)) {
        freeByteBlock(&source);
        return 1;
    }
    ByteBlock result;
    const char* detail = nullptr;
    const ByteBlock* key = command.vocabulary != nullptr ? &canonical : nullptr;
    if (command.mode == PACK_MODE_UNPACK) {
        status = openBytes(key, command.readsUnsealed, source.data, source.length, &result, &detail);
    } else if (key != nullptr) {
        status = sealBytes(canonical, source.data, source.length, &result);
    } else {
        status = packBytes(source.data, source.length, &result);
    }
    freeByteBlock(&source);
    freeByteBlock(&canonical);
    if (status != PACK_OK) return reportFailure(errors, status, detail);
    status = writeWholeBlock(output, result.data, result.length);
    freeByteBlock(&result);
    if (status != PACK_OK) return reportFailure(errors, status, nullptr);
    return 0;
}

// Only "-h" stands for itself: any other argument in a vocabulary's place
// is a vocabulary's name, as for the encoder; "-u" is an option only after
// "-d".
PackCommand parsePackArguments(int count, char** arguments) {
    int at = 0;
    const bool unpack = at < count && std::strcmp(arguments[at], "-d") == 0;
    if (unpack) at++;
    const bool readsUnsealed = unpack && at < count && std::strcmp(arguments[at], "-u") == 0;
    if (readsUnsealed) at++;
    const int names = count - at;
    const char* vocabulary = names == 1 ? arguments[at] : nullptr;
    if (names > 1 || (vocabulary != nullptr && std::strcmp(vocabulary, "-h") == 0)) {
        return PackCommand{PACK_MODE_USAGE, nullptr, false};
    }
    return PackCommand{unpack ? PACK_MODE_UNPACK : PACK_MODE_PACK, vocabulary, readsUnsealed};
}
