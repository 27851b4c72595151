#include "cue_lines.h"

namespace textraster::tool {

std::vector<CueRun> DirectionRuns(const Text& cue) {
    Direction current = FirstStrongDirection(cue);
    if (current == Direction::Neutral) current = Direction::LeftToRight;
    std::vector<CueRun> runs;
    for (size_t start = 0;;) {
        const size_t end = std::min(cue.find('\n', start), cue.size());
        const Text line = cue.substr(start, end - start);
        const Direction own = FirstStrongDirection(line);
        if (own != Direction::Neutral) current = own;
        if (runs.empty() || runs.back().direction != current) {
            runs.push_back({line, current, 1});
        } else {
            runs.back().text += TextChar('\n') + line;
            ++runs.back().lines;
        }
        if (end == cue.size()) break;
        start = end + 1;
    }
    return runs;
}

}  // namespace textraster::tool
