// The files the subtitles command writes into its folder: one PNG per cue,
// named by the cue's number, the index of them, cues.json, and with
// --index bdn the BDN XML index, bdn.xml.
#pragma once

#include <string>
#include <vector>

namespace textraster::tool {

// "cue-0001.png"; numbers past 9999 take more digits.
std::string CueFileName(int number);

// Whether a file name is one that CueFileName gives.
bool IsCueFileName(const std::string& name);

// The indexes' names.
extern const char* const kCueIndexName;
extern const char* const kBdnIndexName;

// Removes from the folder the cue files not among `kept` and the indexes, so
// that a reused folder holds only what this run writes; false with a message
// in `error` when a file cannot be removed. Nothing else is touched.
bool RemoveStaleCueFiles(const std::string& folder, const std::vector<std::string>& kept, std::string& error);

}  // namespace textraster::tool
