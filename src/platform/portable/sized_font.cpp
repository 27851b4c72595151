#include "platform/portable/sized_font.h"

#include <hb-ft.h>

#include FT_TRUETYPE_TABLES_H
#include FT_TRUETYPE_TAGS_H
#include FT_GASP_H

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <new>

namespace textraster::portable {
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
long PpemForHeight(FT_Face face, long unitsPerEm, LONG height) {
    if (height == 0) height = kDefaultHeight;
    long ppem;
    if (height > 0) {
        const VerticalUnits units = WindowsUnits(face);
        const long cell = std::max(1L, units.ascent + units.descent);
        ppem = FT_MulDiv(unitsPerEm, height, cell);
        if (ppem > 1 && FT_MulDiv(cell, ppem, unitsPerEm) > height) --ppem;
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
TEXTMETRICW Metrics(const SizedFont& font) {
    FT_Face face = font.face;
    auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    auto* hhea = static_cast<const TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA));
    const FT_Long scale = FT_MulDiv(font.ppem, 1 << 16, font.unitsPerEm);
    auto pixels = [scale](long units) { return static_cast<LONG>(FT_MulFix(units, scale)); };
    const VerticalUnits units = WindowsUnits(face);

    TEXTMETRICW tm{};
    tm.tmAscent = pixels(units.ascent);
    tm.tmDescent = pixels(units.descent);
    tm.tmHeight = tm.tmAscent + tm.tmDescent;
    tm.tmInternalLeading = pixels(units.ascent + units.descent - font.unitsPerEm);
    if (hhea) {
        const long typoHeight = hhea->Ascender - hhea->Descender;
        tm.tmExternalLeading =
            std::max<LONG>(0, pixels(hhea->Line_Gap - ((units.ascent + units.descent) - typoHeight)));
    }
    tm.tmAveCharWidth = std::max<LONG>(1, pixels(os2 ? os2->xAvgCharWidth : face->max_advance_width / 2));
    auto* head = static_cast<const TT_Header*>(FT_Get_Sfnt_Table(face, FT_SFNT_HEAD));
    // FreeType gives no box for a face without outlines.
    tm.tmMaxCharWidth =
        pixels(FT_IS_SCALABLE(face) || !head ? face->bbox.xMax - face->bbox.xMin : head->xMax - head->xMin);
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
    // The dots per inch of the screen the platform's fonts are sized for.
    constexpr LONG kScreenDotsPerInch = 96;
    tm.tmDigitizedAspectX = kScreenDotsPerInch;
    tm.tmDigitizedAspectY = kScreenDotsPerInch;
    tm.tmFirstChar = os2 ? static_cast<WCHAR>(os2->usFirstCharIndex) : 0x20;
    tm.tmLastChar = os2 ? static_cast<WCHAR>(os2->usLastCharIndex) : 0xFFFF;
    tm.tmDefaultChar = os2 && os2->version >= 2 && os2->usDefaultChar ? static_cast<WCHAR>(os2->usDefaultChar) : 0x1F;
    tm.tmBreakChar = os2 && os2->version >= 2 && os2->usBreakChar ? static_cast<WCHAR>(os2->usBreakChar) : 0x20;
    tm.tmItalic = FaceIsItalic(face) || font.fakeItalic ? 255 : 0;
    // Never underlined nor struck out: no call asks for either, and the text
    // calls draw neither.
    // TMPF_FIXED_PITCH (1) means variable pitch; then vector (2) and TrueType (4).
    tm.tmPitchAndFamily = static_cast<BYTE>((IsFixedPitch(face) ? 0 : 1) | 2 | (FT_IS_SFNT(face) ? 4 : 0));
    tm.tmCharSet = 0;
    return tm;
}

// Whether the font's gasp table asks for no greyscale at this em. Synthesised
// styles stay antialiased, as GDI keeps them.
bool GaspAsksForAliasing(FT_Face face, int ppem) {
    const FT_Int flags = FT_Get_Gasp(face, static_cast<FT_UInt>(ppem));
    return flags != FT_GASP_NO_TABLE && (flags & FT_GASP_DO_GRAY) == 0;
}

constexpr hb_position_t kUnknownAdvance = INT32_MIN;

void CachedAdvances(hb_font_t* font, void* fontData, unsigned count, const hb_codepoint_t* glyph, unsigned glyphStride,
                    hb_position_t* advance, unsigned advanceStride, void*) {
    std::vector<hb_position_t>& known = static_cast<SizedFont*>(fontData)->advances;
    hb_font_t* parent = hb_font_get_parent(font);
    for (unsigned i = 0; i < count; ++i) {
        const hb_codepoint_t id = *glyph;
        hb_position_t value = id < known.size() ? known[id] : kUnknownAdvance;
        if (value == kUnknownAdvance) {
            value = hb_font_get_glyph_h_advance(parent, id);
            if (id < known.size()) known[id] = value;
        }
        *advance = value;
        glyph = reinterpret_cast<const hb_codepoint_t*>(reinterpret_cast<const char*>(glyph) + glyphStride);
        advance = reinterpret_cast<hb_position_t*>(reinterpret_cast<char*>(advance) + advanceStride);
    }
}

constexpr hb_codepoint_t kKeptGlyphIds = SizedFont::kKeptGlyphIds;
constexpr size_t kGlyphIdPage = SizedFont::kGlyphIdPage;
constexpr uint32_t kMissingGlyph = SizedFont::kMissingGlyph;

// The face's glyph for `unicode` from the kept pages, asked of FreeType once.
bool NominalGlyph(SizedFont& sized, hb_font_t* parent, hb_codepoint_t unicode, hb_codepoint_t* glyph) {
    if (unicode >= kKeptGlyphIds) return hb_font_get_nominal_glyph(parent, unicode, glyph);
    std::unique_ptr<uint32_t[]>& page = sized.glyphIds[unicode / kGlyphIdPage];
    if (!page) {
        page.reset(new (std::nothrow) uint32_t[kGlyphIdPage]());
        if (!page) return hb_font_get_nominal_glyph(parent, unicode, glyph);
    }
    uint32_t& known = page[unicode % kGlyphIdPage];
    if (known == 0) {
        hb_codepoint_t id = 0;
        known = hb_font_get_nominal_glyph(parent, unicode, &id) ? id + 1 : kMissingGlyph;
    }
    if (known == kMissingGlyph) return false;
    *glyph = known - 1;
    return true;
}

hb_bool_t CachedNominalGlyph(hb_font_t* font, void* fontData, hb_codepoint_t unicode, hb_codepoint_t* glyph, void*) {
    return NominalGlyph(*static_cast<SizedFont*>(fontData), hb_font_get_parent(font), unicode, glyph);
}

unsigned CachedNominalGlyphs(hb_font_t* font, void* fontData, unsigned count, const hb_codepoint_t* unicode,
                             unsigned unicodeStride, hb_codepoint_t* glyph, unsigned glyphStride, void*) {
    for (unsigned i = 0; i < count; ++i) {
        if (!CachedNominalGlyph(font, fontData, *unicode, glyph, nullptr)) return i;
        unicode = reinterpret_cast<const hb_codepoint_t*>(reinterpret_cast<const char*>(unicode) + unicodeStride);
        glyph = reinterpret_cast<hb_codepoint_t*>(reinterpret_cast<char*>(glyph) + glyphStride);
    }
    return count;
}

// The shaper's font functions: FreeType's, with the glyph ids and advances
// kept.
hb_font_funcs_t* CachingFuncs() {
    static hb_font_funcs_t* funcs = [] {
        hb_font_funcs_t* made = hb_font_funcs_create();
        hb_font_funcs_set_nominal_glyph_func(made, CachedNominalGlyph, nullptr, nullptr);
        hb_font_funcs_set_nominal_glyphs_func(made, CachedNominalGlyphs, nullptr, nullptr);
        hb_font_funcs_set_glyph_h_advances_func(made, CachedAdvances, nullptr, nullptr);
        hb_font_funcs_make_immutable(made);
        return made;
    }();
    return funcs;
}

// The strike colour bitmaps are scaled from: the smallest at least as large
// as the em (scaled down, they stay sharp), else the largest; -1 for none.
int ColourStrike(FT_Face face, int ppem) {
    if (!FT_HAS_COLOR(face) || !FT_HAS_FIXED_SIZES(face)) return -1;
    int best = -1;
    for (int i = 0; i < face->num_fixed_sizes; ++i) {
        const FT_Pos size = face->available_sizes[i].y_ppem,
                     bestSize = best < 0 ? 0 : face->available_sizes[best].y_ppem;
        const bool large = size >= FT_Pos(ppem) * 64, bestLarge = bestSize >= FT_Pos(ppem) * 64;
        if (best < 0 || (large && (!bestLarge || size < bestSize)) || (!large && !bestLarge && size > bestSize))
            best = i;
    }
    return best;
}

// The shaper's font: FreeType's hinted outlines, or, for a face of colour
// bitmaps alone, HarfBuzz's reading of its metrics tables scaled to the em
// (FreeType gives such a face's metrics at the strike's size).
hb_font_t* ShaperParent(const SizedFont& font) {
    if (!FT_IS_SCALABLE(font.face)) {
        hb_face_t* tables = hb_ft_face_create(font.face, nullptr);
        hb_font_t* parent = hb_font_create(tables);
        hb_face_destroy(tables);  // the font holds it
        hb_font_set_scale(parent, font.ppem * 64, font.ppem * 64);
        return parent;
    }
    hb_font_t* freetype = hb_ft_font_create(font.face, nullptr);
    // Hinted advances in whole pixels, as GDI lays glyphs out.
    if (freetype && freetype != hb_font_get_empty())
        hb_ft_font_set_load_flags(freetype, FT_LOAD_DEFAULT | FT_LOAD_IGNORE_GLOBAL_ADVANCE_WIDTH);
    return freetype;
}

std::unique_ptr<SizedFont> MakeSizedFont(const SizedFontKey& key) {
    std::unique_ptr<SizedFont> font(new (std::nothrow) SizedFont);
    if (!font) return nullptr;
    font->key = key;
    font->face = OpenFace(key.source);
    // Only outline faces scale to any height, as GDI's TrueType fonts do; and
    // faces of colour bitmaps (emoji), whose strikes are scaled.
    if (!font->face) return nullptr;
    // FreeType leaves the em of a face without outlines at 0.
    auto* head = static_cast<const TT_Header*>(FT_Get_Sfnt_Table(font->face, FT_SFNT_HEAD));
    font->unitsPerEm = font->face->units_per_EM ? font->face->units_per_EM : head ? head->Units_Per_EM : 0;
    if (font->unitsPerEm == 0) return nullptr;
    FT_Select_Charmap(font->face, FT_ENCODING_UNICODE);
    font->ppem = static_cast<int>(PpemForHeight(font->face, font->unitsPerEm, key.height));
    font->colour = FT_HAS_COLOR(font->face);
    font->strike = ColourStrike(font->face, font->ppem);
    if (FT_IS_SCALABLE(font->face) ? FT_Set_Pixel_Sizes(font->face, 0, static_cast<FT_UInt>(font->ppem)) != 0
                                   : font->strike < 0 || FT_Select_Size(font->face, font->strike) != 0)
        return nullptr;
    font->fakeBold = key.bold && !FaceIsBold(font->face);
    font->fakeItalic = key.italic && !FaceIsItalic(font->face);
    font->metrics = Metrics(*font);
    font->aliased = !font->fakeBold && !font->fakeItalic && GaspAsksForAliasing(font->face, font->ppem);
    auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(font->face, FT_SFNT_OS2));
    if (os2 && IsFixedPitch(font->face)) {
        const FT_Long scale = FT_MulDiv(font->ppem, 1 << 16, font->unitsPerEm);
        font->fullWidth = static_cast<int>(FT_MulFix(2 * os2->xAvgCharWidth, scale));
        font->doubleHalfWidth = 2 * static_cast<int>(FT_MulFix(os2->xAvgCharWidth, scale));
    }
    font->sideways = key.sideways;
    font->quarterTurns = key.quarterTurns;

    hb_font_t* parent = ShaperParent(*font);
    if (!parent || parent == hb_font_get_empty()) return nullptr;
    font->shaper = hb_font_create_sub_font(parent);
    hb_font_destroy(parent);  // the shaper holds it
    if (font->shaper == hb_font_get_empty()) {
        font->shaper = nullptr;
        return nullptr;
    }
    font->advances.assign(static_cast<size_t>(font->face->num_glyphs), kUnknownAdvance);
    font->glyphIds.resize(kKeptGlyphIds / kGlyphIdPage);
    hb_font_set_funcs(font->shaper, CachingFuncs(), font.get(), nullptr);
    return font;
}

// The sized fonts made so far, most recently used first (kKeptSizedFonts of
// them). A font in use stays alive with its users when it falls out of the list.
std::mutex cacheLock;
std::vector<std::pair<SizedFontKey, std::shared_ptr<SizedFont>>>& Cache() {
    static auto* cache =
        new std::vector<std::pair<SizedFontKey, std::shared_ptr<SizedFont>>>;  // outlives static destructors
    return *cache;
}

}  // namespace

bool SizedFontKey::operator==(const SizedFontKey& other) const {
    return source.path == other.source.path && source.image == other.source.image &&
           source.index == other.source.index && height == other.height && bold == other.bold &&
           italic == other.italic && sideways == other.sideways && quarterTurns == other.quarterTurns;
}

bool SizedFont::LooksUp(char32_t c) {
    hb_codepoint_t glyph = 0;
    return NominalGlyph(*this, hb_font_get_parent(shaper), c, &glyph);
}

SizedFont::~SizedFont() {
    if (shaper) hb_font_destroy(shaper);
    CloseFace(face);
}

std::shared_ptr<SizedFont> FindSizedFont(const SizedFontKey& key) {
    std::lock_guard<std::mutex> guard(cacheLock);
    auto& cache = Cache();
    auto found = std::find_if(cache.begin(), cache.end(), [&key](const auto& entry) { return entry.first == key; });
    if (found != cache.end()) {
        std::rotate(cache.begin(), found, found + 1);
        return cache.front().second;
    }
    try {
        std::shared_ptr<SizedFont> font(MakeSizedFont(key));
        if (!font) return nullptr;
        if (cache.size() == kKeptSizedFonts) cache.pop_back();
        cache.emplace(cache.begin(), key, font);
        return font;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

}  // namespace textraster::portable
