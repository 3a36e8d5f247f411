// Making a vocabulary in the page (see page.js, whose controls and jobs it
// uses): the word list or texts chosen, the passphrase or random bytes, and
// the vocabulary offered for download.

// ---------------------------------------------------------------- making a vocabulary

// In the order of their names, as the editor's Harvest takes them, so
// that the same books give the same vocabulary in both.
function byName(files) {
  const key = file => file.name.replace(/[A-Z]/g, letter => letter.toLowerCase());
  return files.slice().sort((a, b) => (key(a) < key(b) ? -1 : key(a) > key(b) ? 1 : 0));
}

async function chosenTexts(files) {
  const pieces = [];
  for (const file of byName(files)) {
    const bytes = new Uint8Array(await file.arrayBuffer());
    pieces.push(bytes);
    // A word must not run on from the end of one file into the next.
    if (bytes.length > 0 && bytes[bytes.length - 1] !== 0x0a) pieces.push(new Uint8Array([0x0a]));
  }
  const joined = new Uint8Array(pieces.reduce((sum, piece) => sum + piece.length, 0));
  let at = 0;
  for (const piece of pieces) {
    joined.set(piece, at);
    at += piece.length;
  }
  return joined;
}

function clearPassphrase() {
  passphrase.value = '';
  passphraseAgain.value = '';
}

// The Shuffle dialog's rules, in its words: the passphrase is one line,
// and zarnoGlotShuffle's argument ends at a NUL.
function passphraseRefusal(typed, repeated) {
  if (typed === '') return 'Please type a passphrase.';
  if (typed !== repeated) return 'The two passphrases do not match. Please type them again.';
  if (/[\r\n]/.test(typed)) return 'The passphrase cannot hold a line end: zarnoGlotShuffle reads it as one line.';
  if (typed.includes('\0')) return 'The passphrase cannot hold a NUL character: zarnoGlotShuffle would not receive what follows it.';
  if (typed.length > PASSPHRASE_MAX_CHARACTERS) return 'The passphrase is too long.';
  return null;
}

// A random vocabulary needs no passphrase.
function showSeeding() {
  passphrase.disabled = randomSeeding.checked;
  passphraseAgain.disabled = randomSeeding.checked;
  if (randomSeeding.checked) clearPassphrase();
}

for (const choice of [randomSeeding, passphraseSeeding]) choice.addEventListener('change', showSeeding);

// The passphrase's bytes, or null for a random vocabulary; null too after
// the refusal has been shown (*refused).
function chosenPassphrase() {
  if (randomSeeding.checked) return { secret: null, refused: false };
  const refusal = passphraseRefusal(passphrase.value, passphraseAgain.value);
  if (refusal !== null) {
    clearPassphrase();
    showMessage(refusal, 'failed');
    return { secret: null, refused: true };
  }
  const secret = new TextEncoder().encode(passphrase.value);
  clearPassphrase();
  return { secret, refused: false };
}

makeButton.addEventListener('click', async () => {
  const files = Array.from(filesChooser.files);
  if (files.length === 0) {
    showMessage('Choose or drop text files (or a word list) first.', 'failed');
    return;
  }
  const { secret, refused } = chosenPassphrase();
  if (refused) return;
  const harvest = !files.every(file => file.name.toLowerCase().endsWith(WORD_LIST_EXTENSION));
  beginJob('Reading the files');
  let words;
  try {
    words = await chosenTexts(files);
  } catch (error) {
    if (secret) secret.fill(0);
    endJob('The files could not be read: ' + error.message, 'failed');
    return;
  }
  const handedOver = secret ? [words.buffer, secret.buffer] : [words.buffer];
  postJob({ kind: 'makeVocabulary', words, passphrase: secret, harvest }, handedOver, answer => {
    if (downloadLink.href) URL.revokeObjectURL(downloadLink.href);
    downloadLink.href = URL.createObjectURL(new Blob([answer.bytes], { type: 'text/plain' }));
    downloadLink.hidden = false;
    return [answer.notes.join(' ') + ' Download it, keep it safe, and choose it above to use it.', 'done'];
  });
});

// ---------------------------------------------------------------- dropping files

// A vocabulary (.vcb) dropped on the translation part, or any file dropped
// on the vocabulary's row, is chosen as the vocabulary; another file dropped
// there is opened as the message (unless it is a vocabulary after all);
// files dropped on the vocabulary section are its texts. Anywhere else, and while a job runs, a dropped file is
// ignored rather than opened in place of the page.
document.addEventListener('dragover', event => event.preventDefault());
document.addEventListener('drop', event => event.preventDefault());

function droppedFile(event) {
  event.preventDefault();
  event.stopPropagation();
  // The job's own message stays as it is.
  if (busy || unavailable.has(vocabularyChooser)) {
    notice.textContent = busy ? 'A job is under way: drop the file again once it has ended.' : '';
    notice.hidden = !busy;
    return null;
  }
  notice.hidden = true;
  return event.dataTransfer.files.length > 0 ? event.dataTransfer.files[0] : null;
}

vocabularyZone.addEventListener('drop', event => {
  const file = droppedFile(event);
  if (file) chooseVocabulary(file);
});

translateZone.addEventListener('drop', event => {
  const file = droppedFile(event);
  if (!file) return;
  if (file.name.toLowerCase().endsWith(VOCABULARY_EXTENSION)) chooseVocabulary(file);
  else openMessageFile(file);
});

filesZone.addEventListener('drop', event => {
  event.preventDefault();
  if (busy) return;
  if (event.dataTransfer.files.length > 0) filesChooser.files = event.dataTransfer.files;
});

// Text typed on Windows reads back in the Windows editor with its lines.
if (/Windows/.test(navigator.userAgent)) lineEnds.value = 'crlf';
showVocabulary();
setBusy(false);
if (missing.length > 0) {
  lacksLine.hidden = false;
  lacksLine.textContent = missing.includes('WebAssembly')
    ? 'This browser lacks WebAssembly, which every job of this page needs: open zarnoglot.html in a browser of ' +
      'the last five years.'
    : 'This browser gives this page no WebCrypto (it does only to a page opened from its file or over https), ' +
      'so it cannot seal: To ZarnoGlot is off, To text reads only texts of earlier versions, and a vocabulary ' +
      'can be made only at random.';
  if (unavailable.has(passphraseSeeding)) randomSeeding.checked = true;
}
if (!missing.includes('WebAssembly')) worker = startWorker();
showSeeding();
