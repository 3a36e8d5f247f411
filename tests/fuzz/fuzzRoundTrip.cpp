// Encode then decode with the fixed vocabulary, through the programs'
// stream functions. Checked: the decoder gives back exactly the input; the
// text has one word per index that the input packs into; and the text
// ends with a full stop.
#include <cstdint>
#include <string>

#include "decodeProgram.h"
#include "encoder.h"
#include "fuzzSupport.h"
#include "wordPacking.h"

static Dictionary dictionary;
static VocabularyBlob vocabulary;
static OutputBuffer output;

static void loadFixedVocabulary() {
    static bool loaded = false;
    if (loaded) return;
    FUZZ_CHECK(loadVocabulary(fixedVocabularyPath().c_str(), &vocabulary, stderr), "encoder refuses the fixed vocabulary");
    FUZZ_CHECK(loadDictionary(fixedVocabularyPath().c_str(), &dictionary, stderr), "decoder refuses the fixed vocabulary");
    loaded = true;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    loadFixedVocabulary();
    seedRandom(static_cast<std::uint32_t>(size));

    std::string text;
    openStringOutput(&output, &text);
    SentenceShaper shaper;
    resetShaper(&shaper, randomInRange);
    std::FILE* input = openMemoryInput(data, size);
    EncodeResult encoded = encodeStream(vocabulary, &shaper, input, &output);
    std::fclose(input);
    FUZZ_CHECK(encoded == ENCODE_DONE, "encoding failed");
    FUZZ_CHECK(flushOutput(&output), "flush failed");
    FUZZ_CHECK(countTextWords(text) == packedIndexCount(size), "the text has the wrong number of words");
    std::size_t lastMark = text.find_last_not_of(" \n");
    FUZZ_CHECK(text.empty() || (lastMark != std::string::npos && text[lastMark] == '.'),
               "the last sentence has no full stop");

    std::string bytes;
    openStringOutput(&output, &bytes);
    static TextPiece piece;
    DecoderState state;
    TextReading read;
    input = openMemoryInput(reinterpret_cast<const unsigned char*>(text.data()), text.size());
    DecodeResult decoded = decodeStream(dictionary, input, 1, &state, &output, &piece, &read);
    std::fclose(input);
    FUZZ_CHECK(decoded == DECODE_OK, "the encoder's text does not decode");
    FUZZ_CHECK(flushOutput(&output), "flush failed");
    FUZZ_CHECK(bytes.size() == size && (size == 0 || bytes.compare(0, size, reinterpret_cast<const char*>(data), size) == 0),
               "encode then decode does not give back the input");
    return 0;
}
