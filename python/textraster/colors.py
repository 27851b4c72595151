"""Colours as people write them, into the record's 0xAABBGGRR (GDI's colour
with the opacity on top): the notations the command-line tool takes
(#RRGGBBAA, #RRGGBB, #RGBA, #RGB with or without '#', a CSS colour name or
"transparent", in any letter case) and (r, g, b) or (r, g, b, a) tuples of
0-255. The CSS names come from the table the project's other hosts share
(css_colors.inc)."""

import numbers
import os
import re


def _names():
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "css_colors.inc")
    with open(path, encoding="utf-8") as table:
        return {name: int(rgb, 16) for name, rgb in
                re.findall(r'^\{"([a-z]+)", 0x([0-9A-F]{6})\},$', table.read(), re.MULTILINE)}


CSS_NAMES = _names()


def _from_rgba(r, g, b, a):
    return a << 24 | b << 16 | g << 8 | r


def record_color(value, what="colour"):
    """The record's colour for `value`; ValueError or TypeError when it is
    none of the notations above."""
    if isinstance(value, str):
        lower = value.lower()
        if lower == "transparent":
            return 0
        if lower in CSS_NAMES:
            rgb = CSS_NAMES[lower]
            return _from_rgba(rgb >> 16, rgb >> 8 & 0xFF, rgb & 0xFF, 0xFF)
        digits = value[1:] if value.startswith("#") else value
        if len(digits) in (3, 4, 6, 8) and re.fullmatch(r"[0-9A-Fa-f]+", digits):
            if len(digits) <= 4:
                digits = "".join(digit * 2 for digit in digits)
            parts = [int(digits[i:i + 2], 16) for i in range(0, len(digits), 2)]
            return _from_rgba(*parts, *([0xFF] if len(parts) == 3 else []))
        raise ValueError(f"{what}: expected #RRGGBBAA, #RRGGBB, #RGB or a CSS colour name, got {value!r}")
    if isinstance(value, tuple) and len(value) in (3, 4):
        if all(isinstance(c, numbers.Integral) and 0 <= c <= 255 for c in value):
            return _from_rgba(*map(int, value), *([0xFF] if len(value) == 3 else []))
        raise ValueError(f"{what}: the parts of {value!r} must be whole numbers from 0 to 255")
    raise TypeError(f"{what}: expected a str or an (r, g, b[, a]) tuple, got {value!r}")
