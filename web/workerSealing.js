// The page's worker (see workerCodec.js), its second script: packing and
// unpacking with pako, and sealing and opening with hash-wasm's Argon2id
// and the browser's AES-256-GCM, each step judged by the codec's rules.

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
