#!/usr/bin/python3
"""Writes, for every TrueType/OpenType font file under the given folders, the
full name the library must report, as an independent reading by fontTools
finds it: the last name record with platform 3, encoding 1 and name ID 4.

One line per file: result, the path's UTF-16 units, the name's UTF-16 units
(hex, four digits each, no separators) and the path, tab-separated. Results
are those of the name reader: 0 found, 2 not a single TrueType/OpenType
font, 3 no naming table, 4 no such record. The name follows the library's
text rules: UTF-16BE units (an odd last byte as a unit of its own), up to the
first zero unit, at most 63 units without splitting a surrogate pair.

Usage: font_name_oracle.py OUTPUT FOLDER...
"""
import os
import sys

from fontTools.ttLib import TTFont

CAPACITY = 64  # units written by the library, terminator included


def be_units(raw):
    return [raw[i] << 8 | raw[i + 1] for i in range(0, len(raw) - 1, 2)]


def units_of(raw):
    units = be_units(raw)
    if len(raw) % 2:
        units.append(raw[-1])
    if 0 in units:
        units = units[: units.index(0)]
    if len(units) > CAPACITY - 1:
        units = units[: CAPACITY - 1]
        if 0xD800 <= units[-1] <= 0xDBFF:
            units.pop()
    return units


def expected(path):
    with open(path, "rb") as f:
        version = f.read(4)
    if version not in (b"\x00\x01\x00\x00", b"OTTO"):
        return 2, []
    font = TTFont(path, lazy=True)
    if "name" not in font:
        return 3, []
    found = None
    for record in font["name"].names:
        if (record.platformID, record.platEncID, record.nameID) == (3, 1, 4):
            found = record
    if found is None:
        return 4, []
    raw = found.string if isinstance(found.string, bytes) else found.string.encode("utf-16-be")
    return 0, units_of(raw)


def hex_units(units):
    return "".join("%04x" % u for u in units)


def main():
    output, folders = sys.argv[1], sys.argv[2:]
    lines = []
    for folder in folders:
        for root, _, files in os.walk(folder):
            for name in files:
                path = os.path.join(root, name)
                if not name.lower().endswith((".ttf", ".otf")) or "\t" in path or "\n" in path:
                    continue
                try:
                    result, units = expected(path)
                except Exception as error:  # a file fontTools cannot read proves nothing
                    print("skipped %s: %s" % (path, error), file=sys.stderr)
                    continue
                try:
                    path_units = be_units(path.encode("utf-16-be"))
                except UnicodeEncodeError:  # a file name that is not text
                    continue
                lines.append("%d\t%s\t%s\t%s\n" % (result, hex_units(path_units), hex_units(units), path))
    lines.sort(key=lambda line: line.split("\t")[3])
    with open(output, "w", encoding="utf-8") as out:
        out.writelines(lines)
    print("%d fonts" % len(lines))


if __name__ == "__main__":
    main()
