// The page's worker. The programs' own code, compiled to WebAssembly, writes
// and reads ZarnoGlot, makes vocabularies and holds every rule and constant
// of the sealed texts and the seeding (pageSealing.cpp); around it the
// worker does what only the browser can: pako (zlib in JavaScript) packs
// and unpacks as zarnoGlotPack does, in every browser, whether it has zlib
// streams of its own or not; hash-wasm's Argon2id and the browser's
// AES-256-GCM and random bytes seal and open, as zarnoGlotPack does with a
// vocabulary. It runs beside the page so that a long text never freezes
// it, and reports progress as it goes. createCodecModule,
// CODEC_WASM_BASE64, hashwasm and pako stand before this script.

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
function pack(codec, bytes) {
  stage = 'Packing';
  reportProgress(null);
  const packed = pako.deflate(bytes, { level: 9 });
  if (!codec._pageStoresUncompressed(bytes.length, packed.length)) return packed;
  packed.fill(0);
  return pako.deflate(bytes, { level: 0 });
}

// How the zlib stream at the start of some bytes unpacked: outcome one of
// OPENED's stream outcomes, and for a stream that ended its bytes and where
// it ends.
class Unpacked {
  constructor(outcome, plain = new Uint8Array(0), end = 0, detail = '') {
    this.outcome = outcome;
    this.plain = plain;
    this.end = end;
    this.detail = detail;
  }
}

// Stops pako's inflate beyond the bound.
class TooLarge extends Error {}

// Unpacks the one zlib stream at the start of bytes as zlib's inflate reads
// it: the header, the deflate data (pako's inflate, raw, so that nothing
// after the stream is taken for another one) and the Adler-32 of what it
// unpacked, to at most limit bytes.
function inflateStream(bytes, limit) {
  stage = 'Unpacking';
  if (bytes.length < 2) return new Unpacked(OPENED.truncated);
  if ((bytes[0] & 0x0f) !== 8 || bytes[0] >> 4 > 7 || ((bytes[0] << 8) | bytes[1]) % 31 !== 0) {
    return new Unpacked(OPENED.damaged, undefined, 0, 'incorrect header check');
  }
  if (bytes[1] & 0x20) return new Unpacked(OPENED.damaged, undefined, 0, 'need dictionary');
  const inflator = new pako.Inflate({ raw: true, chunkSize: STREAM_STEP_BYTES });
  const pieces = [];
  let length = 0;
  inflator.onData = piece => {
    length += piece.length;
    if (length > limit) throw new TooLarge();
    pieces.push(piece);
  };
  inflator.onEnd = status => { inflator.err = status; };
  let at = 2;
  try {
    for (; at < bytes.length && !inflator.ended; at += STREAM_STEP_BYTES) {
      inflator.push(bytes.subarray(at, Math.min(at + STREAM_STEP_BYTES, bytes.length)), false);
      reportProgress(Math.min(at + STREAM_STEP_BYTES, bytes.length) / bytes.length);
    }
  } catch (error) {
    if (!(error instanceof TooLarge)) throw error;
    for (const piece of pieces) piece.fill(0);
    return new Unpacked(OPENED.tooLarge);
  }
  const plain = joinPieces(pieces, length);
  for (const piece of pieces) piece.fill(0);
  pieces.length = 0;
  const deflateEnd = inflator.ended ? at - STREAM_STEP_BYTES + inflator.strm.next_in : bytes.length;
  let failure = null;
  if (inflator.ended && inflator.err !== 0) {
    failure = new Unpacked(OPENED.damaged, undefined, 0, inflator.strm.msg);
  } else if (!inflator.ended || deflateEnd + 4 > bytes.length) {
    failure = new Unpacked(OPENED.truncated);
  } else if (new DataView(bytes.buffer, bytes.byteOffset + deflateEnd, 4).getUint32(0) !== adler32(plain)) {
    failure = new Unpacked(OPENED.damaged, undefined, 0, 'incorrect data check');
  }
  if (failure === null) return new Unpacked(OPENED.ended, plain, deflateEnd + 4);
  plain.fill(0);
  return failure;
}

// The bytes of the one zlib stream of an unsealed text (sealed false) or of
// an opened payload (sealed true), once the codec has judged them by
// zarnoGlotPack's rules: a text is exactly one stream; a payload one
// stream followed only by zero bytes to its padded length, within the
// bound. Throws the packer's words when they are refused.
function unpackStream(codec, bytes, sealed) {
  const unpacked = inflateStream(bytes, codec._pageUnpackLimit(bytes.length));
  const refused = withCString(codec, unpacked.detail, detail =>
    runCodecForStatus(codec, bytes, place => codec._pageOpenedStatus(sealed ? 1 : 0, unpacked.outcome, place,
                                                                      bytes.length, unpacked.end, detail)).status);
  if (refused === 0) return unpacked.plain;
  unpacked.plain.fill(0);
  throw new PageFailure(programLines.join('\n') || 'Failed.');
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

// A sealed version's Argon2id password for the job's vocabulary (its label,
// a zero byte and the canonical vocabulary), from the codec's own loader,
// which refuses a vocabulary in zarnoGlotPack's words; kept for the job
// until forgetPasswords.
function sealingPassword(codec, job, version) {
  if (!job.passwords) job.passwords = [];
  if (!job.passwords[version]) {
    job.passwords[version] = runWithVocabulary(codec, job.vocabulary, new Uint8Array(0),
                                               () => codec._pageSealingPassword(version));
  }
  return job.passwords[version];
}

function forgetPasswords(job) {
  for (const password of job.passwords || []) if (password) password.fill(0);
  job.passwords = [];
}

// K of a sealed version for the salt: Argon2id of the version's password.
// The caller wipes it.
function derivedKey(codec, job, version, salt) {
  const password = sealingPassword(codec, job, version);
  return hashwasm.argon2id({ ...derivationOptions(codec, false, version), password, salt });
}

// K's key part, as an AES key that can only encrypt or only decrypt (usage).
function aesKey(layout, derived, usage) {
  return crypto.subtle.importKey('raw', derived.subarray(0, layout.key), { name: 'AES-GCM' }, false, [usage]);
}

function gcmParameters(layout, header) {
  return { name: 'AES-GCM', iv: new Uint8Array(layout.nonce), additionalData: header, tagLength: 8 * layout.tag };
}

// A salt from the browser's random source, drawn again while the codec
// refuses it.
function drawSalt(codec, layout) {
  for (;;) {
    const salt = crypto.getRandomValues(new Uint8Array(layout.salt));
    if (runCodecForStatus(codec, salt, place => codec._pageTakesSalt(place)).status === 1) return salt;
  }
}

// Seals a zlib stream in the current version: the codec's frame (the
// header, then the stream padded with zero bytes) with its payload
// encrypted by AES-256-GCM under K's key, the header as associated data.
async function sealPacked(codec, job, packed) {
  const layout = sealedLayout(codec);
  const salt = drawSalt(codec, layout);
  stage = 'Sealing';
  reportProgress(null);
  const derived = await derivedKey(codec, job, 0, salt);
  let frame = null;
  try {
    const key = await aesKey(layout, derived, 'encrypt');
    frame = runCodec(codec, joined(salt, derived, packed), place => codec._pageSealingFrame(place, packed.length));
    const header = frame.subarray(0, layout.salt + layout.check);
    const sealed = new Uint8Array(await crypto.subtle.encrypt(gcmParameters(layout, header), key,
                                                              frame.subarray(header.length)));
    return joined(header, sealed);
  } finally {
    derived.fill(0);
    if (frame) frame.fill(0);
  }
}

// The payload of a sealed text, once its tag has verified: the first of the
// codec's versions whose check is the text's opens it. keys keeps the K
// derived in one job by version and salt: blocks of one pasted mail that
// differ only at their ends share the salt.
async function openSealed(codec, job, sealed, keys) {
  const layout = sealedLayout(codec);
  const header = sealed.subarray(0, layout.salt + layout.check);
  stage = 'Opening';
  reportProgress(null);
  for (let version = 0; version < layout.versions; version++) {
    const known = version + ':' + Array.from(sealed.subarray(0, layout.salt)).join(',');
    if (!keys.has(known)) keys.set(known, await derivedKey(codec, job, version, sealed.subarray(0, layout.salt)));
    const derived = keys.get(known);
    const matches = runCodecForStatus(codec, joined(derived, header), place => codec._pageCheckMatches(place));
    if (matches.status !== 1) continue;
    try {
      const key = await aesKey(layout, derived, 'decrypt');
      return new Uint8Array(await crypto.subtle.decrypt(gcmParameters(layout, header), key,
                                                        sealed.subarray(header.length)));
    } catch (error) {
      throw refusal(codec, OPENED.tagFailed);
    }
  }
  throw refusal(codec, OPENED.noCheckMatches);
}

// The packer's refusal for how opening a sealed text ended, as a failure.
function refusal(codec, outcome) {
  programLines = [];
  codec._pageOpenedStatus(1, outcome, 0, 0, 0, 0);
  return new PageFailure(programLines.join('\n') || 'Failed.');
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
  let packed = null;
  let sealed = null;
  try {
    sealingPassword(codec, job, 0);
    stage = 'Checking the text';
    const already = decodeReading(codec, job, job.text, 1);
    const isZarnoGlot = already.status === 0 && hasPackedShape(codec, already.bytes);
    already.bytes.fill(0);
    if (isZarnoGlot) {
      throw new PageFailure('This text is ZarnoGlot written with ' + job.vocabularyLabel +
          ' already: To text reads it. Nothing was changed.');
    }
    packed = pack(codec, job.text);
    job.text.fill(0);
    sealed = await sealPacked(codec, job, packed);
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
    forgetPasswords(job);
    if (packed) packed.fill(0);
    if (sealed) sealed.fill(0);
    job.vocabulary.fill(0);
  }
}

// Opens a sealed text, or unpacks an unsealed one of an earlier version as
// it is.
async function openReading(codec, job, packed, keys) {
  const kind = runCodecForStatus(codec, packed, place => codec._pageReadingKind(place, packed.length)).status;
  if (kind === READING.refused) throw new PageFailure(programLines.join('\n') || 'Failed.');
  if (kind === READING.unsealed) return { bytes: unpackStream(codec, packed, false), sealed: false };
  requireSubtleCrypto();
  const payload = await openSealed(codec, job, packed, keys);
  try {
    return { bytes: unpackStream(codec, payload, true), sealed: true };
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
// refused, up to the codec's most tried readings, as the editor does), then
// open it. As
// zarnoGlotPack -d with a vocabulary, the packer's loader checks the
// vocabulary for both kinds of text. The refusal shown is the first, unless
// the text itself does not read. Once one has opened, the readings that
// share no line with an opened one are opened too: the other messages of a
// reply or a thread, offered after the first.
async function toText(job) {
  const codec = await codecReady;
  const mostReadings = sealedLayout(codec).mostReadings;
  const keys = new Map();
  const messages = [];
  let refusal = null;
  try {
    // The decoder answers NO_OTHER_READING past its last reading.
    for (let reading = 1; ; reading++) {
      if (messages.length === 0 && reading > mostReadings) break;
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
      sealingPassword(codec, job, 0);
      let opened = null;
      try {
        opened = await openReading(codec, job, read.bytes, keys);
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
    forgetPasswords(job);
    for (const derived of keys.values()) derived.fill(0);
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
// for the sorted word list, at the codec's costs (options).
async function passphraseSeed(codec, passphrase, saltInput, options) {
  requireSubtleCrypto();
  stage = 'Deriving the seed from the passphrase';
  reportProgress(null);
  const salt = new Uint8Array(await crypto.subtle.digest('SHA-256', saltInput));
  const password = runCodec(codec, passphrase, place => codec._pageSeedingPassword(place, passphrase.length));
  try {
    return await hashwasm.argon2id({ ...options, password, salt });
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
    const options = derivationOptions(codec, true, 0);
    seed = job.passphrase ? await passphraseSeed(codec, job.passphrase, saltInput, options)
                          : crypto.getRandomValues(new Uint8Array(options.hashLength));
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
