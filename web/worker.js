// The page's worker. The programs' own code, compiled to WebAssembly, writes
// and reads ZarnoGlot and makes vocabularies; pako (zlib in JavaScript)
// packs and unpacks as zarnoGlotPack does, in every browser, whether it has
// zlib streams of its own or not; hash-wasm's Argon2id with the browser's
// AES-256-GCM seal and open, as zarnoGlotPack does with a vocabulary. It
// runs beside the page so that a long text never freezes it, and reports
// progress as it goes. createCodecModule, CODEC_WASM_BASE64, hashwasm and
// pako stand before this script.

// zarnoGlotPack stores text that would shrink more than sevenfold, and
// refuses to unpack more than eight times the packed bytes plus 1 KiB.
const STORE_WHEN_SHRINKING_BEYOND = 7;
const UNPACK_LIMIT_FACTOR = 8;
const UNPACK_LIMIT_SLACK = 1024;
const STREAM_STEP_BYTES = 64 * 1024;
const VOCABULARY_FILE = '/vocabulary.vcb';  // where the codec's loaders read it

// A sealed text: salt | check | ciphertext | tag. The key and the check are
// Argon2id of the label, a zero byte and the canonical vocabulary, with the
// salt; the salt and the check are the associated data of AES-256-GCM,
// whose nonce may stay zero because no two texts share a salt and so a key.
const SEAL_LABEL = 'ZarnoGlot sealed v1';
const SALT_BYTES = 16;
const CHECK_BYTES = 2;
const KEY_BYTES = 32;
const TAG_BYTES = 16;
const ARGON2_OPTIONS = { iterations: 3, memorySize: 65536, parallelism: 1, hashLength: KEY_BYTES + CHECK_BYTES,
                         outputType: 'binary' };
// Every zlib stream zarnoGlotPack and the page write begins with this byte,
// which no salt begins with: a text that begins with it is an unsealed
// text of an earlier version.
const ZLIB_FIRST_BYTE = 0x78;
const WRONG_VOCABULARY = 'zarnoGlotPack: the text was sealed with another vocabulary';
const DAMAGED_SEAL = 'zarnoGlotPack: the text is damaged or was altered';
const NOTHING_TO_READ = 'zarnoGlotPack: nothing to read: the input is empty';
// A pasted mail may hold more than one block of lines that the decoder
// reads (pageDecode's readings); only the sealed text's check and tag tell
// the right one, so the next is tried while one is refused, as the editor
// does. pageDecode answers NO_OTHER_READING past the last reading of a text
// that reads as it stands.
const MOST_TRIED_READINGS = 4;
const NO_OTHER_READING = 2;
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

// zlib as zarnoGlotPack runs it, in every browser: pako, a port of zlib
// whose deflate at the packer's best level writes the packer's bytes. Text
// that would shrink more than sevenfold (long repeats) is stored instead,
// since the way back sizes its room by the packed bytes.
function pack(bytes) {
  stage = 'Packing';
  reportProgress(null);
  const packed = pako.deflate(bytes, { level: 9 });
  if (packed.length >= Math.floor(bytes.length / STORE_WHEN_SHRINKING_BEYOND)) return packed;
  packed.fill(0);
  return pako.deflate(bytes, { level: 0 });
}

// Why a zlib stream does not unpack: 'truncated' (the bytes end first) or
// 'damaged', with zlib's own reason.
class UnpackFailure extends Error {
  constructor(kind, detail) {
    super(detail || kind);
    this.kind = kind;
  }
}

// Unpacks the one zlib stream at the start of bytes as zlib's inflate reads
// it: the header, the deflate data (pako's inflate, raw, so that nothing
// after the stream is taken for another one) and the Adler-32 of what it
// unpacked. Returns the bytes and where the stream ends; refuses more than
// limit bytes with limitMessage.
function inflateStream(bytes, limit, limitMessage) {
  stage = 'Unpacking';
  if (bytes.length < 2) throw new UnpackFailure('truncated');
  if ((bytes[0] & 0x0f) !== 8 || bytes[0] >> 4 > 7 || ((bytes[0] << 8) | bytes[1]) % 31 !== 0) {
    throw new UnpackFailure('damaged', 'incorrect header check');
  }
  if (bytes[1] & 0x20) throw new UnpackFailure('damaged', 'need dictionary');
  const inflator = new pako.Inflate({ raw: true, chunkSize: STREAM_STEP_BYTES });
  const pieces = [];
  let length = 0;
  inflator.onData = piece => {
    length += piece.length;
    if (length > limit) throw new PageFailure(limitMessage);
    pieces.push(piece);
  };
  inflator.onEnd = status => { inflator.err = status; };
  let at = 2;
  for (; at < bytes.length && !inflator.ended; at += STREAM_STEP_BYTES) {
    inflator.push(bytes.subarray(at, Math.min(at + STREAM_STEP_BYTES, bytes.length)), false);
    reportProgress(Math.min(at + STREAM_STEP_BYTES, bytes.length) / bytes.length);
  }
  const plain = joinPieces(pieces, length);
  pieces.length = 0;
  if (inflator.ended && inflator.err !== 0) {
    plain.fill(0);
    throw new UnpackFailure('damaged', inflator.strm.msg);
  }
  const deflateEnd = inflator.ended ? at - STREAM_STEP_BYTES + inflator.strm.next_in : bytes.length;
  if (!inflator.ended || deflateEnd + 4 > bytes.length) {
    plain.fill(0);
    throw new UnpackFailure('truncated');
  }
  if (new DataView(bytes.buffer, bytes.byteOffset + deflateEnd, 4).getUint32(0) !== adler32(plain)) {
    plain.fill(0);
    throw new UnpackFailure('damaged', 'incorrect data check');
  }
  return { plain, end: deflateEnd + 4 };
}

// zarnoGlotPack's bound for packed bytes of the given length.
function unpackLimit(packedLength) {
  return UNPACK_LIMIT_FACTOR * packedLength + UNPACK_LIMIT_SLACK;
}

const UNPACK_LIMIT_MESSAGE = 'zarnoGlotPack: unpacked data would be more than ' + UNPACK_LIMIT_FACTOR +
    ' times the packed data and 1 KiB';

// An unsealed text of an earlier version: exactly one zlib stream, in
// zarnoGlotPack's words when it is not.
function unpack(bytes) {
  let unpacked;
  try {
    unpacked = inflateStream(bytes, unpackLimit(bytes.length), UNPACK_LIMIT_MESSAGE);
  } catch (error) {
    if (!(error instanceof UnpackFailure)) throw error;
    if (error.kind === 'truncated') throw new PageFailure('zarnoGlotPack: truncated packed data');
    throw new PageFailure('zarnoGlotPack: damaged packed data (' + error.message + ')');
  }
  if (unpacked.end < bytes.length) {
    unpacked.plain.fill(0);
    throw new PageFailure('zarnoGlotPack: trailing data after the packed data');
  }
  return unpacked.plain;
}

// The length a zlib stream of length bytes is padded to before it is
// sealed (Padmé): at most about 12% more, and a sealed text's length tells
// only the top bits of its stream's length.
function paddedLength(length) {
  if (length < 2) return length;
  const exponent = 31 - Math.clz32(length);
  const dropped = exponent - (32 - Math.clz32(exponent));
  const step = 2 ** dropped;
  return Math.floor((length + step - 1) / step) * step;
}

// The opened payload: exactly one complete zlib stream followed only by
// zero bytes, padded to exactly its padded length.
function unpackPayload(payload) {
  let unpacked;
  try {
    unpacked = inflateStream(payload, unpackLimit(payload.length), UNPACK_LIMIT_MESSAGE);
  } catch (error) {
    if (error instanceof UnpackFailure) throw new PageFailure(DAMAGED_SEAL);
    throw error;
  }
  if (paddedLength(unpacked.end) === payload.length && payload.subarray(unpacked.end).every(byte => byte === 0)) {
    return unpacked.plain;
  }
  unpacked.plain.fill(0);
  throw new PageFailure(DAMAGED_SEAL);
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

function runWithVocabularyForStatus(codec, vocabulary, bytes, call) {
  codec.FS.writeFile(VOCABULARY_FILE, vocabulary);
  try {
    return runCodecForStatus(codec, bytes, call);
  } finally {
    // The file system keeps its own copy of the file's bytes.
    const file = codec.FS.lookupPath(VOCABULARY_FILE).node;
    if (file.contents) file.contents.fill(0);
    codec.FS.unlink(VOCABULARY_FILE);
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

// Whether bytes could be what zarnoGlotPack writes: a zlib stream's header,
// or a sealed text whose payload has a padded length.
function hasPackedShape(bytes) {
  if (bytes.length >= 2 && bytes[0] === ZLIB_FIRST_BYTE) {
    return ((ZLIB_FIRST_BYTE << 8) | bytes[1]) % 31 === 0 && (bytes[1] & 0x20) === 0;
  }
  const payload = bytes.length - SALT_BYTES - CHECK_BYTES - TAG_BYTES;
  return payload >= 0 && paddedLength(payload) === payload;
}

// Without a secure context (a page served over plain http) the browser
// has no crypto.subtle.
function requireSubtleCrypto() {
  if (!self.crypto || !self.crypto.subtle) throw new PageFailure(NO_SUBTLE_CRYPTO);
}

// The vocabulary's canonical bytes, from the codec's own loader, which
// refuses a vocabulary in zarnoGlotPack's words. The caller wipes them.
function canonicalVocabulary(codec, vocabulary) {
  return runWithVocabulary(codec, vocabulary, new Uint8Array(0), () => codec._pageCanonicalVocabulary());
}

// Argon2id of the label, a zero byte and the canonical vocabulary, with
// the salt: an AES key that can only encrypt or only decrypt (usage), and
// the 2-byte check that tells a wrong vocabulary from a damaged text.
async function deriveKey(canonical, salt, usage) {
  stage = usage === 'encrypt' ? 'Sealing' : 'Opening';
  reportProgress(null);
  const label = new TextEncoder().encode(SEAL_LABEL);
  const password = new Uint8Array(label.length + 1 + canonical.length);
  password.set(label);
  password.set(canonical, label.length + 1);
  let derived;
  try {
    derived = await hashwasm.argon2id({ ...ARGON2_OPTIONS, password, salt });
  } finally {
    password.fill(0);
  }
  try {
    const check = derived.slice(KEY_BYTES);
    const key = await crypto.subtle.importKey('raw', derived.subarray(0, KEY_BYTES), { name: 'AES-GCM' }, false,
                                              [usage]);
    return { key, check };
  } finally {
    derived.fill(0);
  }
}

function gcmParameters(sealed) {
  return { name: 'AES-GCM', iv: new Uint8Array(12), additionalData: sealed.subarray(0, SALT_BYTES + CHECK_BYTES),
           tagLength: 8 * TAG_BYTES };
}

// salt | check | AES-256-GCM of the zlib stream padded with zero bytes.
async function sealPacked(canonical, packed) {
  const salt = new Uint8Array(SALT_BYTES);
  do crypto.getRandomValues(salt); while (salt[0] === ZLIB_FIRST_BYTE);
  const { key, check } = await deriveKey(canonical, salt, 'encrypt');
  const payload = new Uint8Array(paddedLength(packed.length));
  payload.set(packed);
  const head = new Uint8Array(SALT_BYTES + CHECK_BYTES);
  head.set(salt);
  head.set(check, SALT_BYTES);
  try {
    const sealed = new Uint8Array(await crypto.subtle.encrypt(gcmParameters(head), key, payload));
    const text = new Uint8Array(head.length + sealed.length);
    text.set(head);
    text.set(sealed, head.length);
    return text;
  } finally {
    payload.fill(0);
  }
}

// The payload of a sealed text, once its tag has verified. keys keeps the
// keys derived in one job by their salts: blocks of one pasted mail that
// differ only at their ends share the salt.
async function openSealed(canonical, sealed, keys) {
  const salt = sealed.subarray(0, SALT_BYTES);
  const saltText = Array.from(salt).join(',');
  if (!keys.has(saltText)) keys.set(saltText, await deriveKey(canonical, salt, 'decrypt'));
  const { key, check } = keys.get(saltText);
  if (check[0] !== sealed[SALT_BYTES] || check[1] !== sealed[SALT_BYTES + 1]) {
    throw new PageFailure(WRONG_VOCABULARY);
  }
  try {
    return new Uint8Array(await crypto.subtle.decrypt(gcmParameters(sealed), key,
                                                      sealed.subarray(SALT_BYTES + CHECK_BYTES)));
  } catch (error) {
    throw new PageFailure(DAMAGED_SEAL);
  }
}

// The line ends of UTF-8 text: 'lf' (LF alone, or none), 'crlf' (CR LF
// alone), or 'mixed' (a CR alone, or both kinds), which a text area cannot
// hold exactly, since it keeps every line end as LF.
function lineEndsOf(bytes) {
  let lf = false;
  let crLf = false;
  for (let i = 0; i < bytes.length; i++) {
    if (bytes[i] === 0x0d) {
      if (bytes[i + 1] !== 0x0a) return 'mixed';
      crLf = true;
      i++;
    } else if (bytes[i] === 0x0a) {
      lf = true;
    }
  }
  if (lf && crLf) return 'mixed';
  return crLf ? 'crlf' : 'lf';
}

// A result as the page shows it: the bytes, their line ends, and the text
// for the text box when it fits there exactly (else the page offers a file).
function shownResult(bytes, notUtf8Reason) {
  let text;
  try {
    text = new TextDecoder('utf-8', { fatal: true }).decode(bytes);
  } catch (error) {
    throw new PageFailure(notUtf8Reason);
  }
  const lineEnds = lineEndsOf(bytes);
  const fits = bytes.length <= SHOW_LIMIT && lineEnds !== 'mixed' && !text.includes('\0');
  return { bytes, lineEnds, text: fits ? text.replace(/\r\n/g, '\n') : null };
}

// Pack, seal, then write the sealed bytes as ZarnoGlot, and check that the
// ZarnoGlot reads back into them before it is shown. Text that is
// ZarnoGlot of the vocabulary already is not written again.
async function toZarnoGlot(job) {
  const codec = await codecReady;
  requireSubtleCrypto();
  let canonical = null;
  let packed = null;
  let sealed = null;
  try {
    canonical = canonicalVocabulary(codec, job.vocabulary);
    stage = 'Checking the text';
    const already = decodeReading(codec, job, job.text, 1);
    const isZarnoGlot = already.status === 0 && hasPackedShape(already.bytes);
    already.bytes.fill(0);
    if (isZarnoGlot) {
      throw new PageFailure('This text is ZarnoGlot written with ' + job.vocabularyLabel +
          ' already: To text reads it. Nothing was changed.');
    }
    packed = pack(job.text);
    job.text.fill(0);
    sealed = await sealPacked(canonical, packed);
    stage = 'Writing ZarnoGlot';
    const sealedLength = sealed.length;
    const written = runWithVocabulary(codec, job.vocabulary, sealed,
                                      place => codec._pageEncode(place, sealedLength, randomSeed()));
    stage = 'Checking the ZarnoGlot';
    const back = decodeReading(codec, job, written, 1);
    const readsBack = back.status === 0 && back.bytes.length === sealed.length && back.bytes.every((b, i) => b === sealed[i]);
    back.bytes.fill(0);
    if (!readsBack) {
      throw new PageFailure('The ZarnoGlot written with ' + job.vocabularyLabel + ' does not read back: nothing was changed.');
    }
    return shownResult(written, 'The ZarnoGlot written is not UTF-8 text: nothing was changed.');
  } finally {
    if (canonical) canonical.fill(0);
    if (packed) packed.fill(0);
    if (sealed) sealed.fill(0);
    job.vocabulary.fill(0);
  }
}

// Opens a sealed text, or unpacks an unsealed one of an earlier version as
// it is.
async function openReading(canonical, packed, keys) {
  if (packed.length === 0) throw new PageFailure(NOTHING_TO_READ);
  if (packed[0] === ZLIB_FIRST_BYTE) return { bytes: unpack(packed), sealed: false };
  if (packed.length < SALT_BYTES + CHECK_BYTES + TAG_BYTES) throw new PageFailure(DAMAGED_SEAL);
  requireSubtleCrypto();
  const payload = await openSealed(canonical, packed, keys);
  try {
    return { bytes: unpackPayload(payload), sealed: true };
  } finally {
    payload.fill(0);
  }
}

// Whether two readings share a line; a reading of the whole text (lines 0)
// shares every line.
function overlaps(one, other) {
  if (one.firstLine === 0 || other.firstLine === 0) return true;
  return one.firstLine <= other.lastLine && other.firstLine <= one.lastLine;
}

// A message as the page shows it; one after the first that is not UTF-8
// text is offered as a file.
function shownMessage(opened, read, first) {
  let shown;
  try {
    shown = shownResult(opened.bytes, 'The ZarnoGlot text reads back as ' + opened.bytes.length +
        ' bytes that are not UTF-8 text: read it with zarnoGlotDecode and zarnoGlotPack -d.');
  } catch (error) {
    if (first) throw error;
    shown = { bytes: opened.bytes, lineEnds: 'mixed', text: null };
  }
  return { ...shown, sealed: opened.sealed, firstLine: read.firstLine, lastLine: read.lastLine };
}

// Read the ZarnoGlot (the blocks of a pasted mail in turn while one is
// refused, up to MOST_TRIED_READINGS, as the editor does), then open it. As
// zarnoGlotPack -d with a vocabulary, the packer's loader checks the
// vocabulary for both kinds of text. The refusal shown is the first, unless
// the text itself does not read. Once one has opened, the readings that
// share no line with an opened one are opened too: the other messages of a
// reply or a thread, offered after the first.
async function toText(job) {
  const codec = await codecReady;
  let canonical = null;
  const keys = new Map();
  const messages = [];
  let refusal = null;
  try {
    // The decoder answers NO_OTHER_READING past its last reading.
    for (let reading = 1; ; reading++) {
      if (messages.length === 0 && reading > MOST_TRIED_READINGS) break;
      stage = 'Reading ZarnoGlot';
      const read = decodeReading(codec, job, job.text, reading);
      if (read.status !== 0) {
        if (refusal === null || read.status !== NO_OTHER_READING) refusal = programLines.join('\n') || 'Failed.';
        break;
      }
      if (messages.some(message => overlaps(message, read))) {
        read.bytes.fill(0);
        continue;
      }
      if (canonical === null) canonical = canonicalVocabulary(codec, job.vocabulary);
      let opened = null;
      try {
        opened = await openReading(canonical, read.bytes, keys);
      } catch (error) {
        if (!(error instanceof PageFailure)) throw error;
        if (refusal === null) refusal = error.message;
        continue;
      } finally {
        read.bytes.fill(0);
      }
      // The bytes have opened: this is a message, text or not.
      messages.push(shownMessage(opened, read, messages.length === 0));
    }
    if (messages.length === 0) throw new PageFailure(refusal);
    return { ...messages[0], others: messages.slice(1) };
  } finally {
    if (canonical) canonical.fill(0);
    job.vocabulary.fill(0);
  }
}

// Checks a vocabulary file as the filters do when it is chosen.
async function checkVocabulary(job) {
  const codec = await codecReady;
  stage = 'Checking the vocabulary';
  try {
    runWithVocabulary(codec, job.vocabulary, new Uint8Array(0), () => codec._pageCheckVocabulary());
    return { bytes: new Uint8Array(0) };
  } finally {
    job.vocabulary.fill(0);
  }
}

// The seed of a vocabulary from a passphrase, as zarnoGlotShuffle derives
// it: Argon2id of the codec's password for it (the seeding's label, a zero
// byte, the passphrase), salted with SHA-256 of the bytes the codec gives
// for the sorted word list, at the codec's costs.
async function passphraseSeed(codec, passphrase, saltInput, costs) {
  requireSubtleCrypto();
  stage = 'Deriving the seed from the passphrase';
  reportProgress(null);
  const salt = new Uint8Array(await crypto.subtle.digest('SHA-256', saltInput));
  const password = runCodec(codec, passphrase, place => codec._pageSeedingPassword(place, passphrase.length));
  try {
    return await hashwasm.argon2id({ password, salt, iterations: costs[0], memorySize: costs[1], parallelism: costs[2],
                                     hashLength: costs[3], outputType: 'binary' });
  } finally {
    password.fill(0);
  }
}

// A vocabulary from the chosen word list or texts, seeded with the job's
// passphrase or, without one, with random bytes, as zarnoGlotShuffle -r.
async function makeVocabulary(job) {
  const codec = await codecReady;
  stage = job.harvest ? 'Harvesting' : 'Reading the word list';
  let seed = null;
  try {
    const saltInput = runCodec(codec, job.words, place =>
      codec._pageReadWordList(place, job.words.length, job.harvest ? 1 : 0));
    const notes = programLines.slice();
    const costs = new Uint32Array(codec.HEAPU8.buffer, codec._pageSeedingCosts(), 4).slice();
    seed = job.passphrase ? await passphraseSeed(codec, job.passphrase, saltInput, costs)
                          : crypto.getRandomValues(new Uint8Array(costs[3]));
    stage = 'Shuffling';
    const made = runCodec(codec, seed, place => codec._pageShuffleWithSeed(place));
    return { bytes: made, notes: notes.concat(programLines) };
  } finally {
    if (seed) seed.fill(0);
    if (job.passphrase) job.passphrase.fill(0);
  }
}

const JOBS = { toZarnoGlot, toText, makeVocabulary, checkVocabulary };

onmessage = async event => {
  const job = event.data;
  try {
    const answer = await JOBS[job.kind](job);
    const transfer = [answer.bytes.buffer, ...(answer.others || []).map(other => other.bytes.buffer)];
    postMessage({ kind: 'done', ...answer }, transfer);
  } catch (error) {
    const reason = error instanceof PageFailure ? error.message : 'The page failed: ' + error;
    postMessage({ kind: 'failed', reason });
  }
};
