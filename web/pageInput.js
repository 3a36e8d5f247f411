// The page's input (see page.js, whose controls and jobs it uses): the
// vocabulary chosen and checked, the text box and Undo, and message files
// opened or dropped.

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
