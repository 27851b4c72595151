"""The subtitle example: each cue over exactly the frames its times cover,
centred above the bottom edge, opaque pixels of the text in the text's
colour."""

import sys

import numpy

from conftest import ROOT

sys.path.insert(0, str(ROOT / "python" / "examples"))
import burn_subtitles  # noqa: E402

FPS, WIDTH, HEIGHT = 10, 320, 120


def test_cues_are_burnt_into_the_frames_their_times_cover():
    cues = [(0.2, 0.5, "First cue"), (0.5, 0.7, "Second,\non two lines")]
    drawn = burn_subtitles.draw_cues(cues, WIDTH, text_color="yellow", font_height=20)
    frames = [numpy.full((HEIGHT, WIDTH, 3), 40, numpy.uint8) for _ in range(9)]
    for index, frame in enumerate(frames):
        burn_subtitles.burn(frame, index / FPS, drawn, bottom_margin=4)
    for index, frame in enumerate(frames):
        covering = [image for start, end, image in drawn if start <= index / FPS < end]
        changed = numpy.argwhere((frame != 40).any(axis=2))
        if not covering:
            assert len(changed) == 0, index
            continue
        image = covering[0]
        top, left = HEIGHT - image.shape[0] - 4, (WIDTH - image.shape[1]) // 2
        assert changed.min(axis=0).tolist() >= [top, left] and changed.max(axis=0).tolist() < [HEIGHT - 4, WIDTH]
        opaque = image[..., 3] == 255
        assert opaque.any()
        assert (frame[top:top + image.shape[0], left:left + image.shape[1]][opaque] == [255, 255, 0]).all()
