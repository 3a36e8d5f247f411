#!/usr/bin/env python3
"""Assembles the self-contained page zarnoglot.html.

The template web/zarnoglot.html receives the style sheet and the page
script (web/page.js, pageInput.js, pageMaking.js and pageResults.js)
inline, the worker's source (the WebAssembly bytes in base64, the codec's
loader, hash-wasm's Argon2id build and pako's zlib build under their
licence notices, and web/workerCodec.js, workerSealing.js and worker.js)
and the bundled vocabulary as inert text blocks, and a
Content-Security-Policy that allows exactly these two inline blocks,
WebAssembly and a worker made from the page itself, and no network
request of any kind.
"""
import argparse
import base64
import hashlib
import json
import os
import re
import sys


def read_text(path):
    with open(path, encoding="utf-8") as source:
        return source.read()


def content_hash(text):
    return "'sha256-%s'" % base64.b64encode(hashlib.sha256(text.encode("utf-8")).digest()).decode("ascii")


def check_inline(name, text):
    # Inside a script or style element these would end it early or change
    # how the browser reads it.
    for bad in ("</script", "</style", "<!--"):
        if bad in text.lower():
            sys.exit("assemblePage: %s holds %r and cannot stand inline" % (name, bad))


# The npm packages the worker carries: the build it inlines, what the
# package is for, and the notices that must stand beside it.
PACKAGES = {
    "hash-wasm": ("dist/argon2.umd.min.js", "MIT licence), whose Argon2id derives the sealing key", ["LICENSE"]),
    # pako's deflate and inflate are zlib's, under zlib's licence, which its
    # sources carry in their headers; its own code is under the MIT licence.
    "pako": ("dist/pako.min.js", "MIT and zlib licences), zlib's deflate and inflate, packing as zarnoGlotPack",
             ["LICENSE", "lib/zlib/deflate.js"]),
}


def licence_text(package, notice):
    text = read_text(os.path.join(package, notice))
    if notice.endswith(".js"):  # the licence in the source's leading comment lines
        lines = text.splitlines()[1:]
        while lines and not lines[0].startswith("//"):
            lines.pop(0)
        comment = []
        for line in lines:
            if not line.startswith("//"):
                break
            comment.append(line[3:])
        text = "\n".join(comment)
    return text.strip()


def package_source(name, package, lock_path):
    """An npm package's build, preceded by its licence notices; refused
    unless the installed package is the version the lock file pins."""
    with open(lock_path, encoding="utf-8") as lock:
        pinned = json.load(lock)["packages"]["node_modules/" + name]["version"]
    with open(os.path.join(package, "package.json"), encoding="utf-8") as manifest:
        installed = json.load(manifest)["version"]
    if installed != pinned:
        sys.exit("assemblePage: %s %s is installed, web/package-lock.json pins %s: run scripts/install-deps"
                 % (name, installed, pinned))
    build, purpose, notices = PACKAGES[name]
    licences = "\n\n".join(licence_text(package, notice) for notice in notices)
    if "*/" in licences:
        sys.exit("assemblePage: %s's licence cannot stand in a comment" % name)
    return "/* %s %s (npm package, %s.\n\n%s\n*/\n%s" % (
        name, installed, purpose, licences, read_text(os.path.join(package, build)))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--sources", required=True,
                        help="folder of zarnoglot.html, page.css, the page's and the worker's scripts")
    parser.add_argument("--codec", required=True, help="the codec's loader; its .wasm lies beside it")
    parser.add_argument("--packages", required=True, help="the installed npm packages (web/node_modules)")
    parser.add_argument("--vocabulary", required=True)
    parser.add_argument("--version", required=True)
    parser.add_argument("--output", required=True)
    args = parser.parse_args()

    style = read_text(os.path.join(args.sources, "page.css"))
    # One script: the controls and jobs, then the input, the making of a
    # vocabulary and the results that use them.
    script = "\n".join(read_text(os.path.join(args.sources, name))
                       for name in ("page.js", "pageInput.js", "pageMaking.js", "pageResults.js"))
    loader = read_text(args.codec)
    with open(os.path.splitext(args.codec)[0] + ".wasm", "rb") as wasm:
        wasm_base64 = base64.b64encode(wasm.read()).decode("ascii")
    lock = os.path.join(args.sources, "package-lock.json")
    packages = [package_source(name, os.path.join(args.packages, name), lock) for name in PACKAGES]
    worker_scripts = "\n".join(read_text(os.path.join(args.sources, name))
                               for name in ("workerCodec.js", "workerSealing.js", "worker.js"))
    worker = "const CODEC_WASM_BASE64 = '%s';\n%s\n%s\n%s" % (
        wasm_base64, loader, "\n".join(packages), worker_scripts)
    with open(args.vocabulary, "rb") as vocabulary:
        vocabulary_base64 = base64.encodebytes(vocabulary.read()).decode("ascii").strip()
    for name, text in (("page.css", style), ("page.js", script), ("the worker", worker)):
        check_inline(name, text)

    policy = "; ".join([
        "default-src 'none'",
        "script-src %s 'wasm-unsafe-eval'" % content_hash(script),
        "style-src %s" % content_hash(style),
        "worker-src blob:",
        "img-src data:",
        "connect-src 'none'",
        "form-action 'none'",
        "base-uri 'none'",
    ])
    values = {
        "CONTENT_SECURITY_POLICY": policy,
        "PAGE_STYLE": style,
        "PAGE_SCRIPT": script,
        "WORKER_SOURCE": worker,
        "SAMPLE_VOCABULARY_BASE64": vocabulary_base64,
        "VERSION": args.version,
    }
    template = read_text(os.path.join(args.sources, "zarnoglot.html"))
    page = re.sub(r"@([A-Z0-9_]+)@", lambda match: values[match.group(1)], template)
    os.makedirs(os.path.dirname(os.path.abspath(args.output)), exist_ok=True)
    with open(args.output, "w", encoding="utf-8", newline="\n") as out:
        out.write(page)


if __name__ == "__main__":
    main()
