#include "fuzzSupport.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <set>

#include "testVocabulary.h"
#include "wordPacking.h"

void fuzzFailure(const char* what) {
    std::fprintf(stderr, "fuzz invariant broken: %s\n", what);
    std::fflush(stderr);
    std::abort();
}

static std::string tempFolder;
static std::vector<std::string> tempFiles;

// Removes the temporary files and their folder when the fuzzer exits
// normally; after a crash they stay for a look.
static void removeTempFiles() {
    for (const std::string& path : tempFiles) unlink(path.c_str());
    if (!tempFolder.empty()) rmdir(tempFolder.c_str());
}

std::string fuzzTempPath(const char* name) {
    std::string& folder = tempFolder;
    if (folder.empty()) {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base != nullptr && *base != 0 ? base : "/tmp") + "/zgfuzz-XXXXXX";
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back(0);
        FUZZ_CHECK(mkdtemp(buffer.data()) != nullptr, "cannot make a temporary folder");
        folder = buffer.data();
        std::atexit(removeTempFiles);
    }
    tempFiles.push_back(folder + "/" + name);
    return tempFiles.back();
}

void writeBytesToFile(const std::string& path, const unsigned char* bytes, std::size_t count) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    FUZZ_CHECK(file != nullptr, "cannot write a temporary file");
    bool written = count == 0 || std::fwrite(bytes, 1, count, file) == count;
    FUZZ_CHECK(std::fclose(file) == 0 && written, "cannot write a temporary file");
}

std::FILE* openMemoryInput(const unsigned char* bytes, std::size_t count) {
    // fmemopen refuses a size of 0 on some C libraries; an empty read-only
    // stream is then one over a single byte with nothing left to read.
    static unsigned char nothing[1];
    std::FILE* stream = nullptr;
    if (count == 0) {
        stream = fmemopen(nothing, 1, "rb");
        if (stream != nullptr) std::fgetc(stream);
    } else {
        stream = fmemopen(const_cast<unsigned char*>(bytes), count, "rb");
    }
    FUZZ_CHECK(stream != nullptr, "fmemopen failed");
    return stream;
}

void openMemoryOutput(MemoryOutput* output) {
    output->text = nullptr;
    output->length = 0;
    output->stream = open_memstream(&output->text, &output->length);
    FUZZ_CHECK(output->stream != nullptr, "open_memstream failed");
}

std::string closeMemoryOutput(MemoryOutput* output) {
    std::fclose(output->stream);
    std::string text(output->text, output->length);
    std::free(output->text);
    output->text = nullptr;
    return text;
}

static int savedStandardError = -1;

void silenceStandardError() {
    static int nullDevice = open("/dev/null", O_WRONLY);
    std::fflush(stderr);
    if (savedStandardError < 0) savedStandardError = dup(2);
    dup2(nullDevice, 2);
}

void restoreStandardError() {
    std::fflush(stderr);
    dup2(savedStandardError, 2);
}

static bool appendToString(void* target, const unsigned char* bytes, std::size_t count) {
    static_cast<std::string*>(target)->append(reinterpret_cast<const char*>(bytes), count);
    return true;
}

void openStringOutput(OutputBuffer* output, std::string* target) {
    openOutputBuffer(output, appendToString, target);
}

const std::vector<std::string>& fixedVocabulary() {
    static const std::vector<std::string> words = makeTestVocabulary(2024);
    return words;
}

const std::string& fixedVocabularyText() {
    static const std::string text = vocabularyText(fixedVocabulary(), "\n", true);
    return text;
}

const std::string& fixedVocabularyPath() {
    static std::string path;
    if (path.empty()) {
        path = fuzzTempPath("fixed.vcb");
        const std::string& text = fixedVocabularyText();
        writeBytesToFile(path, reinterpret_cast<const unsigned char*>(text.data()), text.size());
    }
    return path;
}

bool isFixedVocabularyWord(const std::string& word) {
    static const std::set<std::string> words(fixedVocabulary().begin(), fixedVocabulary().end());
    return words.count(word) != 0;
}

std::size_t countTextWords(const std::string& text) {
    std::size_t words = 0;
    bool inWord = false;
    for (unsigned char byte : text) {
        bool wordByte = isWordByte(byte);
        if (wordByte && !inWord) ++words;
        inWord = wordByte;
    }
    return words;
}
