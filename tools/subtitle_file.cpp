#include "subtitle_file.h"

#include <cstdio>

namespace textraster::tool {
namespace {

bool IsBlank(const Text& text) {
    for (TextChar c : text)
        if (c != ' ' && c != '\t' && c != '\n' && c != 0xA0) return false;
    return true;
}

}  // namespace

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
