#!/usr/bin/env python3
"""Compares two outputs of metrics_probe: GDI's (the Windows build run under
Wine) and the portable layer's (the native build).

    wine build/win64/bin/metrics_probe.exe > gdi.txt
    build/native/bin/metrics_probe > portable.txt
    python3 tests/fidelity/compare_probe.py gdi.txt portable.txt
"""
import re
import statistics
import sys


def main(gdi_path, portable_path):
    gdi = open(gdi_path, encoding="utf-8").read().splitlines()
    portable = open(portable_path, encoding="utf-8").read().splitlines()
    if len(gdi) != len(portable):
        sys.exit(f"different line counts: {len(gdi)} and {len(portable)}")
    metrics = extents = extents_same = boxes = boxes_same = boxes_near = 0
    metrics_same = 0
    ratios = []
    font = ""
    for a, b in zip(gdi, portable):
        if not a.startswith("  "):
            font = a.split(":")[0]
            metrics += 1
            metrics_same += a == b
            if a != b:
                print(f"metrics differ:\n  GDI      {a}\n  portable {b}")
            continue
        text = a.split('"')[1]
        cx_a, cx_b = (int(re.search(r"cx=(-?\d+)", s).group(1)) for s in (a, b))
        extents += 1
        extents_same += cx_a == cx_b
        if cx_a != cx_b:
            print(f"extent differs: {font} {text!r}: GDI {cx_a}, portable {cx_b}")
        ink_a, ink_b = (re.search(r"ink=(-?\d+),(-?\d+)\.\.(-?\d+),(-?\d+) sum=(\d+)", s) for s in (a, b))
        if ink_a and ink_b:
            box_a = [int(v) for v in ink_a.groups()[:4]]
            box_b = [int(v) for v in ink_b.groups()[:4]]
            boxes += 1
            boxes_same += box_a == box_b
            boxes_near += all(abs(p - q) <= 1 for p, q in zip(box_a, box_b))
            if int(ink_a.group(5)):
                ratios.append(int(ink_b.group(5)) / int(ink_a.group(5)))
    print(f"text metrics identical: {metrics_same}/{metrics}")
    print(f"extents identical: {extents_same}/{extents}")
    print(f"ink boxes identical: {boxes_same}/{boxes}, within 1 pixel: {boxes_near}/{boxes}")
    if ratios:
        print(f"ink total, portable / GDI: median {statistics.median(ratios):.3f}, "
              f"range {min(ratios):.3f}-{max(ratios):.3f}")


if __name__ == "__main__":
    main(*sys.argv[1:3])
