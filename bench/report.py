#!/usr/bin/env python3
"""Turns the benchmark's JSON output into the ratio tables of the README:
every figure of the library next to the field's on the same job, measured in
the same run. Usage: report.py native.json [windows.txt]"""
import json
import sys

LANGUAGES = ["de", "ru", "el", "he", "ar", "ja", "zh_CN"]


def load(path):
    with open(path) as f:
        data = json.load(f)
    rates, times = {}, {}
    for b in data["benchmarks"]:
        if b.get("run_type") == "aggregate" and b.get("aggregate_name") != "median":
            continue
        name = b.get("run_name", b["name"])
        if "items_per_second" in b:
            rates[name] = b["items_per_second"]
        scale = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}[b.get("time_unit", "ns")]
        # CPU time: the machine may be shared, and every figure here is
        # single-threaded work (Google Benchmark's rates use it too).
        times[name] = b["cpu_time"] * scale
    return rates, times


def fmt_rate(v):
    return "–" if v is None else f"{v / 1000:.1f} k"


def fmt_ratio(a, b):
    return "–" if a is None or b is None else f"{a / b:.2f}×"


def main():
    rates, times = load(sys.argv[1])
    print("| language | RenderText lines/s | ÷ libass warm | ÷ libass fresh | ÷ Pango+Cairo "
          "| ComputeTextRegionSize /s | ÷ Pango measuring |")
    print("|---|---|---|---|---|---|---|")
    for lang in LANGUAGES:
        render = rates.get(f"RenderText/{lang}")
        measure = rates.get(f"RegionSize/{lang}")
        ass = rates.get(f"Ass.Render/{lang}")
        ass_fresh = rates.get(f"Ass.RenderFresh/{lang}")
        pango = rates.get(f"Pango.Render/{lang}")
        pango_measure = rates.get(f"Pango.Measure/{lang}")
        print(f"| {lang} | {fmt_rate(render)} | {fmt_ratio(render, ass)} | {fmt_ratio(render, ass_fresh)} | {fmt_ratio(render, pango)} | "
              f"{fmt_rate(measure)} | {fmt_ratio(measure, pango_measure)} |")
    print()
    print("| language | libass warm lines/s | libass fresh | Pango+Cairo render | Pango+Cairo measure |")
    print("|---|---|---|---|---|")
    for lang in LANGUAGES:
        cells = [rates.get(f"{n}/{lang}") for n in ("Ass.Render", "Ass.RenderFresh", "Pango.Render", "Pango.Measure")]
        print(f"| {lang} | " + " | ".join(fmt_rate(v) for v in cells) + " |")
    print()
    for series, title in (("LongLine", "unwrapped line"), ("LongWrappedLine", "line wrapped, never breaking, 12 px")):
        print(f"| {title}, ComputeTextRegionSize | 1,000 chars | 2,000 chars | 4,000 chars | 4,000 ÷ 1,000 |")
        print("|---|---|---|---|---|")
        for lang in LANGUAGES:
            t = [times.get(f"{series}/{lang}/{n}") for n in (1000, 2000, 4000)]
            if t[0] is None:
                continue
            cells = " | ".join("–" if v is None else f"{v * 1e3:.2f} ms" for v in t)
            print(f"| {lang} | {cells} | {fmt_ratio(t[2], t[0])} |")
        print()
    emoji, latin = rates.get("RenderText/chat-emoji"), rates.get("RenderText/chat-latin")
    if emoji and latin:
        print("| chat lines | RenderText lines/s | the same in Latin letters | cost of the emoji |")
        print("|---|---|---|---|")
        print(f"| with emoji | {fmt_rate(emoji)} | {fmt_rate(latin)} | {fmt_ratio(latin, emoji)} |")
        print()
    big, passes = times.get("BigRegion/RenderText"), times.get("BigRegion/MemoryPasses")
    if big and passes:
        print("| 1920 × 1080 region | RenderText | its memory passes alone | ratio |")
        print("|---|---|---|---|")
        print(f"| de, 20 lines | {big * 1e3:.2f} ms | {passes * 1e3:.2f} ms | {fmt_ratio(big, passes)} |")


if __name__ == "__main__":
    main()
