// cues.json: what a video tool needs to lay the cue PNGs over a video, one
// cue a line: its number, start and end in milliseconds (null when the file
// does not say), the PNG's file name (beside the index) and size, where its
// top left corner goes on the frame (null without --frame) and its position
// as the keypad lies (2 the bottom centre, 8 the top centre, ...).
//
//   {"source": "film.srt", "cues": [
//   {"index": 1, "start": 1000, "end": 3200, "file": "cue-0001.png", "width": 1280, "height": 64, "x": 0,
//    "y": 980, "alignment": 2},
//   ...
//   ]}
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace textraster::tool {

struct CueEntry {
    int number = 0;
    int64_t start = -1, end = -1;
    std::string file;
    uint32_t width = 0, height = 0;
    std::optional<int32_t> x, y;
    int alignment = 2;
};

std::string CueIndexJson(const std::string& source, const std::vector<CueEntry>& cues);

}  // namespace textraster::tool
