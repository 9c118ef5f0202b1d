#!/usr/bin/env python3
"""Converts Rime dictionary files (text<TAB>code per entry after the '...' line) into one CIN
table for measuring the loader on real data. Entries are written in character order, the
way real CIN tables list them (stable, so each code keeps its dictionary order), unless
--dictionary-order is given. The output is a build artefact: never commit it.

  benchmarks/rime_to_cin.py OUT.cin NAME DICT.yaml [DICT.yaml...] [--dictionary-order]
"""
import sys


def read_entries(path):
    entries = []
    in_body = False
    with open(path, encoding="utf-8") as source:
        for line in source:
            line = line.rstrip("\r\n")
            if not in_body:
                in_body = line == "..."
                continue
            if not line or line.startswith("#"):
                continue
            columns = line.split("\t")
            if len(columns) < 2 or not columns[0] or not columns[1]:
                continue
            code = columns[1].replace(" ", "")
            if code:
                entries.append((columns[0], code))
    return entries


def main(argv):
    dictionary_order = "--dictionary-order" in argv
    args = [a for a in argv[1:] if a != "--dictionary-order"]
    if len(args) < 3:
        sys.exit(__doc__)
    out, name, dicts = args[0], args[1], args[2:]
    entries = []
    for path in dicts:
        entries.extend(read_entries(path))
    if not dictionary_order:
        entries.sort(key=lambda entry: entry[0].encode("utf-8"))
    keys = sorted({byte for _, code in entries for byte in code})
    with open(out, "w", encoding="utf-8", newline="\n") as target:
        target.write(f"# converted from {', '.join(d.rsplit('/', 1)[-1] for d in dicts)}\n")
        target.write(f"%gen_inp\n%ename {name}\n%cname {name}\n%selkey 1234567890\n")
        target.write("%keyname begin\n")
        for key in keys:
            target.write(f"{key} {key.upper()}\n")
        target.write("%keyname end\n%chardef begin\n")
        for text, code in entries:
            target.write(f"{code} {text}\n")
        target.write("%chardef end\n")
    codes = len({code.lower() for _, code in entries})
    print(f"{out}: {len(entries)} entries, {codes} codes")


if __name__ == "__main__":
    main(sys.argv)
