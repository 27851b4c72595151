#include "webvtt.h"

#include <algorithm>
#include <cstdlib>

#include "srt.h"

namespace textraster::tool {
namespace {

const Text kArrow = {'-', '-', '>'};

// Whether the line is `word` alone or followed by a space or tab.
bool StartsWithWord(const Text& line, const char* word) {
    size_t k = 0;
    for (; word[k]; ++k)
        if (k >= line.size() || line[k] != TextChar(word[k])) return false;
    return k == line.size() || line[k] == ' ' || line[k] == '\t';
}

// A block of the file that is not a cue: a comment, a style sheet, a region.
bool IsOtherBlock(const Text& first) {
    return first.find(kArrow) == Text::npos &&
           (StartsWithWord(first, "NOTE") || StartsWithWord(first, "STYLE") || StartsWithWord(first, "REGION"));
}

// "50%" or "12.5%", from 0 to 100.
bool ReadPercent(const std::string& value, double& percent) {
    if (value.size() < 2 || value.back() != '%') return false;
    const std::string number = value.substr(0, value.size() - 1);
    char* end = nullptr;
    percent = std::strtod(number.c_str(), &end);
    return *end == '\0' && number.find_first_not_of("0123456789.") == std::string::npos && percent >= 0 &&
           percent <= 100;
}

// Which side of the cue's box a setting's ",start", ",center", ",end"
// names: 0 its start (left, top), 1 its middle, 2 its end; -1 for none.
int Side(const std::string& word) {
    if (word == "start" || word == "line-left") return 0;
    if (word == "center" || word == "middle") return 1;
    if (word == "end" || word == "line-right") return 2;
    return -1;
}

// The settings of one cue, as the timing line gives them.
struct Settings {
    std::optional<LineAlign> align;
    std::optional<double> position, linePercent, size;
    std::optional<long> lineNumber;
    int positionSide = -1, lineSide = 0;
    bool vertical = false;
};

// Reads one "name:value" setting; what cannot be taken is said in `warning`.
void ReadSetting(const std::string& setting, Settings& s, std::string& warning) {
    const size_t colon = setting.find(':');
    const std::string name = setting.substr(0, colon),
                      value = colon == std::string::npos ? "" : setting.substr(colon + 1);
    const size_t comma = value.find(',');
    const std::string main = value.substr(0, comma), side = comma == std::string::npos ? "" : value.substr(comma + 1);
    double percent = 0;
    bool taken = true;
    if (name == "align") {
        static const struct {
            const char* word;
            LineAlign align;
        } kAligns[] = {{"start", LineAlign::Start}, {"center", LineAlign::Centre}, {"middle", LineAlign::Centre},
                       {"end", LineAlign::End},     {"left", LineAlign::Left},     {"right", LineAlign::Right}};
        taken = false;
        for (const auto& a : kAligns)
            if (value == a.word) s.align = a.align, taken = true;
    } else if (name == "position") {
        taken = (main == "auto" || ReadPercent(main, percent)) && (side.empty() || side == "auto" || Side(side) >= 0);
        if (taken && main != "auto") s.position = percent;
        if (taken && !side.empty()) s.positionSide = Side(side);
    } else if (name == "line") {
        char* end = nullptr;
        const long number = std::strtol(main.c_str(), &end, 10);
        const bool whole = !main.empty() && *end == '\0' && main.find_first_not_of("-0123456789") == std::string::npos;
        taken = (main == "auto" || whole || ReadPercent(main, percent)) && (side.empty() || Side(side) >= 0);
        if (taken && whole) s.lineNumber = std::clamp(number, -1000L, 1000L);
        if (taken && !whole && main != "auto") s.linePercent = percent;
        if (taken && !side.empty()) s.lineSide = Side(side);
    } else if (name == "size") {
        taken = ReadPercent(value, percent);
        if (taken) s.size = percent;
    } else if (name == "vertical") {
        taken = s.vertical = value == "rl" || value == "lr";
        // The library's columns run right to left only.
        if (value == "lr") warning = "vertical:lr (columns left to right) is drawn as vertical:rl";
        if (taken) return;
    } else if (name == "region") {
        warning = "regions are not drawn; the cue is placed without its region";
        return;
    } else {
        taken = false;
    }
    if (!taken) warning = "the setting '" + setting + "' is not one WebVTT has; left out";
}

// The cue's placement and alignment from its settings.
void Place(const Settings& s, Cue& cue, std::vector<std::string>& warnings) {
    cue.align = s.align;
    cue.sizePercent = s.size;
    if (s.vertical) {
        cue.writingMode = TR_WRITING_VERTICAL;
        cue.placement.anchor = 6;  // vertical text stands at the frame's right
        if (s.position || s.linePercent || s.lineNumber)
            warnings.push_back("position and line are not applied to a vertical cue");
        return;
    }
    const LineAlign align = s.align.value_or(LineAlign::Centre);
    const int across = s.positionSide >= 0                                     ? s.positionSide
                       : align == LineAlign::Start || align == LineAlign::Left ? 0
                       : align == LineAlign::End || align == LineAlign::Right  ? 2
                                                                               : 1;
    int down = 2;  // the bottom unless line says
    if (s.linePercent) down = s.lineSide;
    if (s.lineNumber) down = *s.lineNumber >= 0 ? 0 : 2;
    cue.placement.anchor = (down == 0 ? 7 : down == 1 ? 4 : 1) + across;
    cue.placement.xPercent = s.position;
    cue.placement.yPercent = s.linePercent;
    if (s.lineNumber) cue.placement.lineShift = int32_t(*s.lineNumber >= 0 ? *s.lineNumber : *s.lineNumber + 1);
}

}  // namespace

bool HasWebVttHeader(const Text& text) {
    const Text first = text.substr(0, text.find_first_of(Text{'\r', '\n'}));
    return StartsWithWord(first, "WEBVTT");
}

SubtitleFile ParseWebVtt(const Text& vtt) {
    const std::vector<Text> lines = SplitLines(vtt);
    SubtitleFile file;
    size_t i = 0;
    if (HasWebVttHeader(vtt)) {
        while (i < lines.size() && !IsBlank(lines[i])) ++i;  // the header and its lines
    } else {
        file.Warn(1, "no WEBVTT header; read as WebVTT all the same");
    }
    int number = 0;
    while (i < lines.size()) {
        if (IsBlank(lines[i])) {
            ++i;
            continue;
        }
        // A block: an identifier line, perhaps, and a timing line, then the
        // cue's text up to a blank line or the next line with a timing arrow.
        const bool identified = lines[i].find(kArrow) == Text::npos;
        const size_t t = identified ? i + 1 : i;
        size_t end = i + 1;
        if (identified && end < lines.size() && lines[end].find(kArrow) != Text::npos) ++end;
        while (end < lines.size() && !IsBlank(lines[end]) && lines[end].find(kArrow) == Text::npos) ++end;
        if (IsOtherBlock(lines[i]) || t >= end || lines[t].find(kArrow) == Text::npos) {
            if (!IsOtherBlock(lines[i]))
                file.Warn(i + 1, "no timing line; the block's " + std::to_string(end - i) +
                                     (end - i == 1 ? " line is" : " lines are") + " left out");
            i = end;
            continue;
        }
        if (end < lines.size() && !IsBlank(lines[end])) file.Warn(end + 1, "no blank line before this cue");
        Cue cue;
        cue.number = ++number;
        const Text& timing = lines[t];
        const size_t arrow = timing.find(kArrow);
        cue.start = ParseSrtTime(Trimmed(timing.substr(0, arrow)));
        const std::string after = Utf16ToUtf8(timing.substr(arrow + kArrow.size()).c_str());
        Settings settings;
        std::vector<std::string> words, warnings;
        for (size_t at = 0; at < after.size();) {
            const size_t stop = std::min(after.find_first_of(" \t", at), after.size());
            if (stop > at) words.push_back(after.substr(at, stop - at));
            at = stop + 1;
        }
        cue.end = words.empty() ? -1 : ParseSrtTime(Utf8ToUtf16(words[0]).text);
        for (size_t w = 1; w < words.size(); ++w) {
            std::string warning;
            ReadSetting(words[w], settings, warning);
            if (!warning.empty()) warnings.push_back(warning);
        }
        Place(settings, cue, warnings);
        for (const std::string& warning : warnings) file.Warn(t + 1, warning);
        Text text;
        for (size_t k = t + 1; k < end; ++k) text += (k > t + 1 ? Text{'\n'} : Text{}) + lines[k];
        CueText read = ReadMarkup(text);
        cue.text = std::move(read.text);
        cue.style = read.style;
        i = end;
        if (cue.start < 0 || cue.end < 0) {
            file.Warn(t + 1, "cue " + std::to_string(cue.number) + "'s times cannot be read; left out");
            continue;
        }
        file.Add(std::move(cue), t + 1);
    }
    return file;
}

}  // namespace textraster::tool
