#include "shuffler.h"

#include <algorithm>
#include <cstring>

#include "codecConstants.h"
#include "consoleProgram.h"
#include "letterCase.h"
#include "linePiece.h"
#include "md5.h"
#include "platform.h"

// A line is read in pieces of at most this many bytes; a longer line fails
// at its first piece, since no piece of more than MAX_WORD_BYTES is a word.
constexpr int PIECE_BYTES = 9;

// Removes a line feed and then, only after one, a carriage return.
static int stripLineEnd(const unsigned char* piece, int length) {
    if (length == 0 || piece[length - 1] != '\n') return length;
    --length;
    if (length > 0 && piece[length - 1] == '\r') --length;
    return length;
}

// Checks one non-empty line (line counts from 1) and stores it; false
// (message written) when bad.
static bool takeLine(WordList* list, unsigned char* word, int length, unsigned long line, std::FILE* errors) {
    if (length < 2 || length > MAX_WORD_BYTES) {
        report(errors, SHUFFLER_NAME, "invalid word length");
        return false;
    }
    if (list->count >= static_cast<std::uint64_t>(WORD_LIST_CAPACITY)) {
        report(errors, SHUFFLER_NAME, "too many words");
        return false;
    }
    // A slot ends at its first zero byte, so a word holding one would be
    // stored cut short: refuse it rather than change it.
    if (std::memchr(word, 0, static_cast<std::size_t>(length)) != nullptr) {
        report(errors, SHUFFLER_NAME, "zero byte in word");
        return false;
    }
    // Every word of the vocabulary ends up in texts, which must be text.
    if (!isWellFormedUtf8(word, static_cast<std::size_t>(length))) {
        report(errors, SHUFFLER_NAME, "word on line %lu is not well-formed UTF-8", line);
        return false;
    }
    word[length] = 0;
    if (wordListContains(list, word)) {
        report(errors, SHUFFLER_NAME, "duplicate word: %s", reinterpret_cast<char*>(word));
        return false;
    }
    appendWord(list, word, length);
    return true;
}

bool readWordList(std::FILE* input, WordList* list, std::FILE* errors) {
    clearWordList(list);
    unsigned char piece[PIECE_BYTES + 1];
    unsigned long line = 1;
    for (;; ++line) {
        int rawLength = 0;
        if (!readLinePiece(input, piece, PIECE_BYTES, &rawLength)) break;
        int length = stripLineEnd(piece, rawLength);
        if (length == 0) continue;
        if (!takeLine(list, piece, length, line, errors)) return false;
    }
    if (std::ferror(input)) {
        report(errors, SHUFFLER_NAME, "read error");
        return false;
    }
    if (list->count < static_cast<std::uint64_t>(VOCABULARY_SIZE)) {
        report(errors, SHUFFLER_NAME, "%lu words found; %d required minimum",
               static_cast<unsigned long>(list->count), VOCABULARY_SIZE);
        return false;
    }
    return true;
}

void sortWords(WordSlot* slots, std::uint64_t count) {
    // Slots are zero-padded, so comparing whole slots orders them exactly as
    // comparing the zero-terminated words byte by byte, unsigned.
    std::sort(slots, slots + count, [](const WordSlot& left, const WordSlot& right) {
        return std::memcmp(left.bytes, right.bytes, sizeof left.bytes) < 0;
    });
}

void shuffleWords(WordSlot* slots, std::uint64_t count, GeneratorState* state) {
    for (std::uint64_t i = count; i >= 2; --i) {
        std::uint64_t j = nextRandom(state) % i;
        std::swap(slots[i - 1], slots[j]);
    }
}

std::size_t seedingSaltInput(const WordList* list, unsigned char* bytes) {
    std::size_t length = 0;
    for (std::uint64_t i = 0; i < list->count; ++i) {
        const unsigned char* word = list->slots[i].bytes;
        const std::size_t wordLength = std::strlen(reinterpret_cast<const char*>(word));
        std::memcpy(bytes + length, word, wordLength);
        length += wordLength;
        bytes[length++] = '\n';
    }
    return length;
}

void legacySeed(const unsigned char* passphrase, std::size_t length, unsigned char seed[SEED_BYTES]) {
    static_assert(MD5_DIGEST_BYTES == SEED_BYTES, "the legacy seed is the whole digest");
    md5Digest(passphrase, length, seed);
}

int writeShuffledVocabulary(WordList* list, const unsigned char seed[SEED_BYTES], std::FILE* output,
                            std::FILE* errors) {
    GeneratorState state;
    seedGenerator(seed, &state);
    shuffleWords(list->slots, list->count, &state);
    wipeBytes(&state, sizeof state);
    return writeWordList(SHUFFLER_NAME, list->slots, VOCABULARY_SIZE, output, errors,
                         "vocabulary of %lu words written.");
}

struct Md5TestVector {
    const char* message;
    const char* digest;
};

static const Md5TestVector MD5_TEST_VECTORS[MD5_SELF_TEST_COUNT] = {
    {"", "d41d8cd98f00b204e9800998ecf8427e"},
    {"a", "0cc175b9c0f1b6a831c399e269772661"},
    {"abc", "900150983cd24fb0d6963f7d28e17f72"},
    {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
    {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
    {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
};

static void digestToHex(const unsigned char digest[MD5_DIGEST_BYTES], char hex[2 * MD5_DIGEST_BYTES + 1]) {
    static const char DIGITS[] = "0123456789abcdef";
    for (int i = 0; i < MD5_DIGEST_BYTES; ++i) {
        hex[2 * i] = DIGITS[digest[i] >> 4];
        hex[2 * i + 1] = DIGITS[digest[i] & 0x0F];
    }
    hex[2 * MD5_DIGEST_BYTES] = 0;
}

bool runMd5SelfTest(std::FILE* output, std::FILE* errors) {
    for (unsigned long test = 0; test < MD5_SELF_TEST_COUNT; ++test) {
        const Md5TestVector& vector = MD5_TEST_VECTORS[test];
        unsigned char digest[MD5_DIGEST_BYTES];
        md5Digest(reinterpret_cast<const unsigned char*>(vector.message), std::strlen(vector.message), digest);
        char actual[2 * MD5_DIGEST_BYTES + 1];
        digestToHex(digest, actual);
        if (std::strcmp(actual, vector.digest) != 0) {
            std::fprintf(errors, "MD5 self-test FAILED for test %lu\n", test + 1);
            std::fprintf(errors, "  expected: %s\n", vector.digest);
            std::fprintf(errors, "  actual:   %s\n", actual);
            return false;
        }
    }
    std::fprintf(output, "MD5 self-test PASSED (%lu test vectors)\n", MD5_SELF_TEST_COUNT);
    // A success line that cannot be written must not end as a success.
    if (std::fflush(output) != 0 || std::ferror(output)) {
        report(errors, SHUFFLER_NAME, "write error");
        return false;
    }
    return true;
}
