// The page's worker. The programs' own code, compiled to WebAssembly, writes
// and reads ZarnoGlot and makes vocabularies; the browser's zlib-format
// streams pack and unpack as zarnoGlotPack does. It runs beside the page so
// that a long text never freezes it, and reports progress as it goes.
// createCodecModule and CODEC_WASM_BASE64 stand before this script.

// zarnoGlotPack stores text that would shrink more than sevenfold, and
// refuses to unpack more than eight times the packed bytes plus 1 KiB.
const STORE_WHEN_SHRINKING_BEYOND = 7;
const UNPACK_LIMIT_FACTOR = 8;
const UNPACK_LIMIT_SLACK = 1024;
const STREAM_STEP_BYTES = 64 * 1024;
const STORED_BLOCK_BYTES = 65535;
const VOCABULARY_FILE = '/vocabulary.vcb';  // where the codec's loaders read it

// A failure whose message the page shows as it is.
class PageFailure extends Error {}

let stage = '';
let programLines = [];  // what the programs wrote on standard error

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

// Sends the bytes through a compression or decompression stream and
// collects its output, stopping as soon as that passes limit bytes.
async function runThroughStream(stream, bytes, limit, limitMessage) {
  const writer = stream.writable.getWriter();
  const reader = stream.readable.getReader();
  const writing = (async () => {
    for (let at = 0; at < bytes.length; at += STREAM_STEP_BYTES) {
      await writer.write(bytes.slice(at, at + STREAM_STEP_BYTES));
      reportProgress(Math.min(at + STREAM_STEP_BYTES, bytes.length) / bytes.length);
    }
    await writer.close();
  })();
  writing.catch(() => {});  // the reading side reports the same failure
  const pieces = [];
  let length = 0;
  try {
    for (;;) {
      const { value, done } = await reader.read();
      if (done) break;
      length += value.length;
      if (length > limit) throw new PageFailure(limitMessage);
      pieces.push(value);
    }
    await writing;
  } catch (error) {
    reader.cancel().catch(() => {});
    throw error;
  }
  return joinPieces(pieces, length);
}

function adler32(bytes) {
  let a = 1;
  let b = 0;
  // 5552 bytes is the most that can be summed before the sums overflow.
  for (let start = 0; start < bytes.length; start += 5552) {
    const end = Math.min(start + 5552, bytes.length);
    for (let i = start; i < end; i++) {
      a += bytes[i];
      b += a;
    }
    a %= 65521;
    b %= 65521;
  }
  return ((b << 16) | a) >>> 0;
}

// The bytes as a zlib stream of stored (uncompressed) blocks.
function storedZlibStream(bytes) {
  const blocks = Math.max(1, Math.ceil(bytes.length / STORED_BLOCK_BYTES));
  const stream = new Uint8Array(2 + 5 * blocks + bytes.length + 4);
  stream[0] = 0x78;  // deflate with a 32 KiB window
  stream[1] = 0x01;  // no dictionary, fastest level; the header check holds
  let at = 2;
  for (let block = 0; block < blocks; block++) {
    const start = block * STORED_BLOCK_BYTES;
    const length = Math.min(STORED_BLOCK_BYTES, bytes.length - start);
    stream[at] = block === blocks - 1 ? 1 : 0;
    stream[at + 1] = length & 0xff;
    stream[at + 2] = length >> 8;
    stream[at + 3] = ~length & 0xff;
    stream[at + 4] = (~length >> 8) & 0xff;
    stream.set(bytes.subarray(start, start + length), at + 5);
    at += 5 + length;
  }
  new DataView(stream.buffer).setUint32(at, adler32(bytes));
  return stream;
}

async function pack(bytes) {
  stage = 'Packing';
  const packed = await runThroughStream(new CompressionStream('deflate'), bytes, Infinity, '');
  if (packed.length >= Math.floor(bytes.length / STORE_WHEN_SHRINKING_BEYOND)) return packed;
  // The way back sizes its room by the packed bytes, so text that would
  // shrink too far (long repeats) is stored instead.
  return storedZlibStream(bytes);
}

// zarnoGlotPack's reasons for a zlib stream that does not unpack, told
// apart by the browser's description of the failure.
function unpackFailure(error) {
  const detail = String(error && error.message ? error.message : error);
  if (/truncated/i.test(detail)) return 'zarnoGlotPack: truncated packed data';
  if (/junk|after the end|after end/i.test(detail)) return 'zarnoGlotPack: trailing data after the packed data';
  return 'zarnoGlotPack: damaged packed data (' + detail + ')';
}

async function unpack(bytes) {
  stage = 'Unpacking';
  const limit = UNPACK_LIMIT_FACTOR * bytes.length + UNPACK_LIMIT_SLACK;
  const limitMessage = 'zarnoGlotPack: unpacked data would be more than ' + UNPACK_LIMIT_FACTOR +
      ' times the packed data and 1 KiB';
  try {
    return await runThroughStream(new DecompressionStream('deflate'), bytes, limit, limitMessage);
  } catch (error) {
    if (error instanceof PageFailure) throw error;
    throw new PageFailure(unpackFailure(error));
  }
}

// Runs one of the codec's entry points over bytes copied into its memory.
// Returns the result block, or throws the programs' own words.
function runCodec(codec, bytes, call) {
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
  if (status !== 0) throw new PageFailure(programLines.join('\n') || 'Failed.');
  return result;
}

function randomSeed() {
  return crypto.getRandomValues(new Uint32Array(1))[0];
}

// Runs the encoder or the decoder with the job's vocabulary, which stays in
// the codec's memory only while it is needed.
function runWithVocabulary(codec, vocabulary, bytes, call) {
  codec.FS.writeFile(VOCABULARY_FILE, vocabulary);
  try {
    return runCodec(codec, bytes, call);
  } finally {
    codec.FS.unlink(VOCABULARY_FILE);
  }
}

async function toZarnoGlot(job) {
  const codec = await codecReady;
  const packed = await pack(job.text);
  stage = 'Writing ZarnoGlot';
  return runWithVocabulary(codec, job.vocabulary, packed,
      place => codec._pageEncode(place, packed.length, randomSeed()));
}

async function toText(job) {
  const codec = await codecReady;
  stage = 'Reading ZarnoGlot';
  const packed = runWithVocabulary(codec, job.vocabulary, job.text,
      place => codec._pageDecode(place, job.text.length));
  return unpack(packed);
}

async function makeVocabulary(job) {
  const codec = await codecReady;
  stage = job.harvest ? 'Harvesting and shuffling' : 'Shuffling';
  const secret = codec._malloc(job.passphrase.length + 1);
  if (secret === 0) throw new PageFailure('Out of memory.');
  codec.HEAPU8.set(job.passphrase, secret);
  codec.HEAPU8[secret + job.passphrase.length] = 0;
  job.passphrase.fill(0);
  try {
    const made = runCodec(codec, job.words, place =>
      codec._pageMakeVocabulary(place, job.words.length, secret, job.harvest ? 1 : 0));
    return { bytes: made, notes: programLines.slice() };
  } finally {
    codec.HEAPU8.fill(0, secret, secret + job.passphrase.length + 1);
    codec._free(secret);
  }
}

const JOBS = { toZarnoGlot, toText, makeVocabulary };

onmessage = async event => {
  const job = event.data;
  try {
    const outcome = await JOBS[job.kind](job);
    const bytes = outcome instanceof Uint8Array ? outcome : outcome.bytes;
    const notes = outcome instanceof Uint8Array ? [] : outcome.notes;
    postMessage({ kind: 'done', bytes, notes }, [bytes.buffer]);
  } catch (error) {
    const reason = error instanceof PageFailure ? error.message : 'The page failed: ' + error;
    postMessage({ kind: 'failed', reason });
  }
};
