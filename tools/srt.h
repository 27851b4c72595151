// Cues of a SubRip (.srt) subtitle file.
//
// Real files are untidy, so the reader is forgiving: line ends may be CRLF, LF
// or CR, the blank line between cues may be missing (a cue then ends where a
// number line followed by a timing line begins), numbers may be missing or out
// of order, and simple formatting tags (<i>, <b>, <u>, <s>, <font ...>) are
// removed. A cue's lines are joined with LF; cues without text are left out.
#pragma once

#include <vector>

#include "utf.h"

namespace textraster::tool {

struct Cue {
    int number = 0;  // as written when it grows; otherwise one more than the previous cue's
    Text text;
};

// `srt` is the decoded file; a byte-order mark is already gone (DecodeTextFile).
std::vector<Cue> ParseSrt(const Text& srt);

}  // namespace textraster::tool
