#!/usr/bin/env python3
"""Assembles the self-contained page zarnoglot.html.

The template web/zarnoglot.html receives the style sheet and the page
script inline, the worker's source (the WebAssembly bytes in base64, the
codec's loader, hash-wasm's Argon2id build under its licence notice and
web/worker.js) and the bundled vocabulary as inert text blocks, and a
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


def argon2_source(package, lock_path):
    """hash-wasm's Argon2id build, preceded by the package's licence notice;
    refused unless the installed package is the version the lock file pins."""
    with open(lock_path, encoding="utf-8") as lock:
        pinned = json.load(lock)["packages"]["node_modules/hash-wasm"]["version"]
    with open(os.path.join(package, "package.json"), encoding="utf-8") as manifest:
        installed = json.load(manifest)["version"]
    if installed != pinned:
        sys.exit("assemblePage: hash-wasm %s is installed, web/package-lock.json pins %s: run scripts/install-deps"
                 % (installed, pinned))
    licence = read_text(os.path.join(package, "LICENSE")).strip()
    if "*/" in licence:
        sys.exit("assemblePage: hash-wasm's licence cannot stand in a comment")
    return "/* hash-wasm %s (npm package, MIT licence), whose Argon2id derives the sealing key.\n\n%s\n*/\n%s" % (
        installed, licence, read_text(os.path.join(package, "dist", "argon2.umd.min.js")))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--sources", required=True, help="folder of zarnoglot.html, page.css, page.js, worker.js")
    parser.add_argument("--codec", required=True, help="the codec's loader; its .wasm lies beside it")
    parser.add_argument("--hash-wasm", required=True, help="the installed npm package hash-wasm")
    parser.add_argument("--vocabulary", required=True)
    parser.add_argument("--version", required=True)
    parser.add_argument("--output", required=True)
    args = parser.parse_args()

    style = read_text(os.path.join(args.sources, "page.css"))
    script = read_text(os.path.join(args.sources, "page.js"))
    loader = read_text(args.codec)
    with open(os.path.splitext(args.codec)[0] + ".wasm", "rb") as wasm:
        wasm_base64 = base64.b64encode(wasm.read()).decode("ascii")
    argon2 = argon2_source(args.hash_wasm, os.path.join(args.sources, "package-lock.json"))
    worker = "const CODEC_WASM_BASE64 = '%s';\n%s\n%s\n%s" % (
        wasm_base64, loader, argon2, read_text(os.path.join(args.sources, "worker.js")))
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
