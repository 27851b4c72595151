#include "subtitle_file.h"

#include <cstdio>

namespace textraster::tool {
namespace {

bool IsSpace(TextChar c) {
    return c == ' ' || c == '\t' || c == '\n' || c == 0xA0 || c == 0xFEFF;
}

}  // namespace

std::vector<Text> SplitLines(const Text& s) {
    std::vector<Text> lines(1);
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\r' || s[i] == '\n') {
            if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ++i;
            lines.emplace_back();
        } else {
            lines.back().push_back(s[i]);
        }
    }
    return lines;
}

Text Trimmed(const Text& s) {
    size_t begin = 0, end = s.size();
    while (begin < end && IsSpace(s[begin])) ++begin;
    while (end > begin && IsSpace(s[end - 1])) --end;
    return s.substr(begin, end - begin);
}

bool IsBlank(const Text& line) {
    return Trimmed(line).empty();
}

void SubtitleFile::Warn(size_t line, const std::string& what) {
    warnings.push_back("line " + std::to_string(line) + ": " + what);
}

void SubtitleFile::Add(Cue cue, size_t line) {
    const std::string name = "cue " + std::to_string(cue.number);
    if (IsBlank(cue.text)) return Warn(line, name + " has no text; left out");
    if (cue.start < 0 || cue.end < 0) {
        Warn(line, name + (cue.start < 0 ? "'s start" : "'s end") + " time cannot be read; its times are left null");
    } else if (cue.end < cue.start) {
        return Warn(line, name + " ends (" + FormatTime(cue.end) + ") before it starts (" + FormatTime(cue.start) +
                              "); left out");
    }
    if (!cues.empty() && cue.start >= 0 && cue.start < cues.back().end) ++overlaps;
    cues.push_back(std::move(cue));
}

std::string FormatTime(int64_t ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld,%03lld", (long long)(ms / 3600000),
                  (long long)(ms / 60000 % 60), (long long)(ms / 1000 % 60), (long long)(ms % 1000));
    return text;
}

}  // namespace textraster::tool
