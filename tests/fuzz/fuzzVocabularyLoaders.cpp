// Both vocabulary loaders, the encoder's loadVocabulary and the decoder's
// loadDictionary, on the same file bytes. The first input byte chooses:
//   even: the rest is the whole file;
//   odd:  the rest edits the fixed vocabulary's file: records of a 16-bit
//         position (scaled to the file), a length byte whose top bit chooses
//         overwrite or insert, and that many bytes.
// Checked: whatever a loader accepts holds 4608 distinct words that it finds
// again under their own index (the encoder's also readable as text); and a
// file in the vocabulary format (4608 lines of 1..7 word bytes, distinct,
// "\n" or "\r\n" line ends, the last one optional) passes both with the
// words of its lines.
#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "decoder.h"
#include "encoder.h"
#include "fuzzSupport.h"
#include "letterCase.h"
#include "wordPacking.h"

static Dictionary dictionary;
static VocabularyBlob vocabulary;

static std::string editedVocabulary(const unsigned char* data, std::size_t size) {
    std::string text = fixedVocabularyText();
    std::size_t i = 0;
    while (i + 3 <= size) {
        std::size_t position = ((static_cast<std::size_t>(data[i]) << 8) | data[i + 1]) * (text.size() + 1) / 65536;
        bool insert = (data[i + 2] & 0x80) != 0;
        std::size_t length = data[i + 2] & 0x7F;
        i += 3;
        if (length > size - i) length = size - i;
        std::string bytes(reinterpret_cast<const char*>(data + i), length);
        i += length;
        if (insert) {
            text.insert(position, bytes);
        } else {
            text.replace(position, length, bytes);
        }
    }
    return text;
}

// The lines of a file in the vocabulary format (words of word bytes in
// well-formed UTF-8, no byte-order mark first), or false when it is not.
static bool formatLines(const std::string& text, std::vector<std::string>* lines) {
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        std::size_t next = end == std::string::npos ? text.size() : end + 1;
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (end < text.size() && !line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line.size() > MAX_WORD_BYTES) return false;
        for (unsigned char byte : line) {
            if (!isWordByte(byte)) return false;
        }
        auto bytes = reinterpret_cast<const unsigned char*>(line.data());
        if (!isWellFormedUtf8(bytes, line.size())) return false;
        if (lines->empty() && line.compare(0, 3, "\xEF\xBB\xBF") == 0) return false;
        lines->push_back(line);
        start = next;
    }
    if (lines->size() != VOCABULARY_SIZE) return false;
    std::set<std::string> distinct(lines->begin(), lines->end());
    return distinct.size() == lines->size();
}

static void checkEncoderVocabulary() {
    std::set<std::string> seen;
    for (int i = 0; i < VOCABULARY_SIZE; ++i) {
        const char* word = vocabularyWord(vocabulary, static_cast<WordIndex>(i));
        std::size_t length = std::strlen(word);
        FUZZ_CHECK(length >= 1 && length <= MAX_WORD_BYTES, "encoder kept a word of a bad length");
        FUZZ_CHECK(length == vocabulary.wordLengths[i], "encoder's word length is wrong");
        for (std::size_t k = 0; k < length; ++k) {
            FUZZ_CHECK(isWordByte(static_cast<unsigned char>(word[k])), "encoder kept an unreadable word");
        }
        FUZZ_CHECK(seen.insert(word).second, "encoder kept a duplicate word");
        FUZZ_CHECK(isVocabularyWord(vocabulary, word), "encoder does not find its own word");
    }
}

static void checkDecoderDictionary() {
    for (int i = 0; i < VOCABULARY_SIZE; ++i) {
        const char* word = reinterpret_cast<const char*>(dictionary.slots[i]);
        std::size_t length = strnlen(word, WORD_SLOT_BYTES);
        FUZZ_CHECK(length >= 1 && length <= MAX_WORD_BYTES, "decoder kept a word of a bad length");
        FUZZ_CHECK(findWord(dictionary, word) == i, "decoder finds a word under another index");
    }
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    std::string text = (data[0] & 1) != 0
                           ? editedVocabulary(data + 1, size - 1)
                           : std::string(reinterpret_cast<const char*>(data + 1), size - 1);
    static const std::string path = fuzzTempPath("loaders.vcb");
    writeBytesToFile(path, reinterpret_cast<const unsigned char*>(text.data()), text.size());

    silenceStandardError();
    bool encoderAccepts = loadVocabulary(path.c_str(), &vocabulary, stderr);
    bool decoderAccepts = loadDictionary(path.c_str(), &dictionary, stderr);
    restoreStandardError();
    FUZZ_CHECK(encoderAccepts || vocabulary.blob == nullptr, "a refused vocabulary kept its memory");

    if (encoderAccepts) checkEncoderVocabulary();
    if (decoderAccepts) checkDecoderDictionary();
    std::vector<std::string> lines;
    if (formatLines(text, &lines)) {
        FUZZ_CHECK(encoderAccepts, "the encoder refuses a well-formed vocabulary");
        FUZZ_CHECK(decoderAccepts, "the decoder refuses a well-formed vocabulary");
        for (int i = 0; i < VOCABULARY_SIZE; ++i) {
            FUZZ_CHECK(lines[i] == vocabularyWord(vocabulary, static_cast<WordIndex>(i)),
                       "the encoder holds another word than the line");
            FUZZ_CHECK(lines[i] == reinterpret_cast<const char*>(dictionary.slots[i]),
                       "the decoder holds another word than the line");
        }
    }
    if (encoderAccepts) freeVocabulary(&vocabulary);
    return 0;
}
