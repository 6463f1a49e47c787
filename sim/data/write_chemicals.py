#!/usr/bin/env python3
"""Writes a chemical list file: a 16-bit value the applet does not read, then the
256 names, each as a one-byte length and its Windows-1252 text. An empty line
leaves that chemical unnamed.

usage: write_chemicals.py NAMES.txt OUTPUT.str
"""
import struct
import sys
from pathlib import Path

CHEMICAL_COUNT = 256


def main():
    names = Path(sys.argv[1]).read_text(encoding="utf-8").split("\n")[:CHEMICAL_COUNT]
    if len(names) != CHEMICAL_COUNT:
        sys.exit(f"{sys.argv[1]}: {CHEMICAL_COUNT} lines wanted, {len(names)} found")
    data = bytearray(struct.pack("<H", 1))
    for name in names:
        text = name.encode("cp1252")
        if len(text) >= 255:
            sys.exit(f"{sys.argv[1]}: name too long: {name}")
        data += bytes((len(text),)) + text
    Path(sys.argv[2]).write_bytes(bytes(data))


if __name__ == "__main__":
    main()
