#include "overlay_settings.h"

#include <gst/gst.h>

namespace textraster::gst {
namespace {

template <typename Enum>
GType EnumType(const char* name, const GEnumValue* values) {
    // Registered once, on first use, for the life of the process (GLib never
    // unregisters a static type).
    static const GType type = g_enum_register_static(name, values);
    return type;
}

GType HAlignType() {
    static const GEnumValue values[] = {{int(HAlign::Left), "left", "left"},
                                        {int(HAlign::Center), "center", "center"},
                                        {int(HAlign::Right), "right", "right"},
                                        {0, nullptr, nullptr}};
    return EnumType<HAlign>("GstTextRasterOverlayHAlign", values);
}

GType VAlignType() {
    static const GEnumValue values[] = {{int(VAlign::Baseline), "baseline", "baseline"},
                                        {int(VAlign::Bottom), "bottom", "bottom"},
                                        {int(VAlign::Top), "top", "top"},
                                        {int(VAlign::Center), "center", "center"},
                                        {0, nullptr, nullptr}};
    return EnumType<VAlign>("GstTextRasterOverlayVAlign", values);
}

GType LineAlignType() {
    static const GEnumValue values[] = {{int(LineAlign::Left), "left", "left"},
                                        {int(LineAlign::Center), "center", "center"},
                                        {int(LineAlign::Right), "right", "right"},
                                        {0, nullptr, nullptr}};
    return EnumType<LineAlign>("GstTextRasterOverlayLineAlign", values);
}

GType WrapModeType() {
    static const GEnumValue values[] = {{int(WrapMode::None), "none", "none"},
                                        {int(WrapMode::Word), "word", "word"},
                                        {int(WrapMode::Char), "char", "char"},
                                        {int(WrapMode::WordChar), "wordchar", "wordchar"},
                                        {0, nullptr, nullptr}};
    return EnumType<WrapMode>("GstTextRasterOverlayWrapMode", values);
}

GType WritingModeType() {
    static const GEnumValue values[] = {
        {int(WritingMode::Auto), "Each line's direction from its first strong letter", "auto"},
        {int(WritingMode::Horizontal), "Horizontal lines, left to right", "horizontal"},
        {int(WritingMode::RightToLeft), "Horizontal lines, right to left", "right-to-left"},
        {int(WritingMode::Vertical), "Vertical columns, right to left", "vertical"},
        {0, nullptr, nullptr}};
    return EnumType<WritingMode>("GstTextRasterOverlayWritingMode", values);
}

constexpr GParamFlags kFlags = GParamFlags(G_PARAM_READWRITE | G_PARAM_STATIC_STRINGS | GST_PARAM_MUTABLE_PLAYING);

void Install(GObjectClass* klass, guint id, GParamSpec* param) {
    g_object_class_install_property(klass, id, param);
}

GParamSpec* Color(const char* name, const char* blurb, uint32_t initial) {
    return g_param_spec_uint(name, name, blurb, 0, G_MAXUINT32, initial, kFlags);
}

}  // namespace

void InstallProperties(GObjectClass* klass) {
    const OverlaySettings d;
    Install(klass, kPropText,
            g_param_spec_string("text", "text", "Text shown while no subtitle stream is linked", "", kFlags));
    Install(klass, kPropFont,
            g_param_spec_string("font", "font",
                                "Face: a family or full name; empty: the font file's full name, else the system's "
                                "choice",
                                "", kFlags));
    Install(klass, kPropFontFile,
            g_param_spec_string("font-file", "font-file",
                                "A font file registered for this element's life; its face is drawn unless font names "
                                "another",
                                "", kFlags));
    Install(klass, kPropFontHeight,
            g_param_spec_uint("font-height", "font-height",
                              "Cell height in pixels; 0: font-height-relative of the frame's height", 0, 255,
                              d.fontHeight, kFlags));
    Install(klass, kPropFontHeightRelative,
            g_param_spec_double("font-height-relative", "font-height-relative",
                                "Cell height as a fraction of the frame's height, when font-height is 0", 0.0, 1.0,
                                d.fontHeightRelative, kFlags));
    Install(klass, kPropColor, Color("color", "Text colour (big-endian ARGB)", d.color));
    Install(klass, kPropBackgroundColor,
            Color("background-color", "Colour behind the glyphs, in each line's cells (big-endian ARGB)",
                  d.backgroundColor));
    Install(klass, kPropOutlineColor, Color("outline-color", "Outline colour (big-endian ARGB)", d.outlineColor));
    Install(klass, kPropOutlineWidth,
            g_param_spec_uint("outline-width", "outline-width", "Outline width in pixels; 0: none", 0, 32,
                              d.outlineWidth, kFlags));
    Install(klass, kPropHAlignment,
            g_param_spec_enum("halignment", "halignment", "Horizontal alignment of the text", HAlignType(),
                              int(d.halign), kFlags));
    Install(klass, kPropVAlignment,
            g_param_spec_enum("valignment", "valignment",
                              "Vertical alignment of the text (baseline: the last line's baseline at ypad)",
                              VAlignType(), int(d.valign), kFlags));
    Install(klass, kPropLineAlignment,
            g_param_spec_enum("line-alignment", "line-alignment",
                              "Alignment of the lines relative to each other (top to bottom in columns)",
                              LineAlignType(), int(d.lineAlign), kFlags));
    Install(klass, kPropXPad,
            g_param_spec_int("xpad", "xpad", "Horizontal padding from the frame's edges", 0, G_MAXINT, d.xpad, kFlags));
    Install(klass, kPropYPad,
            g_param_spec_int("ypad", "ypad", "Vertical padding from the frame's edges", 0, G_MAXINT, d.ypad, kFlags));
    Install(klass, kPropWrapMode,
            g_param_spec_enum("wrap-mode", "wrap-mode",
                              "Whether lines break when they reach the frame's width (word, char and wordchar "
                              "break as the library does: at break opportunities, a word longer than a line anywhere)",
                              WrapModeType(), int(d.wrap), kFlags));
    Install(klass, kPropWritingMode,
            g_param_spec_enum("writing-mode", "writing-mode", "Lines or columns, and their direction",
                              WritingModeType(), int(d.writingMode), kFlags));
    Install(klass, kPropLinePitch,
            g_param_spec_uint("line-pitch", "line-pitch", "Distance between lines in pixels; 0: the cell height", 0,
                              255, d.linePitch, kFlags));
    Install(klass, kPropShadedBackground,
            g_param_spec_boolean("shaded-background", "shaded-background", "Whether a box shades the text's area",
                                 d.shadedBackground, kFlags));
    Install(klass, kPropShadingValue,
            g_param_spec_uint("shading-value", "shading-value", "Opacity of the shading box, 1-255", 1, 255,
                              d.shadingValue, kFlags));
    Install(klass, kPropSilent, g_param_spec_boolean("silent", "silent", "Whether to show no text", d.silent, kFlags));
    Install(klass, kPropWaitText,
            g_param_spec_boolean("wait-text", "wait-text",
                                 "Whether video waits until the subtitle stream says what a frame shows", d.waitText,
                                 kFlags));
}

void SetProperty(OverlaySettings& s, guint id, const GValue* v) {
    auto text = [v] {
        const gchar* t = g_value_get_string(v);
        return std::string(t ? t : "");
    };
    switch (id) {
        case kPropText: s.text = text(); break;
        case kPropFont: s.font = text(); break;
        case kPropFontHeight: s.fontHeight = g_value_get_uint(v); break;
        case kPropFontHeightRelative: s.fontHeightRelative = g_value_get_double(v); break;
        case kPropColor: s.color = g_value_get_uint(v); break;
        case kPropBackgroundColor: s.backgroundColor = g_value_get_uint(v); break;
        case kPropOutlineColor: s.outlineColor = g_value_get_uint(v); break;
        case kPropOutlineWidth: s.outlineWidth = g_value_get_uint(v); break;
        case kPropHAlignment: s.halign = HAlign(g_value_get_enum(v)); break;
        case kPropVAlignment: s.valign = VAlign(g_value_get_enum(v)); break;
        case kPropLineAlignment: s.lineAlign = LineAlign(g_value_get_enum(v)); break;
        case kPropXPad: s.xpad = g_value_get_int(v); break;
        case kPropYPad: s.ypad = g_value_get_int(v); break;
        case kPropWrapMode: s.wrap = WrapMode(g_value_get_enum(v)); break;
        case kPropWritingMode: s.writingMode = WritingMode(g_value_get_enum(v)); break;
        case kPropLinePitch: s.linePitch = g_value_get_uint(v); break;
        case kPropShadedBackground: s.shadedBackground = g_value_get_boolean(v); break;
        case kPropShadingValue: s.shadingValue = g_value_get_uint(v); break;
        case kPropSilent: s.silent = g_value_get_boolean(v); break;
        case kPropWaitText: s.waitText = g_value_get_boolean(v); break;
        default: break;
    }
}

void GetProperty(const OverlaySettings& s, guint id, GValue* v) {
    switch (id) {
        case kPropText: g_value_set_string(v, s.text.c_str()); break;
        case kPropFont: g_value_set_string(v, s.font.c_str()); break;
        case kPropFontFile: g_value_set_string(v, s.fontFile.c_str()); break;
        case kPropFontHeight: g_value_set_uint(v, s.fontHeight); break;
        case kPropFontHeightRelative: g_value_set_double(v, s.fontHeightRelative); break;
        case kPropColor: g_value_set_uint(v, s.color); break;
        case kPropBackgroundColor: g_value_set_uint(v, s.backgroundColor); break;
        case kPropOutlineColor: g_value_set_uint(v, s.outlineColor); break;
        case kPropOutlineWidth: g_value_set_uint(v, s.outlineWidth); break;
        case kPropHAlignment: g_value_set_enum(v, int(s.halign)); break;
        case kPropVAlignment: g_value_set_enum(v, int(s.valign)); break;
        case kPropLineAlignment: g_value_set_enum(v, int(s.lineAlign)); break;
        case kPropXPad: g_value_set_int(v, s.xpad); break;
        case kPropYPad: g_value_set_int(v, s.ypad); break;
        case kPropWrapMode: g_value_set_enum(v, int(s.wrap)); break;
        case kPropWritingMode: g_value_set_enum(v, int(s.writingMode)); break;
        case kPropLinePitch: g_value_set_uint(v, s.linePitch); break;
        case kPropShadedBackground: g_value_set_boolean(v, s.shadedBackground); break;
        case kPropShadingValue: g_value_set_uint(v, s.shadingValue); break;
        case kPropSilent: g_value_set_boolean(v, s.silent); break;
        case kPropWaitText: g_value_set_boolean(v, s.waitText); break;
        default: break;
    }
}

}  // namespace textraster::gst
