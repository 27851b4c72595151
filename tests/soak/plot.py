#!/usr/bin/python3
"""Plots a soak run's samples (the CSV tests/soak/soak writes): resident
memory over time, with drawing objects alive and open files beneath it.
Needs Debian's python3-matplotlib (the system's interpreter).

Usage: plot.py RUN.csv OUT.png [TITLE]"""
import csv
import sys

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402


def main():
    path, out = sys.argv[1], sys.argv[2]
    title = sys.argv[3] if len(sys.argv) > 3 else "soak"
    with open(path) as f:
        rows = list(csv.DictReader(f))
    minutes = [float(r["seconds"]) / 60 for r in rows]
    resident = [float(r["resident_mb"]) for r in rows]
    objects = [int(r["live_objects"]) for r in rows]
    files = [int(r["open_files"]) for r in rows]
    calls = [int(r["calls"]) for r in rows]

    figure, (memory, counts) = plt.subplots(2, 1, sharex=True, figsize=(8, 5), height_ratios=[3, 1])
    memory.plot(minutes, resident, color="tab:blue")
    memory.set_ylabel("resident memory (MB)")
    memory.set_ylim(bottom=0)
    memory.grid(alpha=0.3)
    # The warm-up the soak allows before memory must stop growing.
    warm_up = max(10.0, float(rows[-1]["seconds"]) / 4) / 60
    memory.axvline(warm_up, color="grey", linestyle="--", linewidth=1)
    memory.text(warm_up, 0, " end of warm-up", color="grey", va="bottom")
    memory.set_title(f"{title}: {calls[-1]:,} rounds of calls in {minutes[-1]:.0f} min")
    counts.plot(minutes, objects, label="drawing objects (Windows: GDI slot)", color="tab:orange")
    counts.plot(minutes, files, label="open files (Windows: handle slot)", color="tab:green")
    counts.set_ylim(bottom=0)
    counts.set_xlabel("minutes")
    counts.legend(loc="upper right", fontsize="small")
    counts.grid(alpha=0.3)
    figure.tight_layout()
    figure.savefig(out, dpi=90)


if __name__ == "__main__":
    main()
