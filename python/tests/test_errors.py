"""Every way a call fails: the library's result codes as the exception of
their kind, and requests the module refuses before calling."""

import io

import numpy
import pytest

import textraster
from conftest import font_file
from textraster.errors import MEANINGS, RESULTS, check


@pytest.mark.parametrize("code", sorted(RESULTS) + [8, -1])
def test_each_code_is_its_own_exception_naming_it(code):
    with pytest.raises(textraster.TextrasterError) as raised:
        check("RenderText", code)
    kind = RESULTS.get(code, textraster.UnknownResult)
    assert type(raised.value) is kind and raised.value.code == code
    assert str(raised.value).startswith(f"RenderText failed with result {code} ")
    assert raised.value.meaning == MEANINGS.get(kind.name, "an unknown result code")
    check("RenderText", 0)


def nameless_font():
    """A real font whose name table has no full name."""
    from fontTools.ttLib import TTFont

    font = TTFont(font_file("DejaVu Sans Mono"))
    font["name"].names = [record for record in font["name"].names if record.nameID != 4]
    image = io.BytesIO()
    font.save(image)
    return image.getvalue()


def test_the_library_refuses_with_the_exception_of_its_code(tmp_path):
    calls = [
        (textraster.InvalidArgument, lambda: textraster.render("")),
        (textraster.InvalidArgument, lambda: textraster.measure("x", font_height=0)),
        (textraster.InvalidArgument, lambda: textraster.render_into(numpy.zeros((4, 4, 4), numpy.uint8), "x",
                                                                     region=(5, 4))),
        (textraster.FontNotRegistered, lambda: textraster.register_font(b"not a font")),
        (textraster.FontNotRegistered, lambda: textraster.register_font(tmp_path / "missing.ttf")),
    ]
    for kind, call in calls:
        with pytest.raises(kind):
            call()


def test_a_font_without_a_full_name_stays_registered_until_removed():
    with pytest.raises(textraster.FontNameUnreadable) as raised:
        textraster.register_font(nameless_font())
    registration = raised.value.registration
    with pytest.raises(ValueError):
        textraster.render("x", font=registration)
    registration.remove()
    with pytest.raises(textraster.FontNotUnregistered):
        registration.remove()


@pytest.mark.parametrize("call, kind", [
    (lambda: textraster.render("x", colour="red"), TypeError),
    (lambda: textraster.render("x", text_color="reddish"), ValueError),
    (lambda: textraster.render("x", text_color=(1, 2, 300)), ValueError),
    (lambda: textraster.render("x", align="middle"), ValueError),
    (lambda: textraster.render("x", font_height=256), ValueError),
    (lambda: textraster.render("a\0b"), ValueError),
    (lambda: textraster.render(b"x"), TypeError),
    (lambda: textraster.render("x", margin=2), ValueError),
    (lambda: textraster.render("   ", fit=True), ValueError),
    (lambda: textraster.render("x\n" * 300, fit=True, line_pitch=255), ValueError),
    (lambda: textraster.render_into(numpy.zeros((4, 8, 4), numpy.uint8)[:, ::2], "x"), ValueError),
], ids=lambda v: getattr(v, "__name__", None) if isinstance(v, type) else None)
def test_requests_the_module_refuses_before_calling(call, kind):
    with pytest.raises(kind):
        call()
