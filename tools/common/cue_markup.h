// The markup inside a subtitle cue's text, as SubRip and WebVTT files carry
// it: tags (<i>, <b>, <u>, <s>, <font color="...">, WebVTT's <c.class>,
// <v Speaker>, <lang>, <ruby>, <rt> and timestamps), {\...} override blocks,
// the line breaks \N and \n, and HTML entities.
//
// The library draws one style and one colour per call, so a tag applies only
// when it covers the whole cue (every character but white space); a tag
// covering part of it is dropped and its text kept. Override blocks are
// removed, except that the first position code in them ({\an1} to {\an9},
// or the older {\a1} to {\a11}) says where the cue goes; entities are
// decoded.
//
// Video pipelines hand subtitle streams on as Pango markup instead: there
// every <...> is a tag (a '<' in the text is written &lt;), <span> gives
// colours (foreground, fgcolor, color), weight and style, and a tag Pango
// knows but the library cannot draw (<big>, <tt>, <sub>, ...) is dropped.
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
    Text text;  // without markup; lines end with LF
    CueStyle style;
    // Where the cue goes on the frame, as the numeric keypad lies: 1 bottom
    // left, 2 bottom centre, ... 9 top right; 0 when the cue does not say.
    int anchor = 0;
};

enum class Markup { SubRip, Pango };  // SubRip: SubRip's and WebVTT's

CueText ReadMarkup(const Text& cue, Markup markup = Markup::SubRip);

// The record drawn with a cue's style: bold and italic added to the record's
// own style, the cue's colour for the text's.
void ApplyCueStyle(const CueStyle& style, TextLayoutParams& record);

}  // namespace textraster::tool
