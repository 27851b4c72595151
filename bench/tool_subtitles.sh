#!/usr/bin/env bash
# Times the command-line renderer's subtitles command on 2,000 cues in five
# scripts (German, Russian, Greek, Hebrew and Japanese lines of the corpus, a
# third of the cues two lines long): the whole process's CPU time (user and
# system) and its peak resident memory, the median of five runs of each
# configuration, as docs/tool.md reports them.
#
#   bench/tool_subtitles.sh [textraster]   (default: the native build's)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
tool=${1:-${TEXTRASTER_BUILD:-$root/build}/native/bin/textraster}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 - "$root/bench/corpus" "$work/film.srt" <<'PY'
import sys
corpus, out = sys.argv[1], sys.argv[2]
langs = [open(f"{corpus}/{l}.txt", encoding="utf-8").read().splitlines() for l in ("de", "ru", "el", "he", "ja")]
with open(out, "w", encoding="utf-8") as f:
    for i in range(2000):
        lines = langs[i % 5]
        text = lines[(i // 5) % len(lines)]
        if i % 3 == 0:
            text += "\n" + lines[(i // 5 + 1) % len(lines)]
        start = i * 2000
        stamp = lambda ms: "%02d:%02d:%02d,%03d" % (ms // 3600000, ms // 60000 % 60, ms // 1000 % 60, ms % 1000)
        f.write(f"{i + 1}\n{stamp(start)} --> {stamp(start + 1800)}\n{text}\n\n")
PY

configurations=(
  ""
  "--fit --region 1280x160"
  "--fit"
  "--frame 1920x1080 --fit --outline 2 --index bdn --fps 23.976"
)
printf '%-62s %10s %12s %10s\n' "options" "CPU s" "cues a s" "peak MB"
for options in "${configurations[@]}"; do
  runs=()
  for _ in 1 2 3 4 5; do
    # shellcheck disable=SC2086
    /usr/bin/time -f '%U %S %M' -o "$work/time" "$tool" subtitles "$work/film.srt" -o "$work/cues" -q $options
    runs+=("$(awk '{ print $1 + $2, $3 }' "$work/time")")
  done
  # The median run by CPU time, and its peak memory.
  printf '%s\n' "${runs[@]}" | sort -n | sed -n 3p |
    awk -v o="${options:-(the fixed 1280 x 160)}" '{ printf "%-62s %10.2f %12.0f %10.1f\n", o, $1, 2000 / $1, $2 / 1024 }'
done
