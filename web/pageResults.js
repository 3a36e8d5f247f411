// The page's results: shown in the text box or offered as a file, Copy,
// Share and Download, and the two translations, with the messages a paste
// held and an unsealed text shown only on request. It stands last in the
// page's script (see page.js), whose controls and jobs it uses.

// ---------------------------------------------------------------- results

// A result is shown in the text area when it fits there exactly, and kept
// for Copy, Share and Download in any case; the message says which.
function takeResult(answer, name) {
  result = { bytes: answer.bytes, name };
  if (answer.text !== null) {
    showText(answer.text, answer.lineEnds === 'crlf');
    return '';
  }
  if (answer.lineEnds !== 'mixed') {
    return ' It is ' + answer.bytes.length + ' bytes, too long for the text box: it is offered as a file. Download, ' +
        'Copy or Share take it.';
  }
  return ' Its line ends (a CR alone, or CR LF mixed with LF) cannot stand in the text box exactly: it is offered ' +
      'as a file. Download it.';
}

// The result as text, or null when it is not UTF-8.
function resultText() {
  if (!result) return textArea.value;
  try {
    return new TextDecoder('utf-8', { fatal: true }).decode(result.bytes);
  } catch (error) {
    return null;
  }
}

// The browser's older way to copy, from a text area of the page's own
// that holds exactly the text, never from the text box.
function copyThroughSelection(text) {
  const holder = document.createElement('textarea');
  holder.value = text;
  holder.setAttribute('readonly', '');
  holder.className = 'visually-hidden';
  document.body.appendChild(holder);
  holder.select();
  let copied = false;
  try {
    copied = document.execCommand('copy');
  } finally {
    holder.remove();
    textArea.focus();
  }
  return copied;
}

function showResultActions() {
  const nothing = result === null && textArea.value === '';
  for (const button of [copyButton, shareButton, saveButton]) {
    button.setAttribute('aria-disabled', busy || nothing || unavailable.has(button) ? 'true' : 'false');
  }
  undoButton.hidden = previousText === null;
  if (messages.length === 0) otherMessageButton.hidden = true;
  if (unsealed === null) showUnsealedButton.hidden = true;
}

// Copy takes the result (or the text box when there is none), and says
// when it cannot.
copyButton.addEventListener('click', async () => {
  if (result === null && textArea.value === '') return;
  const text = resultText();
  if (text === null) {
    showMessage('This result is not text and cannot be copied: Download it.', 'failed');
    return;
  }
  try {
    await navigator.clipboard.writeText(text);
    showMessage('Copied.', 'done');
  } catch (error) {
    const copied = copyThroughSelection(text);
    showMessage(copied ? 'Copied.' : 'The browser did not let the page copy: Download the result instead.',
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
    else await navigator.share({ text: resultText() || '' });
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
  const used = usedVocabulary();
  beginJob('Writing ZarnoGlot');
  postTranslation({ kind: 'toZarnoGlot', text, vocabulary, vocabularyName: name, vocabularyLabel: label }, answer => {
    const note = takeResult(answer, 'zarnoglot.txt');
    const warning = chosenVocabulary ? '' : SAMPLE_WARNING;
    return ['Sealed and written in ZarnoGlot with ' + used + ': ' + textLength + ' bytes of text.' + warning + note,
            'done', chosenVocabulary === null];
  });
});

toTextButton.addEventListener('click', () => {
  const text = inputBytes();
  const { vocabulary, vocabularyName: name } = vocabularyOfJob();
  const used = usedVocabulary();
  beginJob('Reading ZarnoGlot');
  postTranslation({ kind: 'toText', text, vocabulary, vocabularyName: name }, answer => {
    messages = [answer, ...answer.others].map(found => ({ ...found, used, publicVocabulary: chosenVocabulary === null }));
    return showFoundMessage(0);
  }, reason => {
    const elsewhere = /sealed with another vocabulary|not written with the vocabulary/.test(reason);
    return [reason + (elsewhere ? CHOOSE_SENDERS_VOCABULARY : ''), 'failed'];
  });
});

// One of the messages a paste held; an unsealed one only once it is asked
// for (unsealed holds it until then).
function showFoundMessage(index) {
  const found = messages[index];
  shownIndex = index;
  otherMessageButton.hidden = messages.length < 2;
  otherMessageButton.textContent = 'Show message ' + (index + 1 < messages.length ? index + 2 : 1) + ' of ' +
      messages.length;
  if (!found.sealed && unsealed !== found) {
    unsealed = found;
    showUnsealedButton.hidden = false;
    return [UNSEALED_QUESTION, 'warning'];
  }
  showUnsealedButton.hidden = true;
  const note = takeResult(found, 'message.txt');
  const what = found.sealed ? 'Opened with ' : 'Read back an unsealed text, which anyone who knows the ' +
      'vocabulary\'s words could have written, with ';
  let text = what + found.used + ': ' + found.bytes.length + ' bytes of text.';
  if (messages.length > 1) {
    text = messages.length + ' messages in this paste; showing ' + (index === 0 ? 'the first' : 'message ' + (index + 1)) +
        ', on lines ' + found.firstLine + ' to ' + found.lastLine + '. ' + text;
  } else if (found.firstLine > 0) {
    text += ' It stood on lines ' + found.firstLine + ' to ' + found.lastLine +
        ' of the text; the lines around them were left aside.';
  }
  const warning = found.publicVocabulary ? SAMPLE_WARNING : '';
  return [text + warning + note, found.sealed ? 'done' : 'warning', found.publicVocabulary];
}

// The text box holds a message of the paste; the others stay at hand until
// the text box changes.
function showAnother(index) {
  const found = messages;
  const outcome = showFoundMessage(index);
  messages = found;
  showMessage(...outcome);
  message.scrollIntoView({ block: 'nearest' });
}

otherMessageButton.addEventListener('click', () => {
  if (messages.length > 1) showAnother((shownIndex + 1) % messages.length);
});

showUnsealedButton.addEventListener('click', () => {
  if (unsealed !== null && messages.includes(unsealed)) showAnother(messages.indexOf(unsealed));
});
