#!/usr/bin/env python3
"""Burning subtitles into video frames held as numpy arrays.

Each cue is drawn once, fitted to its text, and laid over every frame it
covers, centred above the bottom edge, by its opacity. The frames here are
made up (a slowly moving gradient) and written as raw RGB to standard
output, ready for a video tool:

    python3 burn_subtitles.py | ffmpeg -f rawvideo -pix_fmt rgb24 -s 640x360 -r 25 -i - subtitled.mp4

With --png FOLDER it writes the first frame of every cue as a PNG instead.
"""

import math
import sys

import numpy

import textraster

# (start, end in seconds, text)
CUES = [
    (0.5, 2.5, "Text in, pixels with an opacity channel out."),
    (3.0, 5.5, "A cue is drawn once,\nthen laid over every frame it covers."),
    (6.0, 8.0, "\u05e9\u05dc\u05d5\u05dd \u2014 \u3053\u3093\u306b\u3061\u306f \u2014 \u041f\u0440\u0438\u0432\u0435\u0442"),
]
STYLE = {"font_height": 28, "text_color": "white", "back_color": "#00000099", "margin": 6}


def draw_cues(cues, frame_width, **style):
    """Each cue's text as an image: lines as long as 90% of the frame at
    most, the image as tall as its lines."""
    return [(start, end, textraster.render(text, fit=True, region=(frame_width * 9 // 10, 1), **style))
            for start, end, text in cues]


def overlay(frame, image, x, y):
    """Lays `image` (BGRA, straight opacity) over the RGB `frame` with its
    top left corner at (x, y), clipped to the frame."""
    image = image[:max(frame.shape[0] - y, 0), :max(frame.shape[1] - x, 0)]
    height, width = image.shape[:2]
    under = frame[y:y + height, x:x + width].astype(numpy.float32)
    over = image[..., [2, 1, 0]].astype(numpy.float32)
    opacity = image[..., 3:4].astype(numpy.float32) / 255
    frame[y:y + height, x:x + width] = (under + (over - under) * opacity + 0.5).astype(numpy.uint8)


def burn(frame, time, drawn_cues, bottom_margin=16):
    """Lays the drawn cues that cover `time` (in seconds) over `frame`, a
    (height, width, 3) RGB array, changed in place."""
    for start, end, image in drawn_cues:
        if start <= time < end:
            x = max((frame.shape[1] - image.shape[1]) // 2, 0)
            y = max(frame.shape[0] - image.shape[0] - bottom_margin, 0)
            overlay(frame, image, x, y)


def made_up_frames(count, width, height):
    """Colours that drift sideways from frame to frame."""
    across = numpy.arange(width, dtype=numpy.float32)[None, :] / width
    down = numpy.arange(height, dtype=numpy.float32)[:, None] / height
    for index in range(count):
        phase = 2 * numpy.pi * (across + index / 200)
        red = numpy.broadcast_to(127 + 100 * numpy.sin(phase), (height, width))
        green = 127 + 100 * numpy.cos(phase) * down
        yield numpy.stack([red, green, numpy.full_like(red, 90)], axis=2).astype(numpy.uint8)


def main(arguments):
    width, height, fps, seconds = 640, 360, 25, 8.5
    drawn = draw_cues(CUES, width, **STYLE)
    png_folder = arguments[1] if arguments[:1] == ["--png"] and len(arguments) == 2 else None
    for index, frame in enumerate(made_up_frames(int(seconds * fps), width, height)):
        burn(frame, index / fps, drawn)
        if png_folder is None:
            sys.stdout.buffer.write(frame.tobytes())
        elif any(math.ceil(start * fps) == index for start, _, _ in drawn):
            from PIL import Image

            Image.fromarray(frame).save(f"{png_folder}/frame-{index:04d}.png")


if __name__ == "__main__":
    main(sys.argv[1:])
