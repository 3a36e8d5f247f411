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
const showUnsealedButton = byId('show-unsealed');
const otherMessageButton = byId('other-message');
const undoButton = byId('undo');
const notice = byId('notice');
const lacksLine = byId('lacks');
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
                  passphraseAgain, showUnsealedButton, otherMessageButton, undoButton, randomSeeding,
                  passphraseSeeding];

const SAMPLE_LABEL = 'the bundled sample vocabulary';
const SAMPLE_NAME = 'sample.vcb';  // its name in the programs' messages, as the editor names it
const SAMPLE_WARNING = ' Anyone can read what is written with it: choose your own vocabulary for anything private.';
// The editor's words for a text that was not sealed.
const UNSEALED_QUESTION = 'This text was not sealed: it comes from an earlier version, or from someone who learnt ' +
    'your vocabulary\'s words. Show it anyway?';
const CHOOSE_SENDERS_VOCABULARY = '\nChoose the vocabulary file the sender wrote it with (Choose vocabulary…), then ' +
    'press To text again.';
// A job whose worker has said nothing for this long is given up, so that
// the controls come back and the text stays.
const JOB_SILENCE_MS = 60000;
// The key derivation of sealing and opening takes seconds at most; WebKit
// of the Safari 16.0 generation now and then never ends it in a worker. A
// translation silent that long in it is handed to a new worker once.
const DERIVATION_SILENCE_MS = 20000;
const DERIVATION_STAGES = ['Sealing', 'Opening'];
// A vocabulary is a few tens of kilobytes; a message file no larger is
// checked as one before it is opened as a message.
const VOCABULARY_MOST_BYTES = 64 * 1024;
// A word list as zarnoGlotHarvest writes it is shuffled as it is.
const WORD_LIST_EXTENSION = '.barn';
const VOCABULARY_EXTENSION = '.vcb';
// An opened file up to this many bytes is shown in the text area; a longer
// one would freeze a phone while the text area lays it out, and is the
// input unseen, as the worker offers a longer result as a file.
const SHOW_LIMIT = 256 * 1024;
// The Shuffle dialog's limit, so that the editor can remake what the page makes.
const PASSPHRASE_MAX_CHARACTERS = 255;

function sampleVocabulary() {
  const binary = atob(byId('sample-vocabulary').textContent.trim());
  return Uint8Array.from(binary, character => character.charCodeAt(0));
}

// What a browser needs for each control: WebAssembly for every job (the
// codec, Argon2id), WebCrypto for sealing. A browser that lacks one is told
// so in one line, and the controls that cannot work stay disabled.
function missingFeatures() {
  const missing = [];
  if (typeof WebAssembly !== 'object' || typeof Worker !== 'function') missing.push('WebAssembly');
  if (!window.crypto || !window.crypto.subtle) missing.push('WebCrypto');
  return missing;
}

const missing = missingFeatures();
const unavailable = new Set(missing.includes('WebAssembly') ? controls
    : missing.includes('WebCrypto') ? [toZarnoGlotButton] : []);

function startWorker() {
  const started = new Worker(URL.createObjectURL(
    new Blob([byId('worker-source').textContent], { type: 'text/javascript' })));
  started.onmessage = answerOfWorker;
  started.onerror = event => endJob('The page could not start its worker: ' + event.message, 'failed');
  return started;
}

let worker = null;
let silenceTimer = null;      // gives up a job whose worker says nothing for JOB_SILENCE_MS
let busy = false;
let chosenVocabulary = null;  // { name, bytes } of the chosen file once checked, or null for the sample
let openedFile = null;        // { name, bytes } of a message file that is the input instead of the text area
let result = null;            // { bytes, name } of the last result, for Copy, Share and Download
let messages = [];            // the messages a paste held, and which of them is shown
let shownIndex = 0;
let unsealed = null;          // an unsealed text's answer, shown only on a second press
let previousText = null;      // what the text area held before the page replaced it, for Undo
let finishJob = null;         // what to do with the worker's answer
let failJob = null;           // and with its refusal
let retryJob = null;          // a copy of a translation's job, to hand to a new worker once
let jobStage = '';            // the stage the worker last reported

// The result line; a result of the public vocabulary stands in a warning's colours.
function showMessage(text, state, publicVocabulary = false) {
  message.textContent = text;
  message.dataset.state = state;
  message.classList.toggle('public', publicVocabulary);
}

// The live region speaks only at the start and at the end of a job.
function announce(text) {
  announcement.textContent = text;
}

function setBusy(on) {
  busy = on;
  for (const control of controls) control.setAttribute('aria-disabled', on || unavailable.has(control) ? 'true' : 'false');
  // Not readOnly, whose change lays out the whole text again (most of a
  // second on a phone for a few megabytes): edits are refused instead.
  textArea.setAttribute('aria-readonly', on ? 'true' : 'false');
  textArea.setAttribute('aria-busy', on ? 'true' : 'false');
  progress.hidden = !on;
  if (on) progress.removeAttribute('value');
  if (!on) showResultActions();
}

// A control that is pressed, or a file chooser opened, while a job runs
// does nothing; its focus stays.
for (const kind of ['click', 'mousedown', 'keydown']) {
  document.addEventListener(kind, event => {
    const control = event.target.closest('button, input, select, a');
    if (!control || (!busy && !unavailable.has(control))) return;
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

// The end of a job: its message, in view.
function endJob(text, state, publicVocabulary = false) {
  finishJob = null;
  failJob = null;
  if (retryJob !== null) {
    retryJob.job.text.fill(0);
    retryJob.job.vocabulary.fill(0);
  }
  retryJob = null;
  clearTimeout(silenceTimer);
  setBusy(false);
  showMessage(text, state, publicVocabulary);
  announce(text);
  message.scrollIntoView({ block: 'nearest' });
}

function listenForSilence() {
  clearTimeout(silenceTimer);
  const deriving = retryJob !== null && DERIVATION_STAGES.includes(jobStage);
  silenceTimer = setTimeout(() => {
    // The worker is stuck: a new one takes the job once more, or the next job.
    worker.terminate();
    worker = startWorker();
    if (retryJob !== null) {
      const { job, transfer } = retryJob;
      retryJob = null;
      jobStage = '';
      showMessage('The page\'s worker stopped answering; trying again...', 'working');
      listenForSilence();
      worker.postMessage(job, transfer);
      return;
    }
    endJob('The page gave up this job: it had not answered for ' + JOB_SILENCE_MS / 1000 + ' seconds. ' +
        'Nothing was changed; try again, or with a shorter text.', 'failed');
  }, deriving ? DERIVATION_SILENCE_MS : JOB_SILENCE_MS);
}

function answerOfWorker(event) {
  const answer = event.data;
  if (answer.kind === 'progress') jobStage = answer.stage;
  if (finishJob !== null) listenForSilence();
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
  if (finishJob === null) return;
  const outcome = answer.kind === 'failed' ? failJob(answer.reason) : finishJob(answer);
  endJob(...outcome);
}

// Hands a job to the worker; finish turns its answer, and fail its refusal,
// into the final message and state.
function postJob(job, transfer, finish, fail = reason => [reason, 'failed']) {
  finishJob = finish;
  failJob = fail;
  jobStage = '';
  if (worker === null) worker = startWorker();
  listenForSilence();
  worker.postMessage(job, transfer);
}

// A translation's job, with a copy kept to hand to a new worker once.
function postTranslation(job, finish, fail) {
  const copy = { ...job, text: job.text.slice(), vocabulary: job.vocabulary.slice() };
  retryJob = { job: copy, transfer: [copy.text.buffer, copy.vocabulary.buffer] };
  postJob(job, [job.text.buffer, job.vocabulary.buffer], finish, fail);
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

// One compact row names the vocabulary in use.
function showVocabulary() {
  vocabularyName.textContent = 'Vocabulary: ' + (chosenVocabulary ? chosenVocabulary.name : 'sample (public)');
  vocabularyName.classList.toggle('public', chosenVocabulary === null);
  useSampleButton.hidden = chosenVocabulary === null;
}

// The result line's words for the vocabulary a job used.
function usedVocabulary() {
  return chosenVocabulary ? chosenVocabulary.name : SAMPLE_LABEL + ', which is public';
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
    takeVocabulary(file.name, bytes);
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

function takeVocabulary(name, bytes) {
  if (chosenVocabulary) chosenVocabulary.bytes.fill(0);
  chosenVocabulary = { name, bytes };
  // The row names it; a chooser left empty takes the same file again.
  vocabularyChooser.value = '';
  showVocabulary();
}

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

// Puts a text in the text area; what stood there before is kept for Undo.
function showText(text, crLf) {
  if (crLf) lineEnds.value = 'crlf';
  else if (text.includes('\n')) lineEnds.value = 'lf';
  if (textArea.value !== '' && textArea.value !== text) previousText = textArea.value;
  textArea.value = text;
  setOpenedFile(null);
}

undoButton.addEventListener('click', () => {
  if (previousText === null) return;
  const text = previousText;
  forgetResult();
  textArea.value = text;
  setOpenedFile(null);
  showMessage('The text box holds what it held before.', 'done');
});

// A file chosen or dropped where a message goes: a vocabulary among them is
// recognised by the vocabulary's own check and becomes the vocabulary in
// use, never shown as text.
async function openMessageFile(file) {
  beginJob('Reading ' + file.name);
  let bytes;
  try {
    bytes = new Uint8Array(await file.arrayBuffer());
  } catch (error) {
    endJob(file.name + ' could not be read: ' + error.message, 'failed');
    return;
  }
  if (bytes.length > VOCABULARY_MOST_BYTES) {
    endJob(...openedMessage(file, bytes));
    return;
  }
  const copy = bytes.slice();
  postJob({ kind: 'checkVocabulary', vocabulary: copy }, [copy.buffer], () => {
    takeVocabulary(file.name, bytes);
    return [file.name + ' is a vocabulary, not a message: it is the vocabulary in use now.', 'done'];
  }, () => openedMessage(file, bytes));
}

function openedMessage(file, bytes) {
  const fits = textThatFits(bytes);
  forgetResult();
  if (fits.text !== null) {
    showText(fits.text, fits.crLf);
  } else {
    setOpenedFile({ name: file.name, bytes, reason: fits.reason });
  }
  const undo = previousText !== null ? ' The text that stood in the box is kept: Undo brings it back.' : '';
  return ['Opened ' + file.name + ': ' + bytes.length + ' bytes. To ZarnoGlot writes it, To text reads it.' + undo,
          'done'];
}

messageChooser.addEventListener('change', () => {
  const file = messageChooser.files[0];
  messageChooser.value = '';
  if (file) openMessageFile(file);
});

// A result, the messages of a paste and what Undo brings back belong to
// the text they came with.
function forgetResult() {
  result = null;
  messages = [];
  unsealed = null;
  previousText = null;
  showResultActions();
}

textArea.addEventListener('input', () => {
  setOpenedFile(null);
  forgetResult();
});

// While a job runs the text box takes no typing, pasting, cutting or dropping.
textArea.addEventListener('beforeinput', event => {
  if (busy) event.preventDefault();
});

// Pasted text brings its own line ends.
textArea.addEventListener('paste', event => {
  const pasted = event.clipboardData.getData('text/plain');
  if (pasted.includes('\r\n')) lineEnds.value = 'crlf';
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
      'so it cannot seal: To ZarnoGlot is off, and To text reads only texts of earlier versions.';
}
if (!missing.includes('WebAssembly')) worker = startWorker();
showSeeding();
