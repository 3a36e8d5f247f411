#include "messageBlocks.h"

#include "sealedShape.h"
#include "tolerantScan.h"

// Lines of words at either end of a stretch that a block may leave off.
constexpr int EDGE_LINES = MOST_LINES_LEFT_OFF + 1;

// The most stretches (and stretches within them) looked at, and the most
// ends of blocks kept for one start: a bound on the work for any text.
constexpr int MOST_STRETCHES = 48;
constexpr int MOST_ENDS = 16;

// A line of the text: its bytes without the line end, where the next line
// begins, and its number from 1.
struct LineSpan {
    std::size_t start;
    std::size_t end;
    std::size_t next;
    unsigned long number;
};

// ---------------------------------------------------------------- lines

static LineSpan lineAt(const unsigned char* text, std::size_t count, std::size_t start, unsigned long number) {
    LineSpan line = {start, start, start, number};
    while (line.end < count && text[line.end] != '\n' && text[line.end] != '\r') ++line.end;
    line.next = line.end;
    if (line.next + 1 < count && text[line.next] == '\r' && text[line.next + 1] == '\n') {
        line.next += 2;
    } else if (line.next < count) {
        ++line.next;
    }
    return line;
}

struct WordCount {
    const Dictionary* dictionary;
    LineWords words;
};

static bool countLineWord(void* context, const TolerantWord& word, bool /*endOfText*/) {
    WordCount* count = static_cast<WordCount*>(context);
    int index = -1;
    if (lookUpTolerantly(*count->dictionary, word, &index) == DECODE_OK) {
        ++count->words.known;
    } else {
        ++count->words.unknown;
    }
    return true;
}

LineWords wordsOfLine(const Dictionary& dictionary, const unsigned char* text, std::size_t start, std::size_t end) {
    WordCount count = {&dictionary, {0, 0}};
    TolerantScan scan;
    startTolerantScan(&scan, start);
    scanTolerantly(&scan, text + start, end - start, countLineWord, &count);
    finishTolerantScan(&scan, countLineWord, &count);
    return count.words;
}

static LineWords wordsOfLine(const Dictionary& dictionary, const unsigned char* text, const LineSpan& line) {
    return wordsOfLine(dictionary, text, line.start, line.end);
}

// How deep a line is quoted: the '>' marks before its first word.
static int quoteDepth(const unsigned char* text, const LineSpan& line) {
    int depth = 0;
    for (std::size_t at = line.start; at < line.end; ++at) {
        if (text[at] == '>') {
            ++depth;
        } else if (text[at] != ' ' && text[at] != '\t') {
            break;
        }
    }
    return depth;
}

// ---------------------------------------------------------------- stretches

// A stretch of lines in which every word is a vocabulary word (lines
// without words may stand inside it) and every line of words is quoted as
// deep: a line with another word, or a change of quoting, as where a
// reply's new message meets the quoted earlier one, ends it. Blocks are
// looked for within stretches, which are also opened after a block's end,
// since a message pasted twice is one stretch.
struct Stretch {
    LineSpan first;    // its first line of words
    std::size_t end;   // where its last line of words ends
};

struct TextLines {
    Stretch stretches[MOST_STRETCHES];
    int count;
    LineSpan firstWords;  // the text's first and last line of words
    LineSpan lastWords;
};

static void closeStretch(TextLines* lines, const Stretch& open) {
    if (lines->count < MOST_STRETCHES) lines->stretches[lines->count++] = open;
}

static void findStretches(const Dictionary& dictionary, const unsigned char* text, std::size_t count,
                          TextLines* lines) {
    lines->count = 0;
    lines->firstWords = LineSpan{};
    Stretch open = {};
    bool inStretch = false;
    int depth = 0;
    for (LineSpan line = lineAt(text, count, 0, 1); line.start < count;
         line = lineAt(text, count, line.next, line.number + 1)) {
        LineWords words = wordsOfLine(dictionary, text, line);
        if (words.known + words.unknown == 0) continue;
        if (lines->firstWords.number == 0) lines->firstWords = line;
        lines->lastWords = line;
        if (inStretch && (words.unknown > 0 || quoteDepth(text, line) != depth)) {
            closeStretch(lines, open);
            inStretch = false;
        }
        if (words.unknown > 0) continue;
        if (!inStretch) {
            open.first = line;
            depth = quoteDepth(text, line);
            inStretch = true;
        }
        open.end = line.end;
    }
    if (inStretch) closeStretch(lines, open);
}

// ---------------------------------------------------------------- blocks

static DecodeResult decodeSpan(const Dictionary& dictionary, const unsigned char* bytes, std::size_t count,
                               DecoderState* state, OutputBuffer* output) {
    output->used = 0;
    resetDecoderState(state);
    DecodeResult result = decodeText(dictionary, state, bytes, count, output);
    if (result == DECODE_OK) result = finishDecoding(dictionary, state, output);
    return result;
}

// Whether the text read so far would end as bytes of the packer's shape:
// the reading is ended on a copy, and what that writes is taken back.
static bool endsAsPacked(const Dictionary& dictionary, const DecoderState& state, OutputBuffer* output) {
    DecoderState ended = state;
    std::size_t used = output->used;
    bool packed = finishDecoding(dictionary, &ended, output) == DECODE_OK &&
                  hasPackedShape(output->bytes, output->used);
    output->used = used;
    return packed;
}

// A line of words read, and whether the text read through it would end
// as bytes of the packer's shape.
struct LineEnd {
    LineSpan line;
    bool packed;
};

// What the lines from one start read as: the lines after which the text
// read so far has the packer's shape, in order (the first MOST_ENDS), and
// the last EDGE_LINES lines of words before the stretch ends or a word
// stops the reading.
struct StartReading {
    LineSpan start;
    LineSpan ends[MOST_ENDS];
    int endCount;
    LineEnd last[EDGE_LINES];  // last[0] the last line read
    int lines;                 // lines of words read
    LineSpan stoppedAt;        // the line where a word stopped it, number 0 when none did
};

static void readFromStart(const Dictionary& dictionary, const unsigned char* text, const LineSpan& start,
                          std::size_t end, DecoderState* state, OutputBuffer* output, StartReading* reading) {
    *reading = StartReading{};
    reading->start = start;
    output->used = 0;
    resetDecoderState(state);
    for (LineSpan line = start; line.start <= end; line = lineAt(text, end, line.next, line.number + 1)) {
        std::size_t through = line.next < end ? line.next : end;
        if (decodeText(dictionary, state, text + line.start, through - line.start, output) != DECODE_OK) {
            reading->stoppedAt = line;
            return;
        }
        if (wordsOfLine(dictionary, text, line).known > 0) {
            for (int k = EDGE_LINES - 1; k > 0; --k) reading->last[k] = reading->last[k - 1];
            reading->last[0] = LineEnd{line, endsAsPacked(dictionary, *state, output)};
            ++reading->lines;
            if (reading->last[0].packed && reading->endCount < MOST_ENDS) reading->ends[reading->endCount++] = line;
        }
        if (line.next >= end) break;
    }
}

// ---------------------------------------------------------------- the search

struct Block {
    unsigned long firstLine;
    unsigned long lastLine;
};

struct BlockSearch {
    const Dictionary* dictionary;
    const unsigned char* text;
    DecoderState* state;
    OutputBuffer* output;
    int wanted;  // the reading asked for
    int found;   // readings found so far
    Block offered[MOST_READINGS];
    Block skipped;  // the text itself, when it was read as reading 1
    TextLines lines;
    Block answer;
};

// Counts a block once; true when it is the reading asked for.
static bool offerBlock(BlockSearch* search, const LineSpan& first, const LineSpan& last) {
    Block block = {first.number, last.number};
    if (block.firstLine == search->skipped.firstLine && block.lastLine == search->skipped.lastLine) return false;
    int offered = search->found < MOST_READINGS ? search->found : MOST_READINGS;
    for (int i = 0; i < offered; ++i) {
        if (search->offered[i].firstLine == block.firstLine && search->offered[i].lastLine == block.lastLine) {
            return false;
        }
    }
    if (search->found < MOST_READINGS) search->offered[search->found] = block;
    if (++search->found < search->wanted) return false;
    search->answer = block;
    return true;
}

static bool searchStretch(BlockSearch* search, const Stretch& stretch) {
    StartReading starts[EDGE_LINES];
    int startCount = 0;
    const unsigned char* text = search->text;
    for (LineSpan line = stretch.first; startCount < EDGE_LINES && line.start <= stretch.end;
         line = lineAt(text, stretch.end, line.next, line.number + 1)) {
        if (line.end > line.start && wordsOfLine(*search->dictionary, text, line).known > 0) {
            readFromStart(*search->dictionary, text, line, stretch.end, search->state, search->output,
                          &starts[startCount++]);
        }
        if (line.next >= stretch.end) break;
    }
    for (int s = 0; s < startCount; ++s) {
        const StartReading& reading = starts[s];
        for (int leftOff = 0; leftOff < EDGE_LINES && leftOff < reading.lines; ++leftOff) {
            if (reading.last[leftOff].packed && offerBlock(search, reading.start, reading.last[leftOff].line)) return true;
        }
        for (int e = 0; e < reading.endCount; ++e) {
            if (offerBlock(search, reading.start, reading.ends[e])) return true;
        }
    }
    if (startCount == 0) return false;
    // Within the stretch: after each block that ends inside it, and where a
    // word stopped the reading from its first line.
    const StartReading& top = starts[0];
    for (int e = 0; e < top.endCount && search->lines.count < MOST_STRETCHES; ++e) {
        LineSpan after = lineAt(text, stretch.end, top.ends[e].next, top.ends[e].number + 1);
        if (after.start < stretch.end) search->lines.stretches[search->lines.count++] = Stretch{after, stretch.end};
    }
    if (top.stoppedAt.number > top.start.number && search->lines.count < MOST_STRETCHES) {
        search->lines.stretches[search->lines.count++] = Stretch{top.stoppedAt, stretch.end};
    }
    return false;
}

// The stretch not yet searched that begins nearest the top, or -1.
static int nextStretch(const TextLines& lines, const bool* searched) {
    int next = -1;
    for (int i = 0; i < lines.count; ++i) {
        if (searched[i]) continue;
        if (next < 0 || lines.stretches[i].first.start < lines.stretches[next].first.start) next = i;
    }
    return next;
}

static bool searchBlocks(BlockSearch* search) {
    bool searched[MOST_STRETCHES] = {};
    for (int i = nextStretch(search->lines, searched); i >= 0; i = nextStretch(search->lines, searched)) {
        searched[i] = true;
        if (searchStretch(search, search->lines.stretches[i])) return true;
    }
    return false;
}

DecodeResult decodeWholeText(const Dictionary& dictionary, const unsigned char* text, std::size_t count, int reading,
                             DecoderState* state, OutputBuffer* output, TextReading* read) {
    static BlockSearch search;
    *read = TextReading{0, 0, true};
    DecodeResult whole = decodeSpan(dictionary, text, count, state, output);
    if (whole == DECODE_OK && reading == 1) return DECODE_OK;
    if (count <= WHOLE_TEXT_BYTES && reading <= MOST_READINGS) {
        search = BlockSearch{};
        search.dictionary = &dictionary;
        search.text = text;
        search.state = state;
        search.output = output;
        search.wanted = reading;
        findStretches(dictionary, text, count, &search.lines);
        if (whole == DECODE_OK) {
            search.found = 1;
            search.skipped = Block{search.lines.firstWords.number, search.lines.lastWords.number};
        }
        if (searchBlocks(&search)) {
            LineSpan first = lineAt(text, count, 0, 1);
            while (first.number < search.answer.firstLine) first = lineAt(text, count, first.next, first.number + 1);
            LineSpan last = first;
            while (last.number < search.answer.lastLine) last = lineAt(text, count, last.next, last.number + 1);
            *read = TextReading{first.number, last.number, false};
            return decodeSpan(dictionary, text + first.start, last.end - first.start, state, output);
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
