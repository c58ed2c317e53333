#!/usr/bin/env python3
"""Checks that the committed translation covers every text of the window.

  tools/check-translations.py LUPDATE SOURCE_DIR [TS_FILE]

Runs lupdate over the window's folders into a temporary .ts and reports, as TS:CONTEXT: SOURCE,
every message of it that the committed file (res/translations/zorvan_cs.ts) lacks or leaves
unfinished or empty. A translation must also keep the source's placeholders (%1, %2, %d) and
its mnemonic: one "&" before a letter where the source has one. The exit status is 1 when
something is reported. After new texts: `cmake --build build --target update_translations`,
then translate the entries marked unfinished.
"""

import os
import re
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

# The folders whose texts the window shows; the command line (cli/) stays English.
FOLDERS = ["app", "ui", "qt", "interchange-qt"]
PLACEHOLDER = re.compile(r"%(?:\d+|d)")
MNEMONIC = re.compile(r"(?<!&)&(?=[^&\s])")


def messages(path):
    """(context, source) -> translation element, of every message of a .ts file."""
    found = {}
    for context in ET.parse(path).getroot().iter("context"):
        name = context.findtext("name")
        for message in context.iter("message"):
            found[(name, message.findtext("source"))] = message.find("translation")
    return found


def problem(source, translation):
    """Why translation does not do for source; None when it does."""
    if translation is None or translation.get("type") in ("unfinished", "vanished", "obsolete"):
        return "not translated"
    text = translation.text or ""
    if not text:
        return "empty translation"
    if sorted(PLACEHOLDER.findall(source)) != sorted(PLACEHOLDER.findall(text)):
        return "placeholders differ: " + text
    if len(MNEMONIC.findall(source)) != len(MNEMONIC.findall(text)):
        return "mnemonic differs: " + text
    return None


def main(argv):
    if len(argv) not in (3, 4):
        print(__doc__, file=sys.stderr)
        return 2
    lupdate, source_dir = argv[1], argv[2]
    ts_file = argv[3] if len(argv) == 4 else os.path.join(source_dir, "res", "translations",
                                                           "zorvan_cs.ts")
    committed = messages(ts_file)
    with tempfile.TemporaryDirectory() as folder:
        fresh_file = os.path.join(folder, "fresh_cs.ts")
        subprocess.run([lupdate, "-silent", "-locations", "none", "-I", "."] + FOLDERS +
                       ["-ts", fresh_file], cwd=source_dir, check=True)
        fresh = messages(fresh_file)
    failures = 0
    for (context, source) in sorted(fresh):
        why = problem(source, committed.get((context, source)))
        if why:
            print(f"{ts_file}:{context}: {source!r}: {why}")
            failures += 1
    if failures:
        print(f"{failures} of {len(fresh)} texts of the window are not translated fully; run "
              "`cmake --build build --target update_translations` and translate them.")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
