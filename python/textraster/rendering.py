"""Drawing and measuring: RenderText, ComputeTextRegionSize and
GetFontCharacterCellHeight behind numpy arrays and keywords.

Images are numpy arrays of shape (height, width, 4) and dtype uint8, the
bytes of each pixel blue, green, red, opacity (straight, not premultiplied),
as the library writes them; to_pil() turns one into a PIL image."""

import ctypes
from collections import namedtuple

import numpy

from .errors import check
from .library import library
from .options import DEFAULT_REGION, DEFAULTS, STYLES, Request, face_name, named, number, pair
from .record import utf16

Measurement = namedtuple("Measurement", "width height ascent last_line_extent")
Measurement.__doc__ = """The region a text needs (ComputeTextRegionSize): its width and height, the
font's ascent and the extent of the last line."""

Drawn = namedtuple("Drawn", "ascent line_pitch last_line_extent")
Drawn.__doc__ = "What RenderText reports: the font's ascent, the line pitch used, the last line's extent."

_MAX_SIDE = 0xFFFF  # a region's side and a buffer's, in 16 bits


def render(text, *, region=None, fit=False, margin=0, **options):
    """`text` drawn into a new, transparent image of the region's size.

    region: (width, height), 1280 x 160 unless given. fit=True sizes the
    image to the text as the tool's --fit does: with a region, its line
    length stays and only the other side is fitted; without one, lines break
    only where the text breaks them and the image is as long as the longest.
    margin: transparent pixels around a fitted region. Every other keyword is
    an option of the tool (see textraster.options.DEFAULTS)."""
    request = Request(options)
    encoded = utf16(text)
    margin = number(margin, (0, _MAX_SIDE), "margin")
    request.set_region(DEFAULT_REGION if region is None else pair(region, "region"))
    if fit:
        size = _fitted(encoded, request, line_length_given=region is not None)
        buffer = (size[0] + 2 * margin, size[1] + 2 * margin)
        if max(buffer) > _MAX_SIDE:
            raise ValueError(f"the fitted region with its margin is {buffer[0]} x {buffer[1]} pixels, more than the "
                             f"{_MAX_SIDE} an image's side can have")
        request.set_region(size, (margin, margin), buffer)
    elif margin:
        raise ValueError("margin goes with fit=True")
    r = request.record
    image = numpy.zeros((r.bufferHeight, r.bufferWidth, 4), numpy.uint8)
    _draw(encoded, request, image)
    return image


def render_into(image, text, *, x=0, y=0, region=None, **options):
    """Draws `text` into the region at (x, y) of `image`, a C-contiguous
    numpy array of shape (height, width, 4) and dtype uint8 (or (height,
    width) of uint32), in place: the region's pixels are replaced by the
    text's, the rest of the image is left as it is. region: (width, height),
    by default the rest of the image from (x, y). Returns a Drawn."""
    if not isinstance(image, numpy.ndarray):
        raise TypeError(f"image must be a numpy array, not {type(image).__name__}")
    pixels = image.view(numpy.uint8).reshape(image.shape[:2] + (-1,)) if image.dtype == numpy.uint32 else image
    if pixels.dtype != numpy.uint8 or pixels.ndim != 3 or pixels.shape[2] != 4:
        raise ValueError(f"image must be (height, width, 4) uint8 or (height, width) uint32, not {image.shape} "
                         f"{image.dtype}")
    if not image.flags.c_contiguous or not image.flags.writeable:
        raise ValueError("image must be C-contiguous and writeable (numpy.ascontiguousarray makes a copy that is)")
    height, width = image.shape[:2]
    if max(height, width) > _MAX_SIDE:
        raise ValueError(f"an image of {width} x {height} pixels is more than the record can describe "
                         f"({_MAX_SIDE} a side)")
    at = pair((x, y), "x, y")
    size = (max(width - at[0], 0), max(height - at[1], 0)) if region is None else pair(region, "region")
    request = Request(options)
    request.set_region(size, at, (width, height))
    request.record.bufferSize = min(image.nbytes, 0xFFFFFFFF)
    return _draw(utf16(text), request, image)


def measure(text, *, region=None, **options):
    """The region `text` needs under the options (ComputeTextRegionSize), as a
    Measurement. region: (width, height), 1280 x 160 unless given; the line
    length is its width (its height for vertical columns)."""
    request = Request(options)
    request.set_region(DEFAULT_REGION if region is None else pair(region, "region"))
    return _measure(utf16(text), request.record)


def cell_height(font=DEFAULTS["font"], font_height=DEFAULTS["font_height"], style=DEFAULTS["style"]):
    """The cell height of `font` whose character height is `font_height`, in
    `style` (GetFontCharacterCellHeight)."""
    cell = ctypes.c_uint8()
    code = library().GetFontCharacterCellHeight(face_name(font), number(font_height, (0, 0xFF), "font_height"),
                                                named(style, STYLES, "style"), ctypes.byref(cell))
    check("GetFontCharacterCellHeight", code)
    return cell.value


def _draw(encoded, request, image):
    ascent, pitch, extent = ctypes.c_uint16(), ctypes.c_uint8(), ctypes.c_uint16()
    code = library().RenderText(encoded, ctypes.byref(request.record), image.ctypes.data, ctypes.byref(ascent),
                                ctypes.byref(pitch), ctypes.byref(extent))
    check("RenderText", code)
    return Drawn(ascent.value, pitch.value, extent.value)


def _measure(encoded, record):
    ascent, width, height, extent = (ctypes.c_uint16() for _ in range(4))
    code = library().ComputeTextRegionSize(encoded, ctypes.byref(record), ctypes.byref(ascent), ctypes.byref(width),
                                           ctypes.byref(height), ctypes.byref(extent))
    check("ComputeTextRegionSize", code)
    return Measurement(width.value, height.value, ascent.value, extent.value)


def _fitted(encoded, request, line_length_given):
    """The region the text needs, as the tool's --fit finds it: the record's
    line length kept when it was given, else the longest line's."""
    r = request.record
    vertical = r.writingMode == 3
    probe = type(r).from_buffer_copy(r)
    probe.faceName = request.face
    # Aligned to the start, a single line is measured at its own extent; the
    # first-line indent counts only for that alignment.
    probe.alignment = 1
    if r.alignment != 1:
        probe.firstLineIndent = 0
    # Without a line length, lines break where the text breaks them; a line
    # longer than a region can be still breaks.
    if not line_length_given:
        probe.wordWrap = 1
    line_length = (r.regionHeight if vertical else r.regionWidth) if line_length_given else _MAX_SIDE

    def lines_at(length):
        """The line count, the lines' inline size and the last line's
        extent: at a line pitch of 1 the block size is the line count."""
        probe.linePitch = 1
        if vertical:
            probe.regionHeight = length
        else:
            probe.regionWidth = length
        m = _measure(encoded, probe)
        return (m.width, m.height, m.last_line_extent) if vertical else (m.height, m.width, m.last_line_extent)

    count, inline, last_extent = lines_at(line_length)
    if count == 0:
        raise ValueError("there is nothing to lay out: the text is empty once its white space is handled, or a "
                         f"character is longer than the line length of {line_length} pixels")
    block = count * r.linePitch + max(r.blockStartOffset, 0)
    if block > _MAX_SIDE:
        raise ValueError(f"the text's {count} lines at a line pitch of {r.linePitch} need {block} pixels, more than "
                         f"the {_MAX_SIDE} a region can have")
    if line_length_given:
        inline = line_length
    elif count > 1:
        # The shortest line length at which the text still takes as many
        # lines: any shorter one breaks the longest line.
        low, high = max(last_extent, 1), line_length
        while low < high:
            middle = (low + high) // 2
            if lines_at(middle)[0] == count:
                high = middle
            else:
                low = middle + 1
        inline = high
    inline, block = max(inline, 1), max(block, 1)
    return (block, inline) if vertical else (inline, block)
