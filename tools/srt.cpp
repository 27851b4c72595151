#include "srt.h"

#include <algorithm>

namespace textraster::tool {
namespace {

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

bool IsSpace(TextChar c) {
    return c == ' ' || c == '\t' || c == 0xFEFF;
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

// A cue number: the line holds only decimal digits (a few, to stay an int).
bool ReadNumber(const Text& line, int& number) {
    const Text t = Trimmed(line);
    if (t.empty() || t.size() > 9) return false;
    number = 0;
    for (TextChar c : t) {
        if (c < '0' || c > '9') return false;
        number = number * 10 + int(c - '0');
    }
    return true;
}

bool IsTiming(const Text& line) {
    static const Text arrow = {'-', '-', '>'};
    return line.find(arrow) != Text::npos;
}

bool StartsCue(const std::vector<Text>& lines, size_t i) {
    int ignored;
    return IsTiming(lines[i]) || (i + 1 < lines.size() && ReadNumber(lines[i], ignored) && IsTiming(lines[i + 1]));
}

// The name of a formatting tag at `s[at]` ('<'), and where it ends, or false.
bool FormattingTag(const Text& s, size_t at, size_t& end) {
    static const char* const kNames[] = {"i", "b", "u", "s", "font"};
    size_t p = at + 1;
    if (p < s.size() && s[p] == '/') ++p;
    for (const char* name : kNames) {
        size_t q = p, k = 0;
        while (name[k] && q < s.size() && (s[q] | 0x20) == name[k]) ++q, ++k;
        if (name[k] || q >= s.size()) continue;
        if (s[q] != '>' && s[q] != ' ') continue;  // <br>, <bogus>: not ours
        const size_t close = s.find('>', q);
        if (close == Text::npos) return false;
        end = close + 1;
        return true;
    }
    return false;
}

Text WithoutTags(const Text& s) {
    Text out;
    for (size_t i = 0; i < s.size();) {
        size_t end;
        if (s[i] == '<' && FormattingTag(s, i, end)) {
            i = end;
        } else {
            out.push_back(s[i++]);
        }
    }
    return out;
}

}  // namespace

std::vector<Cue> ParseSrt(const Text& srt) {
    const std::vector<Text> lines = SplitLines(srt);
    std::vector<Cue> cues;
    int previous = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (!IsTiming(lines[i])) continue;
        Cue cue;
        int written;
        const bool numbered = i > 0 && ReadNumber(lines[i - 1], written) && written > previous;
        cue.number = numbered ? written : previous + 1;
        previous = cue.number;
        Text text;
        while (i + 1 < lines.size() && !IsBlank(lines[i + 1]) && !StartsCue(lines, i + 1)) {
            if (!text.empty()) text.push_back('\n');
            text += lines[++i];
        }
        cue.text = WithoutTags(text);
        if (!IsBlank(cue.text)) cues.push_back(std::move(cue));
    }
    return cues;
}

}  // namespace textraster::tool
