#!/usr/bin/env python3
"""The overlay table: textrasteroverlay beside textoverlay (outline and
shadow on, and off) and assrender, in the same run. Every contender draws
over 300 frames of videotestsrc at 1080p and 4K, in I420 and BGRA, with the
text fixed and with a new subtitle every frame; each figure is the median of
REPETITIONS runs, run in an order shuffled once (so that a change in the
machine's load falls on every contender alike), as CPU milliseconds per frame
above the plain pipeline's, and the run's peak resident memory.

Usage: overlay_report.py OVERLAY_BENCH OUTPUT_DIR [REPETITIONS]
(GST_PLUGIN_PATH must lead to the plugin; bench/run.sh gstreamer sets it.)"""
import json
import os
import random
import statistics
import subprocess
import sys

SIZES = [("1080p", "1920x1080"), ("4K", "3840x2160")]
FORMATS = ["I420", "BGRA"]
MODES = ["subtitles", "fixed"]
CONTENDERS = ["textraster", "textraster-plain", "textoverlay", "textoverlay-plain", "assrender"]
FRAMES = 300


def runs(repetitions):
    configs = []
    for _, size in SIZES:
        for fmt in FORMATS:
            configs.append(("none", size, fmt, "fixed"))
            configs.append(("subparse", size, fmt, "subtitles"))
            for mode in MODES:
                configs += [(c, size, fmt, mode) for c in CONTENDERS]
    order = configs * repetitions
    random.Random(29).shuffle(order)
    return order


def measure(bench, srt, order):
    results = {}
    for i, config in enumerate(order, 1):
        out = subprocess.run([bench, *config, srt, str(FRAMES)], capture_output=True, text=True)
        if out.returncode != 0:
            sys.exit(f"{' '.join(config)} failed: {out.stderr.strip()}")
        cpu, rss = out.stdout.split()
        results.setdefault(config, []).append((float(cpu), int(rss)))
        print(f"\r{i} of {len(order)} runs", end="", file=sys.stderr, flush=True)
    print(file=sys.stderr)
    return results


def table(results):
    median = {k: (statistics.median(c for c, _ in v), max(r for _, r in v)) for k, v in results.items()}

    def per_frame(contender, size, fmt, mode):
        return (median[(contender, size, fmt, mode)][0] - median[("none", size, fmt, "fixed")][0]) * 1000 / FRAMES

    def ratio(a, b, target):
        return f"{a / b:.2f}× {'✓' if a / b <= target else '✗'}" if b > 0 else "–"

    lines = ["| frames | text | textraster (outlined) | textraster plain | textoverlay (outline + shadow) "
             "| textoverlay plain | assrender (outlined) | outlined ÷ textoverlay (≤ 0.5) "
             "| plain ÷ textoverlay plain (≤ 1) | outlined ÷ assrender (< 1) |", "|---|---|---|---|---|---|---|---|---|---|"]
    for label, size in SIZES:
        for fmt in FORMATS:
            for mode in MODES:
                ms = {c: per_frame(c, size, fmt, mode) for c in CONTENDERS}
                cells = " | ".join(f"{ms[c]:.2f}" for c in CONTENDERS)
                lines.append(f"| {label} {fmt} | {'a new subtitle every frame' if mode == 'subtitles' else 'fixed'} "
                             f"| {cells} | {ratio(ms['textraster'], ms['textoverlay'], 0.5)} "
                             f"| {ratio(ms['textraster-plain'], ms['textoverlay-plain'], 1.0)} "
                             f"| {ratio(ms['textraster'], ms['assrender'], 0.999)} |")
    lines += ["", "Plain pipeline (videotestsrc into fakesink), CPU ms per frame, and what parsing the SRT "
              "beside it adds:", "", "| frames | plain pipeline | subparse alone |", "|---|---|---|"]
    for label, size in SIZES:
        for fmt in FORMATS:
            plain = median[("none", size, fmt, "fixed")][0] * 1000 / FRAMES
            lines.append(f"| {label} {fmt} | {plain:.2f} | {per_frame('subparse', size, fmt, 'subtitles'):+.2f} |")
    lines += ["", "Peak resident memory of the whole run, MiB (the plain pipeline's in the first column):", "",
              "| frames | text | plain | " + " | ".join(CONTENDERS) + " |", "|---|---|---|" + "---|" * len(CONTENDERS)]
    for label, size in SIZES:
        for fmt in FORMATS:
            for mode in MODES:
                mib = [median[("none", size, fmt, "fixed")][1] / 1024] + \
                      [median[(c, size, fmt, mode)][1] / 1024 for c in CONTENDERS]
                lines.append(f"| {label} {fmt} | {mode} | " + " | ".join(f"{m:.0f}" for m in mib) + " |")
    return "\n".join(lines)


def main():
    bench, out = sys.argv[1], sys.argv[2]
    repetitions = int(sys.argv[3]) if len(sys.argv) > 3 else 5
    os.makedirs(out, exist_ok=True)
    srt = os.path.join(out, "overlay-cues.srt")
    subprocess.run([bench, "srt", srt], check=True)
    results = measure(bench, srt, runs(repetitions))
    with open(os.path.join(out, "overlay.json"), "w") as f:
        json.dump({" ".join(k): v for k, v in results.items()}, f)
    print(table(results))


if __name__ == "__main__":
    main()
