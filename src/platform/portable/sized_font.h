// A face at one pixel size, as a LOGFONTW asks for it: the metrics GDI
// reports, the styles to synthesise, the turn, the shaper and the glyph
// images drawn so far. Opening a face and sizing it cost far more than
// drawing a line, so sized fonts are kept process-wide and shared by every
// font object that asks for the same face, height, style and turn, as the
// platform's own font cache shares them.
#pragma once

#include <hb.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/gdi.h"
#include "platform/portable/face.h"

namespace textraster::portable {

struct FallbackList;

// A glyph's coverage, 0-255 per pixel, rows top-down, as drawn with the
// font's turn; left and top place it against the glyph origin (x to the
// right, top upwards, as FreeType gives them). A glyph in colours of its own
// (an emoji) also has its pixels, premultiplied 0xAARRGGBB, whose opacities
// are its coverage.
struct GlyphImage {
    int left = 0;
    int top = 0;
    int width = 0;
    int rows = 0;
    std::vector<unsigned char> coverage;
    std::vector<uint32_t> colours;

    // What it holds of the font's budget for glyph images.
    size_t Bytes() const { return coverage.size() + colours.size() * sizeof(uint32_t); }

    // The image blended in one colour over one background, as drawing needs
    // it again and again: kept for the last two pairs (the colour and the
    // opacity pass of a text). Made and used under the sized font's lock.
    struct Blend {
        uint32_t color = 0;
        uint32_t background = 0;
        std::vector<uint32_t> pixels;
    };
    mutable Blend blends[2];
    mutable unsigned nextBlend = 0;
};

// What decides a sized font: the face a description resolves to and the
// description's height, style and turn.
struct SizedFontKey {
    FaceSource source;
    LONG height = 0;
    bool bold = false;
    bool italic = false;
    bool sideways = false;  // an "@" face
    // The escapement in quarter turns counter-clockwise: 0, or 3 for the
    // library's vertical lines (2700), which run down the column. No call
    // asks for another, and one is drawn unturned.
    int quarterTurns = 0;

    bool operator==(const SizedFontKey& other) const;
};

struct SizedFont {
    SizedFont() = default;
    ~SizedFont();
    SizedFont(const SizedFont&) = delete;
    SizedFont& operator=(const SizedFont&) = delete;

    SizedFontKey key;  // what it was made for; its source keeps a registered image alive while the face reads it
    FT_Face face = nullptr;
    hb_font_t* shaper = nullptr;
    int ppem = 0;
    int unitsPerEm = 0;
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
    bool sideways = false;  // CJK glyphs stand upright in vertical setting
    int quarterTurns = 0;
    // The face has glyphs in colours of their own (CBDT/CBLC or sbix bitmaps,
    // COLR layers); bitmaps are scaled from this strike (-1: none).
    bool colour = false;
    int strike = -1;

    // The face, the shaper and the glyph images are used by one thread at a time.
    std::mutex lock;
    std::unordered_map<uint32_t, GlyphImage> glyphs;
    size_t glyphBytes = 0;
    // Hinted advances by glyph, as FreeType gives them to the shaper: the
    // shaper's own cache is small, and a face with thousands of glyphs
    // (CJK) would run the hinting program again for most of them.
    std::vector<hb_position_t> advances;
    // Glyph ids by code point, as FreeType's character map gives them, in
    // pages of kGlyphIdPage code points made on first use (an entry is the
    // id + 1, 0 while unknown, kMissingGlyph for a character the face lacks):
    // FreeType searches the map anew for every character.
    static constexpr uint32_t kKeptGlyphIds = 0x40000;  // every plane in use by scripts
    // A page (1 KiB) holds about a script's block: a text in one script
    // makes a page or two, and the list of pages is 1024 pointers.
    static constexpr uint32_t kGlyphIdPage = 256;
    static constexpr uint32_t kMissingGlyph = UINT32_MAX;
    std::vector<std::unique_ptr<uint32_t[]>> glyphIds;
    // Advances of short runs shaped on their own, by their characters, level,
    // script and the context shaping reads (see RunExtents::ShapedPart).
    std::unordered_map<std::u32string, int> shortRuns;
    // Advances of the parts of Arabic word stretches that a line may end
    // inside, by the stretch's characters and direction (see
    // RunExtents::ShapeTails).
    std::unordered_map<std::u32string, std::vector<int32_t>> stretchTails;
    // Font fallback (font_fallback.h): the faces this font falls back to, and
    // which of them draws each code point it lacks or draws as an emoji (a
    // position in the list, -1 for none; the key's bit 31 set for an
    // emoji), as chosen so far; both anew when private fonts change.
    std::shared_ptr<const FallbackList> fallbacks;
    std::unordered_map<char32_t, int16_t> fallbackChoices;

    // Whether the face has a glyph for `c`. The caller holds the lock.
    bool Covers(char32_t c) {
        if (c < kKeptGlyphIds) {
            const std::unique_ptr<uint32_t[]>& page = glyphIds[c / kGlyphIdPage];
            const uint32_t known = page ? page[c % kGlyphIdPage] : 0;
            if (known != 0) return known != kMissingGlyph;
        }
        return LooksUp(c);
    }
    bool LooksUp(char32_t c);  // Covers' answer from FreeType, kept
};

// How many of the most recently used sized fonts are kept beyond their use.
constexpr size_t kKeptSizedFonts = 16;

// The sized font for a key, made on first use and kept among the most
// recently used ones; null when the face cannot be opened or sized.
std::shared_ptr<SizedFont> FindSizedFont(const SizedFontKey& key);

}  // namespace textraster::portable
