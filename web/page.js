// The page's controls. The work itself runs in a worker (its source stands
// in the page as #worker-source); this script hands it the text and the
// vocabulary, shows its progress, and puts the result in the text area only
// when the work succeeded, so that a failure never loses the input. One job
// runs at a time: while it runs every control refuses to act and the text
// area cannot be changed, but keeps its focus.
'use strict';

const byId = id => document.getElementById(id);
const textArea = byId('text');
const vocabularyChooser = byId('vocabulary');
const vocabularyZone = byId('vocabulary-zone');
const vocabularyName = byId('vocabulary-name');
const useSampleButton = byId('use-sample');
const messageChooser = byId('message-file');
const openedNote = byId('opened');
const translateZone = byId('translate');
const toZarnoGlotButton = byId('to-zarnoglot');
const toTextButton = byId('to-text');
const lineEnds = byId('line-ends');
const copyButton = byId('copy');
const shareButton = byId('share');
const saveButton = byId('save');
const message = byId('message');
const announcement = byId('announcement');
const progress = byId('progress');
const filesChooser = byId('files');
const filesZone = byId('make');
const passphrase = byId('passphrase');
const passphraseAgain = byId('passphrase-again');
const randomSeeding = byId('seed-random');
const passphraseSeeding = byId('seed-passphrase');
const makeButton = byId('make-vocabulary');
const downloadLink = byId('download');
const controls = [toZarnoGlotButton, toTextButton, makeButton, useSampleButton, vocabularyChooser, filesChooser,
                  messageChooser, copyButton, shareButton, saveButton, lineEnds, passphrase,
                  passphraseAgain, randomSeeding, passphraseSeeding];

const SAMPLE_LABEL = 'the bundled sample vocabulary';
const SAMPLE_NAME = 'sample.vcb';  // its name in the programs' messages, as the editor names it
const SAMPLE_WARNING = ' It is public: anyone can read what is written with it. Choose your own for anything private.';
// A word list as zarnoGlotHarvest writes it is shuffled as it is.
const WORD_LIST_EXTENSION = '.barn';
const VOCABULARY_EXTENSION = '.vcb';
// A text up to this many bytes is shown in the text area; a longer one
// would stall the page there, and is offered as a file instead.
const SHOW_LIMIT = 4 * 1000 * 1000;
// The Shuffle dialog's limit, so that the editor can remake what the page makes.
const PASSPHRASE_MAX_CHARACTERS = 255;

function sampleVocabulary() {
  const binary = atob(byId('sample-vocabulary').textContent.trim());
  return Uint8Array.from(binary, character => character.charCodeAt(0));
}

const worker = new Worker(URL.createObjectURL(
  new Blob([byId('worker-source').textContent], { type: 'text/javascript' })));

let busy = false;
let chosenVocabulary = null;  // { name, bytes } of the chosen file once checked, or null for the sample
let openedFile = null;        // { name, bytes } of a message file that is the input instead of the text area
let result = null;            // { bytes, name } of the last result, for Copy, Share and Download
let finishJob = null;         // what to do with the worker's answer
let failJob = null;           // and with its refusal

function showMessage(text, state) {
  message.textContent = text;
  message.dataset.state = state;
}

// The live region speaks only at the start and at the end of a job.
function announce(text) {
  announcement.textContent = text;
}

function setBusy(on) {
  busy = on;
  for (const control of controls) control.setAttribute('aria-disabled', on ? 'true' : 'false');
  textArea.readOnly = on;
  textArea.setAttribute('aria-busy', on ? 'true' : 'false');
  progress.hidden = !on;
  if (on) progress.removeAttribute('value');
  if (!on) showResultActions();
}

// A control that is pressed, or a file chooser opened, while a job runs
// does nothing; its focus stays.
for (const kind of ['click', 'mousedown', 'keydown']) {
  document.addEventListener(kind, event => {
    if (!busy || !event.target.closest('button, input, select, a')) return;
    if (kind === 'keydown' && (event.key === 'Tab' || event.key === 'Shift')) return;
    event.preventDefault();
    event.stopImmediatePropagation();
  }, true);
}

function beginJob(stageText) {
  setBusy(true);
  showMessage(stageText + '...', 'working');
  announce(stageText + '...');
}

function endJob(text, state) {
  finishJob = null;
  failJob = null;
  setBusy(false);
  showMessage(text, state);
  announce(text);
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
  const [text, state] = answer.kind === 'failed' ? failJob(answer.reason) : finishJob(answer);
  endJob(text, state);
};

worker.onerror = event => {
  endJob('The page could not start its worker: ' + event.message, 'failed');
};

// Hands a job to the worker; finish turns its answer, and fail its refusal,
// into the final message and state.
function postJob(job, transfer, finish, fail = reason => [reason, 'failed']) {
  finishJob = finish;
  failJob = fail;
  worker.postMessage(job, transfer);
}

function vocabularyLabel() {
  return chosenVocabulary ? chosenVocabulary.name : SAMPLE_LABEL;
}

// What the job needs of the vocabulary: its bytes, its name in the
// programs' messages and its label in the page's.
function vocabularyOfJob() {
  return {
    vocabulary: chosenVocabulary ? chosenVocabulary.bytes.slice() : sampleVocabulary(),
    vocabularyName: chosenVocabulary ? chosenVocabulary.name : SAMPLE_NAME,
    vocabularyLabel: vocabularyLabel(),
  };
}

function showVocabulary() {
  vocabularyName.textContent = 'Using ' + vocabularyLabel() + '.' + (chosenVocabulary ? '' : SAMPLE_WARNING);
  vocabularyName.classList.toggle('public', chosenVocabulary === null);
}

// ---------------------------------------------------------------- vocabulary

// A vocabulary is checked as the filters check it before it is used; a
// refused one leaves the vocabulary in use as it was.
async function chooseVocabulary(file) {
  beginJob('Reading the vocabulary');
  let bytes;
  try {
    bytes = new Uint8Array(await file.arrayBuffer());
  } catch (error) {
    vocabularyChooser.value = '';
    endJob('The vocabulary file could not be read: ' + error.message + ' Still using ' + vocabularyLabel() + '.', 'failed');
    return;
  }
  const copy = bytes.slice();
  postJob({ kind: 'checkVocabulary', vocabulary: copy }, [copy.buffer], () => {
    chosenVocabulary = { name: file.name, bytes };
    // The label names it; a chooser left empty takes the same file again.
    vocabularyChooser.value = '';
    showVocabulary();
    return ['Using ' + file.name + '.', 'done'];
  }, reason => {
    bytes.fill(0);
    return [vocabularyRefused(reason), 'failed'];
  });
}

vocabularyChooser.addEventListener('change', () => {
  const file = vocabularyChooser.files[0];
  if (file) chooseVocabulary(file);
});

// The worker's refusal of a vocabulary keeps the one in use.
function vocabularyRefused(reason) {
  vocabularyChooser.value = '';
  return 'This vocabulary cannot be used.\n' + reason + '\nStill using ' + vocabularyLabel() + '.';
}

useSampleButton.addEventListener('click', () => {
  vocabularyChooser.value = '';
  chosenVocabulary = null;
  showVocabulary();
});

// ---------------------------------------------------------------- the text

// The input of a job: a message file that was opened, or the text area,
// whose line ends are LF; the chosen line ends are what the bytes carry.
function inputBytes() {
  if (openedFile) return openedFile.bytes.slice();
  const text = lineEnds.value === 'crlf' ? textArea.value.replace(/\n/g, '\r\n') : textArea.value;
  return new TextEncoder().encode(text);
}

function setOpenedFile(file) {
  openedFile = file;
  openedNote.hidden = file === null;
  openedNote.textContent = file === null ? '' : 'The input is the opened file ' + file.name + ' (' + file.bytes.length +
      ' bytes), not shown in the text box: ' + file.reason + ' Type in the text box to use it instead.';
}

// A text fits in the text area when it is UTF-8 of at most SHOW_LIMIT
// bytes whose line ends are all LF or all CR LF.
function textThatFits(bytes) {
  if (bytes.length > SHOW_LIMIT) return { text: null, reason: 'it is too long for the text box.' };
  let text;
  try {
    text = new TextDecoder('utf-8', { fatal: true }).decode(bytes);
  } catch (error) {
    return { text: null, reason: 'it is not UTF-8 text.' };
  }
  const crLf = (text.match(/\r\n/g) || []).length;
  const cr = (text.match(/\r/g) || []).length;
  const lf = (text.match(/\n/g) || []).length;
  if (cr !== crLf || (crLf > 0 && lf !== crLf) || text.includes('\0')) {
    return { text: null, reason: 'the text box would change its line ends (a CR alone, or CR LF mixed with LF).' };
  }
  return { text: text.replace(/\r\n/g, '\n'), crLf: crLf > 0, reason: '' };
}

function showText(text, crLf) {
  if (crLf) lineEnds.value = 'crlf';
  else if (text.includes('\n')) lineEnds.value = 'lf';
  textArea.value = text;
  setOpenedFile(null);
}

async function openMessageFile(file) {
  beginJob('Reading ' + file.name);
  let bytes;
  try {
    bytes = new Uint8Array(await file.arrayBuffer());
  } catch (error) {
    endJob(file.name + ' could not be read: ' + error.message, 'failed');
    return;
  }
  const fits = textThatFits(bytes);
  result = null;
  if (fits.text !== null) {
    showText(fits.text, fits.crLf);
  } else {
    setOpenedFile({ name: file.name, bytes, reason: fits.reason });
  }
  endJob('Opened ' + file.name + ': ' + bytes.length + ' bytes. To ZarnoGlot writes it, To text reads it.', 'done');
}

messageChooser.addEventListener('change', () => {
  const file = messageChooser.files[0];
  messageChooser.value = '';
  if (file) openMessageFile(file);
});

textArea.addEventListener('input', () => {
  setOpenedFile(null);
  result = null;
  showResultActions();
});

// Pasted text brings its own line ends.
textArea.addEventListener('paste', event => {
  const pasted = event.clipboardData.getData('text/plain');
  if (pasted.includes('\r\n')) lineEnds.value = 'crlf';
});

// ---------------------------------------------------------------- results

// A result is shown in the text area when it fits there exactly, and kept
// for Copy, Share and Download in any case; the message says which.
function takeResult(answer, name) {
  result = { bytes: answer.bytes, name };
  if (answer.text !== null) {
    showText(answer.text, answer.lineEnds === 'crlf');
    return '';
  }
  if (answer.bytes.length > SHOW_LIMIT) {
    return ' It is ' + answer.bytes.length + ' bytes, too long for the text box: it is offered as a file. Download it.';
  }
  return ' Its line ends (a CR alone, or CR LF mixed with LF) cannot stand in the text box exactly: it is offered ' +
      'as a file. Download it.';
}

function resultText() {
  return result ? new TextDecoder().decode(result.bytes) : textArea.value;
}

function showResultActions() {
  const nothing = result === null && textArea.value === '';
  for (const button of [copyButton, shareButton, saveButton]) {
    button.setAttribute('aria-disabled', busy || nothing ? 'true' : 'false');
  }
}

copyButton.addEventListener('click', async () => {
  if (result === null && textArea.value === '') return;
  try {
    await navigator.clipboard.writeText(resultText());
    showMessage('Copied.', 'done');
  } catch (error) {
    textArea.select();
    const copied = document.execCommand('copy');
    showMessage(copied ? 'Copied.' : 'The browser did not let the page copy: select the text and copy it.',
        copied ? 'done' : 'failed');
  }
});

if (navigator.share) shareButton.hidden = false;
shareButton.addEventListener('click', async () => {
  if (result === null && textArea.value === '') return;
  const name = result ? result.name : 'zarnoglot.txt';
  const file = new File([result ? result.bytes : resultText()], name, { type: 'text/plain' });
  try {
    if (navigator.canShare && navigator.canShare({ files: [file] })) await navigator.share({ files: [file] });
    else await navigator.share({ text: resultText() });
  } catch (error) {
    if (error.name !== 'AbortError') showMessage('The browser did not share it: ' + error.message, 'failed');
  }
});

function offerDownload(bytes, name) {
  const link = document.createElement('a');
  link.href = URL.createObjectURL(new Blob([bytes], { type: 'text/plain' }));
  link.download = name;
  document.body.appendChild(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(link.href), 60000);
}

saveButton.addEventListener('click', () => {
  if (result) offerDownload(result.bytes, result.name);
  else if (textArea.value !== '') offerDownload(inputBytes(), 'text.txt');
});

// ---------------------------------------------------------------- translating

toZarnoGlotButton.addEventListener('click', () => {
  const text = inputBytes();
  const textLength = text.length;
  const { vocabulary, vocabularyName: name, vocabularyLabel: label } = vocabularyOfJob();
  beginJob('Writing ZarnoGlot');
  postJob({ kind: 'toZarnoGlot', text, vocabulary, vocabularyName: name, vocabularyLabel: label },
          [text.buffer, vocabulary.buffer], answer => {
    const note = takeResult(answer, 'zarnoglot.txt');
    return ['Sealed and written in ZarnoGlot with ' + label + ': ' + textLength + ' bytes of text.' + note, 'done'];
  });
});

toTextButton.addEventListener('click', () => {
  const text = inputBytes();
  const { vocabulary, vocabularyName: name, vocabularyLabel: label } = vocabularyOfJob();
  beginJob('Reading ZarnoGlot');
  postJob({ kind: 'toText', text, vocabulary, vocabularyName: name }, [text.buffer, vocabulary.buffer], answer => {
    const length = answer.bytes.length;
    const lines = answer.firstLine > 0 ? ' It stood on lines ' + answer.firstLine + ' to ' + answer.lastLine +
        ' of the text; the lines around them were left aside.' : '';
    const note = takeResult(answer, 'message.txt');
    return [(answer.sealed ? 'Opened with ' : 'Read back (an unsealed text of an earlier version) with ') + label +
        ': ' + length + ' bytes of text.' + lines + note, 'done'];
  });
});

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
// there is opened as the message; files dropped on the vocabulary section
// are its texts. Anywhere else, and while a job runs, a dropped file is
// ignored rather than opened in place of the page.
document.addEventListener('dragover', event => event.preventDefault());
document.addEventListener('drop', event => event.preventDefault());

function droppedFile(event) {
  event.preventDefault();
  event.stopPropagation();
  if (busy) {
    showMessage('Wait until the job under way has ended, then drop the file again.', 'failed');
    return null;
  }
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
showResultActions();
showSeeding();
