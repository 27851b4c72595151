"""The library's result codes as exceptions: one class per kind of failure,
all under TextrasterError, each naming the code and what it means. What a
code means is read from the table the project's other hosts share
(result_meanings.inc), so that every host says the same."""

import os
import re


def _meanings():
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "result_meanings.inc")
    with open(path, encoding="utf-8") as table:
        return dict(re.findall(r'^\{(TR_[A-Z_]+), "([^"]*)"\},$', table.read(), re.MULTILINE))


MEANINGS = _meanings()


class TextrasterError(Exception):
    """A textraster function returned a result code other than TR_OK."""

    code = None  # the result code, as include/textraster.h defines it
    name = None  # its name there

    def __init__(self, function, code=None):
        code = self.code if code is None else code
        self.function = function
        self.code = code
        self.meaning = MEANINGS.get(self.name, "an unknown result code")
        super().__init__(f"{function} failed with result {code} ({self.name or 'unknown'}): {self.meaning}")


class InvalidArgument(TextrasterError, ValueError):
    """An empty text or file name, a zero size or height, or a region larger
    than the buffer."""
    code, name = 1, "TR_INVALID_ARGUMENT"


class FontNotRegistered(TextrasterError):
    """The system refused to register the font."""
    code, name = 2, "TR_FONT_NOT_REGISTERED"


class FontNameUnreadable(TextrasterError):
    """The font was registered, but its full name could not be read. The
    registration stays in force: `registration` removes it."""
    code, name = 3, "TR_FONT_NAME_UNREADABLE"
    registration = None


class FontNotUnregistered(TextrasterError):
    """The system refused to unregister the font."""
    code, name = 4, "TR_FONT_NOT_UNREGISTERED"


class BufferTooSmall(TextrasterError, ValueError):
    """The destination buffer is smaller than its width x height x 4 bytes."""
    code, name = 5, "TR_BUFFER_TOO_SMALL"


class BadRecordSize(TextrasterError):
    """The record's size is not the library's: module and library disagree."""
    code, name = 6, "TR_BAD_RECORD_SIZE"


class OutOfMemory(TextrasterError, MemoryError):
    """Memory or a system object the call needs was not available; nothing
    was written into the image."""
    code, name = 7, "TR_OUT_OF_MEMORY"


class NoFontMetrics(TextrasterError):
    """The system did not deliver the font's metrics."""
    code, name = 9, "TR_NO_FONT_METRICS"


class UnknownResult(TextrasterError):
    """A result code this module does not know: a newer library's."""


RESULTS = {kind.code: kind for kind in (InvalidArgument, FontNotRegistered, FontNameUnreadable, FontNotUnregistered,
                                        BufferTooSmall, BadRecordSize, OutOfMemory, NoFontMetrics)}


def check(function, code):
    """Raises the exception for `code` unless it is TR_OK (0)."""
    if code != 0:
        raise RESULTS.get(code, UnknownResult)(function, code)
