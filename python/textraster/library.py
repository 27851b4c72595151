"""Finding the shared library and declaring its seven functions.

The library is looked for, in order:
  1. the file TEXTRASTER_LIBRARY names (nothing else is tried when it is set,
     so that a wrong path is reported rather than quietly replaced);
  2. beside this module: a copy shipped with it, or the library of the tree
     the module was installed in (installed_library.txt, written by the
     install rules, names it relative to the module, so the tree may move);
  3. by its name on the system's library path (the Debian package puts it
     there; LD_LIBRARY_PATH counts too).
It is loaded on the first call that needs it. ctypes releases the GIL for
the length of every call, so threads draw in parallel.
"""

import ctypes
import os
import threading

from .record import TextLayoutParams

ENVIRONMENT = "TEXTRASTER_LIBRARY"
# The name the library is linked by: its ABI version is in it.
SONAME = "libtextraster.so.0"

_lock = threading.Lock()
_library = None


def _declare(lib):
    u8, u16, u32, i32 = ctypes.c_uint8, ctypes.c_uint16, ctypes.c_uint32, ctypes.c_int32
    text, params, P = ctypes.c_char_p, ctypes.POINTER(TextLayoutParams), ctypes.POINTER
    signatures = {
        "RenderText": [text, params, ctypes.c_void_p, P(u16), P(u8), P(u16)],
        "ComputeTextRegionSize": [text, params, P(u16), P(u16), P(u16), P(u16)],
        "GetFontCharacterCellHeight": [text, i32, i32, P(u8)],
        "AddFont": [text, ctypes.c_void_p],
        "RemoveFont": [text],
        "AddMemFont": [ctypes.c_char_p, u32, P(ctypes.c_void_p), P(u32), ctypes.c_void_p],
        "RemoveMemFont": [ctypes.c_void_p],
    }
    for name, arguments in signatures.items():
        function = getattr(lib, name)
        function.argtypes = arguments
        function.restype = i32
    return lib


def _load():
    named = os.environ.get(ENVIRONMENT)
    if named:
        try:
            return ctypes.CDLL(named)
        except OSError as error:
            raise OSError(f"{ENVIRONMENT} names {named!r}, which does not load: {error}") from error
    here = os.path.dirname(os.path.abspath(__file__))
    candidates = [os.path.join(here, SONAME)]
    try:
        with open(os.path.join(here, "installed_library.txt"), encoding="utf-8") as installed:
            candidates.append(os.path.normpath(os.path.join(here, installed.read().strip())))
    except FileNotFoundError:
        pass
    tried = []
    for candidate in candidates + [SONAME]:
        try:
            return ctypes.CDLL(candidate)
        except OSError as error:
            tried.append(f"{candidate}: {error}")
    raise OSError("the textraster library was not found; set " + ENVIRONMENT +
                  " to its file, or install it. Tried:\n  " + "\n  ".join(tried))


def library():
    """The loaded library, its functions declared."""
    global _library
    with _lock:
        if _library is None:
            _library = _declare(_load())
        return _library
