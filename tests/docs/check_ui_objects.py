#!/usr/bin/env python3
"""Keeps docs/ui-objects.md true: every object name written in the QML is listed there, and every
name listed there still exists.

Names are taken from `objectName: "..."` and `windowName: "..."` literals. Names the QML builds
at run time ("navi_" + name) are listed in the document with a placeholder (`navi_<name>`); such
entries match any literal of that shape and are not required to exist as literals themselves.
"""
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parents[2]
QML = ROOT / "src" / "qml"
DOC = ROOT / "docs" / "ui-objects.md"

# A whole literal value only: "navi_" + name is a name built at run time.
LITERAL = re.compile(r'\b(?:objectName|windowName)\s*:\s*"([^"\\\n]+)"(?!\s*\+)')
# Document entries: backticked names in the first column of a table row.
ENTRY = re.compile(r"^\|\s*(.+?)\s*\|")
TICKED = re.compile(r"`([^`]+)`")


STRING = re.compile(r'"((?:[^"\\\n]|\\.)*)"')


def qml_names():
    """The literal object names, and every string literal (names handed to a component through
    a property of its own, such as a page's detailButtonName, are only strings)."""
    found = {}
    strings = set()
    for path in sorted(QML.rglob("*.qml")):
        text = path.read_text(encoding="utf-8")
        for match in LITERAL.finditer(text):
            found.setdefault(match.group(1), path.relative_to(ROOT))
        strings.update(STRING.findall(text))
    return found, strings


def doc_entries():
    entries = set()
    for line in DOC.read_text(encoding="utf-8").splitlines():
        row = ENTRY.match(line)
        if not row:
            continue
        for name in TICKED.findall(row.group(1)):
            entries.add(name)
    return entries


def as_pattern(entry):
    parts = re.split(r"<[^>]+>", entry)
    if not "".join(parts):
        raise SystemExit(f"docs/ui-objects.md: `{entry}` is only a placeholder")
    return re.compile("^" + ".+".join(re.escape(p) for p in parts) + "$")


def main():
    names, strings = qml_names()
    entries = doc_entries()
    literals = {e for e in entries if "<" not in e}
    patterns = [as_pattern(e) for e in entries if "<" in e]
    failures = []
    for name, where in sorted(names.items()):
        if name in literals or any(p.match(name) for p in patterns):
            continue
        failures.append(f"{name} ({where}) is not listed in docs/ui-objects.md")
    for entry in sorted(literals - strings):
        failures.append(f"{entry} is listed in docs/ui-objects.md but no QML file names it")
    for line in failures:
        print(line)
    print(f"{len(names)} object names in the QML, {len(entries)} entries in the document")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
