// The page's entry points into the programs' own code, all over memory
// streams: the encoder's and the decoder's stream steps (a pasted mail's
// blocks included, as zarnoGlotDecode reads them), the vocabulary loader's
// check, and the harvester and the shuffler's steps (the worker derives the
// seed between them, with the seeding's password and costs from
// pageSealing.cpp). Every reason for a failure goes to standard error in
// the programs' own words, where the page's worker collects it; results are
// left in the one block of pageCalls.h.
#include <emscripten.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "byteOutput.h"
#include "consoleProgram.h"
#include "decodeProgram.h"
#include "decodeReport.h"
#include "encoder.h"
#include "harvester.h"
#include "pageCalls.h"
#include "platform.h"
#include "shuffler.h"

// Tells the worker how far a translation has come.
EM_JS(void, reportProgress, (double done, double total), {
    if (Module["onProgress"]) Module["onProgress"](done, total);
});

// The stream steps' progress, out of the input's whole length.
static void tellWorker(void* total, std::uint64_t bytesRead) {
    reportProgress(static_cast<double>(bytesRead), static_cast<double>(*static_cast<std::size_t*>(total)));
}

static OutputBuffer output;

// A stream over bytes in memory; an empty one reads from /dev/null, as a
// memory stream cannot be empty. Null, with the program's message, when
// memory runs out.
static std::FILE* openInput(const unsigned char* bytes, std::size_t count, const char* programName) {
    std::FILE* input = count == 0 ? std::fopen("/dev/null", "rb")
                                  : fmemopen(const_cast<unsigned char*>(bytes), count, "rb");
    if (input == nullptr) report(stderr, programName, "out of memory");
    return input;
}

// A program's input stream over bytes in memory and its output stream into
// a heap block that closing hands over (bytes, length).
struct MemoryStreams {
    std::FILE* input;
    std::FILE* output;
    char* bytes;
    std::size_t length;
};

static void closeMemoryStreams(MemoryStreams* streams) {
    if (streams->input != nullptr) std::fclose(streams->input);
    if (streams->output != nullptr) std::fclose(streams->output);
    streams->input = nullptr;
    streams->output = nullptr;
}

// False, with the program's message, when memory runs out.
static bool openMemoryStreams(unsigned char* input, std::size_t count, MemoryStreams* streams,
                              const char* programName) {
    streams->input = fmemopen(input, count, "rb");
    streams->output = open_memstream(&streams->bytes, &streams->length);
    if (streams->input != nullptr && streams->output != nullptr) return true;
    closeMemoryStreams(streams);
    std::free(streams->bytes);
    streams->bytes = nullptr;
    report(stderr, programName, "out of memory");
    return false;
}

extern "C" {

// Writes the bytes as ZarnoGlot text with the vocabulary file, as
// zarnoGlotEncode does, through the encoder's stream step. Returns the
// program's exit status.
EMSCRIPTEN_KEEPALIVE int pageEncode(const unsigned char* bytes, std::size_t count, std::uint32_t seed) {
    static VocabularyBlob vocabulary;
    clearResult();
    if (!loadVocabulary(VOCABULARY_FILE, &vocabulary, stderr)) return 1;
    std::FILE* input = openInput(bytes, count, ENCODER_NAME);
    bool written = false;
    if (input != nullptr) {
        seedRandom(seed);
        openOutputBuffer(&output, appendToResult, nullptr);
        SentenceShaper shaper;
        resetShaper(&shaper, randomInRange);
        StreamProgress progress = {tellWorker, &count};
        written = encodeStream(vocabulary, &shaper, input, &output, &progress) == ENCODE_DONE && flushOutput(&output);
        std::fclose(input);
        if (!written) report(stderr, ENCODER_NAME, "out of memory");
    }
    freeVocabulary(&vocabulary);
    if (!written) clearResult();
    return written ? 0 : 1;
}

// The lines of the text the last pageDecode read (0 when all of it).
static TextReading lastReading;

// Reads the reading-th reading of ZarnoGlot text (messageBlocks.h) back
// into bytes with the vocabulary file, as zarnoGlotDecode -bN does, through
// the decoder's stream step; its reasons name the vocabulary as
// vocabularyName, and tell the failing word's line and column in the whole
// text. Returns the program's exit status, or 2 when there is no such
// reading of a text that reads.
EMSCRIPTEN_KEEPALIVE int pageDecode(const unsigned char* text, std::size_t count, int reading,
                                    const char* vocabularyName) {
    static Dictionary dictionary;
    static TextPiece piece;
    clearResult();
    lastReading = TextReading{0, 0, true};
    if (!loadDictionary(VOCABULARY_FILE, &dictionary, stderr)) return 1;
    std::FILE* input = openInput(text, count, DECODER_NAME);
    if (input == nullptr) return 1;
    openOutputBuffer(&output, appendToResult, nullptr);
    DecoderState state;
    StreamProgress progress = {tellWorker, &count};
    DecodeResult status = decodeStream(dictionary, input, reading, &state, &output, &piece, &lastReading, &progress);
    std::fclose(input);
    if (status == DECODE_OK && !flushOutput(&output)) status = DECODE_WRITE_ERROR;
    if (status == DECODE_OK) return 0;
    reportDecodeFailure(stderr, dictionary, vocabularyName, status, state, text, count, 0);
    clearResult();
    return status == DECODE_NO_OTHER_BLOCK ? 2 : 1;
}

// The first and the last line that the last pageDecode read, 0 when it read
// the whole text.
EMSCRIPTEN_KEEPALIVE unsigned long pageReadFirstLine() {
    return lastReading.wholeText ? 0 : lastReading.firstLine;
}

EMSCRIPTEN_KEEPALIVE unsigned long pageReadLastLine() {
    return lastReading.wholeText ? 0 : lastReading.lastLine;
}

// Checks the vocabulary file as the filters do when it is chosen, in
// zarnoGlotEncode's words (the editor's check runs that program). Returns
// its exit status.
EMSCRIPTEN_KEEPALIVE int pageCheckVocabulary() {
    static VocabularyBlob vocabulary;
    clearResult();
    if (!loadVocabulary(VOCABULARY_FILE, &vocabulary, stderr)) return 1;
    freeVocabulary(&vocabulary);
    wipeBytes(&vocabulary, sizeof vocabulary);
    return 0;
}

// The word list of the vocabulary being made, sorted, from pageReadWordList
// to pageShuffleWithSeed.
static WordList madeList;

// Reads the word list of a new vocabulary as zarnoGlotShuffle does: a word
// list, or (harvest set) texts that zarnoGlotHarvest first turns into one,
// as the two programs do in a pipe. Sorts it and leaves in the result block
// the bytes whose SHA-256 is the seeding's salt. Returns the exit status of
// the program that stopped, or 0.
EMSCRIPTEN_KEEPALIVE int pageReadWordList(unsigned char* input, std::size_t count, int harvest) {
    // A memory stream cannot be empty; a lone line end holds no word either.
    static unsigned char noText[1] = {'\n'};
    if (count == 0) {
        input = noText;
        count = 1;
    }
    clearResult();
    clearWordList(&madeList);
    MemoryStreams words = {};
    if (harvest) {
        if (!openMemoryStreams(input, count, &words, HARVESTER_NAME)) return 1;
        int status = runHarvest(words.input, words.output, stderr);
        closeMemoryStreams(&words);
        if (status != 0) {
            std::free(words.bytes);
            return status;
        }
        input = reinterpret_cast<unsigned char*>(words.bytes);
        count = words.length;
    }
    std::FILE* list = openInput(input, count, SHUFFLER_NAME);
    const bool read = list != nullptr && readWordList(list, &madeList, stderr);
    if (list != nullptr) std::fclose(list);
    std::free(words.bytes);
    if (!read) return 1;
    sortWords(madeList.slots, madeList.count);
    const std::size_t room = static_cast<std::size_t>(madeList.count) * WORD_SLOT_BYTES;
    unsigned char* bytes = static_cast<unsigned char*>(std::malloc(room));
    if (bytes == nullptr) {
        report(stderr, SHUFFLER_NAME, "out of memory");
        return 1;
    }
    const std::size_t length = seedingSaltInput(&madeList, bytes);
    takeResult(bytes, length, room);
    return 0;
}

// Shuffles the list pageReadWordList read with the seed's SEED_BYTES and
// leaves the vocabulary in the result block, as zarnoGlotShuffle writes it
// from the same seed. The list is wiped. Returns the exit status.
EMSCRIPTEN_KEEPALIVE int pageShuffleWithSeed(const unsigned char* seed) {
    clearResult();
    // Only a list that pageReadWordList read, once: it is wiped after use.
    if (madeList.count < static_cast<std::uint64_t>(VOCABULARY_SIZE)) {
        report(stderr, SHUFFLER_NAME, "no word list read");
        return 1;
    }
    char* bytes = nullptr;
    std::size_t length = 0;
    std::FILE* vocabulary = open_memstream(&bytes, &length);
    int status = 1;
    if (vocabulary == nullptr) {
        report(stderr, SHUFFLER_NAME, "out of memory");
    } else {
        status = writeShuffledVocabulary(&madeList, seed, vocabulary, stderr);
        std::fclose(vocabulary);
        takeResult(reinterpret_cast<unsigned char*>(bytes), length, length);
        if (status != 0) clearResult();
    }
    wipeBytes(&madeList, sizeof madeList);
    return status;
}

}  // extern "C"
