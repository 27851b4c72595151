"""What the module's tests compare with, from a build of the project:
the library (TEXTRASTER_LIBRARY, by default the native build's), the
command-line tool (TEXTRASTER_TOOL), the public header, and the tests' font
files (TEXTRASTER_TEST_FONTS: the table scripts/check_setup.sh --fonts
writes, each font taken by family as tests/fonts.txt lists it)."""

import io
import os
import pathlib
import subprocess
import sys

import numpy
import pytest
from PIL import Image

ROOT = pathlib.Path(__file__).resolve().parents[2]
BUILD = pathlib.Path(os.environ.get("TEXTRASTER_NATIVE_BUILD", ROOT / "build" / "native"))
os.environ.setdefault("TEXTRASTER_LIBRARY", str(BUILD / "bin" / "libtextraster.so.0"))
TOOL = os.environ.get("TEXTRASTER_TOOL", str(BUILD / "bin" / "textraster"))
FONT_TABLE = os.environ.get("TEXTRASTER_TEST_FONTS", str(BUILD / "test-fonts.tsv"))
sys.path.insert(0, str(ROOT / "python"))


def run_tool(*args):
    """The tool's standard output for `args`; a failure fails the test."""
    done = subprocess.run([TOOL, *args], capture_output=True)
    assert done.returncode == 0, done.stderr.decode()
    return done.stdout


def tool_image(text, *args):
    """The tool's PNG of `text` rendered with `args`, as the module's images
    are: (height, width, 4) bytes blue, green, red, opacity."""
    png = run_tool("render", "-q", *args, "-o", "-", "--", text)
    rgba = numpy.asarray(Image.open(io.BytesIO(png)).convert("RGBA"))
    return rgba[..., [2, 1, 0, 3]]


def font_file(pattern):
    """An installed font's file, by the pattern tests/fonts.txt lists it under."""
    with open(FONT_TABLE, encoding="utf-8") as table:
        files = dict(line.rstrip("\n").split("\t") for line in table if "\t" in line)
    if pattern not in files:
        pytest.fail(f"{pattern!r} is not in {FONT_TABLE}: add it to tests/fonts.txt")
    return files[pattern]
