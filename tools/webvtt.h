// Cues of a WebVTT (.vtt) file: the "WEBVTT" header, blocks separated by
// blank lines, NOTE, STYLE and REGION blocks passed over, a cue's optional
// identifier, its timing line with its settings, and its text with the same
// markup as SubRip's (cue_markup.h: <i>, <b>, <c.yellow>, <v Speaker>,
// entities).
//
// The settings are taken onto the placement SubRip cues have (cue_placement.h):
// align (start, center, end, left, right) lines up the lines; position:N%
// and line:N% put the cue's box at that point of the frame, their ",start",
// ",center", ",end" (or "line-left", "line-right") saying which side of the
// box lies there; line:N counts lines from the top, line:-N from the bottom;
// size:N% makes the line length that share of the frame's width;
// vertical:rl draws vertical columns. What cannot be taken is a warning.
#pragma once

#include "subtitle_file.h"

namespace textraster::tool {

// Whether the text starts with the "WEBVTT" header.
bool HasWebVttHeader(const Text& text);

// `vtt` is the decoded file, without a byte-order mark. A file without the
// header is read all the same, with a warning.
SubtitleFile ParseWebVtt(const Text& vtt);

}  // namespace textraster::tool
