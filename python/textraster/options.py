"""A request as keywords, named and defaulted as the command-line tool's
options are (`--font-height 32` is font_height=32, `--align end` is
align="end"), and the record they fill."""

import ctypes
import numbers

from .colors import record_color
from .record import TextLayoutParams, utf16

STYLES = {"regular": 0, "bold": 1, "italic": 2, "bold-italic": 3}
ALIGNMENTS = {"start": 1, "centre": 2, "center": 2, "end": 3}
WRITING_MODES = {"horizontal": 1, "rtl": 2, "vertical": 3}
SPACE_MODES = {"trim": 0, "remove": 1, "to-space": 2, "trim-line-ends": 3, "trim-line-starts": 4}
NEWLINE_MODES = {"space": 0, "remove": 1, "keep": 2, "zero-width-space": 3}
LEADING_SPACE_MODES = {"drop": 0, "keep": 1, "trim": 2}

# The tool's defaults. A region, where a call takes one, is 1280 x 160.
DEFAULTS = {
    "font": "DejaVu Sans",  # a face name, a registered font, or None for the system's choice
    "font_height": 32,
    "style": "regular",
    "text_color": "#FFFFFFFF",
    "back_color": "#00000000",
    "align": "centre",
    "wrap": True,
    "writing_mode": "horizontal",
    "line_pitch": None,  # the font height
    "space_mode": "trim",
    "newline_mode": "keep",
    "preserve_spaces": False,
    "leading_space_mode": "drop",
    "block_start_offset": 0,
    "first_line_indent": 0,
    "top_down": True,
}
DEFAULT_REGION = (1280, 160)

_INT16, _UINT8, _UINT16, _INT32 = (-0x8000, 0x7FFF), (0, 0xFF), (0, 0xFFFF), (-0x80000000, 0x7FFFFFFF)


def number(value, bounds, what):
    """`value` as an int within `bounds`, never wrapped into them."""
    if isinstance(value, bool) or not isinstance(value, numbers.Integral):
        raise TypeError(f"{what} must be a whole number, not {value!r}")
    if not bounds[0] <= value <= bounds[1]:
        raise ValueError(f"{what} must be from {bounds[0]} to {bounds[1]}, not {value}")
    return int(value)


def pair(value, what):
    """A (width, height) or (x, y) pair of 16-bit sides."""
    try:
        a, b = value
    except (TypeError, ValueError):
        raise TypeError(f"{what} must be a pair of whole numbers, not {value!r}") from None
    return number(a, _UINT16, what), number(b, _UINT16, what)


def named(value, names, what):
    if isinstance(value, str):
        if value.lower() in names:
            return names[value.lower()]
        raise ValueError(f"{what} must be one of {'|'.join(names)} or a number, not {value!r}")
    return number(value, _INT32, what)


def face_name(font):
    """The face a `font` keyword names: a str, a registered font (its full
    name), or None for the system's choice."""
    if font is not None and not isinstance(font, str):
        font = getattr(font, "name", None)
        if font is None:
            raise ValueError("the registered font's full name could not be read: name its face as a str")
    return None if font is None else utf16(font, "font")


class Request:
    """The record a call passes, with the buffers it points into."""

    def __init__(self, options):
        unknown = sorted(set(options) - DEFAULTS.keys())
        if unknown:
            raise TypeError(f"unexpected keyword {unknown[0]!r}; the options are {', '.join(DEFAULTS)}")
        o = {**DEFAULTS, **options}
        r = self.record = TextLayoutParams()
        r.size = ctypes.sizeof(TextLayoutParams)
        r.topDown = bool(o["top_down"])
        r.textColor = record_color(o["text_color"], "text_color")
        r.backColor = record_color(o["back_color"], "back_color")
        self.face = face_name(o["font"])
        r.faceName = self.face
        r.fontHeight = number(o["font_height"], _UINT8, "font_height")
        r.fontStyle = named(o["style"], STYLES, "style")
        r.spaceMode = named(o["space_mode"], SPACE_MODES, "space_mode")
        r.newlineMode = named(o["newline_mode"], NEWLINE_MODES, "newline_mode")
        r.preserveSpaces = bool(o["preserve_spaces"])
        r.wordWrap = bool(o["wrap"])
        r.leadingSpaceMode = named(o["leading_space_mode"], LEADING_SPACE_MODES, "leading_space_mode")
        r.blockStartOffset = number(o["block_start_offset"], _INT16, "block_start_offset")
        pitch = o["line_pitch"]
        r.linePitch = r.fontHeight if pitch is None else number(pitch, _UINT8, "line_pitch")
        r.firstLineIndent = number(o["first_line_indent"], _INT16, "first_line_indent")
        r.writingMode = named(o["writing_mode"], WRITING_MODES, "writing_mode")
        r.alignment = named(o["align"], ALIGNMENTS, "align")

    def set_region(self, size, at=(0, 0), buffer=None):
        """The region `size` at `at` in a buffer of `buffer` (width, height),
        by default just large enough to hold it there."""
        r = self.record
        r.regionWidth, r.regionHeight = size
        r.destX, r.destY = at
        if buffer is None:
            buffer = (min(at[0] + size[0], 0xFFFF), min(at[1] + size[1], 0xFFFF))
        r.bufferWidth, r.bufferHeight = buffer
        # The product is taken in full; past 32 bits the library says the
        # buffer is too small rather than be told a wrapped size.
        r.bufferSize = min(buffer[0] * buffer[1] * 4, 0xFFFFFFFF)
