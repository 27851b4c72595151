// Font objects: a LOGFONTW resolved to a face at a pixel size, with the
// metrics GDI reports for it and what must be synthesised.
#pragma once

#include <hb.h>

#include <cstdint>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "platform/gdi.h"
#include "platform/portable/face.h"
#include "platform/portable/gdi_object.h"

namespace textraster::portable {

// A glyph's coverage, 0-255 per pixel, rows top-down, as drawn with the
// font's turn; left and top place it against the glyph origin (x to the
// right, top upwards, as FreeType gives them).
struct GlyphImage {
    int left = 0;
    int top = 0;
    int width = 0;
    int rows = 0;
    std::vector<unsigned char> coverage;
};

}  // namespace textraster::portable

struct PortableFont : textraster::portable::GdiObject {
    static constexpr auto kKind = textraster::portable::ObjectKind::Font;

    PortableFont(const LOGFONTW& description, bool isStock) : GdiObject(kKind, isStock), logFont(description) {}
    ~PortableFont() override;

    const LOGFONTW logFont;
    textraster::portable::FaceSource source;  // keeps a registered image alive while the face reads it
    FT_Face face = nullptr;
    hb_font_t* shaper = nullptr;
    int ppem = 0;
    TEXTMETRICW metrics{};
    bool fakeBold = false;
    bool fakeItalic = false;
    // GDI draws aliased glyphs at the sizes where the font's gasp table asks
    // for no greyscale.
    bool aliased = false;
    // In a fixed-pitch face GDI gives full-width glyphs exactly two
    // half-widths: a glyph as wide as `fullWidth` advances `doubleHalfWidth`.
    int fullWidth = 0;
    int doubleHalfWidth = 0;
    bool sideways = false;  // an "@" face: CJK glyphs stand upright in vertical setting
    int quarterTurns = 0;   // the escapement, in quarter turns counter-clockwise

    // The face, the shaper and the glyph images are used by one thread at a time.
    std::mutex lock;
    std::unordered_map<uint32_t, textraster::portable::GlyphImage> glyphs;
    size_t glyphBytes = 0;
};

namespace textraster::portable {

// The font of a context that has none selected; null only without any font.
PortableFont* DefaultFont();

}  // namespace textraster::portable
