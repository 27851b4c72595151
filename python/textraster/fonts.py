"""Private fonts: registered for this process from a file (AddFont) or from
bytes in memory (AddMemFont), found by their full name before any installed
face, until removed."""

import ctypes
import os

from .errors import FontNameUnreadable, check
from .library import library
from .record import FULL_NAME_CAPACITY, TextChar, from_utf16, utf16


class FontRegistration:
    """A registered font. `name` is its full name (None when it could not be
    read), usable as the `font` option; `remove()` or leaving a `with` block
    ends the registration."""

    def __init__(self, name, remove):
        self.name = name
        self._remove = remove
        self.registered = True

    def remove(self):
        """Ends the registration. A second removal is the library's to refuse
        (FontNotUnregistered)."""
        self.registered = False
        self._remove()

    def __enter__(self):
        return self

    def __exit__(self, *exception):
        if self.registered:
            self.remove()

    def __repr__(self):
        return f"<FontRegistration {self.name!r}{'' if self.registered else ' (removed)'}>"


def register_font(source):
    """Registers a font from a file (a path: str or os.PathLike)
    or from its image in memory (bytes, bytearray or memoryview, copied by
    the library), and returns its FontRegistration.

    Raises FontNotRegistered when the system refuses the font, and
    FontNameUnreadable when it was registered but its full name could not be
    read: the exception's `registration` removes that registration."""
    lib = library()
    full_name = (TextChar * FULL_NAME_CAPACITY)()
    if isinstance(source, (bytes, bytearray, memoryview)):
        image = bytes(source)
        handle, count = ctypes.c_void_p(), ctypes.c_uint32()
        code = lib.AddMemFont(image, len(image), ctypes.byref(handle), ctypes.byref(count), full_name)
        function = "AddMemFont"

        def remove():
            check("RemoveMemFont", lib.RemoveMemFont(handle))
    else:
        path = utf16(os.fsdecode(os.fspath(source)), "font file name")
        code = lib.AddFont(path, full_name)
        function = "AddFont"

        def remove():
            check("RemoveFont", lib.RemoveFont(path))

    if code == FontNameUnreadable.code:
        error = FontNameUnreadable(function)
        error.registration = FontRegistration(None, remove)
        raise error
    check(function, code)
    return FontRegistration(from_utf16(full_name), remove)
