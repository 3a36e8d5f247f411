// The page's worker, in three scripts run as one (workerCodec.js,
// workerSealing.js, worker.js). The programs' own code, compiled to
// WebAssembly, writes and reads ZarnoGlot, makes vocabularies and holds
// every rule and constant of the sealed texts and the seeding
// (pageSealing.cpp); around it the worker does what only the browser can:
// pako (zlib in JavaScript) packs and unpacks as zarnoGlotPack does, in
// every browser, whether it has zlib streams of its own or not; hash-wasm's
// Argon2id and the browser's AES-256-GCM and random bytes seal and open, as
// zarnoGlotPack does with a vocabulary. It runs beside the page so that a
// long text never freezes it, and reports progress as it goes.
// createCodecModule, CODEC_WASM_BASE64, hashwasm and pako stand before
// these scripts.
//
// This one: the codec and the calls into it.

const STREAM_STEP_BYTES = 64 * 1024;
// pageDecode answers NO_OTHER_READING past the last reading of a text that
// reads as it stands.
const NO_OTHER_READING = 2;
// pageReadingKind's answers, and how the steps over an opened text ended
// for pageOpenedStatus (PageReading and PageOpened in pageSealing.cpp).
const READING = { refused: 0, sealed: 1, unsealed: 2 };
const OPENED = { ended: 0, truncated: 1, damaged: 2, tooLarge: 3, tagFailed: 4, noCheckMatches: 5 };
// Results up to this many bytes are shown in the text box; longer ones are
// offered as a file (Copy, Share and Download take them), since a text area
// lays out its whole text at once: 256 KiB freeze a phone (a processor
// four times slower than a desktop's) for about a quarter of a second, a
// megabyte for over a second.
const SHOW_LIMIT = 256 * 1024;
const NO_SUBTLE_CRYPTO = 'Sealing and opening texts need the browser\'s cryptography, which it gives only to a ' +
    'page opened from its file or over https: open zarnoglot.html that way. Nothing was changed.';

// A failure whose message the page shows as it is.
class PageFailure extends Error {}

let stage = '';
let programLines = [];  // what the programs wrote on standard error

// A fraction of null is a step that cannot tell how far it has come.
function reportProgress(fraction) {
  postMessage({ kind: 'progress', stage, fraction });
}

function bytesFromBase64(text) {
  const binary = atob(text);
  const bytes = new Uint8Array(binary.length);
  for (let i = 0; i < binary.length; i++) bytes[i] = binary.charCodeAt(i);
  return bytes;
}

const codecReady = createCodecModule({
  wasmBinary: bytesFromBase64(CODEC_WASM_BASE64),
  print: () => {},
  printErr: line => programLines.push(line),
  onProgress: (done, total) => reportProgress(total > 0 ? done / total : 1),
});

function joinPieces(pieces, length) {
  const joined = new Uint8Array(length);
  let at = 0;
  for (const piece of pieces) {
    joined.set(piece, at);
    at += piece.length;
  }
  return joined;
}

// Runs one of the codec's entry points over bytes copied into its memory.
// Returns its exit status and the result block.
function runCodecForStatus(codec, bytes, call) {
  programLines = [];
  const place = codec._malloc(Math.max(1, bytes.length));
  if (place === 0) throw new PageFailure('Out of memory.');
  codec.HEAPU8.set(bytes, place);
  let status;
  try {
    status = call(place);
  } finally {
    codec.HEAPU8.fill(0, place, place + bytes.length);
    codec._free(place);
  }
  const result = codec.HEAPU8.slice(codec._pageResultBytes(), codec._pageResultBytes() + codec._pageResultLength());
  codec._pageClearResult();
  return { status, result };
}

// The same, throwing the programs' own words when it fails.
function runCodec(codec, bytes, call) {
  const { status, result } = runCodecForStatus(codec, bytes, call);
  if (status !== 0) throw new PageFailure(programLines.join('\n') || 'Failed.');
  return result;
}

// Calls with a zero-terminated copy of the text in the codec's memory.
function withCString(codec, text, call) {
  const bytes = new TextEncoder().encode(text);
  const place = codec._malloc(bytes.length + 1);
  if (place === 0) throw new PageFailure('Out of memory.');
  codec.HEAPU8.set(bytes, place);
  codec.HEAPU8[place + bytes.length] = 0;
  try {
    return call(place);
  } finally {
    codec._free(place);
  }
}

function randomSeed() {
  return crypto.getRandomValues(new Uint32Array(1))[0];
}

// Runs the encoder or the decoder with the job's vocabulary, which stays in
// the codec's memory only while it is needed.
function runWithVocabulary(codec, vocabulary, bytes, call) {
  const { status, result } = runWithVocabularyForStatus(codec, vocabulary, bytes, call);
  if (status !== 0) throw new PageFailure(programLines.join('\n') || 'Failed.');
  return result;
}

// Where the codec's loaders read the vocabulary.
function vocabularyFile(codec) {
  const place = codec._pageVocabularyFile();
  return new TextDecoder().decode(codec.HEAPU8.subarray(place, codec.HEAPU8.indexOf(0, place)));
}

function runWithVocabularyForStatus(codec, vocabulary, bytes, call) {
  const path = vocabularyFile(codec);
  codec.FS.writeFile(path, vocabulary);
  try {
    return runCodecForStatus(codec, bytes, call);
  } finally {
    // The file system keeps its own copy of the file's bytes.
    const file = codec.FS.lookupPath(path).node;
    if (file.contents) file.contents.fill(0);
    codec.FS.unlink(path);
  }
}

// The reading-th reading of ZarnoGlot text with the job's vocabulary:
// { status, bytes, firstLine, lastLine } (lines 0 when the whole text was read).
function decodeReading(codec, job, text, reading) {
  return withCString(codec, job.vocabularyName, name => {
    const { status, result } = runWithVocabularyForStatus(codec, job.vocabulary, text,
                                                           place => codec._pageDecode(place, text.length, reading, name));
    return { status, bytes: result, firstLine: codec._pageReadFirstLine(), lastLine: codec._pageReadLastLine() };
  });
}

// Whether bytes could be what zarnoGlotPack writes (the codec's rule).
function hasPackedShape(codec, bytes) {
  return runCodecForStatus(codec, bytes, place => codec._pageHasPackedShape(place, bytes.length)).status === 1;
}

// The layout of sealed texts and the versions the codec holds.
function sealedLayout(codec) {
  const words = new Uint32Array(codec.HEAPU8.buffer, codec._pageSealedLayout(), 7);
  return { salt: words[0], check: words[1], key: words[2], nonce: words[3], tag: words[4], versions: words[5],
           mostReadings: words[6] };
}

// The Argon2id options of a sealed version (seeding false) or of the
// vocabulary seeding, as the codec's versions table gives them.
function derivationOptions(codec, seeding, version) {
  const costs = new Uint32Array(codec.HEAPU8.buffer, codec._pageDerivationCosts(seeding ? 1 : 0, version), 4);
  return { iterations: costs[0], memorySize: costs[1], parallelism: costs[2], hashLength: costs[3],
           outputType: 'binary' };
}

// The bytes one after the other, as one block for the codec's calls that
// take more than one input.
function joined(...parts) {
  return joinPieces(parts, parts.reduce((length, part) => length + part.length, 0));
}

// Without a secure context (a page served over plain http) the browser
// has no crypto.subtle.
function requireSubtleCrypto() {
  if (!self.crypto || !self.crypto.subtle) throw new PageFailure(NO_SUBTLE_CRYPTO);
}
