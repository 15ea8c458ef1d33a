#!/usr/bin/env python3
"""Finds Chinese string literals of the window's code that bypass the translation tools.

A literal with a character outside ASCII in the given folders must be the text of tr(),
QCoreApplication::translate() or KELVARA_TEXT; otherwise an English interface would show it in
Chinese. A literal that must stay as written (a text sent to the other player) is exempt when a
comment saying "Not translated" stands on its line or on one of the three lines above.
"""
import pathlib
import re
import sys

LITERAL = re.compile(r'"(?:[^"\\\n]|\\.)*"')
MARKED = re.compile(r'(?:\btr|\btranslate|KELVARA_TEXT(?:_N)?)\s*\(\s*(?:"[^"\n]*"\s*,\s*)?$')


def code_of(line):
    """The line without a // comment (literals are skipped over)."""
    out, i = [], 0
    while i < len(line):
        if line.startswith("//", i):
            break
        m = LITERAL.match(line, i)
        if m:
            out.append(m.group(0))
            i = m.end()
        else:
            out.append(line[i])
            i += 1
    return "".join(out)


def problems(folder):
    for path in sorted(pathlib.Path(folder).rglob("*")):
        if path.suffix not in (".cpp", ".h"):
            continue
        lines = path.read_text(encoding="utf-8").splitlines()
        code = "\n".join(code_of(line) for line in lines)
        # Adjacent literals are one string: the run is judged by what stands before its first.
        runs = re.finditer(r'"(?:[^"\\\n]|\\.)*"(?:\s*"(?:[^"\\\n]|\\.)*")*', code)
        for run in runs:
            if run.group(0).isascii():
                continue
            number = code.count("\n", 0, run.start())
            if MARKED.search(code[max(0, run.start() - 200) : run.start()].rstrip()):
                continue
            if any("Not translated" in l for l in lines[max(0, number - 3) : number + 1]):
                continue
            first = LITERAL.match(run.group(0)).group(0)
            yield f"{path}:{number + 1}: {first} is not translated (tr() it)"


def main(folders):
    found = [p for folder in folders for p in problems(folder)]
    for p in found:
        print(p, file=sys.stderr)
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
