"""textraster: text as ready-made pixels with an opacity channel.

A pure-Python module over the textraster library (found as library.py
says): text drawn into numpy arrays, measured, fonts' cell heights, and
private fonts registered from files or bytes. Options are keywords named and
defaulted as the command-line tool's options; every result code other than
0 is raised as a TextrasterError. See docs/python.md.

    import textraster
    image = textraster.render("Hello", fit=True, margin=4, text_color="gold")
    textraster.to_pil(image).save("hello.png")
"""

from .errors import (BadRecordSize, BufferTooSmall, FontNameUnreadable, FontNotRegistered, FontNotUnregistered,
                     InvalidArgument, NoFontMetrics, OutOfMemory, TextrasterError, UnknownResult)
from .fonts import FontRegistration, register_font
from .images import to_pil, to_rgba
from .options import DEFAULTS
from .rendering import Drawn, Measurement, cell_height, measure, render, render_into

__version__ = "0.1.0"

__all__ = [
    "render", "render_into", "measure", "cell_height", "register_font", "to_pil", "to_rgba", "DEFAULTS",
    "Drawn", "Measurement", "FontRegistration", "TextrasterError", "InvalidArgument", "FontNotRegistered",
    "FontNameUnreadable", "FontNotUnregistered", "BufferTooSmall", "BadRecordSize", "OutOfMemory", "NoFontMetrics",
    "UnknownResult",
]
