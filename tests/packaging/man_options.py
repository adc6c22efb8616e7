#!/usr/bin/env python3
"""Each option of a man page's synopsis starts its own entry under the options, as man renders it.

A missing .TP runs an option into the paragraph before it, where a reader never finds it.
Exit 77 (skipped) without man.
"""
import os
import re
import shutil
import subprocess
import sys


def rendered(page):
    env = dict(os.environ, MANWIDTH="80", MAN_KEEP_FORMATTING="0")
    text = subprocess.run(["man", "-l", page], env=env, capture_output=True, text=True, check=True).stdout
    return re.sub(r".\x08", "", text)


def top_level_options(synopsis):
    """The options in the synopsis's outer brackets; nested ones belong to the option around them."""
    options, depth = [], 0
    for match in re.finditer(r"\[|\]|--[a-z-]+", synopsis):
        token = match.group()
        if token == "[":
            depth += 1
        elif token == "]":
            depth -= 1
        elif depth == 1:
            options.append(token)
    return set(options)


def missing_entries(page):
    text = rendered(page)
    synopsis = re.split(r"^(?:DESCRIPTION|BESCHREIBUNG)$", text, maxsplit=1, flags=re.MULTILINE)[0]
    entries = set(re.findall(r"^ {7}(--[a-z-]+)", text, re.MULTILINE))
    return sorted(top_level_options(synopsis) - entries)


def main():
    if shutil.which("man") is None:
        return 77
    failed = False
    for page in sys.argv[1:]:
        missing = missing_entries(page)
        if missing:
            print(f"{page}: no entry of its own for {', '.join(missing)}")
            failed = True
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
