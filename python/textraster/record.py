"""The request record of RenderText and ComputeTextRegionSize, as
include/textraster.h declares it (tests/test_record_layout.py holds the two
to the same offsets and size), and text as the library reads it."""

import ctypes
import sys

# One UTF-16 code unit: the library's TextChar (ctypes.c_wchar is 4 bytes on
# Linux, so text is passed as UTF-16 bytes instead).
TextChar = ctypes.c_uint16

# The longest full name AddFont and AddMemFont write, terminator included.
FULL_NAME_CAPACITY = 64


class TextLayoutParams(ctypes.Structure):
    _fields_ = [
        ("size", ctypes.c_int16),
        ("destX", ctypes.c_uint16),
        ("destY", ctypes.c_uint16),
        ("regionWidth", ctypes.c_uint16),
        ("regionHeight", ctypes.c_uint16),
        ("reserved1", ctypes.c_uint16),
        ("topDown", ctypes.c_int32),
        ("bufferWidth", ctypes.c_uint16),
        ("bufferHeight", ctypes.c_uint16),
        ("bufferSize", ctypes.c_uint32),
        ("backColor", ctypes.c_uint32),
        ("textColor", ctypes.c_uint32),
        ("faceName", ctypes.c_char_p),  # UTF-16 text, see utf16()
        ("fontHeight", ctypes.c_uint8),
        ("reserved2", ctypes.c_uint8 * 3),
        ("fontStyle", ctypes.c_int32),
        ("spaceMode", ctypes.c_int32),
        ("newlineMode", ctypes.c_int32),
        ("preserveSpaces", ctypes.c_int32),
        ("wordWrap", ctypes.c_int32),
        ("leadingSpaceMode", ctypes.c_int32),
        ("blockStartOffset", ctypes.c_int16),
        ("linePitch", ctypes.c_uint8),
        ("reserved3", ctypes.c_uint8),
        ("firstLineIndent", ctypes.c_int16),
        ("reserved4", ctypes.c_uint16),
        ("writingMode", ctypes.c_int32),
        ("alignment", ctypes.c_int32),
    ]


def utf16(text, what="text"):
    """`text` (a str) as the library reads it: UTF-16 in the machine's byte
    order with a terminating NUL. Lone surrogates pass through as they are,
    as a host written in C would pass them; a NUL inside the text would end
    it early, so it is refused."""
    if not isinstance(text, str):
        raise TypeError(f"{what} must be a str, not {type(text).__name__}")
    if "\0" in text:
        raise ValueError(f"{what} contains a NUL character, which would end it early")
    return text.encode(_UTF16, "surrogatepass") + b"\0\0"


def from_utf16(units):
    """A str from a NUL-terminated array of TextChar."""
    end = next((i for i, unit in enumerate(units) if unit == 0), len(units))
    return bytes(units)[: 2 * end].decode(_UTF16, "surrogatepass")


_UTF16 = "utf-16-le" if sys.byteorder == "little" else "utf-16-be"
