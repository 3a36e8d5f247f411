#!/usr/bin/python3
"""End-to-end tests of the page zarnoglot.html in headless browsers, next to
the command-line programs of the native build.

    pageTest.py PAGE NATIVE_BIN CASE [ENGINE]

ENGINE is chromium (the default, through chromedriver), firefox (Firefox
ESR through its own Marionette protocol, which needs no driver) or webkit
(the cog browser of WPE WebKit through WPEWebDriver). Each case starts its
own browser with a fresh profile; the exit status is 0 when the case passed.
"""
import hashlib
import http.server
import json
import os
import random
import re
import socket
import subprocess
import sys
import tempfile
import threading
import time
import zlib

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.common.options import ArgOptions

TOP = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SAMPLE_BARN = os.path.join(TOP, "data", "sample.barn")
SEALED_VECTORS = os.path.join(TOP, "tests", "pack", "sealedVectors.txt")
SEEDING_VECTORS = os.path.join(TOP, "tests", "shuffle", "seedingVectors.txt")
MANGLINGS = os.path.join(TOP, "tests", "decode", "manglings.txt")
# Accents, CJK, emoji (one joined by zero-width joiners) and Windows line ends.
MIXED_TEXT = ("Grüße aus Köln, ça va? Ñandú.\r\n日本語のテキスト、中文的句子。\r\n"
              "😀 🎉 👩‍👩‍👧 emoji\r\n\r\nΤέλος — конец.\r\n").encode("utf-8")
WAIT_SECONDS = 60
UNSEALED_QUESTION = ("This text was not sealed: it comes from an earlier version, or from someone who learnt your "
                     "vocabulary's words. Show it anyway?")
SEALED_ELSEWHERE = "zarnoGlotPack: the text was sealed with another vocabulary"
SEALED_DAMAGED = "zarnoGlotPack: the text is damaged or was altered"
CHOOSE_SENDERS_VOCABULARY = "\nChoose the vocabulary file the sender wrote it with"


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


class MarionetteElement:
    def __init__(self, browser, reference):
        self.browser = browser
        self.reference = reference

    def command(self, command_name, **params):
        return self.browser.command(command_name, id=self.reference["element-6066-11e4-a52e-4f735466cecf"], **params)

    def click(self):
        self.command("WebDriver:ElementClick")

    def send_keys(self, text):
        self.command("WebDriver:ElementSendKeys", text=text)

    def get_attribute(self, name):
        """As Selenium's: the property of that name, else the attribute."""
        value = self.command("WebDriver:GetElementProperty", name=name)
        return value if value is not None else self.command("WebDriver:GetElementAttribute", name=name)

    @property
    def text(self):
        return self.command("WebDriver:GetElementText")


class MarionetteBrowser:
    """Headless Firefox driven through the Marionette protocol it carries
    (length-prefixed JSON over a local socket): the few WebDriver commands
    these tests use."""

    def __init__(self):
        self.profile = tempfile.mkdtemp(prefix="zgpage-firefox-")
        with open(os.path.join(self.profile, "user.js"), "w") as prefs:
            prefs.write('user_pref("marionette.port", 0);\n')  # any free port, written to the profile
        self.process = subprocess.Popen(["firefox-esr", "--headless", "--marionette", "--no-remote", "--profile",
                                         self.profile], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        port_file = os.path.join(self.profile, "MarionetteActivePort")
        deadline = time.time() + WAIT_SECONDS
        while not os.path.exists(port_file) and time.time() < deadline:
            time.sleep(0.1)
        time.sleep(0.2)
        self.socket = socket.create_connection(("127.0.0.1", int(open(port_file).read())))
        self.stream = self.socket.makefile("rb")
        self.serial = 0
        self.receive()  # the greeting
        self.command("WebDriver:NewSession", capabilities={})

    def receive(self):
        length = b""
        while not length.endswith(b":"):
            length += self.stream.read(1)
        return json.loads(self.stream.read(int(length[:-1])))

    def command(self, command_name, **params):
        self.serial += 1
        data = json.dumps([0, self.serial, command_name, params]).encode()
        self.socket.sendall(b"%d:%s" % (len(data), data))
        _kind, _serial, error, answer = self.receive()
        if error:
            raise AssertionError("Firefox: %s: %s" % (command_name, error.get("message", error)))
        return answer.get("value") if isinstance(answer, dict) else answer

    def get(self, url):
        self.command("WebDriver:Navigate", url=url)

    def execute_script(self, script, *args):
        return self.command("WebDriver:ExecuteScript", script=script, args=list(args))

    def execute_async_script(self, script, *args):
        return self.command("WebDriver:ExecuteAsyncScript", script=script, args=list(args))

    def set_script_timeout(self, seconds):
        self.command("WebDriver:SetTimeouts", script=int(seconds * 1000))

    def find_element(self, _by, element_id):
        return MarionetteElement(self, self.command("WebDriver:FindElement", using="css selector",
                                                    value="#" + element_id))

    def quit(self):
        try:
            self.command("WebDriver:DeleteSession")
        finally:
            self.socket.close()
            self.process.terminate()
            self.process.wait(WAIT_SECONDS)


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def start_webkit():
    """The cog browser (WPE WebKit, headless) through WPEWebDriver on a port of its own."""
    port = free_port()
    driver = subprocess.Popen(["WPEWebDriver", "--port=%d" % port], stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL)
    options = ArgOptions()
    options.set_capability("wpe:browserOptions", {"binary": "/usr/bin/cog",
                                                  "args": ["--automation", "--platform=headless"]})
    deadline = time.time() + WAIT_SECONDS
    while True:
        try:
            browser = webdriver.Remote(command_executor="http://127.0.0.1:%d" % port, options=options)
            break
        except Exception:
            if time.time() > deadline:
                driver.terminate()
                raise
            time.sleep(0.2)
    quit_browser = browser.quit

    def quit_both():
        try:
            quit_browser()
        finally:
            driver.terminate()
            driver.wait(WAIT_SECONDS)
    browser.quit = quit_both
    return browser


def start_engine(engine, download_folder):
    if engine == "firefox":
        return MarionetteBrowser()
    if engine == "webkit":
        return start_webkit()
    return start_browser(download_folder)


class Page:
    def __init__(self, page_url, native_bin, engine="chromium", before_load=None):
        self.folder = tempfile.mkdtemp(prefix="zgpage-")
        self.native_bin = native_bin
        self.engine = engine
        self.browser = start_engine(engine, self.folder)
        if engine == "chromium":
            self.browser.get_log("performance")  # the browser's own start-up
            if before_load:
                self.browser.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": before_load})
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
        # The page gives up a job after 60 s of silence from its worker.
        deadline = time.time() + WAIT_SECONDS + 15
        text = ""
        while time.time() < deadline:
            state, text = self.browser.execute_script(
                "const m = document.getElementById('message'); return [m.dataset.state, m.textContent]")
            if state in ("done", "failed", "warning"):
                return state, text
            time.sleep(0.05)
        raise AssertionError("no answer within %d s; the message says %r" % (WAIT_SECONDS + 15, text))

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

    # Prose goes there and back, shown in the text box as long as its
    # ZarnoGlot stays within 256 KiB, while the page reports its progress.
    megabyte = natural_text(90000)
    page.set_text(megabyte)
    page.browser.execute_script("""
        window.seenMessages = [];
        new MutationObserver(() => seenMessages.push(document.getElementById('message').textContent))
            .observe(document.getElementById('message'), {childList: true, characterData: true, subtree: true});""")
    for button in ("to-zarnoglot", "to-text"):
        state, message = page.press(button)
        expect(state == "done", message)
    expect(page.text() == megabyte, "the prose came back changed")
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
    repeats = "abc " * 12000
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
    prose = page.run("./zarnoGlotPack %s | ./zarnoGlotEncode %s" % (vocabulary, vocabulary), MIXED_TEXT)
    page.set_text(prose.decode("utf-8"))
    page.line_ends("lf")
    state, message = page.press("to-text")
    expect(state == "done" and "Opened with mine.vcb" in message and "public" not in message, message)
    expect(page.text() == as_text_area(MIXED_TEXT), "the page read back %r" % page.text())
    expect(page.line_ends() == "crlf", "the Windows line ends were not recognised")

    # An unsealed text is shown only on a second press, as a warning.
    prose = page.run("./zarnoGlotPack | ./zarnoGlotEncode " + vocabulary, MIXED_TEXT).decode("utf-8")
    page.set_text(prose)
    state, message = page.press("to-text")
    expect(state == "warning" and message == UNSEALED_QUESTION, "%s: %r" % (state, message))
    expect(page.text() == prose, "an unsealed text was shown before it was asked for")
    state, message = page.press("show-unsealed")
    expect(state == "warning" and "unsealed text" in message and "with mine.vcb" in message, message)
    expect(page.text() == as_text_area(MIXED_TEXT), "the page read back %r" % page.text())


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
                                     (other, vector, SEALED_ELSEWHERE + CHOOSE_SENDERS_VOCABULARY)):
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
        expect(page.element("vocabulary-name").text == "Vocabulary: other.vcb", page.element("vocabulary-name").text)
        expect(page.text() == "Kept as it is.", "the text box lost its input")


def mangled_rows(kinds=("read", "refused")):
    """The plain bytes and the (kind, name, fields, text) rows of tests/decode/manglings.txt:
    fields the reason of a refused row, the first message's plain bytes and the count of
    messages of a thread, nothing of a read row."""
    plains, rows = {}, []
    for line in open(MANGLINGS, encoding="utf-8"):
        if line.startswith("#") or not line.strip():
            continue
        fields = line.rstrip("\n").split("|")
        if fields[0] in ("plain", "plain2"):
            plains[fields[0]] = bytes.fromhex(fields[1])
        elif fields[0] in kinds:
            text = re.sub(r"\\(u\{[0-9A-F]+\}|x[0-9A-Fa-f]{2}|.)", unescape, fields[-1])
            extra = {"refused": lambda: fields[2], "read": lambda: None,
                     "thread": lambda: (plains["plain" if fields[2] == "1" else "plain2"], int(fields[3]))}
            rows.append((fields[0], fields[1], extra[fields[0]](), text))
    return plains["plain"], rows


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


def threads_say_how_many_messages(page):
    """A paste of several messages opens the one nearest the top, says how
    many it holds and where the shown one stood, and shows the others."""
    plain, rows = mangled_rows(("thread",))
    plains = {plain, mangled_plain2()}
    for _kind, name, (first, count), text in rows:
        page.set_text(text)
        state, message = page.press("to-text")
        expect(state == "done" and page.text() == as_text_area(first), "%s: %s: %s" % (name, state, message))
        expect(re.match(r"%d messages in this paste; showing the first, on lines \d+ to \d+\. Opened with" % count,
                        message), "%s: %s" % (name, message))
        for shown in range(2, count + 1):
            state, message = page.press("other-message")
            expect(state == "done" and "showing message %d" % shown in message, "%s: %s" % (name, message))
            expect(page.text().encode("utf-8") in {p.replace(b"\r\n", b"\n") for p in plains}, name)


def mangled_plain2():
    return next(bytes.fromhex(line.split("|")[1].strip()) for line in open(MANGLINGS, encoding="utf-8")
                if line.startswith("plain2|"))


# Gives the page a new worker whose random salt is the given one, as a
# shared test vector's, so that its sealed bytes can be compared with it;
# so are the workers the page starts after it.
FIXED_SALT = """
const salt = arguments[0];
const RealBlob = window.Blob;
window.Blob = class extends RealBlob {
  constructor(parts, options) {
    if (options && options.type === 'text/javascript') {
      parts = ['const fixedSalt = new Uint8Array(' + JSON.stringify(salt) + ');\\n' +
               'const realRandom = crypto.getRandomValues.bind(crypto);\\n' +
               'crypto.getRandomValues = a => a instanceof Uint8Array && a.length === fixedSalt.length ? ' +
               '(a.set(fixedSalt), a) : realRandom(a);\\n', ...parts];
    }
    super(parts, options);
  }
};
worker.terminate();
worker = startWorker();
"""


def sealed_like_the_filters(page):
    """With a test vector's salt the page seals the vector's plain text
    into exactly its sealed bytes: pako packs as zarnoGlotPack does."""
    for line in open(SEALED_VECTORS, encoding="utf-8"):
        if line.startswith("letter|"):
            _name, _vocabulary, salt, plain, sealed = line.rstrip("\n").split("|")[:5]
    page.browser.execute_script(FIXED_SALT, list(bytes.fromhex(salt)))
    page.set_text(as_text_area(bytes.fromhex(plain)))
    page.line_ends("crlf")
    state, message = page.press("to-zarnoglot")
    expect(state == "done", message)
    written = page.run("./zarnoGlotDecode sample.vcb", page.text().encode("utf-8"))
    expect(written == bytes.fromhex(sealed), "the page sealed other bytes than the filters: %s" % written.hex())


def sealed_both_ways(page):
    """The page's sealed text read by the filters, and theirs by the page
    (the small set the slower engines run), and the sealed bytes of a test
    vector's salt the filters' own (not in Firefox, whose Marionette runs a
    test's scripts apart from the page's own, out of reach of its worker)."""
    if page.engine != "firefox":
        sealed_like_the_filters(page)
    page.set_text(MIXED_TEXT.decode("utf-8"))
    page.line_ends("crlf")
    state, message = page.press("to-zarnoglot")
    expect(state == "done" and "which is public" in message, message)
    sealed = page.run("./zarnoGlotDecode sample.vcb", page.text().encode("utf-8"))
    filters = page.run("./zarnoGlotPack sample.vcb", MIXED_TEXT)
    # pako packs as zarnoGlotPack does, so the sealed texts are as long.
    expect(len(sealed) == len(filters), "sealed %d bytes, the filters %d" % (len(sealed), len(filters)))
    expect(page.run("./zarnoGlotPack -d sample.vcb", sealed) == MIXED_TEXT, "the filters read back other bytes")
    page.set_text(page.run("./zarnoGlotEncode sample.vcb", filters).decode("utf-8"))
    state, message = page.press("to-text")
    expect(state == "done" and page.text() == as_text_area(MIXED_TEXT), "%s: %r" % (message, page.text()))


def quoted_reply(page):
    """A short reply above the quoted earlier message opens the reply."""
    _plain, rows = mangled_rows(("thread",))
    _kind, name, (first, count), text = next(row for row in rows if row[1] == "a reply above the quoted earlier message")
    page.set_text(text)
    state, message = page.press("to-text")
    expect(state == "done" and page.text() == as_text_area(first), "%s: %s" % (state, message))
    expect(message.startswith("%d messages in this paste; showing the first, on lines 1 to " % count), message)


def within_first_screen(page, element_id):
    top, bottom = page.browser.execute_script(
        "const box = document.getElementById(arguments[0]).getBoundingClientRect(); return [box.top, box.bottom]",
        element_id)
    expect(0 <= top and bottom <= 844, "%s stands at %d to %d, off the first screen" % (element_id, top, bottom))


def phone_first_screen(page):
    """At 390x844 the text box, both buttons and the result line are on the
    first screen; a vocabulary chosen where a message goes becomes the
    vocabulary, and the made vocabulary's link shows only once there is one."""
    page.browser.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                                 {"width": 390, "height": 844, "deviceScaleFactor": 3, "mobile": True})
    page.browser.refresh()
    expect(not page.element("download").is_displayed(), "the made vocabulary's link shows before there is one")
    page.set_text("Short note.")
    state, message = page.press("to-zarnoglot")
    expect(state == "done", message)
    page.browser.execute_script("window.scrollTo(0, 0)")
    for element_id in ("text", "to-zarnoglot", "to-text", "message"):
        within_first_screen(page, element_id)
    expect(page.element("vocabulary-name").text == "Vocabulary: sample (public)", page.element("vocabulary-name").text)
    prose = page.text()
    mine = page.write_file("mine.vcb", page.run("./zarnoGlotShuffle 'phone check' < " + SAMPLE_BARN, b""))
    state, message = page.choose_and_wait("message-file", mine)
    expect(state == "done" and "mine.vcb is a vocabulary" in message, message)
    expect(page.text() == prose, "the vocabulary was put into the text box")
    expect(page.element("vocabulary-name").text == "Vocabulary: mine.vcb", page.element("vocabulary-name").text)


# Stands in for an older browser: deletes what it lacks before the page loads.
WITHOUT = {
    "compression streams": "delete window.CompressionStream; delete window.DecompressionStream;",
    "WebAssembly": "delete window.WebAssembly;",
    "WebCrypto": "Object.defineProperty(Crypto.prototype, 'subtle', { get: () => undefined });",
}


def older_browsers(page_path, native_bin):
    """Without compression streams (Safari before 16.4) the page reads and
    writes as before; without WebAssembly or WebCrypto it says so in one
    line and the controls that cannot work refuse."""
    for lacking, lacks_line, refused in (("compression streams", None, None),
                                         ("WebAssembly", "lacks WebAssembly", "to-text"),
                                         ("WebCrypto", "no WebCrypto", "to-zarnoglot")):
        page = Page("file://" + page_path, native_bin, before_load=WITHOUT[lacking])
        try:
            shown = page.browser.execute_script("const l = document.getElementById('lacks'); return l.hidden ? null : l.textContent")
            if lacks_line is None:
                expect(shown is None, "%s: %r" % (lacking, shown))
                sealed_both_ways(page)
                continue
            expect(shown is not None and lacks_line in shown, "%s: %r" % (lacking, shown))
            page.set_text("Kept.")
            page.browser.execute_script("document.getElementById('message').dataset.state = 'untouched'")
            page.element(refused).click()
            time.sleep(0.5)
            expect(page.element(refused).get_attribute("aria-disabled") == "true", lacking + ": not disabled")
            state = page.element("message").get_attribute("data-state")
            expect(state == "untouched" and page.text() == "Kept.", "%s: %s ran: %s" % (lacking, refused, state))
            if lacking == "WebCrypto":
                # A passphrase's seeding needs SHA-256: only a random vocabulary is offered.
                expect(page.element("seed-random").is_selected(), "WebCrypto: a passphrase's seeding is chosen")
                expect(page.element("seed-passphrase").get_attribute("aria-disabled") == "true",
                       "WebCrypto: the passphrase's seeding is not disabled")
        finally:
            page.browser.quit()


# Workers that never answer the first `silenced` To text jobs, in a page
# whose first `silenced` minutes of patience last half a second each.
SILENT_WORKER = """
let shortened = 0, silenced = 0;
const realSetTimeout = window.setTimeout;
window.setTimeout = (call, delay, ...rest) => {
  const short = delay === 60000 && shortened < %(silenced)d;
  if (short) shortened++;
  return realSetTimeout(call, short ? 500 : delay, ...rest);
};
const RealWorker = window.Worker;
window.Worker = class extends RealWorker {
  postMessage(job, transfer) {
    if (job && job.kind === 'toText' && silenced < %(silenced)d) {
      silenced++;
      return;
    }
    super.postMessage(job, transfer);
  }
};
"""


def silent_worker_given_up(page_path, native_bin):
    """A translation whose worker says nothing for a minute is handed to a
    new worker once; silent again, it is given up: the controls come back,
    the text stays, and the next job runs."""
    for silenced in (1, 2):
        page = Page("file://" + page_path, native_bin, before_load=SILENT_WORKER % {"silenced": silenced})
        try:
            prose = page.run("./zarnoGlotPack sample.vcb | ./zarnoGlotEncode sample.vcb", MIXED_TEXT).decode("utf-8")
            page.set_text(prose)
            state, message = page.press("to-text")
            if silenced == 1:
                expect(state == "done" and page.text() == as_text_area(MIXED_TEXT), "%s: %s" % (state, message))
                continue
            expect(state == "failed" and "had not answered for 60 seconds" in message, "%s: %s" % (state, message))
            expect(page.text() == prose, "the text box lost its input")
            state, message = page.press("to-text")
            expect(state == "done" and page.text() == as_text_area(MIXED_TEXT), "%s: %s" % (state, message))
        finally:
            page.browser.quit()


DROP_FILE = """
const [zoneId, name, text] = arguments;
const dropped = new DataTransfer();
dropped.items.add(new File([text], name));
document.getElementById(zoneId).dispatchEvent(new DragEvent('drop', { dataTransfer: dropped, bubbles: true,
                                                                     cancelable: true }));
"""


def small_faults_mended(page):
    # Copy takes the result offered as a file, not the text box's input.
    page.browser.execute_script("""
        window.copied = null;
        navigator.clipboard.writeText = text => { window.copied = text; return Promise.resolve(); };""")
    data = b"one\rtwo\r\nthree\n"
    prose = page.run("./zarnoGlotPack sample.vcb | ./zarnoGlotEncode sample.vcb", data).decode("utf-8")
    page.set_text(prose)
    state, message = page.press("to-text")
    expect(state == "done" and "offered as a file" in message, message)
    state, message = page.press("copy")
    copied = page.browser.execute_script("return window.copied")
    expect(state == "done" and copied == data.decode("utf-8"), "Copy copied %r" % copied)

    # A file dropped on a text box that holds a paste can be undone.
    page.set_text("A paste worth keeping.")
    page.browser.execute_script("document.getElementById('message').dataset.state = ''")
    page.browser.execute_script(DROP_FILE, "text", "note.txt", "Dropped words.")
    state, message = page.wait()
    expect(state == "done" and page.text() == "Dropped words." and "Undo" in message, message)
    page.element("undo").click()
    expect(page.text() == "A paste worth keeping.", "Undo gave %r" % page.text())

    # A drop during a job is refused and leaves the job's state alone.
    page.set_text(natural_text(2000000))
    page.browser.execute_script("document.getElementById('message').dataset.state = ''")
    during = page.browser.execute_script("""
        document.getElementById('to-zarnoglot').click();
        const dropped = new DataTransfer();
        dropped.items.add(new File(['x'], 'late.txt'));
        document.getElementById('text').dispatchEvent(new DragEvent('drop', { dataTransfer: dropped, bubbles: true,
                                                                             cancelable: true }));
        const notice = document.getElementById('notice');
        return [document.getElementById('message').dataset.state, notice.hidden, notice.textContent];""")
    expect(during[0] == "working" and not during[1] and "drop the file again" in during[2], "during: %r" % during)
    state, message = page.wait()
    expect(state == "done" and "Sealed and written" in message, message)
    public = page.browser.execute_script("return document.getElementById('message').classList.contains('public')")
    expect(public and "which is public" in message, "the public vocabulary is not named as such: " + message)


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
        start.focus();
        return [area.getAttribute('aria-readonly'), document.getElementById('message').dataset.state];""")
    expect(during == ["true", "working"], "during the job: %r" % during)
    state, message = page.wait()
    expect(state == "done" and "Sealed and written in ZarnoGlot with the bundled sample vocabulary" in message, message)
    expect(page.browser.execute_script("return document.activeElement.id") == "to-zarnoglot", "the focus moved")
    expect(page.element("text").get_attribute("aria-readonly") == "false", "the text box stays read-only")
    page.browser.execute_script("document.getElementById('message').dataset.state = ''")
    page.element("to-zarnoglot").click()
    page.element("text").send_keys("typed")
    typed = page.browser.execute_script("return [document.getElementById('text').value.includes('typed'), "
                                        "document.getElementById('message').dataset.state]")
    expect(typed == [False, "working"], "typed during the job: %r" % typed)
    page.wait()

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


# The cases the slower engines run too.
ENGINE_CASES = {
    "sealedBothWays": sealed_both_ways,
    "quotedReply": quoted_reply,
}

CASES = {
    "threadsSayHowManyMessages": threads_say_how_many_messages,
    "phoneFirstScreen": phone_first_screen,
    "smallFaultsMended": small_faults_mended,
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


APART = {
    "networkLogHoldsOnlyThePage": lambda page_path, native_bin, _engine: network_log_holds_only_the_page(page_path,
                                                                                                         native_bin),
    "olderBrowsers": lambda page_path, native_bin, _engine: older_browsers(page_path, native_bin),
    "silentWorkerGivenUp": lambda page_path, native_bin, _engine: silent_worker_given_up(page_path, native_bin),
}


def main():
    cases = {**CASES, **ENGINE_CASES}
    if len(sys.argv) not in (4, 5) or sys.argv[3] not in list(cases) + list(APART):
        sys.exit("usage: pageTest.py PAGE NATIVE_BIN CASE [chromium|firefox|webkit]")
    page_path, native_bin, case = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2]), sys.argv[3]
    engine = sys.argv[4] if len(sys.argv) == 5 else "chromium"
    for needed in (page_path, os.path.join(native_bin, "zarnoGlotDecode")):
        if not os.path.exists(needed):
            sys.exit("pageTest: %s is missing (build the web and native presets first)" % needed)
    try:
        if case in APART:
            APART[case](page_path, native_bin, engine)
        else:
            page = Page("file://" + page_path, native_bin, engine)
            try:
                cases[case](page)
            finally:
                page.browser.quit()
    except AssertionError as failure:
        sys.exit("%s FAILED: %s" % (case, failure))
    print("%s passed" % case)


if __name__ == "__main__":
    main()
