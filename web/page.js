// The page's controls. The work itself runs in a worker (its source stands
// in the page as #worker-source); this script hands it the text and the
// vocabulary, shows its progress, and puts the result in the text area only
// when the work succeeded, so that a failure never loses the input.
'use strict';

const textArea = document.getElementById('text');
const vocabularyChooser = document.getElementById('vocabulary');
const vocabularyName = document.getElementById('vocabulary-name');
const useSampleButton = document.getElementById('use-sample');
const toZarnoGlotButton = document.getElementById('to-zarnoglot');
const toTextButton = document.getElementById('to-text');
const lineEnds = document.getElementById('line-ends');
const message = document.getElementById('message');
const progress = document.getElementById('progress');
const filesChooser = document.getElementById('files');
const filesZone = document.getElementById('make');
const passphrase = document.getElementById('passphrase');
const passphraseAgain = document.getElementById('passphrase-again');
const makeButton = document.getElementById('make-vocabulary');
const downloadLink = document.getElementById('download');
const controls = [toZarnoGlotButton, toTextButton, makeButton, useSampleButton, vocabularyChooser, filesChooser];

const SAMPLE_LABEL = 'the bundled sample vocabulary';
const SAMPLE_WARNING = ' It is public: anyone can read what is written with it. Choose your own for anything private.';
// A word list as zarnoGlotHarvest writes it is shuffled as it is.
const WORD_LIST_EXTENSION = '.barn';

function sampleVocabulary() {
  const binary = atob(document.getElementById('sample-vocabulary').textContent.trim());
  return Uint8Array.from(binary, character => character.charCodeAt(0));
}

const worker = new Worker(URL.createObjectURL(
  new Blob([document.getElementById('worker-source').textContent], { type: 'text/javascript' })));

let chosenVocabulary = null;  // { name, bytes } of the chosen file, or null for the sample
let finishJob = null;         // what to do with the worker's answer

function showMessage(text, state) {
  message.textContent = text;
  message.dataset.state = state;
}

function setBusy(busy) {
  for (const control of controls) control.disabled = busy;
  progress.hidden = !busy;
  if (busy) progress.removeAttribute('value');
}

worker.onmessage = event => {
  const answer = event.data;
  if (answer.kind === 'progress') {
    // A step that was still under way when its job failed may report late.
    if (finishJob === null) return;
    if (answer.fraction === null) {
      progress.removeAttribute('value');
      showMessage(answer.stage + '...', 'working');
      return;
    }
    progress.value = answer.fraction;
    showMessage(answer.stage + '... ' + Math.round(100 * answer.fraction) + '%', 'working');
    return;
  }
  const finish = finishJob;
  finishJob = null;
  setBusy(false);
  if (answer.kind === 'failed') {
    showMessage(answer.reason, 'failed');
    return;
  }
  finish(answer);
};

worker.onerror = event => {
  finishJob = null;
  setBusy(false);
  showMessage('The page could not start its worker: ' + event.message, 'failed');
};

function startJob(job, transfer, finish) {
  finishJob = finish;
  setBusy(true);
  showMessage('Working...', 'working');
  worker.postMessage(job, transfer);
}

function currentVocabulary() {
  return chosenVocabulary ? chosenVocabulary.bytes.slice() : sampleVocabulary();
}

function vocabularyLabel() {
  return chosenVocabulary ? chosenVocabulary.name : SAMPLE_LABEL;
}

function showVocabulary() {
  vocabularyName.textContent = 'Using ' + vocabularyLabel() + '.' + (chosenVocabulary ? '' : SAMPLE_WARNING);
  vocabularyName.classList.toggle('public', chosenVocabulary === null);
}

vocabularyChooser.addEventListener('change', async () => {
  const file = vocabularyChooser.files[0];
  chosenVocabulary = file ? { name: file.name, bytes: new Uint8Array(await file.arrayBuffer()) } : null;
  // Text typed on Windows reads back in the Windows editor with its lines.
if (/Windows/.test(navigator.userAgent)) lineEnds.value = 'crlf';
showVocabulary();
});

useSampleButton.addEventListener('click', () => {
  vocabularyChooser.value = '';
  chosenVocabulary = null;
  // Text typed on Windows reads back in the Windows editor with its lines.
if (/Windows/.test(navigator.userAgent)) lineEnds.value = 'crlf';
showVocabulary();
});

// The text area keeps line ends as LF; the chosen line ends are what the
// bytes of the text carry.
function textBytes() {
  const text = lineEnds.value === 'crlf' ? textArea.value.replace(/\n/g, '\r\n') : textArea.value;
  return new TextEncoder().encode(text);
}

function showText(text) {
  if (text.includes('\r\n')) lineEnds.value = 'crlf';
  else if (text.includes('\n')) lineEnds.value = 'lf';
  textArea.value = text;
}

toZarnoGlotButton.addEventListener('click', () => {
  const text = textBytes();
  const textLength = text.length;
  const vocabulary = currentVocabulary();
  startJob({ kind: 'toZarnoGlot', text, vocabulary }, [text.buffer, vocabulary.buffer], answer => {
    textArea.value = new TextDecoder().decode(answer.bytes);
    showMessage('Sealed and written in ZarnoGlot with ' + vocabularyLabel() + ': ' + textLength + ' bytes of text.',
        'done');
  });
});

toTextButton.addEventListener('click', () => {
  const text = new TextEncoder().encode(textArea.value);
  const vocabulary = currentVocabulary();
  startJob({ kind: 'toText', text, vocabulary }, [text.buffer, vocabulary.buffer], answer => {
    const length = answer.bytes.length;
    let decoded;
    try {
      decoded = new TextDecoder('utf-8', { fatal: true }).decode(answer.bytes);
    } catch (error) {
      showMessage('The ZarnoGlot text reads back as ' + length +
          ' bytes that are not UTF-8 text: read it with zarnoGlotDecode and zarnoGlotPack -d.', 'failed');
      return;
    } finally {
      answer.bytes.fill(0);
    }
    showText(decoded);
    showMessage((answer.sealed ? 'Opened with ' : 'Read back (an unsealed text of an earlier version) with ') +
        vocabularyLabel() + ': ' + length + ' bytes of text.', 'done');
  });
});

// Pasted text brings its own line ends.
textArea.addEventListener('paste', event => {
  const pasted = event.clipboardData.getData('text/plain');
  if (pasted.includes('\r\n')) lineEnds.value = 'crlf';
});

async function chosenTexts(files) {
  const pieces = [];
  for (const file of files) {
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

makeButton.addEventListener('click', async () => {
  const files = Array.from(filesChooser.files);
  if (files.length === 0) {
    showMessage('Choose or drop text files (or a word list) first.', 'failed');
    return;
  }
  if (passphrase.value === '' || passphrase.value !== passphraseAgain.value) {
    showMessage(passphrase.value === '' ? 'Enter a passphrase in both fields.' : 'The two passphrases differ.',
        'failed');
    clearPassphrase();
    return;
  }
  const secret = new TextEncoder().encode(passphrase.value);
  clearPassphrase();
  const harvest = !files.every(file => file.name.toLowerCase().endsWith(WORD_LIST_EXTENSION));
  const words = await chosenTexts(files);
  startJob({ kind: 'makeVocabulary', words, passphrase: secret, harvest }, [words.buffer, secret.buffer], answer => {
    if (downloadLink.href) URL.revokeObjectURL(downloadLink.href);
    downloadLink.href = URL.createObjectURL(new Blob([answer.bytes], { type: 'text/plain' }));
    downloadLink.hidden = false;
    showMessage(answer.notes.join(' ') + ' Download it, keep it safe, and choose it above to use it.', 'done');
  });
});

// Files dropped on the vocabulary section are its texts; anywhere else a
// dropped file is ignored rather than opened in place of the page.
document.addEventListener('dragover', event => event.preventDefault());
document.addEventListener('drop', event => event.preventDefault());
filesZone.addEventListener('drop', event => {
  if (event.dataTransfer.files.length > 0) filesChooser.files = event.dataTransfer.files;
});

// Text typed on Windows reads back in the Windows editor with its lines.
if (/Windows/.test(navigator.userAgent)) lineEnds.value = 'crlf';
showVocabulary();
