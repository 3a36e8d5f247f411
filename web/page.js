// The page's controls, in four scripts that stand in this order in one
// (page.js, pageInput.js, pageMaking.js, pageResults.js). The work itself
// runs in a worker (its source stands in the page as #worker-source); this
// script hands it the text and the vocabulary, shows its progress, and puts
// the result in the text area only when the work succeeded, so that a
// failure never loses the input. One job runs at a time: while it runs every
// control refuses to act and the text area cannot be changed, but keeps its
// focus. This one: the controls, what the browser lacks, and the jobs.
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
// codec, Argon2id), WebCrypto for sealing and for a vocabulary from a
// passphrase (its salt is a SHA-256). A browser that lacks one is told so
// in one line, and the controls that cannot work stay disabled.
function missingFeatures() {
  const missing = [];
  if (typeof WebAssembly !== 'object' || typeof Worker !== 'function') missing.push('WebAssembly');
  if (!window.crypto || !window.crypto.subtle) missing.push('WebCrypto');
  return missing;
}

const missing = missingFeatures();
const unavailable = new Set(missing.includes('WebAssembly') ? controls
    : missing.includes('WebCrypto') ? [toZarnoGlotButton, passphraseSeeding, passphrase, passphraseAgain] : []);

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
