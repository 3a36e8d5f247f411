#include "messageBlocks.h"

#include "sealedShape.h"
#include "tolerantScan.h"

// Lines of words at either end of the longest run that a block may leave off.
constexpr int MOST_LEFT_OFF = 2;
constexpr int EDGE_LINES = MOST_LEFT_OFF + 1;

// A line of the text: its bytes without the line end, and its number from 1.
struct LineSpan {
    std::size_t start;
    std::size_t end;
    unsigned long number;
};

// ---------------------------------------------------------------- lines

static std::size_t endOfLine(const unsigned char* text, std::size_t count, std::size_t start) {
    while (start < count && text[start] != '\n' && text[start] != '\r') ++start;
    return start;
}

static std::size_t startOfNextLine(const unsigned char* text, std::size_t count, std::size_t end) {
    if (end + 1 < count && text[end] == '\r' && text[end + 1] == '\n') return end + 2;
    return end < count ? end + 1 : count;
}

struct LineWords {
    const Dictionary* dictionary;
    unsigned long known;
    unsigned long unknown;
};

static bool countLineWord(void* context, const TolerantWord& word, bool /*endOfText*/) {
    LineWords* words = static_cast<LineWords*>(context);
    int index = -1;
    if (lookUpTolerantly(*words->dictionary, word, &index) == DECODE_OK) {
        ++words->known;
    } else {
        ++words->unknown;
    }
    return true;
}

static LineWords wordsOfLine(const Dictionary& dictionary, const unsigned char* text, const LineSpan& line) {
    LineWords words = {&dictionary, 0, 0};
    TolerantScan scan;
    startTolerantScan(&scan, line.start);
    scanTolerantly(&scan, text + line.start, line.end - line.start, countLineWord, &words);
    finishTolerantScan(&scan, countLineWord, &words);
    return words;
}

// ---------------------------------------------------------------- the longest run

// The run of lines with the most vocabulary words and no other word, by
// its first and last line of words; and the lines of words of the text.
struct LineRun {
    LineSpan first;
    LineSpan last;
    unsigned long words;
    unsigned long lines;  // lines of words
};

static void closeRun(LineRun* run, LineRun* best) {
    if (run->words > best->words) *best = *run;
    *run = LineRun{};
}

static LineRun longestRun(const Dictionary& dictionary, const unsigned char* text, std::size_t count,
                          unsigned long* linesOfWords) {
    LineRun best = {}, run = {};
    *linesOfWords = 0;
    LineSpan line = {0, 0, 1};
    for (; line.start < count; ++line.number) {
        line.end = endOfLine(text, count, line.start);
        LineWords words = wordsOfLine(dictionary, text, line);
        if (words.known + words.unknown > 0) ++*linesOfWords;
        if (words.unknown > 0) {
            closeRun(&run, &best);
        } else if (words.known > 0) {
            if (run.lines == 0) run.first = line;
            run.last = line;
            run.words += words.known;
            ++run.lines;
        }
        line.start = startOfNextLine(text, count, line.end);
    }
    closeRun(&run, &best);
    return best;
}

// The first and the last EDGE_LINES lines of words of a run.
struct RunEdges {
    LineSpan first[EDGE_LINES];
    LineSpan last[EDGE_LINES];  // last[0] is the run's last line
    unsigned long lines;
};

static RunEdges edgesOf(const Dictionary& dictionary, const unsigned char* text, const LineRun& run) {
    RunEdges edges = {};
    LineSpan line = {run.first.start, 0, run.first.number};
    std::size_t end = run.last.end;
    for (; line.start <= end && edges.lines < run.lines; ++line.number) {
        line.end = endOfLine(text, end, line.start);
        LineWords words = wordsOfLine(dictionary, text, line);
        if (words.known > 0) {
            if (edges.lines < EDGE_LINES) edges.first[edges.lines] = line;
            for (int k = EDGE_LINES - 1; k > 0; --k) edges.last[k] = edges.last[k - 1];
            edges.last[0] = line;
            ++edges.lines;
        }
        line.start = startOfNextLine(text, end, line.end);
        if (line.start >= end) break;
    }
    return edges;
}

// ---------------------------------------------------------------- readings

static DecodeResult decodeSpan(const Dictionary& dictionary, const unsigned char* bytes, std::size_t count,
                               DecoderState* state, OutputBuffer* output) {
    output->used = 0;
    resetDecoderState(state);
    DecodeResult result = decodeText(dictionary, state, bytes, count, output);
    if (result == DECODE_OK) result = finishDecoding(dictionary, state, output);
    return result;
}

// The blocks of the run in the order they are tried: fewest lines left
// off first, at the start before at the end.
struct BlockOrder {
    int leftOffFirst;
    int leftOffLast;
};

static const BlockOrder BLOCK_ORDER[] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}, {2, 0}, {0, 2}, {2, 1}, {1, 2}, {2, 2}};

struct BlockSearch {
    const Dictionary* dictionary;
    const unsigned char* text;
    DecoderState* state;
    OutputBuffer* output;
    int wanted;  // the reading asked for
    int found;   // readings found so far
    TextReading* read;
};

// Tries the blocks in turn; true when the wanted reading is in the output.
static bool searchBlocks(BlockSearch* search, const RunEdges& edges, bool spansText) {
    for (const BlockOrder& order : BLOCK_ORDER) {
        int leftOff = order.leftOffFirst + order.leftOffLast;
        if (static_cast<unsigned long>(leftOff) >= edges.lines) continue;
        if (leftOff == 0 && spansText) continue;  // the text itself, read before
        const LineSpan& first = edges.first[order.leftOffFirst];
        const LineSpan& last = edges.last[order.leftOffLast];
        DecodeResult result = decodeSpan(*search->dictionary, search->text + first.start, last.end - first.start,
                                         search->state, search->output);
        if (result != DECODE_OK) continue;
        if (!hasPackedShape(search->output->bytes, search->output->used)) continue;
        if (++search->found < search->wanted) continue;
        *search->read = TextReading{first.number, last.number, false};
        return true;
    }
    return false;
}

DecodeResult decodeWholeText(const Dictionary& dictionary, const unsigned char* text, std::size_t count, int reading,
                             DecoderState* state, OutputBuffer* output, TextReading* read) {
    *read = TextReading{0, 0, true};
    DecodeResult whole = decodeSpan(dictionary, text, count, state, output);
    if (whole == DECODE_OK && reading == 1) return DECODE_OK;
    BlockSearch search = {&dictionary, text, state, output, reading, whole == DECODE_OK ? 1 : 0, read};
    if (count <= WHOLE_TEXT_BYTES && reading <= MOST_READINGS) {
        unsigned long linesOfWords = 0;
        LineRun run = longestRun(dictionary, text, count, &linesOfWords);
        RunEdges edges = edgesOf(dictionary, text, run);
        bool spansText = run.lines == linesOfWords;
        if (run.words > 0 && searchBlocks(&search, edges, spansText)) {
            return DECODE_OK;
        }
    }
    *read = TextReading{0, 0, true};
    if (whole == DECODE_OK) {
        output->used = 0;
        resetDecoderState(state);
        return DECODE_NO_OTHER_BLOCK;
    }
    // Why the text itself does not read says more than that no block does.
    return decodeSpan(dictionary, text, count, state, output);
}
