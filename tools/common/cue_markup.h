// The markup inside a subtitle cue's text, as SubRip files carry it: tags
// (<i>, <b>, <u>, <s>, <font color="...">), {\...} override blocks and HTML
// entities.
//
// The library draws one style and one colour per call, so a tag applies only
// when it covers the whole cue (every character but white space); a tag
// covering part of it is dropped and its text kept. Override blocks are
// removed; entities are decoded.
#pragma once

#include <cstdint>
#include <optional>

#include "utf.h"

namespace textraster::tool {

struct CueStyle {
    bool italic = false, bold = false;
    std::optional<uint32_t> color;  // the record's 0xAABBGGRR
};

struct CueText {
    Text text;  // without markup
    CueStyle style;
};

CueText ReadMarkup(const Text& cue);

}  // namespace textraster::tool
