#include "cue_index.h"

#include <cstdio>

namespace textraster::tool {
namespace {

std::string Quoted(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\', out += c;
        } else if (uint8_t(c) < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", unsigned(uint8_t(c)));
            out += escape;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string Time(int64_t milliseconds) {
    return milliseconds < 0 ? "null" : std::to_string(milliseconds);
}

std::string Number(std::optional<int32_t> n) {
    return n ? std::to_string(*n) : "null";
}

}  // namespace

std::string CueIndexJson(const std::string& source, const std::vector<CueEntry>& cues) {
    std::string json = "{\"source\": " + Quoted(source) + ", \"cues\": [\n";
    for (size_t i = 0; i < cues.size(); ++i) {
        const CueEntry& c = cues[i];
        json += "{\"index\": " + std::to_string(c.number) + ", \"start\": " + Time(c.start) +
                ", \"end\": " + Time(c.end) + ", \"file\": " + Quoted(c.file) +
                ", \"width\": " + std::to_string(c.width) + ", \"height\": " + std::to_string(c.height) +
                ", \"x\": " + Number(c.x) + ", \"y\": " + Number(c.y) +
                ", \"alignment\": " + std::to_string(c.alignment) + "}" + (i + 1 < cues.size() ? ",\n" : "\n");
    }
    return json + "]}\n";
}

}  // namespace textraster::tool
