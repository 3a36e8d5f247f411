// The shuffler's word-list reader on arbitrary bytes. When the first input
// byte is odd, the fixed vocabulary's 4608 lines come before the rest, so
// that whole lists are read, not only lists refused for being short.
// Checked against a line-by-line model of the list format: the reader
// accepts exactly the lists the model accepts, keeps the same words in the
// same order, and on refusal writes one message line naming the program.
#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "fuzzSupport.h"
#include "shuffler.h"

static WordList list;

// Well-formed UTF-8 by the table of RFC 3629: the second byte's range
// depends on the lead byte.
static bool wellFormed(const std::string& bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        unsigned char lead = static_cast<unsigned char>(bytes[i]);
        int more = lead < 0x80 ? 0 : lead >= 0xC2 && lead <= 0xDF ? 1 : lead >= 0xE0 && lead <= 0xEF ? 2
                 : lead >= 0xF0 && lead <= 0xF4 ? 3 : -1;
        if (more < 0 || i + static_cast<std::size_t>(more) >= bytes.size()) return false;
        unsigned char low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
        unsigned char high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
        for (int k = 1; k <= more; ++k) {
            unsigned char next = static_cast<unsigned char>(bytes[i + static_cast<std::size_t>(k)]);
            if (next < (k == 1 ? low : 0x80) || next > (k == 1 ? high : 0xBF)) return false;
        }
        i += static_cast<std::size_t>(more) + 1;
    }
    return true;
}

// The words of a valid list, or false. A line ends at "\n"; one "\r" before
// it is dropped; empty lines are skipped; other lines are 2..7 bytes of
// well-formed UTF-8 without a zero byte, distinct, at most
// WORD_LIST_CAPACITY of them, at least 4608.
static bool modelList(const std::string& text, std::vector<std::string>* words) {
    std::set<std::string> seen;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        bool ended = end != std::string::npos;
        if (!ended) end = text.size();
        std::string line = text.substr(start, end - start);
        start = ended ? end + 1 : text.size();
        if (ended && !line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        if (line.size() < 2 || line.size() > MAX_WORD_BYTES) return false;
        if (line.find('\0') != std::string::npos || !wellFormed(line)) return false;
        if (words->size() == WORD_LIST_CAPACITY) return false;
        if (!seen.insert(line).second) return false;
        words->push_back(line);
    }
    return words->size() >= VOCABULARY_SIZE;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    std::string text;
    if ((data[0] & 1) != 0) text = fixedVocabularyText();
    text.append(reinterpret_cast<const char*>(data + 1), size - 1);

    std::FILE* input = openMemoryInput(reinterpret_cast<const unsigned char*>(text.data()), text.size());
    MemoryOutput errors;
    openMemoryOutput(&errors);
    bool read = readWordList(input, &list, errors.stream);
    std::fclose(input);
    std::string message = closeMemoryOutput(&errors);

    std::vector<std::string> words;
    bool valid = modelList(text, &words);
    FUZZ_CHECK(read == valid, "the reader and the list model disagree");
    if (read) {
        FUZZ_CHECK(message.empty(), "an accepted list gave a message");
        FUZZ_CHECK(list.count == words.size(), "the reader kept another number of words");
        for (std::uint64_t i = 0; i < list.count; ++i) {
            FUZZ_CHECK(words[i] == reinterpret_cast<const char*>(list.slots[i].bytes), "the reader kept another word");
            FUZZ_CHECK(wordListContains(&list, list.slots[i].bytes), "the hash set misses a stored word");
        }
        // The scan costs a pass over the list per word: the first and last only.
        FUZZ_CHECK(containsWord(list.slots, list.count, list.slots[0].bytes) &&
                       containsWord(list.slots, list.count, list.slots[list.count - 1].bytes),
                   "the scan misses a stored word");
    } else {
        FUZZ_CHECK(message.compare(0, std::strlen(SHUFFLER_NAME) + 2,
                                   std::string(SHUFFLER_NAME) + ": ") == 0,
                   "a refusal does not name the program");
        FUZZ_CHECK(message.find('\n') == message.size() - 1, "a refusal is not one line");
    }
    return 0;
}
