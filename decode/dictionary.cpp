#include "dictionary.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "consoleProgram.h"
#include "letterCase.h"
#include "linePiece.h"
#include "platform.h"

// ---------------------------------------------------------------- loading

static bool refuse(std::FILE* file, std::FILE* errors, const char* message) {
    report(errors, DECODER_NAME, "%s", message);
    std::fclose(file);
    return false;
}

// Every capital of the folding rule ('A'..'Z' and the capitals of the case
// table) with its lowercase letter.
struct CapitalLetters {
    CasePair pairs[26 + CASE_PAIR_COUNT];
};

static CapitalLetters makeCapitalLetters() {
    CapitalLetters letters;
    for (int n = 0; n < 26; ++n) letters.pairs[n] = {static_cast<std::uint32_t>('A' + n), 0};
    for (int n = 0; n < CASE_PAIR_COUNT; ++n) letters.pairs[26 + n] = {CasePairTable[n].capital, 0};
    for (CasePair& pair : letters.pairs) pair.lowercase = toLowercaseLetter(pair.capital);
    return letters;
}

// The keys of the folded table in the order they go in: the words as
// written, then the capitalised forms. A form that is a word of its own so
// keeps that word's index, as the text is looked up as written first. A key
// that finds no room is left out, which only slows its text down.
struct FoldedKeys {
    std::uint64_t keys[FOLDED_MOST_KEYS];
    std::uint16_t indices[FOLDED_MOST_KEYS];
    int count;
};

static void addFoldedKey(FoldedKeys* folded, std::uint64_t key, int index) {
    if (folded->count == FOLDED_MOST_KEYS) return;
    folded->keys[folded->count] = key;
    folded->indices[folded->count] = static_cast<std::uint16_t>(index);
    ++folded->count;
}

// Adds every form of the word at index with a capital first letter that the
// folding rule turns back into the word.
static void addCapitalForms(const Dictionary& dictionary, int index, FoldedKeys* folded) {
    static const CapitalLetters capitals = makeCapitalLetters();
    const unsigned char* word = dictionary.slots[index];
    std::size_t length = std::strlen(reinterpret_cast<const char*>(word));
    std::uint32_t first = 0;
    int firstLength = 0;
    if (!decodeUtf8Char(word, length, UTF8_UP_TO_3_BYTES, &first, &firstLength)) return;
    for (const CasePair& pair : capitals.pairs) {
        if (pair.lowercase != first) continue;
        unsigned char form[WORD_SLOT_BYTES] = {};
        if (encodeUtf8Char(pair.capital, form, UTF8_UP_TO_3_BYTES) != firstLength) continue;
        std::memcpy(form + firstLength, word + firstLength, length - static_cast<std::size_t>(firstLength));
        // The form must fold back through the very rule the text is read by.
        unsigned char lowered[WORD_SLOT_BYTES];
        std::memcpy(lowered, form, WORD_SLOT_BYTES);
        if (!lowercaseFirstLetter(lowered, length, UTF8_UP_TO_3_BYTES)) continue;
        if (std::memcmp(lowered, word, WORD_SLOT_BYTES) != 0) continue;
        // Only one word folds to it, but it may be a word of its own.
        if (lookupWord(dictionary.lookup, slotKey(form)) >= 0) continue;
        addFoldedKey(folded, slotKey(form), index);
    }
}

static void buildFoldedLookup(Dictionary* dictionary) {
    static FoldedKeys folded;
    folded.count = 0;
    for (int i = 0; i < VOCABULARY_SIZE; ++i) addFoldedKey(&folded, slotKey(dictionary->slots[i]), i);
    for (int i = 0; i < VOCABULARY_SIZE; ++i) addCapitalForms(*dictionary, i, &folded);
    buildFoldedTable(&dictionary->folded, folded.keys, folded.indices, folded.count);
}

// The bytes with every capital that keeps its UTF-8 length lowercased.
static std::uint64_t loweredKey(const unsigned char* bytes, int length) {
    unsigned char lowered[WORD_SLOT_BYTES] = {};
    if (length <= 0 || length > MAX_WORD_BYTES) return 0;
    std::memcpy(lowered, bytes, static_cast<std::size_t>(length));
    for (int at = 0; at < length;) {
        std::uint32_t codePoint = 0;
        int characterLength = 1;
        if (decodeUtf8Char(lowered + at, static_cast<std::uint64_t>(length - at), UTF8_UP_TO_3_BYTES, &codePoint,
                           &characterLength)) {
            lowercaseFirstLetter(lowered + at, static_cast<std::size_t>(length - at), UTF8_UP_TO_3_BYTES);
        } else {
            characterLength = 1;
        }
        at += characterLength;
    }
    return slotKey(lowered);
}

static void buildLoweredIndex(Dictionary* dictionary) {
    LoweredWord* lowered = dictionary->lowered;
    for (int i = 0; i < VOCABULARY_SIZE; ++i) {
        const unsigned char* word = dictionary->slots[i];
        int length = static_cast<int>(strnlen(reinterpret_cast<const char*>(word), WORD_SLOT_BYTES));
        lowered[i] = LoweredWord{loweredKey(word, length), static_cast<std::uint16_t>(i), false};
    }
    std::sort(lowered, lowered + VOCABULARY_SIZE,
              [](const LoweredWord& a, const LoweredWord& b) { return a.key < b.key; });
    for (int i = 1; i < VOCABULARY_SIZE; ++i) {
        if (lowered[i].key != lowered[i - 1].key) continue;
        lowered[i].shared = true;
        lowered[i - 1].shared = true;
    }
}

bool loadDictionary(const char* fileName, Dictionary* dictionary, std::FILE* errors) {
    std::FILE* file = openFileForReading(fileName);
    if (file == nullptr) {
        report(errors, DECODER_NAME, "cannot open dictionary");
        return false;
    }
    clearWordLookup(&dictionary->lookup);
    unsigned char piece[DICTIONARY_PIECE_BYTES];
    int length = 0;
    int count = 0;
    while (readLinePiece(file, piece, DICTIONARY_PIECE_BYTES, &length)) {
        length = withoutDecoderLineEnd(piece, length);
        // A slot holds its word up to the first zero byte.
        const void* zero = std::memchr(piece, 0, static_cast<std::size_t>(length));
        if (zero != nullptr) length = static_cast<int>(static_cast<const unsigned char*>(zero) - piece);
        if (length == 0 || length > MAX_WORD_BYTES) return refuse(file, errors, "invalid dictionary word");
        if (count == VOCABULARY_SIZE) return refuse(file, errors, "too many dictionary words");
        std::uint64_t key = wordKey(piece, static_cast<std::size_t>(length));
        if (addWord(&dictionary->lookup, key, count) >= 0) {
            return refuse(file, errors, "duplicate dictionary word");
        }
        std::memset(dictionary->slots[count], 0, WORD_SLOT_BYTES);
        std::memcpy(dictionary->slots[count], piece, static_cast<std::size_t>(length));
        ++count;
    }
    if (std::ferror(file)) return refuse(file, errors, "dictionary read error");
    std::fclose(file);
    if (count != VOCABULARY_SIZE) {
        report(errors, DECODER_NAME, "dictionary must contain %d words", VOCABULARY_SIZE);
        return false;
    }
    buildFoldedLookup(dictionary);
    buildLoweredIndex(dictionary);
    return true;
}

// ---------------------------------------------------------------- lookup

int findWord(const Dictionary& dictionary, const char* word) {
    std::size_t length = 0;
    while (length <= MAX_WORD_BYTES && word[length] != 0) ++length;
    if (length == 0 || length > MAX_WORD_BYTES) return -1;
    return lookupWord(dictionary.lookup, wordKey(reinterpret_cast<const unsigned char*>(word), length));
}

// An ASCII capital is lowercased in place; other first characters go
// through the UTF-8 case rules.
int findKeyFolded(const Dictionary& dictionary, std::uint64_t key, int length) {
    int index = lookupWord(dictionary.lookup, key);
    if (index >= 0) return index;
    unsigned char first = static_cast<unsigned char>(key);
    if (first >= 'A' && first <= 'Z') return lookupWord(dictionary.lookup, key | 0x20);
    if (first < 0x80) return -1;
    unsigned char folded[WORD_SLOT_BYTES];
    keyToSlot(key, folded);
    if (!lowercaseFirstLetter(folded, static_cast<std::size_t>(length), UTF8_UP_TO_3_BYTES)) return -1;
    return lookupWord(dictionary.lookup, slotKey(folded));
}

int findWordLowered(const Dictionary& dictionary, const unsigned char* bytes, int length) {
    std::uint64_t key = loweredKey(bytes, length);
    const LoweredWord* end = dictionary.lowered + VOCABULARY_SIZE;
    const LoweredWord* found = std::lower_bound(dictionary.lowered, end, key,
                                                [](const LoweredWord& word, std::uint64_t k) { return word.key < k; });
    if (key == 0 || found == end || found->key != key || found->shared) return -1;
    return found->index;
}

int findWordFolded(const Dictionary& dictionary, const char* word) {
    std::size_t length = 0;
    while (length <= MAX_WORD_BYTES && word[length] != 0) ++length;
    if (length == 0 || length > MAX_WORD_BYTES) return -1;
    std::uint64_t key = wordKey(reinterpret_cast<const unsigned char*>(word), length);
    return findKeyFolded(dictionary, key, static_cast<int>(length));
}
