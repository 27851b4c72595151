#!/usr/bin/env bash
# Installs what is needed, builds the library and its command-line renderer
# natively, and runs the main job: the renderer's multi-script sample, then a
# small subtitle file rendered cue by cue.
set -euo pipefail
source "$(dirname "$0")/setup.sh"
textraster_install_packages

# The library and the tool alone: the tests' frameworks are test.sh's to install.
textraster_build native -DTEXTRASTER_TESTS=OFF
tool="$TEXTRASTER_BUILD/native/bin/textraster"
demo="$TEXTRASTER_BUILD/demo"
mkdir -p "$demo"

echo "== textraster (no arguments): the multi-script sample"
(cd "$demo" && "$tool")
echo
echo "== textraster subtitles tools/samples/sample.srt: one PNG per cue"
"$tool" subtitles "$TEXTRASTER_ROOT/tools/samples/sample.srt" -o "$demo/cues" --back-color '#000000A0'
ls "$demo/cues"
