#!/usr/bin/env bash
# textrasteroverlay end to end, as a user runs it: gst-inspect-1.0 lists the
# element and its properties; the sample SRT goes through subparse onto
# videotestsrc, every frame is written to a PNG, and the PNGs are checked:
# each cue shows while it is due, low in the frame and across its middle,
# and nothing shows between cues.
#
#   tests/gst/pipeline_test.sh BUILD OUTPUT   (GST_PLUGIN_PATH: BUILD/gst by default)
set -euo pipefail
build=$1 out=$2
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
export GST_PLUGIN_PATH=${GST_PLUGIN_PATH:-$build/gst}
rm -rf "$out"
mkdir -p "$out"

inspect=$(gst-inspect-1.0 textrasteroverlay)
for property in text font font-file font-height font-height-relative color background-color outline-color \
  outline-width halignment valignment line-alignment xpad ypad wrap-mode writing-mode line-pitch \
  shaded-background shading-value silent wait-text; do
  grep -qE "^  $property *:" <<<"$inspect" || { echo "gst-inspect-1.0 does not list the property $property"; exit 1; }
done
for pad in video_sink text_sink src; do
  grep -q "'$pad'" <<<"$inspect" || { echo "gst-inspect-1.0 does not list the pad $pad"; exit 1; }
done

# 7.5 s at 10 frames a second: the first three cues and the gaps around them.
gst-launch-1.0 -q videotestsrc num-buffers=75 pattern=black \
  ! video/x-raw,format=I420,width=320,height=240,framerate=10/1 \
  ! textrasteroverlay name=overlay wait-text=true font="DejaVu Sans" font-height=20 \
  ! videoconvert ! pngenc ! multifilesink location="$out/frame-%03d.png" \
  filesrc location="$root/tools/samples/sample.srt" ! subparse ! overlay.text_sink

/usr/bin/python3 - "$out" <<'PY'
import glob, sys
from PIL import Image

cues = [(1.0, 3.2), (3.4, 6.0), (6.2, 8.5)]  # tools/samples/sample.srt
frames = sorted(glob.glob(sys.argv[1] + "/frame-*.png"))
assert len(frames) == 75, f"{len(frames)} frames written, not 75"
faults = []
for i, path in enumerate(frames):
    t = i / 10
    image = Image.open(path).convert("L")
    w, h = image.size
    ink = [(x, y) for y in range(h) for x in range(w) if image.getpixel((x, y)) > 100]
    due = any(start <= t < end for start, end in cues)
    if due != bool(ink):
        faults.append(f"{path}: at {t:.1f} s the cue is {'due' if due else 'not due'} but {'no' if not ink else 'some'} text shows")
        continue
    if ink:
        xs, ys = [x for x, _ in ink], [y for _, y in ink]
        if max(ys) < h * 0.7 or abs((min(xs) + max(xs)) / 2 - w / 2) > w * 0.1:
            faults.append(f"{path}: the text lies at x {min(xs)}-{max(xs)}, y {min(ys)}-{max(ys)}, not low and centred")
print("\n".join(faults) or f"{len(frames)} frames as the cues say")
sys.exit(1 if faults else 0)
PY
