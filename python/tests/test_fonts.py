"""Private fonts, from bytes and from files: found by the full name they
report until removed, and drawn as the tool draws a --font-file."""

import io

import numpy
import pytest

import textraster
from conftest import font_file, tool_image

PRIVATE_NAME = "Textraster Private Serif"


def renamed_font():
    """DejaVu Serif under a name no installed font has."""
    from fontTools.ttLib import TTFont

    font = TTFont(font_file("DejaVu Serif"))
    for record in font["name"].names:
        if record.nameID in (1, 4, 16):
            record.string = PRIVATE_NAME
    image = io.BytesIO()
    font.save(image)
    return image.getvalue()


@pytest.mark.parametrize("source", ["bytes", "file"])
def test_a_private_font_is_drawn_by_its_full_name_until_removed(source, tmp_path):
    image = renamed_font()
    path = tmp_path / "private.ttf"
    path.write_bytes(image)
    without = textraster.render("Serif?", font=PRIVATE_NAME, fit=True)
    with textraster.register_font(image if source == "bytes" else path) as font:
        assert font.name == PRIVATE_NAME
        drawn = textraster.render("Serif?", font=font, fit=True)
        assert numpy.array_equal(drawn, tool_image("Serif?", "--fit", "--font-file", str(path)))
        assert numpy.array_equal(drawn, textraster.render("Serif?", font=PRIVATE_NAME, fit=True))
    assert not font.registered
    assert numpy.array_equal(textraster.render("Serif?", font=PRIVATE_NAME, fit=True), without)
    assert not numpy.array_equal(drawn, without)
