"""The module draws and measures what the command-line tool does for the
same request: option names, defaults, named values, colours and --fit."""

import json

import numpy
import pytest

import textraster
from conftest import run_tool, tool_image

# (the module's keywords, the tool's options): the same request.
SAME_REQUESTS = [
    ({}, []),
    ({"fit": True}, ["--fit"]),
    ({"fit": True, "margin": 5, "font_height": 48, "text_color": "gold", "back_color": "#00000080"},
     ["--fit", "--margin", "5", "--font-height", "48", "--text-color", "gold", "--back-color", "#00000080"]),
    ({"region": (200, 120), "align": "end", "style": "bold-italic", "text_color": (255, 0, 0, 128)},
     ["--region", "200x120", "--align", "end", "--style", "bold-italic", "--text-color", "#FF000080"]),
    ({"region": (90, 200), "fit": True, "line_pitch": 40, "first_line_indent": 12, "align": "start"},
     ["--region", "90x200", "--fit", "--line-pitch", "40", "--first-line-indent", "12", "--align", "start"]),
    ({"fit": True, "writing_mode": "vertical", "font": "WenQuanYi Micro Hei", "font_height": 24},
     ["--fit", "--writing-mode", "vertical", "--font", "WenQuanYi Micro Hei", "--font-height", "24"]),
    ({"fit": True, "writing_mode": "rtl", "wrap": False, "newline_mode": "space", "space_mode": "to-space",
      "preserve_spaces": True, "leading_space_mode": "keep", "block_start_offset": 6, "top_down": False},
     ["--fit", "--writing-mode", "rtl", "--no-wrap", "--newline-mode", "space", "--space-mode", "to-space",
      "--preserve-spaces", "--leading-space-mode", "keep", "--block-start-offset", "6", "--bottom-up"]),
]
TEXT = "  Wrapped  text,\nwith\tspaces: \u05e9\u05dc\u05d5\u05dd \u65e5\u672c\u8a9e"


IDS = ["defaults", "fit", "fit-margin-colours", "region-end-bold-italic", "given-line-length", "vertical",
       "rtl-modes-bottom-up"]


@pytest.mark.parametrize("keywords, options", SAME_REQUESTS, ids=IDS)
def test_pixels_equal_the_tools_png(keywords, options):
    image = textraster.render(TEXT, **keywords)
    expected = tool_image(TEXT, *options)
    if not keywords.get("top_down", True):
        expected = expected[::-1]  # the tool turns a bottom-up buffer upright
    assert image.shape == expected.shape
    assert numpy.array_equal(image, expected)
    assert image[..., 3].any()


@pytest.mark.parametrize("keywords, options", SAME_REQUESTS[3:5] + [({"writing_mode": "vertical"},
                                                                      ["--writing-mode", "vertical"])],
                         ids=IDS[3:5] + ["vertical"])
def test_measure_and_cell_height_equal_the_tools(keywords, options):
    keywords = {k: v for k, v in keywords.items() if k not in ("fit", "margin", "text_color")}
    options = [o for o in options if o != "--fit"]
    m = json.loads(run_tool("measure", "--json", *options, "--", TEXT))
    assert textraster.measure(TEXT, **keywords) == (m["neededWidth"], m["neededHeight"], m["ascent"],
                                                    m["lastLineExtent"])
    cell = textraster.cell_height(keywords.get("font", "DejaVu Sans"), m["fontHeight"],
                                  keywords.get("style", "regular"))
    assert cell == m["cellHeight"]


def test_render_into_draws_in_place_and_leaves_the_rest():
    canvas = numpy.full((100, 300, 4), 7, numpy.uint8)
    drawn = textraster.render_into(canvas, "Hi", x=20, y=30, region=(100, 40), back_color="navy")
    alone = textraster.render("Hi", region=(100, 40), back_color="navy")
    assert numpy.array_equal(canvas[30:70, 20:120], alone)
    outside = canvas.copy()
    outside[30:70, 20:120] = 7
    assert (outside == 7).all()
    assert drawn.line_pitch == 32 and drawn.ascent > 0
    # The same through a (height, width) uint32 view of the same memory.
    words = numpy.zeros((100, 300), numpy.uint32)
    textraster.render_into(words, "Hi", x=20, y=30, region=(100, 40), back_color="navy")
    assert numpy.array_equal(words.view(numpy.uint8).reshape(100, 300, 4), canvas * (canvas != 7))


def test_pil_images_are_rgba():
    image = textraster.render("x", fit=True, back_color=(10, 20, 30, 40))
    assert textraster.to_pil(image).mode == "RGBA"
    assert textraster.to_pil(image).getpixel((0, 0)) == (10, 20, 30, 40)
