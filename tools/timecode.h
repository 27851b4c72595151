// Frame rates and SMPTE timecodes (HH:MM:SS:FF), as authoring tools count
// time: frames at the video's rate, numbered as if it were the nominal whole
// rate (24, 30, 60), with the drop-frame count at 29.97 and 59.94 frames a
// second that skips frame numbers to keep the timecode near the clock.
#pragma once

#include <cstdint>
#include <string>

namespace textraster::tool {

struct FrameRate {
    const char* name = "";   // as BDN writes it: "23.976", "25", "29.97", ...
    uint32_t numerator = 0;  // frames per second, as a fraction
    uint32_t denominator = 1;
    uint32_t nominal = 0;  // the frames of one timecode second
};

// "23.976", "24", "25", "29.97", "30", "50", "59.94" or "60" (the fractional
// rates also as "24000/1001", "30000/1001", "60000/1001"); false otherwise.
bool ParseFrameRate(const std::string& text, FrameRate& rate);

// Whether drop-frame timecodes exist at the rate: 29.97 and 59.94.
bool HasDropFrame(const FrameRate& rate);

// The frame shown at a time in milliseconds (the nearest frame start).
int64_t FrameAt(int64_t milliseconds, const FrameRate& rate);

// The frame's timecode, "HH:MM:SS:FF", in drop-frame counting when asked.
std::string Timecode(int64_t frame, const FrameRate& rate, bool dropFrame);

}  // namespace textraster::tool
