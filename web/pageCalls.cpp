#include "pageCalls.h"

#include <emscripten.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "consoleProgram.h"
#include "platform.h"

namespace {

struct ResultBlock {
    unsigned char* bytes;
    std::size_t length;
    std::size_t capacity;
};

ResultBlock result;

}  // namespace

void clearResult() {
    if (result.bytes != nullptr) wipeBytes(result.bytes, result.length);
    std::free(result.bytes);
    result = ResultBlock{nullptr, 0, 0};
}

bool appendToResult(void* /*target*/, const unsigned char* bytes, std::size_t count) {
    if (result.capacity - result.length < count) {
        std::size_t wanted = result.capacity < 65536 ? 65536 : result.capacity;
        while (wanted - result.length < count) wanted *= 2;
        unsigned char* grown = static_cast<unsigned char*>(std::realloc(result.bytes, wanted));
        if (grown == nullptr) return false;
        result.bytes = grown;
        result.capacity = wanted;
    }
    std::memcpy(result.bytes + result.length, bytes, count);
    result.length += count;
    return true;
}

void takeResult(unsigned char* bytes, std::size_t length, std::size_t capacity) {
    clearResult();
    result = ResultBlock{bytes, length, capacity};
}

unsigned char* newResult(std::size_t length, const char* programName) {
    clearResult();
    unsigned char* bytes = static_cast<unsigned char*>(std::malloc(length > 0 ? length : 1));
    if (bytes == nullptr) {
        report(stderr, programName, "out of memory");
        return nullptr;
    }
    takeResult(bytes, length, length);
    return bytes;
}

extern "C" {

EMSCRIPTEN_KEEPALIVE const char* pageVocabularyFile() {
    return VOCABULARY_FILE;
}

EMSCRIPTEN_KEEPALIVE unsigned char* pageResultBytes() {
    return result.bytes;
}

EMSCRIPTEN_KEEPALIVE std::size_t pageResultLength() {
    return result.length;
}

EMSCRIPTEN_KEEPALIVE void pageClearResult() {
    clearResult();
}

}  // extern "C"
