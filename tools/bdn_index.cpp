#include "bdn_index.h"

#include <algorithm>

namespace textraster::tool {
namespace {

std::string Escaped(const std::string& s) {
    std::string out;
    for (char c : s) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
        }
    }
    return out;
}

}  // namespace

const char* BdnVideoFormat(uint32_t width, uint32_t height) {
    static const struct {
        uint32_t width, height;
        const char* name;
    } kFormats[] = {
        {1920, 1080, "1080p"}, {1280, 720, "720p"}, {720, 576, "576i"}, {720, 480, "480i"}, {3840, 2160, "2160p"}};
    for (const auto& f : kFormats)
        if (f.width == width && f.height == height) return f.name;
    return nullptr;
}

std::string BdnXml(const std::string& title, const std::vector<CueEntry>& cues, uint32_t frameWidth,
                   uint32_t frameHeight, const FrameRate& rate, bool dropFrame) {
    struct Event {
        int64_t in, out;
        const CueEntry* cue;
    };
    std::vector<Event> events;
    for (const CueEntry& c : cues) {
        if (c.start < 0 || c.end < 0 || !c.x || !c.y) continue;
        const int64_t in = FrameAt(c.start, rate);
        events.push_back({in, std::max(FrameAt(c.end, rate), in + 1), &c});
    }
    std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) { return a.in < b.in; });
    auto tc = [&](int64_t frame) { return Timecode(frame, rate, dropFrame); };
    int64_t first = events.empty() ? 0 : events.front().in, last = 0;
    for (const Event& e : events) last = std::max(last, e.out);
    const char* format = BdnVideoFormat(frameWidth, frameHeight);
    std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<BDN Version=\"0.93\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
        "xsi:noNamespaceSchemaLocation=\"BD-03-006-0093b BDN File Format.xsd\">\n"
        "  <Description>\n"
        "    <Name Title=\"" +
        Escaped(title) +
        "\" Content=\"\"/>\n"
        "    <Language Code=\"und\"/>\n"
        "    <Format VideoFormat=\"" +
        std::string(format ? format : "") + "\" FrameRate=\"" + rate.name + "\" DropFrame=\"" +
        (dropFrame ? "True" : "False") + "\"/>\n";
    xml += "    <Events Type=\"Graphic\" FirstEventInTC=\"" + tc(first) + "\" LastEventOutTC=\"" + tc(last) +
           "\" NumberofEvents=\"" + std::to_string(events.size()) + "\"/>\n  </Description>\n  <Events>\n";
    for (const Event& e : events) {
        const CueEntry& c = *e.cue;
        xml += "    <Event InTC=\"" + tc(e.in) + "\" OutTC=\"" + tc(e.out) + "\" Forced=\"False\">\n" +
               "      <Graphic Width=\"" + std::to_string(c.width) + "\" Height=\"" + std::to_string(c.height) +
               "\" X=\"" + std::to_string(*c.x) + "\" Y=\"" + std::to_string(*c.y) + "\">" + Escaped(c.file) +
               "</Graphic>\n    </Event>\n";
    }
    return xml + "  </Events>\n</BDN>\n";
}

}  // namespace textraster::tool
