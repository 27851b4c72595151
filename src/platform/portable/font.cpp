#include "platform/portable/font.h"

#include <hb-ft.h>

#include FT_TRUETYPE_TABLES_H
#include FT_TRUETYPE_TAGS_H

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <new>
#include <vector>

#include "platform/portable/dc.h"
#include "platform/portable/face_match.h"

using namespace textraster::portable;

namespace {

// A height of 0 asks for the default: a 16-pixel cell, as GDI gives it (an
// em of 12 to 14 pixels in common faces).
constexpr LONG kDefaultHeight = 16;
// The largest em that GDI sets; beyond it a font falls back to one pixel.
constexpr long kMaxPpem = 65535;
// Faces without a weight of their own (no OS/2 table) are regular.
constexpr LONG kRegularWeight = 400;

// The vertical extent GDI measures a face by: the Windows ascent and descent
// of the OS/2 table, or the horizontal header's when those are zero.
struct VerticalUnits {
    long ascent;
    long descent;
};

VerticalUnits WindowsUnits(FT_Face face) {
    auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    // Some fonts store a signed descent in the unsigned field.
    const long winDescent = os2 ? std::abs(static_cast<int16_t>(os2->usWinDescent)) : 0;
    if (os2 && os2->usWinAscent + winDescent > 0) return {os2->usWinAscent, winDescent};
    auto* hhea = static_cast<const TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA));
    if (hhea) return {hhea->Ascender, -hhea->Descender};
    return {face->ascender, -face->descender};
}

// The pixel em for a LOGFONTW height: a positive height is the cell
// (Windows ascent + descent), a negative one the em itself. A cell that
// rounding would make taller than asked gets the next smaller em.
long PpemForHeight(FT_Face face, LONG height) {
    if (height == 0) height = kDefaultHeight;
    long ppem;
    if (height > 0) {
        const VerticalUnits units = WindowsUnits(face);
        const long cell = std::max(1L, units.ascent + units.descent);
        ppem = FT_MulDiv(face->units_per_EM, height, cell);
        if (ppem > 1 && FT_MulDiv(cell, ppem, face->units_per_EM) > height) --ppem;
    } else {
        ppem = static_cast<long>(-static_cast<int64_t>(height) > kMaxPpem ? kMaxPpem + 1 : -height);
    }
    return ppem > kMaxPpem ? 1 : std::max(1L, ppem);
}

// GDI takes a face as fixed-pitch when FreeType does or its PANOSE
// proportion says monospaced.
bool IsFixedPitch(FT_Face face) {
    auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    constexpr FT_Byte kMonospaced = 9;
    return FT_IS_FIXED_WIDTH(face) || (os2 && os2->panose[3] == kMonospaced);
}

// GDI's text metrics: font units scaled to the em and rounded one by one,
// so that height = ascent + descent exactly.
TEXTMETRICW Metrics(const PortableFont& font) {
    FT_Face face = font.face;
    auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    auto* hhea = static_cast<const TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA));
    const FT_Long scale = FT_MulDiv(font.ppem, 1 << 16, face->units_per_EM);
    auto pixels = [scale](long units) { return static_cast<LONG>(FT_MulFix(units, scale)); };
    const VerticalUnits units = WindowsUnits(face);

    TEXTMETRICW tm{};
    tm.tmAscent = pixels(units.ascent);
    tm.tmDescent = pixels(units.descent);
    tm.tmHeight = tm.tmAscent + tm.tmDescent;
    tm.tmInternalLeading = pixels(units.ascent + units.descent - face->units_per_EM);
    if (hhea) {
        const long typoHeight = hhea->Ascender - hhea->Descender;
        tm.tmExternalLeading =
            std::max<LONG>(0, pixels(hhea->Line_Gap - ((units.ascent + units.descent) - typoHeight)));
    }
    tm.tmAveCharWidth = std::max<LONG>(1, pixels(os2 ? os2->xAvgCharWidth : face->max_advance_width / 2));
    tm.tmMaxCharWidth = pixels(face->bbox.xMax - face->bbox.xMin);
    // A bold face reports its own weight from 600 up, a regular one up to 500.
    const LONG weight = os2 && os2->version != 0xFFFF ? os2->usWeightClass : kRegularWeight;
    if (font.fakeBold) {
        tm.tmWeight = FW_BOLD;
        ++tm.tmAveCharWidth;  // emboldening widens every glyph by a pixel
        ++tm.tmMaxCharWidth;
    } else {
        tm.tmWeight =
            FaceIsBold(face) ? (weight > 500 ? weight : kRegularWeight) : (weight <= 500 ? weight : kRegularWeight);
    }
    tm.tmDigitizedAspectX = 96;
    tm.tmDigitizedAspectY = 96;
    tm.tmFirstChar = os2 ? static_cast<WCHAR>(os2->usFirstCharIndex) : 0x20;
    tm.tmLastChar = os2 ? static_cast<WCHAR>(os2->usLastCharIndex) : 0xFFFF;
    tm.tmDefaultChar = os2 && os2->version >= 2 && os2->usDefaultChar ? static_cast<WCHAR>(os2->usDefaultChar) : 0x1F;
    tm.tmBreakChar = os2 && os2->version >= 2 && os2->usBreakChar ? static_cast<WCHAR>(os2->usBreakChar) : 0x20;
    tm.tmItalic = FaceIsItalic(face) || font.fakeItalic ? 255 : 0;
    tm.tmUnderlined = font.logFont.lfUnderline ? 255 : 0;
    tm.tmStruckOut = font.logFont.lfStrikeOut ? 255 : 0;
    // TMPF_FIXED_PITCH (1) means variable pitch; then vector (2) and TrueType (4).
    tm.tmPitchAndFamily = static_cast<BYTE>((IsFixedPitch(face) ? 0 : 1) | 2 | (FT_IS_SFNT(face) ? 4 : 0));
    tm.tmCharSet = 0;
    return tm;
}

// Whether the font's gasp table asks for no greyscale at this em. Synthesised
// styles stay antialiased, as GDI keeps them.
bool GaspAsksForAliasing(FT_Face face, int ppem) {
    FT_ULong length = 0;
    if (FT_Load_Sfnt_Table(face, TTAG_gasp, 0, nullptr, &length) || length < 4) return false;
    std::vector<FT_Byte> table(length);
    if (FT_Load_Sfnt_Table(face, TTAG_gasp, 0, table.data(), &length)) return false;
    auto word = [&table](size_t at) { return static_cast<unsigned>(table[at] << 8 | table[at + 1]); };
    const unsigned ranges = word(2);
    constexpr unsigned kDoGray = 0x0002;
    // Ranges are ordered by their largest em; the first that covers ppem decides.
    for (unsigned i = 0; i < ranges && 4 + 4 * i + 3 < length; ++i)
        if (static_cast<unsigned>(ppem) <= word(4 + 4 * i)) return (word(4 + 4 * i + 2) & kDoGray) == 0;
    return false;
}

std::unique_ptr<PortableFont> MakeFont(const LOGFONTW& description, bool stock) {
    std::unique_ptr<PortableFont> font(new (std::nothrow) PortableFont(description, stock));
    if (!font) return nullptr;
    size_t length = 0;
    while (length < LF_FACESIZE && description.lfFaceName[length]) ++length;
    std::u16string_view name(description.lfFaceName, length);
    if (!name.empty() && name.front() == u'@') {
        font->sideways = true;
        name.remove_prefix(1);
    }
    // lfWidth is not honoured: every font gets its face's own width, which is
    // what a width of 0 asks for.
    const bool bold = description.lfWeight > 550;
    const bool italic = description.lfItalic != 0;
    font->source = MatchFace(name, bold, italic);
    font->face = font->source.Empty() ? nullptr : OpenFace(font->source);
    // Only outline faces scale to any height, as GDI's TrueType fonts do.
    if (!font->face || !FT_IS_SCALABLE(font->face) || font->face->units_per_EM == 0) return nullptr;
    FT_Select_Charmap(font->face, FT_ENCODING_UNICODE);
    font->ppem = static_cast<int>(PpemForHeight(font->face, description.lfHeight));
    if (FT_Set_Pixel_Sizes(font->face, 0, static_cast<FT_UInt>(font->ppem))) return nullptr;
    font->fakeBold = bold && !FaceIsBold(font->face);
    font->fakeItalic = italic && !FaceIsItalic(font->face);
    font->metrics = Metrics(*font);
    font->aliased = !font->fakeBold && !font->fakeItalic && GaspAsksForAliasing(font->face, font->ppem);
    auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(font->face, FT_SFNT_OS2));
    if (os2 && IsFixedPitch(font->face)) {
        const FT_Long scale = FT_MulDiv(font->ppem, 1 << 16, font->face->units_per_EM);
        font->fullWidth = static_cast<int>(FT_MulFix(2 * os2->xAvgCharWidth, scale));
        font->doubleHalfWidth = 2 * static_cast<int>(FT_MulFix(os2->xAvgCharWidth, scale));
    }
    // Escapement in tenths of a degree, to the nearest quarter turn.
    const long tenths = ((static_cast<long>(description.lfEscapement) % 3600) + 3600) % 3600;
    font->quarterTurns = static_cast<int>(((tenths + 450) / 900) % 4);

    font->shaper = hb_ft_font_create(font->face, nullptr);
    if (!font->shaper || font->shaper == hb_font_get_empty()) return nullptr;
    // Hinted advances in whole pixels, as GDI lays glyphs out.
    hb_ft_font_set_load_flags(font->shaper, FT_LOAD_DEFAULT | FT_LOAD_IGNORE_GLOBAL_ADVANCE_WIDTH);
    return font;
}

}  // namespace

PortableFont::~PortableFont() {
    if (shaper) hb_font_destroy(shaper);
    CloseFace(face);
}

namespace textraster::portable {

PortableFont* DefaultFont() {
    // Made on first use; a failure is not remembered (see StockBitmap).
    static std::mutex lock;
    static PortableFont* stock = nullptr;
    std::lock_guard<std::mutex> guard(lock);
    if (!stock) {
        LOGFONTW description{};
        description.lfWeight = FW_NORMAL;
        try {
            auto font = MakeFont(description, true);
            stock = font ? static_cast<PortableFont*>(Register(std::move(font))) : nullptr;
        } catch (const std::bad_alloc&) {
            return nullptr;
        }
    }
    return stock;
}

}  // namespace textraster::portable

HFONT CreateFontIndirectW(const LOGFONTW* description) try {
    if (!description) return nullptr;
    auto font = MakeFont(*description, false);
    return font ? static_cast<HFONT>(Register(std::move(font))) : nullptr;
} catch (const std::bad_alloc&) {
    return nullptr;  // out of memory: no font, as the platform reports it
}

BOOL GetTextMetricsW(HDC handle, TEXTMETRICW* metrics) {
    PortableDc* dc = Find<PortableDc>(handle);
    PortableFont* font = dc ? CurrentFont(*dc) : nullptr;
    if (!font || !metrics) return FALSE;
    *metrics = font->metrics;
    return TRUE;
}
