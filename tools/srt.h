// Cues of a SubRip (.srt) subtitle file.
//
// Real files are untidy, so the reader is forgiving, and says what it
// forgave (subtitle_file.h): line ends may be CRLF, LF or CR; the blank line
// between cues may be missing (a cue then ends where a number line followed
// by a timing line begins); numbers may be missing or out of order (a cue
// then takes one more than the one before); times may lack the hours or use
// a full stop before the milliseconds; a timing line's arrow may be written
// otherwise ("->", "=>", "—>") where the line starts a block. A block without
// a timing line is skipped. A cue's lines are joined with LF, its markup read
// (cue_markup.h).
#pragma once

#include <cstdint>

#include "subtitle_file.h"

namespace textraster::tool {

// `srt` is the decoded file, without a byte-order mark.
SubtitleFile ParseSrt(const Text& srt);

// A time as SubRip writes it, "01:02:03,456", "02:03.456" or "3,5", in
// milliseconds; -1 when it is not one.
int64_t ParseSrtTime(const Text& text);

}  // namespace textraster::tool
