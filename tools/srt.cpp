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
    return c == ' ' || c == '\t' || c == '\n' || c == 0xFEFF;
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

// The start and end of a timing line; -1 for what it does not say.
void ReadTiming(const Text& line, int64_t& start, int64_t& end) {
    static const Text arrow = {'-', '-', '>'};
    const size_t at = line.find(arrow);
    start = ParseSrtTime(Trimmed(line.substr(0, at)));
    const Text after = Trimmed(line.substr(at + arrow.size()));
    const size_t space = after.find_first_of(Text{' ', '\t'});  // coordinates may follow
    end = ParseSrtTime(after.substr(0, space));
}

}  // namespace

std::vector<Cue> ParseSrt(const Text& srt) {
    const std::vector<Text> lines = SplitLines(srt);
    std::vector<Cue> cues;
    int previous = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (!IsTiming(lines[i])) continue;
        Cue cue;
        ReadTiming(lines[i], cue.start, cue.end);
        int written;
        const bool numbered = i > 0 && ReadNumber(lines[i - 1], written) && written > previous;
        cue.number = numbered ? written : previous + 1;
        previous = cue.number;
        Text text;
        while (i + 1 < lines.size() && !IsBlank(lines[i + 1]) && !StartsCue(lines, i + 1)) {
            if (!text.empty()) text.push_back('\n');
            text += lines[++i];
        }
        CueText read = ReadMarkup(text);
        cue.text = std::move(read.text);
        cue.style = read.style;
        if (read.anchor) cue.placement.anchor = read.anchor, cue.align = KeypadAlign(read.anchor);
        if (!IsBlank(cue.text)) cues.push_back(std::move(cue));
    }
    return cues;
}

int64_t ParseSrtTime(const Text& text) {
    // Up to three numbers joined by ':', the last with a fraction of a second.
    int64_t parts[3] = {0, 0, 0}, milliseconds = 0;
    int count = 0, digits = 0, fractionDigits = -1;
    for (TextChar c : text) {
        if (c >= '0' && c <= '9') {
            if (fractionDigits >= 0) {
                if (fractionDigits < 3) milliseconds = milliseconds * 10 + (c - '0'), ++fractionDigits;
            } else if (++digits > 9) {
                return -1;
            } else {
                parts[count] = parts[count] * 10 + (c - '0');
            }
        } else if (c == ':' && fractionDigits < 0 && digits && count < 2) {
            ++count, digits = 0;
        } else if ((c == ',' || c == '.') && fractionDigits < 0 && digits) {
            fractionDigits = 0;
        } else {
            return -1;
        }
    }
    if (!digits || fractionDigits == 0) return -1;
    for (; fractionDigits > 0 && fractionDigits < 3; ++fractionDigits) milliseconds *= 10;
    int64_t seconds = 0;
    for (int k = 0; k <= count; ++k) seconds = seconds * 60 + parts[k];
    return seconds * 1000 + milliseconds;
}

}  // namespace textraster::tool
