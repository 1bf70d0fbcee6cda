#!/usr/bin/env python3
"""Reflows a hard-wrapped licence text for the licence window, which wraps
words itself: the lines of a paragraph are joined into one, while list items,
copyright lines and more deeply indented blocks keep lines of their own.

A Debian copyright file (DEP-5) keeps its fields line by line; only the
licence texts in it are reflowed, with " ." read as a blank line.

    tools/reflow_license.py /usr/share/common-licenses/GPL-3 > resources/licenses/GPL-3.txt
"""
import re
import sys

LIST_ITEM = re.compile(r"^(\*|-|\d+\.|\d+\)|[a-z]\)|\([a-z0-9]+\))\s")
DEP5_FORMAT = "Format: https://www.debian.org/doc/packaging-manuals/copyright-format"


def indent(line):
    return len(line) - len(line.lstrip())


def reflow_block(lines):
    """One run of lines without a blank line in it."""
    out = []
    previous = None
    for raw in lines:
        line = raw.strip()
        starts_own_line = (
            previous is None
            or LIST_ITEM.match(line)
            or previous.strip().startswith("Copyright")
            or indent(raw) > indent(previous) + 2
        )
        if starts_own_line:
            out.append(line)
        else:
            out[-1] += " " + line
        previous = raw
    return out


def reflow_text(lines):
    out, block = [], []
    for raw in lines + [""]:
        if raw.strip() in ("", ".", ","):
            if block:
                out.extend(reflow_block(block))
                block = []
            out.append("")
        else:
            block.append(raw)
    return out


def reflow_dep5(lines):
    out, body = [], None
    for raw in lines + [""]:
        if body is not None and raw.startswith(" "):
            body.append(raw)
            continue
        if body is not None:
            out.extend(reflow_text(body))
            body = None
        out.append(raw.rstrip())
        if raw.startswith("License:") or raw.startswith("Comment:"):
            body = []
    return out


def reflow(text):
    lines = text.splitlines()
    out = reflow_dep5(lines) if text.startswith(DEP5_FORMAT) else reflow_text(lines)
    result = re.sub(r"\n{3,}", "\n\n", "\n".join(out)).strip()
    return result + "\n"


if __name__ == "__main__":
    with open(sys.argv[1], encoding="utf-8") as source:
        sys.stdout.write(reflow(source.read()))
