// The markup inside a subtitle cue's text, as SubRip files carry it: tags
// (<i>, <b>, <u>, <s>, <font color="...">), {\...} override blocks and HTML
// entities; or as Pango markup, which video pipelines hand on for subtitle
// streams: every <...> is a tag (a '<' in the text is written &lt;), and
// <span> gives colours (foreground, fgcolor, color), weight and style.
//
// The library draws one style and one colour per call, so a tag applies only
// when it covers the whole cue (every character but white space); a tag
// covering part of it is dropped and its text kept. Override blocks are
// removed; entities are decoded.
#pragma once

#include <cstdint>
#include <optional>

#include "textraster.h"
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

enum class Markup { SubRip, Pango };

CueText ReadMarkup(const Text& cue, Markup markup = Markup::SubRip);

// The record drawn with a cue's style: bold and italic added to the record's
// own style, the cue's colour for the text's.
void ApplyCueStyle(const CueStyle& style, TextLayoutParams& record);

}  // namespace textraster::tool
