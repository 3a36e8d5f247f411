#include "vocabularyBlob.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "consoleProgram.h"
#include "letterCase.h"
#include "linePiece.h"
#include "platform.h"
#include "wordPacking.h"

// Drops the whole run of "\r" and "\n" at the end of a piece.
static int withoutLineEnds(const unsigned char* piece, int length) {
    while (length > 0 && (piece[length - 1] == '\n' || piece[length - 1] == '\r')) --length;
    return length;
}

static bool refuse(std::FILE* file, std::FILE* errors, const char* programName, const char* message) {
    report(errors, programName, "%s", message);
    std::fclose(file);
    return false;
}

// First pass: counts the entries and the blob size they need.
static bool countEntries(std::FILE* file, unsigned long* count, std::uint64_t* size, std::FILE* errors, const char* programName) {
    unsigned char piece[VOCABULARY_PIECE_BYTES];
    int length = 0;
    *count = 0;
    *size = 0;
    while (readLinePiece(file, piece, VOCABULARY_PIECE_BYTES, &length)) {
        length = withoutLineEnds(piece, length);
        if (length == 0) return refuse(file, errors, programName, "empty vocabulary entry");
        if (*count == VOCABULARY_SIZE) {
            report(errors, programName, "vocabulary has more than %d entries",
                         VOCABULARY_SIZE);
            std::fclose(file);
            return false;
        }
        ++*count;
        *size += static_cast<std::uint64_t>(length) + 1;
    }
    if (std::ferror(file)) return refuse(file, errors, programName, "error reading vocabulary");
    return true;
}

// Second pass: copies the entries into the blob. The file may have changed
// since the first pass, so nothing is written beyond the blob or the offset
// table; an entry that does not fit leaves offsets that the final test
// refuses.
static void fillBlob(std::FILE* file, VocabularyBlob* vocabulary) {
    unsigned char piece[VOCABULARY_PIECE_BYTES];
    int length = 0;
    int entry = 0;
    std::uint64_t fill = 0;
    for (int i = 0; i < VOCABULARY_SIZE; ++i) vocabulary->offsets[i] = 0xFFFF;
    while (readLinePiece(file, piece, VOCABULARY_PIECE_BYTES, &length)) {
        int decoderLength = withoutDecoderLineEnd(piece, length);
        length = withoutLineEnds(piece, length);
        if (entry == VOCABULARY_SIZE || length == 0 || fill + length + 1 > vocabulary->blobSize) {
            vocabulary->offsets[0] = 0xFFFF;
            return;
        }
        vocabulary->offsets[entry] = static_cast<std::uint16_t>(fill);
        vocabulary->wordLengths[entry] = static_cast<std::uint8_t>(length);
        vocabulary->lineEndLeftByDecoder[entry] = decoderLength != length;
        std::memcpy(vocabulary->blob + fill, piece, static_cast<std::size_t>(length));
        vocabulary->blob[fill + length] = 0;
        fill += static_cast<std::uint64_t>(length) + 1;
        ++entry;
    }
}

static bool offsetsAreValid(const VocabularyBlob& vocabulary) {
    for (int i = 0; i < VOCABULARY_SIZE; ++i) {
        if (vocabulary.offsets[i] >= vocabulary.blobSize) return false;
    }
    return true;
}

static bool isReadableWord(const unsigned char* word, int length, bool lineEndLeftByDecoder) {
    if (length > MAX_WORD_BYTES || lineEndLeftByDecoder) return false;
    for (int i = 0; i < length; ++i) {
        if (!isWordByte(word[i])) return false;
    }
    return true;
}

static bool beginsWithByteOrderMark(const unsigned char* word, int length) {
    return length >= 3 && word[0] == 0xEF && word[1] == 0xBB && word[2] == 0xBF;
}

// Refuses words that text could never give back, or that would make texts
// that are not text, and indexes the others.
static bool indexWords(VocabularyBlob* vocabulary, std::FILE* errors, const char* programName) {
    clearWordLookup(&vocabulary->lookup);
    for (int i = 0; i < VOCABULARY_SIZE; ++i) {
        const unsigned char* word = vocabulary->blob + vocabulary->offsets[i];
        int length = vocabulary->wordLengths[i];
        unsigned long line = static_cast<unsigned long>(i) + 1;
        // An editor that saved the file with a byte-order mark put it into
        // the first word, where no text would ever carry it.
        if (i == 0 && beginsWithByteOrderMark(word, length)) {
            report(errors, programName, "the vocabulary begins with a byte-order mark: save it as UTF-8 without one");
            return false;
        }
        if (!isReadableWord(word, length, vocabulary->lineEndLeftByDecoder[i])) {
            report(errors, programName, "vocabulary word %lu cannot be read back", line);
            return false;
        }
        if (!isWellFormedUtf8(word, static_cast<std::size_t>(length))) {
            report(errors, programName, "vocabulary word %lu is not well-formed UTF-8", line);
            return false;
        }
        vocabulary->wordSlots[i] = wordKey(word, static_cast<std::size_t>(length));
        if (addWord(&vocabulary->lookup, vocabulary->wordSlots[i], i) >= 0) {
            report(errors, programName, "vocabulary word %lu repeats an earlier word",
                         line);
            return false;
        }
    }
    return true;
}

// A sentence's first word gets an upper-case first letter only when that
// form is not a vocabulary word of its own, so that it reads back as itself.
static void decideCapitals(VocabularyBlob* vocabulary) {
    for (int i = 0; i < VOCABULARY_SIZE; ++i) {
        const unsigned char* word = vocabulary->blob + vocabulary->offsets[i];
        int length = vocabulary->wordLengths[i];
        vocabulary->mayCapitalise[i] = false;
        if (word[0] < 'a' || word[0] > 'z') continue;
        unsigned char capitalised[WORD_SLOT_BYTES];
        std::memcpy(capitalised, word, static_cast<std::size_t>(length));
        capitalised[0] = static_cast<unsigned char>(word[0] - 0x20);
        std::uint64_t key = wordKey(capitalised, static_cast<std::size_t>(length));
        vocabulary->mayCapitalise[i] = lookupWord(vocabulary->lookup, key) < 0;
    }
}

bool loadVocabulary(const char* fileName, VocabularyBlob* vocabulary, std::FILE* errors, const char* programName) {
    vocabulary->blob = nullptr;
    vocabulary->blobSize = 0;
    std::FILE* file = openFileForReading(fileName);
    if (file == nullptr) {
        report(errors, programName, "cannot open vocabulary \"%s\"", fileName);
        return false;
    }
    unsigned long count = 0;
    std::uint64_t size = 0;
    if (!countEntries(file, &count, &size, errors, programName)) return false;
    if (count != VOCABULARY_SIZE) {
        report(errors, programName, "vocabulary has %lu entries; %d required", count,
                     VOCABULARY_SIZE);
        std::fclose(file);
        return false;
    }
    if (size > MAX_BLOB_BYTES) return refuse(file, errors, programName, "vocabulary blob is too large?");
    vocabulary->blob = static_cast<unsigned char*>(std::malloc(static_cast<std::size_t>(size)));
    if (vocabulary->blob == nullptr) return refuse(file, errors, programName, "out of memory");
    vocabulary->blobSize = size;
    if (std::fseek(file, 0, SEEK_SET) != 0) {
        freeVocabulary(vocabulary);
        return refuse(file, errors, programName, "cannot rewind vocabulary");
    }
    std::clearerr(file);
    fillBlob(file, vocabulary);
    std::fclose(file);
    if (!offsetsAreValid(*vocabulary)) {
        report(errors, programName, "internal vocabulary error");
        freeVocabulary(vocabulary);
        return false;
    }
    if (!indexWords(vocabulary, errors, programName)) {
        freeVocabulary(vocabulary);
        return false;
    }
    decideCapitals(vocabulary);
    return true;
}

void freeVocabulary(VocabularyBlob* vocabulary) {
    if (vocabulary->blob != nullptr) wipeBytes(vocabulary->blob, static_cast<std::size_t>(vocabulary->blobSize));
    std::free(vocabulary->blob);
    vocabulary->blob = nullptr;
    vocabulary->blobSize = 0;
}

const char* vocabularyWord(const VocabularyBlob& vocabulary, WordIndex index) {
    return reinterpret_cast<const char*>(vocabulary.blob + vocabulary.offsets[index]);
}

bool isVocabularyWord(const VocabularyBlob& vocabulary, const char* text) {
    std::size_t length = std::strlen(text);
    if (length == 0 || length > MAX_WORD_BYTES) return false;
    std::uint64_t key = wordKey(reinterpret_cast<const unsigned char*>(text), length);
    return lookupWord(vocabulary.lookup, key) >= 0;
}

void canonicalVocabulary(const VocabularyBlob& vocabulary, unsigned char* bytes) {
    for (std::uint64_t i = 0; i < vocabulary.blobSize; ++i) {
        bytes[i] = vocabulary.blob[i] == 0 ? '\n' : vocabulary.blob[i];
    }
}
