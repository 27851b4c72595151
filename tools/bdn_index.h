// The BDN XML index (--index bdn): how image subtitles are delivered for
// Blu-ray authoring, and what converters to PGS (.sup) read. A Format with
// the video format and frame rate, and one Event per cue with its timecodes
// at that rate and a Graphic: the PNG's size, its place on the frame and its
// file name beside the index.
//
//   <?xml version="1.0" encoding="UTF-8"?>
//   <BDN Version="0.93" ...>
//     <Description>
//       <Name Title="film" Content=""/>
//       <Language Code="und"/>
//       <Format VideoFormat="1080p" FrameRate="23.976" DropFrame="False"/>
//       <Events Type="Graphic" FirstEventInTC="00:00:01:00" LastEventOutTC="00:00:05:12" NumberofEvents="2"/>
//     </Description>
//     <Events>
//       <Event InTC="00:00:01:00" OutTC="00:00:03:12" Forced="False">
//         <Graphic Width="604" Height="46" X="658" Y="980">cue-0001.png</Graphic>
//       </Event>
//       ...
#pragma once

#include <string>
#include <vector>

#include "cue_index.h"
#include "timecode.h"

namespace textraster::tool {

// BDN's name of a frame size, "1080p", "720p", "576i", "480i", "2160p"; null
// for a size BDN has none for.
const char* BdnVideoFormat(uint32_t width, uint32_t height);

// The index of the cues that have times and a place on the frame, in the
// order of their start; each lasts at least a frame.
std::string BdnXml(const std::string& title, const std::vector<CueEntry>& cues, uint32_t frameWidth,
                   uint32_t frameHeight, const FrameRate& rate, bool dropFrame);

}  // namespace textraster::tool
