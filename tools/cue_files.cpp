#include "cue_files.h"

#include <algorithm>
#include <cstdio>

#include "files.h"

namespace textraster::tool {

const char* const kCueIndexName = "cues.json";
const char* const kBdnIndexName = "bdn.xml";

std::string CueFileName(int number) {
    char name[32];
    std::snprintf(name, sizeof name, "cue-%04d.png", number);
    return name;
}

bool IsCueFileName(const std::string& name) {
    const std::string prefix = "cue-", suffix = ".png";
    if (name.size() < prefix.size() + 4 + suffix.size() || name.compare(0, prefix.size(), prefix) != 0 ||
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
        return false;
    const std::string digits = name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
    // What CueFileName gives: four digits, or more without a leading zero.
    return std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }) &&
           (digits.size() == 4 || digits[0] != '0');
}

bool RemoveStaleCueFiles(const std::string& folder, const std::vector<std::string>& kept, std::string& error) {
    for (const std::string& name : FilesIn(folder)) {
        const bool stale = (IsCueFileName(name) && std::find(kept.begin(), kept.end(), name) == kept.end()) ||
                           name == kCueIndexName || name == kBdnIndexName;
        if (stale && !RemoveFile(JoinPath(folder, name), error)) return false;
    }
    return true;
}

}  // namespace textraster::tool
