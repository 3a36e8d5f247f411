#!/usr/bin/python3
"""End-to-end tests of the page zarnoglot.html in headless Chromium, next to
the command-line programs of the native build.

    pageTest.py PAGE NATIVE_BIN CASE

Each case starts its own browser with a fresh profile; the exit status is 0
when the case passed.
"""
import hashlib
import http.server
import json
import os
import random
import re
import subprocess
import sys
import tempfile
import threading
import time
import zlib

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By

TOP = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SAMPLE_BARN = os.path.join(TOP, "data", "sample.barn")
SEALED_VECTORS = os.path.join(TOP, "tests", "pack", "sealedVectors.txt")
SEEDING_VECTORS = os.path.join(TOP, "tests", "shuffle", "seedingVectors.txt")
MANGLINGS = os.path.join(TOP, "tests", "decode", "manglings.txt")
# Accents, CJK, emoji (one joined by zero-width joiners) and Windows line ends.
MIXED_TEXT = ("Grüße aus Köln, ça va? Ñandú.\r\n日本語のテキスト、中文的句子。\r\n"
              "😀 🎉 👩‍👩‍👧 emoji\r\n\r\nΤέλος — конец.\r\n").encode("utf-8")
WAIT_SECONDS = 60
SEALED_ELSEWHERE = "zarnoGlotPack: the text was sealed with another vocabulary"
SEALED_DAMAGED = "zarnoGlotPack: the text is damaged or was altered"


def start_browser(download_folder):
    options = webdriver.ChromeOptions()
    for argument in ("--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                     "--disable-background-networking", "--disable-component-update", "--disable-sync",
                     "--window-size=1000,800"):
        options.add_argument(argument)
    options.add_argument("--user-data-dir=" + tempfile.mkdtemp(prefix="zgpage-profile-"))
    options.binary_location = "/usr/bin/chromium"
    options.add_experimental_option("prefs", {"download.default_directory": download_folder,
                                              "download.prompt_for_download": False})
    options.set_capability("goog:loggingPrefs", {"performance": "ALL"})
    return webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)


class Page:
    def __init__(self, page_url, native_bin):
        self.folder = tempfile.mkdtemp(prefix="zgpage-")
        self.native_bin = native_bin
        self.browser = start_browser(self.folder)
        self.browser.get_log("performance")  # the browser's own start-up
        self.browser.get(page_url)

    def element(self, element_id):
        return self.browser.find_element(By.ID, element_id)

    def set_text(self, text):
        self.browser.execute_script("document.getElementById('text').value = arguments[0]", text)

    def text(self):
        return self.browser.execute_script("return document.getElementById('text').value")

    def line_ends(self, value=None):
        if value is not None:
            self.browser.execute_script("document.getElementById('line-ends').value = arguments[0]", value)
        return self.element("line-ends").get_attribute("value")

    def press(self, button_id):
        """Presses a button and waits until the work ends; returns the state and the message."""
        self.browser.execute_script("document.getElementById('message').dataset.state = ''")
        self.element(button_id).click()
        return self.wait()

    def choose(self, chooser_id, *paths):
        self.element(chooser_id).send_keys("\n".join(paths))

    def choose_and_wait(self, chooser_id, *paths):
        """Chooses files in a chooser whose choice is a job; returns its state and message."""
        self.browser.execute_script("document.getElementById('message').dataset.state = ''")
        self.choose(chooser_id, *paths)
        return self.wait()

    def wait(self):
        deadline = time.time() + WAIT_SECONDS
        while time.time() < deadline:
            state = self.element("message").get_attribute("data-state")
            if state in ("done", "failed"):
                return state, self.element("message").text
            time.sleep(0.05)
        raise AssertionError("no answer within %d s" % WAIT_SECONDS)

    def write_file(self, name, data):
        path = os.path.join(self.folder, name)
        with open(path, "wb") as out:
            out.write(data)
        return path

    def run(self, command, data):
        """Runs a shell pipeline of the native programs on the bytes."""
        result = subprocess.run(command, input=data, capture_output=True, shell=True, cwd=self.native_bin)
        if result.returncode != 0:
            raise AssertionError("%s failed: %s" % (command, result.stderr.decode(errors="replace")))
        return result.stdout


def natural_text(size, seed=11):
    """Sentences of the bundled word list's words, size bytes of UTF-8 at most."""
    words = open(SAMPLE_BARN, encoding="utf-8").read().split()
    rng = random.Random(seed)
    parts, total = [], 0
    while total < size:
        sentence = " ".join(rng.choice(words) for _ in range(rng.randint(4, 16)))
        line = sentence[:1].upper() + sentence[1:] + rng.choice([". ", "? ", ".\n"])
        parts.append(line)
        total += len(line.encode("utf-8"))
    return "".join(parts).encode("utf-8")[:size].decode("utf-8", errors="ignore")


def wait_for_file(path):
    deadline = time.time() + WAIT_SECONDS
    while not os.path.exists(path) and time.time() < deadline:
        time.sleep(0.1)
    time.sleep(0.3)  # the browser renames the file once it is whole
    expect(os.path.exists(path), "no file " + path)
    return open(path, "rb").read()


def expect(condition, what):
    if not condition:
        raise AssertionError(what)


def expect_failure(page, button_id, reason, kept_text):
    state, message = page.press(button_id)
    expect(state == "failed" and reason in message, "expected %r, got %s: %r" % (reason, state, message))
    expect(page.text() == kept_text, "the text area lost its input after: " + message)


def as_text_area(data):
    """What the text area shows of UTF-8 bytes: every line end as LF."""
    return data.decode("utf-8").replace("\r\n", "\n")


def mixed_text_round_trip(page):
    page.set_text(MIXED_TEXT.decode("utf-8"))
    page.line_ends("crlf")
    state, message = page.press("to-zarnoglot")
    expect(state == "done", message)
    prose = page.text()
    expect("Köln" not in prose and len(prose.split()) > 20, "not ZarnoGlot: " + prose[:200])
    page.line_ends("lf")
    state, message = page.press("to-text")
    expect(state == "done", message)
    expect(page.text() == as_text_area(MIXED_TEXT), "round trip changed the text: %r" % page.text())
    expect(page.line_ends() == "crlf", "the Windows line ends were not recognised")

    # A megabyte of prose goes there and back, shown in the text box, while
    # the page reports its progress.
    megabyte = natural_text(1000000)
    page.set_text(megabyte)
    page.browser.execute_script("""
        window.seenMessages = [];
        new MutationObserver(() => seenMessages.push(document.getElementById('message').textContent))
            .observe(document.getElementById('message'), {childList: true, characterData: true, subtree: true});""")
    for button in ("to-zarnoglot", "to-text"):
        state, message = page.press(button)
        expect(state == "done", message)
    expect(page.text() == megabyte, "the megabyte came back changed")
    seen = page.browser.execute_script("return seenMessages")
    expect(any("%" in line for line in seen), "no progress shown: %r" % seen[:5])


def filters_read_the_page_and_back(page):
    # The page's sealed text (sample vocabulary) opened by the filters.
    page.set_text(MIXED_TEXT.decode("utf-8"))
    page.line_ends("crlf")
    state, message = page.press("to-zarnoglot")
    expect(state == "done", message)
    back = page.run("./zarnoGlotDecode sample.vcb | ./zarnoGlotPack -d sample.vcb", page.text().encode("utf-8"))
    expect(back == MIXED_TEXT, "the filters read back %r" % back)

    # Text that shrinks too far is stored, so that the packed bytes stay
    # within the bound that the way back allows.
    repeats = "abc " * 25000
    page.set_text(repeats)
    state, message = page.press("to-zarnoglot")
    expect(state == "done", message)
    sealed = page.run("./zarnoGlotDecode sample.vcb", page.text().encode("utf-8"))
    expect(len(sealed) * 7 >= len(repeats), "repeats packed to %d bytes" % len(sealed))
    expect(page.run("./zarnoGlotPack -d sample.vcb", sealed) == repeats.encode(), "stored repeats changed")

    # The filters' sealed and unsealed texts (a personal vocabulary, chosen
    # in the page) read by the page.
    vocabulary = page.write_file("mine.vcb", page.run("./zarnoGlotShuffle 'filters check' < " + SAMPLE_BARN, b""))
    expect(page.choose_and_wait("vocabulary", vocabulary) == ("done", "Using mine.vcb."), "mine.vcb not taken")
    for packer, read in (("./zarnoGlotPack " + vocabulary, "Opened with mine.vcb"),
                         ("./zarnoGlotPack", "unsealed text of an earlier version) with mine.vcb")):
        prose = page.run(packer + " | ./zarnoGlotEncode " + vocabulary, MIXED_TEXT)
        page.set_text(prose.decode("utf-8"))
        page.line_ends("lf")
        state, message = page.press("to-text")
        expect(state == "done" and read in message, message)
        expect(page.text() == as_text_area(MIXED_TEXT), "the page read back %r" % page.text())
        expect(page.line_ends() == "crlf", "the Windows line ends were not recognised")


def sealed_vectors():
    """(name, vocabulary path, plain bytes, sealed bytes) of the shared test vectors."""
    with open(SEALED_VECTORS, encoding="utf-8") as vectors:
        for line in vectors:
            if line.startswith("#") or not line.strip():
                continue
            name, vocabulary, _salt, plain, sealed = line.rstrip("\n").split("|")[:5]
            yield name, os.path.join(TOP, vocabulary), bytes.fromhex(plain), bytes.fromhex(sealed)


def sealed_vectors_open(page):
    for name, vocabulary, plain, sealed in sealed_vectors():
        expect(page.choose_and_wait("vocabulary", vocabulary)[0] == "done", "vocabulary refused: " + vocabulary)
        page.set_text(page.run("./zarnoGlotEncode " + vocabulary, sealed).decode("utf-8"))
        state, message = page.press("to-text")
        try:
            expected = as_text_area(plain)
        except UnicodeDecodeError:  # the page shows only text
            expect(state == "failed" and "reads back as %d bytes" % len(plain) in message, name + ": " + message)
            continue
        expect(state == "done" and page.text() == expected, "%s: %s, %r" % (name, message, page.text()))


def seeding_vectors():
    """(name, word list path, passphrase, SHA-256 of the vocabulary) of the shared seeding vectors."""
    with open(SEEDING_VECTORS, encoding="utf-8") as vectors:
        for line in vectors:
            if line.startswith("#") or not line.strip():
                continue
            name, word_list, passphrase, _salt, _seed, vocabulary = line.rstrip("\n").split("|")
            yield name, os.path.join(TOP, word_list), bytes.fromhex(passphrase).decode("utf-8"), vocabulary


def made_vocabulary(page, files, seeding="seed-passphrase", passphrase="", again=""):
    """Makes a vocabulary in the page; returns the state, the message and the downloaded bytes (or None)."""
    made = os.path.join(page.folder, "personal.vcb")
    page.browser.execute_script("document.getElementById('files').value = ''")
    page.choose("files", *files)
    page.element(seeding).click()
    if seeding == "seed-passphrase":
        page.element("passphrase").send_keys(passphrase)
        page.element("passphrase-again").send_keys(again)
    state, message = page.press("make-vocabulary")
    for field in ("passphrase", "passphrase-again"):
        expect(page.element(field).get_attribute("value") == "", "the passphrase was not cleared")
    if state != "done":
        return state, message, None
    if os.path.exists(made):
        os.remove(made)
    page.element("download").click()
    deadline = time.time() + WAIT_SECONDS
    while not os.path.exists(made) and time.time() < deadline:
        time.sleep(0.1)
    time.sleep(0.3)  # the browser renames the file once it is whole
    return state, message, open(made, "rb").read()


def vocabulary_matches_shuffle(page):
    lines = open(SAMPLE_BARN, "rb").read().splitlines(keepends=True)
    few = page.write_file("few.txt", b"Only a handful of words here.\n")
    first = page.write_file("first.txt", b"".join(lines[:5000]))
    second = page.write_file("second.txt", b"".join(lines[5000:]))
    # The shared vectors: the same seeding as zarnoGlotShuffle's, byte for byte.
    for name, word_list, passphrase, digest in seeding_vectors():
        state, message, made = made_vocabulary(page, [word_list], passphrase=passphrase, again=passphrase)
        expect(state == "done", name + ": " + message)
        expect(hashlib.sha256(made).hexdigest() == digest, "the page's vocabulary differs from the vector " + name)
    two_texts = page.run("cat %s %s | ./zarnoGlotHarvest | ./zarnoGlotShuffle 'two texts'" % (first, second), b"")
    cases = [  # files, passphrase twice, the vocabulary it makes, or the reason
        ([few], "too few", "too few", None, "zarnoGlotHarvest: only 5 unique words found; 4608 required"),
        ([SAMPLE_BARN], "one", "two", None, "The two passphrases do not match. Please type them again."),
        ([first, second], "two texts", "two texts", two_texts, None),
        # In the order of their names, as the editor joins them, whatever the order chosen.
        ([second, first], "two texts", "two texts", two_texts, None),
    ]
    for files, passphrase, again, expected, reason in cases:
        state, message, made = made_vocabulary(page, files, passphrase=passphrase, again=again)
        if reason is not None:
            expect(state == "failed" and reason in message, "expected %r, got %r" % (reason, message))
            continue
        expect(state == "done", message)
        expect(made == expected, "the page's vocabulary differs from zarnoGlotShuffle's")
    # Random vocabularies, beside the passphrase: two of them differ, and
    # each holds 4608 distinct words of the list.
    words = set(open(SAMPLE_BARN, "rb").read().split())
    made = []
    for _ in range(2):
        state, message, vocabulary = made_vocabulary(page, [SAMPLE_BARN], seeding="seed-random")
        expect(state == "done" and "vocabulary of 4608 words" in message, message)
        entries = vocabulary.split(b"\n")
        expect(entries[-1] == b"" and len(set(entries[:-1])) == 4608 and set(entries[:-1]) <= words,
               "a random vocabulary is no vocabulary of the list")
        made.append(vocabulary)
    expect(made[0] != made[1], "two random vocabularies are the same")
    expect(page.element("passphrase").get_attribute("disabled") is not None, "a random vocabulary asks a passphrase")


def damaged_text_keeps_input(page):
    page.set_text("Ein kurzer Text.")
    state, message = page.press("to-zarnoglot")
    expect(state == "done", message)
    prose = page.text()
    words = prose.split(" ")
    damaged = " ".join(["qqqq"] + words[1:])
    page.set_text(damaged)
    expect_failure(page, "to-text", "zarnoGlotDecode: unknown word: qqqq", damaged)

    # The page's sealed bytes with one bit flipped, and a test vector in the
    # words of another vocabulary; bytes written without packing or
    # sealing, and unsealed streams cut short or that would expand beyond
    # the bound.
    sealed = page.run("./zarnoGlotDecode sample.vcb", prose.encode("utf-8"))
    flipped = bytearray(sealed)
    flipped[len(sealed) // 2] ^= 0x10
    other = page.write_file("other.vcb", page.run("./zarnoGlotShuffle 'other words' < " + SAMPLE_BARN, b""))
    vector = next(sealed_vectors())[3]
    for vocabulary, data, reason in ((None, bytes(flipped), SEALED_DAMAGED),
                                     (None, b"plain bytes", SEALED_DAMAGED),
                                     (None, zlib.compress(b"legacy")[:-2], "zarnoGlotPack: truncated packed data"),
                                     (None, zlib.compress(b"a" * 200000, 9), "more than 8 times"),
                                     (other, vector, SEALED_ELSEWHERE)):
        if vocabulary is not None:
            expect(page.choose_and_wait("vocabulary", vocabulary)[0] == "done", "vocabulary refused: " + vocabulary)
        prose = page.run("./zarnoGlotEncode " + (vocabulary or "sample.vcb"), data).decode("utf-8")
        page.set_text(prose)
        expect_failure(page, "to-text", reason, prose)

    # Vocabularies that are not ones are refused when chosen, in the
    # encoder's words, and the one in use stays.
    lines = open(SAMPLE_BARN, "rb").read().splitlines()[:4608]
    for name, data, reason in (
            ("short.vcb", b"one\ntwo\nthree\n", "zarnoGlotEncode: vocabulary has 3 entries; 4608 required"),
            ("4607.vcb", b"\n".join(lines[:4607]) + b"\n", "zarnoGlotEncode: vocabulary has 4607 entries; 4608 required"),
            ("twice.vcb", b"\n".join(lines[:4607] + lines[:1]) + b"\n",
             "zarnoGlotEncode: vocabulary word 4608 repeats an earlier word"),
            ("marked.vcb", b"\xef\xbb\xbf" + b"\n".join(lines) + b"\n",
             "zarnoGlotEncode: the vocabulary begins with a byte-order mark"),
            ("noise.vcb", random.Random(5).randbytes(5 * 1000 * 1000), "zarnoGlotEncode: ")):
        page.set_text("Kept as it is.")
        state, message = page.choose_and_wait("vocabulary", page.write_file(name, data))
        expect(state == "failed" and reason in message and "Still using other.vcb." in message,
               "%s: %s, %r" % (name, state, message))
        expect(page.element("vocabulary-name").text == "Using other.vcb.", page.element("vocabulary-name").text)
        expect(page.text() == "Kept as it is.", "the text box lost its input")


def mangled_rows():
    """The plain bytes and the (kind, name, reason, text) rows of tests/decode/manglings.txt."""
    plain, rows = None, []
    for line in open(MANGLINGS, encoding="utf-8"):
        if line.startswith("#") or not line.strip():
            continue
        fields = line.rstrip("\n").split("|")
        if fields[0] == "plain":
            plain = bytes.fromhex(fields[1])
        elif fields[0] in ("read", "refused"):
            text = re.sub(r"\\(u\{[0-9A-F]+\}|x[0-9A-Fa-f]{2}|.)", unescape, fields[-1])
            rows.append((fields[0], fields[1], fields[2] if fields[0] == "refused" else None, text))
    return plain, rows


def unescape(match):
    code = match.group(1)
    if code.startswith("u{"):
        return chr(int(code[2:-1], 16))
    if code.startswith("x") and len(code) == 3:
        return chr(int(code[1:], 16))
    return {"n": "\n", "r": "\r", "t": "\t"}.get(code, code)


def as_typed(text):
    """What the text box holds of a text: every line end as LF."""
    return text.replace("\r\n", "\n").replace("\r", "\n")


def mangled_messages_read_or_say_why(page):
    plain, rows = mangled_rows()
    for kind, name, reason, text in rows:
        page.set_text(text)
        state, message = page.press("to-text")
        if kind == "read":
            expect(state == "done" and page.text() == as_text_area(plain), "%s: %s: %s" % (name, state, message))
        else:
            expect(state == "failed" and reason in message, "%s: %s: %s" % (name, state, message))
            expect(page.text() == as_typed(text), name + ": the text box lost its input")


def one_job_at_a_time(page):
    text = natural_text(2000000)
    page.set_text(text)
    # While a job runs, no other starts, the text box takes no typing and
    # the button that started it keeps the focus.
    during = page.browser.execute_script("""
        const start = document.getElementById('to-zarnoglot');
        start.focus();
        start.click();
        for (const id of ['to-text', 'to-zarnoglot', 'make-vocabulary', 'use-sample']) document.getElementById(id).click();
        const area = document.getElementById('text');
        return [area.readOnly, document.getElementById('message').dataset.state];""")
    expect(during == [True, "working"], "during the job: %r" % during)
    state, message = page.wait()
    expect(state == "done" and "Sealed and written in ZarnoGlot with the bundled sample vocabulary" in message, message)
    expect(page.browser.execute_script("return document.activeElement.id") == "to-zarnoglot", "the focus moved")
    expect(page.element("text").get_attribute("readonly") is None, "the text box stays read-only")

    # A vocabulary chosen is read and checked before anything uses it.
    mine = page.write_file("mine.vcb", page.run("./zarnoGlotShuffle 'job check' < " + SAMPLE_BARN, b""))
    page.set_text("Read before use.")
    page.browser.execute_script("""
        document.getElementById('message').dataset.state = '';
        const chosen = new DataTransfer();
        chosen.items.add(new File([arguments[0]], 'mine.vcb'));
        const chooser = document.getElementById('vocabulary');
        chooser.files = chosen.files;
        chooser.dispatchEvent(new Event('change'));
        document.getElementById('to-zarnoglot').click();""", open(mine, encoding="utf-8").read())
    expect(page.wait() == ("done", "Using mine.vcb."), "the vocabulary's check did not end alone")
    expect(page.text() == "Read before use.", "a job ran before the vocabulary was read")
    state, message = page.press("to-zarnoglot")
    expect(state == "done" and "with mine.vcb" in message, message)
    back = page.run("./zarnoGlotDecode %s | ./zarnoGlotPack -d %s" % (mine, mine), page.text().encode("utf-8"))
    expect(back == b"Read before use.", "not written with the chosen vocabulary: %r" % back)

    # Make vocabulary runs alone while its files are read, and makes a vocabulary.
    page.choose("files", SAMPLE_BARN)
    page.element("passphrase").send_keys("made alone")
    page.element("passphrase-again").send_keys("made alone")
    page.browser.execute_script("document.getElementById('message').dataset.state = ''")
    page.browser.execute_script("""
        document.getElementById('make-vocabulary').click();
        document.getElementById('to-zarnoglot').click();""")
    state, message = page.wait()
    expect(state == "done" and "vocabulary of 4608 words" in message, message)
    page.element("download").click()
    made = wait_for_file(os.path.join(page.folder, "personal.vcb"))
    expect(made == page.run("./zarnoGlotShuffle 'made alone' < " + SAMPLE_BARN, b""), "personal.vcb is no vocabulary")


def large_result_offered_as_a_file(page):
    # Too long for the text box: offered as a file, the input kept.
    text = natural_text(2500000, seed=3)
    page.set_text(text)
    state, message = page.press("to-zarnoglot")
    expect(state == "done" and "too long for the text box: it is offered as a file" in message, message)
    expect(page.text() == text, "the text box lost its input")
    page.element("save").click()
    prose = wait_for_file(os.path.join(page.folder, "zarnoglot.txt"))
    expect(page.run("./zarnoGlotDecode sample.vcb | ./zarnoGlotPack -d sample.vcb", prose) == text.encode("utf-8"),
           "the offered file does not read back")

    # The file opened reads back; written again, it is refused as ZarnoGlot already.
    state, message = page.choose_and_wait("message-file", os.path.join(page.folder, "zarnoglot.txt"))
    expect(state == "done" and "Opened zarnoglot.txt" in message, message)
    state, message = page.press("to-zarnoglot")
    expect(state == "failed" and "is ZarnoGlot written with the bundled sample vocabulary already" in message, message)
    state, message = page.press("to-text")
    expect(state == "done" and page.text() == text, message)


def lone_cr_kept_exactly(page):
    data = b"one\rtwo\r\nthree\nfour\r"
    prose = page.run("./zarnoGlotPack sample.vcb | ./zarnoGlotEncode sample.vcb", data).decode("utf-8")
    page.set_text(prose)
    state, message = page.press("to-text")
    expect(state == "done" and "cannot stand in the text box exactly: it is offered as a file" in message, message)
    expect(page.text() == prose, "the text box lost its input")
    page.element("save").click()
    expect(wait_for_file(os.path.join(page.folder, "message.txt")) == data, "the offered file has other bytes")

    # Opened from a file, the same bytes go to ZarnoGlot as they are.
    state, message = page.choose_and_wait("message-file", page.write_file("lines.txt", data))
    expect(state == "done" and "Opened lines.txt" in message, message)
    state, message = page.press("to-zarnoglot")
    expect(state == "done", message)
    back = page.run("./zarnoGlotDecode sample.vcb | ./zarnoGlotPack -d sample.vcb", page.text().encode("utf-8"))
    expect(back == data, "the opened file's bytes changed: %r" % back)


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *arguments):
        pass


def network_log_holds_only_the_page(page_path, native_bin):
    """Served over HTTP, the page's whole work asks for nothing but the page."""
    folder, name = os.path.split(page_path)
    handler = lambda *arguments: QuietHandler(*arguments, directory=folder)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    page_url = "http://127.0.0.1:%d/%s" % (server.server_address[1], name)
    page = Page(page_url, native_bin)
    try:
        page.set_text(MIXED_TEXT.decode("utf-8"))
        for button in ("to-zarnoglot", "to-text"):
            state, message = page.press(button)
            expect(state == "done", message)
        page.choose("files", SAMPLE_BARN)
        page.element("passphrase").send_keys("network check")
        page.element("passphrase-again").send_keys("network check")
        state, message = page.press("make-vocabulary")
        expect(state == "done", message)
        page.element("download").click()
        time.sleep(1)
        requests = []
        for entry in page.browser.get_log("performance"):
            event = json.loads(entry["message"])["message"]
            # The browser's own start page may still be loading its parts.
            if (event["method"] == "Network.requestWillBeSent"
                    and not event["params"].get("documentURL", "").startswith("chrome://")):
                requests.append(event["params"]["request"]["url"])
        others = [url for url in requests if url != page_url and not url.startswith("blob:")]
        expect(page_url in requests and not others, "requests beyond the page: %r" % others)
        stored = page.browser.execute_script(
            "return [document.cookie, localStorage.length, sessionStorage.length]")
        expect(stored == ["", 0, 0], "the page stored something: %r" % stored)
        # Its policy refuses even a request for the page itself.
        fetched = page.browser.execute_async_script(
            "fetch(location.href).then(() => arguments[0]('fetched'), () => arguments[0]('refused'))")
        expect(fetched == "refused", "the page may fetch")
    finally:
        page.browser.quit()
        server.shutdown()


CASES = {
    "mixedTextRoundTrip": mixed_text_round_trip,
    "filtersReadThePageAndBack": filters_read_the_page_and_back,
    "vocabularyMatchesShuffle": vocabulary_matches_shuffle,
    "damagedTextKeepsInput": damaged_text_keeps_input,
    "sealedVectorsOpen": sealed_vectors_open,
    "mangledMessagesReadOrSayWhy": mangled_messages_read_or_say_why,
    "oneJobAtATime": one_job_at_a_time,
    "largeResultOfferedAsAFile": large_result_offered_as_a_file,
    "loneCrKeptExactly": lone_cr_kept_exactly,
}


def main():
    if len(sys.argv) != 4 or sys.argv[3] not in list(CASES) + ["networkLogHoldsOnlyThePage"]:
        sys.exit("usage: pageTest.py PAGE NATIVE_BIN CASE")
    page_path, native_bin, case = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2]), sys.argv[3]
    for needed in (page_path, os.path.join(native_bin, "zarnoGlotDecode")):
        if not os.path.exists(needed):
            sys.exit("pageTest: %s is missing (build the web and native presets first)" % needed)
    try:
        if case == "networkLogHoldsOnlyThePage":
            network_log_holds_only_the_page(page_path, native_bin)
        else:
            page = Page("file://" + page_path, native_bin)
            try:
                CASES[case](page)
            finally:
                page.browser.quit()
    except AssertionError as failure:
        sys.exit("%s FAILED: %s" % (case, failure))
    print("%s passed" % case)


if __name__ == "__main__":
    main()
