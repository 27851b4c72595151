// What the element's properties say, as one value. The video thread takes a
// copy for each frame and draws again only when the copy differs from the
// one it last drew with, so a property may change at any time.
#pragma once

#include <glib-object.h>

#include <cstdint>
#include <string>
#include <tuple>

#include "textraster.h"

namespace textraster::gst {

// The values textoverlay gives the same settings, so that pipelines written
// for it keep their meaning.
enum class HAlign { Left = 0, Center = 1, Right = 2 };
enum class VAlign { Baseline = 0, Bottom = 1, Top = 2, Center = 4 };
enum class LineAlign { Left = 0, Center = 1, Right = 2 };
enum class WrapMode { None = -1, Word = 0, Char = 1, WordChar = 2 };
// The record's writing modes, and Auto: each line's direction from its
// first strong letter.
enum class WritingMode {
    Auto = 0,
    Horizontal = TR_WRITING_HORIZONTAL,
    RightToLeft = TR_WRITING_RIGHT_TO_LEFT,
    Vertical = TR_WRITING_VERTICAL
};

struct OverlaySettings {
    std::string text;          // shown while the text pad is not linked
    std::string font;          // a family or full name; empty: the font file's, else the system's choice
    std::string fontFile;      // registered with AddFont while it is set
    std::string fontFileName;  // the full name AddFont reported for it, UTF-8
    uint32_t fontHeight = 0;   // the cell height in pixels; 0: fontHeightRelative of the frame's height
    double fontHeightRelative = 0.05;
    uint32_t color = 0xFFFFFFFF;  // ARGB, as textoverlay's colours
    uint32_t backgroundColor = 0;
    uint32_t outlineColor = 0xFF000000;
    uint32_t outlineWidth = 2;  // pixels; 0: none
    HAlign halign = HAlign::Center;
    VAlign valign = VAlign::Baseline;
    LineAlign lineAlign = LineAlign::Center;
    int32_t xpad = 25, ypad = 25;
    WrapMode wrap = WrapMode::WordChar;
    WritingMode writingMode = WritingMode::Auto;
    uint32_t linePitch = 0;  // 0: the cell height
    bool shadedBackground = false;
    uint32_t shadingValue = 80;  // the box's opacity
    bool silent = false;
    bool waitText = false;

    // Everything a drawing depends on (waitText and the path of the font
    // file do not change the picture).
    auto Drawn() const {
        return std::tie(text, font, fontFileName, fontHeight, fontHeightRelative, color, backgroundColor, outlineColor,
                        outlineWidth, halign, valign, lineAlign, xpad, ypad, wrap, writingMode, linePitch,
                        shadedBackground, shadingValue, silent);
    }
};

// The properties' ids. FontFile is set by the element itself, which
// registers the file.
enum PropertyId : guint {
    kPropText = 1,
    kPropFont,
    kPropFontFile,
    kPropFontHeight,
    kPropFontHeightRelative,
    kPropColor,
    kPropBackgroundColor,
    kPropOutlineColor,
    kPropOutlineWidth,
    kPropHAlignment,
    kPropVAlignment,
    kPropLineAlignment,
    kPropXPad,
    kPropYPad,
    kPropWrapMode,
    kPropWritingMode,
    kPropLinePitch,
    kPropShadedBackground,
    kPropShadingValue,
    kPropSilent,
    kPropWaitText,
};

void InstallProperties(GObjectClass* klass);

// Stores a property's new value in `settings` (any but kPropFontFile).
void SetProperty(OverlaySettings& settings, guint id, const GValue* value);

void GetProperty(const OverlaySettings& settings, guint id, GValue* value);

}  // namespace textraster::gst
