#include "srt.h"

#include <algorithm>

namespace textraster::tool {
namespace {

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

// A timing line: "00:00:01,000 --> 00:00:02,500", perhaps with coordinates
// after it. Repaired: written with another arrow ("->", "=>", "—>", "- >"),
// both times with their colons; such a line is taken only where it starts
// a block, so that a line of a cue's text ("10:00 - 11:00") stays text.
struct Timing {
    enum Kind { None, Exact, Repaired } kind = None;
    int64_t start = -1, end = -1;
    Text arrow;
};

const Text kArrow = {'-', '-', '>'};

bool IsArrowChar(TextChar c) {
    return c == '-' || c == '=' || c == '>' || c == 0x2013 || c == 0x2014 || c == 0x2192;
}

bool IsTimeChar(TextChar c) {
    return (c >= '0' && c <= '9') || c == ':' || c == ',' || c == '.';
}

// The first word of `s` from `at` (up to a space or tab), with `at` moved past it.
Text Word(const Text& s, size_t& at) {
    while (at < s.size() && (s[at] == ' ' || s[at] == '\t')) ++at;
    const size_t begin = at;
    while (at < s.size() && s[at] != ' ' && s[at] != '\t') ++at;
    return s.substr(begin, at - begin);
}

Timing ReadTiming(const Text& line) {
    Timing t;
    const size_t at = line.find(kArrow);
    if (at != Text::npos) {
        t.kind = Timing::Exact;
        t.start = ParseSrtTime(Trimmed(line.substr(0, at)));
        size_t after = at + kArrow.size();
        t.end = ParseSrtTime(Word(line, after));  // coordinates may follow
        return t;
    }
    size_t p = 0;
    while (p < line.size() && (line[p] == ' ' || line[p] == '\t')) ++p;
    const size_t startBegin = p;
    while (p < line.size() && IsTimeChar(line[p])) ++p;
    const Text start = line.substr(startBegin, p - startBegin);
    const size_t arrowBegin = p;
    while (p < line.size() && (IsArrowChar(line[p]) || line[p] == ' ' || line[p] == '\t')) ++p;
    const Text arrow = Trimmed(line.substr(arrowBegin, p - arrowBegin));
    const Text end = Word(line, p);
    const bool colons = start.find(':') != Text::npos && end.find(':') != Text::npos;
    const bool arrowOnly = !arrow.empty() && std::all_of(arrow.begin(), arrow.end(), [](TextChar c) {
        return IsArrowChar(c) || c == ' ' || c == '\t';
    });
    if (colons && arrowOnly && ParseSrtTime(start) >= 0 && ParseSrtTime(end) >= 0)
        t = {Timing::Repaired, ParseSrtTime(start), ParseSrtTime(end), arrow};
    return t;
}

bool StartsCue(const std::vector<Text>& lines, size_t i) {
    int ignored;
    return lines[i].find(kArrow) != Text::npos ||
           (i + 1 < lines.size() && ReadNumber(lines[i], ignored) && ReadTiming(lines[i + 1]).kind != Timing::None);
}

}  // namespace

SubtitleFile ParseSrt(const Text& srt) {
    const std::vector<Text> lines = SplitLines(srt);
    SubtitleFile file;
    int previous = 0;
    for (size_t i = 0; i < lines.size();) {
        if (IsBlank(lines[i])) {
            ++i;
            continue;
        }
        // A block: its number line, if any, and its timing line.
        const bool numberLine = ReadTiming(lines[i]).kind == Timing::None && i + 1 < lines.size() &&
                                ReadTiming(lines[i + 1]).kind != Timing::None;
        const size_t t = numberLine ? i + 1 : i;
        const Timing timing = ReadTiming(lines[t]);
        if (timing.kind == Timing::None) {
            size_t end = i + 1;
            while (end < lines.size() && !IsBlank(lines[end]) && !StartsCue(lines, end)) ++end;
            file.Warn(i + 1, "no timing line; the block's " + std::to_string(end - i) +
                                 (end - i == 1 ? " line is" : " lines are") + " left out");
            i = end;
            continue;
        }
        if (timing.kind == Timing::Repaired)
            file.Warn(t + 1, "the timing arrow '" + Utf16ToUtf8(timing.arrow.c_str()) + "' is read as '-->'");
        Cue cue;
        cue.start = timing.start, cue.end = timing.end;
        int written = 0;
        const bool numbered = numberLine && ReadNumber(lines[i], written);
        cue.number = numbered && written > previous ? written : previous + 1;
        const std::string assigned = "; numbered " + std::to_string(cue.number);
        if (!numberLine) file.Warn(t + 1, "no cue number" + assigned);
        if (numberLine && !numbered) file.Warn(i + 1, "not a cue number" + assigned);
        if (numbered && written <= previous)
            file.Warn(i + 1, "the cue number " + std::to_string(written) + " is not above the one before" + assigned);
        previous = cue.number;
        Text text;
        size_t k = t + 1;
        for (; k < lines.size() && !IsBlank(lines[k]) && !StartsCue(lines, k); ++k) {
            if (!text.empty()) text.push_back('\n');
            text += lines[k];
        }
        if (k < lines.size() && !IsBlank(lines[k])) file.Warn(k + 1, "no blank line before this cue");
        CueText read = ReadMarkup(text);
        cue.text = std::move(read.text);
        cue.style = read.style;
        if (read.anchor) cue.placement.anchor = read.anchor, cue.align = KeypadAlign(read.anchor);
        file.Add(std::move(cue), t + 1);
        i = k;
    }
    return file;
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
