#!/usr/bin/env python3
"""Checks that every entry of the given Qt Linguist .ts files is translated and usable.

An entry fails when it is unfinished, vanished or obsolete, when a form is empty, when its
placeholders (%1 to %9, %n) differ from the source's (a name or a count would be lost or
doubled), when the source has a menu accelerator (&X) and the translation none, or when Chinese
is left in the translation of a language that is not Chinese.
"""
import re
import sys
import xml.etree.ElementTree as ET

PLACEHOLDER = re.compile(r"%(?:[1-9]|n)")
ACCELERATOR = re.compile(r"&[^&\s]")
CHINESE = re.compile(r"[\u3000-\u303f\u4e00-\u9fff\uff00-\uffef]")


def problems(path):
    root = ET.parse(path).getroot()
    chinese_ok = root.get("language", "").startswith("zh")
    for context in root.iter("context"):
        name = context.findtext("name")
        for message in context.iter("message"):
            source = message.findtext("source") or ""
            where = f"{path}: [{name}] {source!r}"
            translation = message.find("translation")
            if translation is None:
                yield f"{where}: no translation"
                continue
            kind = translation.get("type")
            if kind:
                yield f"{where}: {kind}"
            forms = [f.text or "" for f in translation.iter("numerusform")]
            if message.get("numerus") != "yes":
                forms = [translation.text or ""]
            for form in forms:
                if not form.strip():
                    yield f"{where}: empty translation"
                    continue
                if sorted(PLACEHOLDER.findall(form)) != sorted(PLACEHOLDER.findall(source)):
                    yield f"{where}: placeholders differ in {form!r}"
                if ACCELERATOR.search(source) and not ACCELERATOR.search(form):
                    yield f"{where}: no accelerator in {form!r}"
                if not chinese_ok and CHINESE.search(form):
                    yield f"{where}: Chinese left in {form!r}"


def main(paths):
    if not paths:
        print("no .ts file given", file=sys.stderr)
        return 2
    found = [p for path in paths for p in problems(path)]
    for p in found:
        print(p, file=sys.stderr)
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
