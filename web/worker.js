// The page's worker (see workerCodec.js), its last script: the jobs the page
// asks for, and the answers it gets.

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
