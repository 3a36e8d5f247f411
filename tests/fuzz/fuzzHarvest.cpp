// The harvester's tokenizer on arbitrary text, fed whole and in pieces of a
// size taken from the first input byte. Checked: both give the same word
// list; every word is 2..7 word bytes (no line end, no zero byte), distinct;
// and the list written as the program writes it passes the shuffler's
// word-list reader, which gives back the same words (failing, for a short
// list, only on the word count).
#include <cstdint>
#include <cstring>
#include <set>
#include <string>

#include "fuzzSupport.h"
#include "harvester.h"
#include "letterCase.h"
#include "shuffler.h"
#include "wordPacking.h"

static Harvester wholeHarvester;
static Harvester pieceHarvester;
static WordList readBack;

static void harvest(Harvester* harvester, const unsigned char* bytes, std::size_t count, std::size_t pieceSize) {
    startHarvest(harvester);
    for (std::size_t start = 0; start < count && !harvester->finished; start += pieceSize) {
        std::size_t length = count - start < pieceSize ? count - start : pieceSize;
        std::size_t consumed = harvestBytes(harvester, bytes + start, length);
        FUZZ_CHECK(consumed <= length, "the tokenizer consumed more than it was given");
        FUZZ_CHECK(consumed == length || harvester->finished, "the tokenizer stopped early without finishing");
    }
    finishHarvest(harvester);
}

static std::string word(const WordList& list, std::uint64_t i) {
    return std::string(reinterpret_cast<const char*>(list.slots[i].bytes));
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    std::size_t pieceSize = 1 + data[0] % 16;
    harvest(&wholeHarvester, data + 1, size - 1, size);
    harvest(&pieceHarvester, data + 1, size - 1, pieceSize);

    const WordList& list = wholeHarvester.words;
    FUZZ_CHECK(list.count == pieceHarvester.words.count, "pieces give another number of words");
    FUZZ_CHECK(list.count <= WORD_LIST_CAPACITY, "the list overflowed");
    std::set<std::string> seen;
    std::string lines;
    for (std::uint64_t i = 0; i < list.count; ++i) {
        std::string text = word(list, i);
        FUZZ_CHECK(text == word(pieceHarvester.words, i), "pieces give other words");
        FUZZ_CHECK(text.size() >= 2 && text.size() <= MAX_WORD_BYTES, "a harvested word has a bad length");
        for (unsigned char byte : text) FUZZ_CHECK(isWordByte(byte), "a harvested word holds a separator");
        FUZZ_CHECK(isWellFormedUtf8(list.slots[i].bytes, text.size()), "a harvested word is not well-formed UTF-8");
        FUZZ_CHECK(seen.insert(text).second, "a word was harvested twice");
        FUZZ_CHECK(wordListContains(&list, list.slots[i].bytes), "the hash set misses a word");
        lines += text + "\n";
    }

    std::FILE* input = openMemoryInput(reinterpret_cast<const unsigned char*>(lines.data()), lines.size());
    MemoryOutput errors;
    openMemoryOutput(&errors);
    bool read = readWordList(input, &readBack, errors.stream);
    std::fclose(input);
    std::string message = closeMemoryOutput(&errors);
    if (list.count >= VOCABULARY_SIZE) {
        FUZZ_CHECK(read, "the shuffler refuses a full harvested list");
    } else {
        FUZZ_CHECK(!read && message.find(" words found; ") != std::string::npos,
                   "the shuffler refuses a harvested word");
    }
    FUZZ_CHECK(readBack.count == list.count, "the shuffler reads another number of words");
    for (std::uint64_t i = 0; i < list.count; ++i) {
        FUZZ_CHECK(std::memcmp(readBack.slots[i].bytes, list.slots[i].bytes, WORD_SLOT_BYTES) == 0,
                   "the shuffler reads another word");
    }
    return 0;
}
