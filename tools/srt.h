// Cues of a SubRip (.srt) subtitle file.
//
// Real files are untidy, so the reader is forgiving: line ends may be CRLF, LF
// or CR, the blank line between cues may be missing (a cue then ends where a
// number line followed by a timing line begins), numbers may be missing or out
// of order, times may lack the hours or use a full stop before the
// milliseconds. A cue's lines are joined with LF, its markup read
// (cue_markup.h); cues without text are left out.
#pragma once

#include <cstdint>
#include <vector>

#include "cue.h"

namespace textraster::tool {

// `srt` is the decoded file; a byte-order mark is already gone (DecodeTextFile).
std::vector<Cue> ParseSrt(const Text& srt);

// A time as SubRip writes it, "01:02:03,456", "02:03.456" or "3,5", in
// milliseconds; -1 when it is not one.
int64_t ParseSrtTime(const Text& text);

}  // namespace textraster::tool
