"""The library's images for other image libraries."""

import numpy


def to_rgba(image):
    """A copy of `image` (height, width, 4 bytes blue, green, red, opacity)
    with its bytes in the order red, green, blue, opacity, as most image
    libraries and video tools take them."""
    return numpy.ascontiguousarray(image[..., [2, 1, 0, 3]])


def to_pil(image):
    """`image` as a PIL image in mode RGBA (straight opacity, as the library
    draws it); PIL (python3-pil) is needed for this alone."""
    from PIL import Image

    return Image.fromarray(to_rgba(image), "RGBA")
