"""The module's record and result codes against include/textraster.h, as a
C compiler reads it: a small program prints each field's offset and size,
the record's size and each result code's value."""

import ctypes
import os
import subprocess

import textraster
from conftest import ROOT
from textraster.errors import MEANINGS, RESULTS
from textraster.record import TextLayoutParams

FIELDS = [name for name, _ in TextLayoutParams._fields_]


def c_answers(tmp_path):
    lines = ['#include <stdio.h>', '#include "textraster.h"', "int main(void) {"]
    for name in FIELDS:
        lines.append(f'    printf("{name} %u %u\\n", (unsigned)offsetof(TextLayoutParams, {name}), '
                     f'(unsigned)sizeof(((TextLayoutParams*)0)->{name}));')
    lines.append('    printf("sizeof %u\\n", (unsigned)sizeof(TextLayoutParams));')
    for kind in RESULTS.values():
        lines.append(f'    printf("{kind.name} %d\\n", (int){kind.name});')
    lines.append('    printf("TEXTRASTER_FULL_NAME_CAPACITY %d\\n", TEXTRASTER_FULL_NAME_CAPACITY);')
    lines += ["    return 0;", "}"]
    source, program = tmp_path / "layout.c", tmp_path / "layout"
    source.write_text("\n".join(lines) + "\n")
    subprocess.run([os.environ.get("CC", "cc"), "-std=c11", "-I", str(ROOT / "include"), str(source), "-o",
                    str(program)], check=True)
    out = subprocess.run([str(program)], check=True, capture_output=True, text=True).stdout
    return {words[0]: [int(w) for w in words[1:]] for words in map(str.split, out.splitlines())}


def test_the_record_and_codes_are_the_headers(tmp_path):
    c = c_answers(tmp_path)
    python = {name: [getattr(TextLayoutParams, name).offset, getattr(TextLayoutParams, name).size] for name in FIELDS}
    assert python == {name: c[name] for name in FIELDS}
    assert ctypes.sizeof(TextLayoutParams) == c["sizeof"][0]
    assert {kind.name: kind.code for kind in RESULTS.values()} == {kind.name: c[kind.name][0]
                                                                   for kind in RESULTS.values()}
    assert textraster.record.FULL_NAME_CAPACITY == c["TEXTRASTER_FULL_NAME_CAPACITY"][0]
    # Every code the shared table explains has its exception.
    assert set(MEANINGS) - {"TR_OK"} == {kind.name for kind in RESULTS.values()}
