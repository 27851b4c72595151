// What a subtitle file's reader gives: the cues it could read, and a warning
// with its line number for everything it skipped or repaired, so that a
// broken file is reported rather than guessed at silently.
#pragma once

#include <string>
#include <vector>

#include "cue.h"

namespace textraster::tool {

struct SubtitleFile {
    std::vector<Cue> cues;              // in the file's order
    std::vector<std::string> warnings;  // "line 12: ..."
    size_t overlaps = 0;                // cues that start before the one before them ends (allowed)

    void Warn(size_t line, const std::string& what);

    // Takes a cue read from `line` (its timing line), after the checks every
    // format shares: a cue without text and one that ends before it starts
    // are skipped, with a warning; times that cannot be read are kept as
    // -1, with a warning; an overlap is counted.
    void Add(Cue cue, size_t line);
};

// "00:01:02,345", for messages.
std::string FormatTime(int64_t milliseconds);

// A file's lines, split at CRLF, LF or CR.
std::vector<Text> SplitLines(const Text& text);

// The text without white space (and byte-order marks) at either end; whether
// nothing is left.
Text Trimmed(const Text& text);
bool IsBlank(const Text& text);

}  // namespace textraster::tool
