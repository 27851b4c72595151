#include "platform/portable/itemization.h"

#include "platform/portable/script_runs.h"
#include "text/utf.h"

namespace textraster::portable {

void ItemizeLine(FallbackFonts& fonts, std::u16string_view text, bool rtlReading, BidiScratch& bidi,
                 ItemizedLine& line) {
    line.codePoints.clear();
    for (size_t i = 0; i < text.size();) line.codePoints.push_back(NextCodePoint(text, i));
    const FriBidiChar* codePoints = line.codePoints.data();
    const size_t length = line.codePoints.size();
    line.leftToRight = BidiLevels(codePoints, length, rtlReading, bidi, line.levels);
    ResolveScripts(codePoints, length, line.scripts);
    fonts.Choose(codePoints, length, line.fonts);
    CutItems(codePoints, line.levels.data(), line.scripts.data(), line.fonts.data(), length, line.items);
}

void CutItems(const FriBidiChar* codePoints, const FriBidiLevel* levels, const hb_script_t* scripts,
              const uint8_t* fonts, size_t length, std::vector<Item>& items) {
    items.clear();
    PileCuts piles;
    size_t start = 0;
    for (size_t x = 0; x < length; ++x) {
        const bool pileCut = piles.CutBefore(codePoints[x]);
        const bool same = levels[x] == levels[start] && scripts[x] == scripts[start] && fonts[x] == fonts[start];
        if (x == 0 || (same && !pileCut)) continue;
        items.push_back({start, x, levels[start], scripts[start], fonts[start]});
        start = x;
    }
    if (length > 0) items.push_back({start, length, levels[start], scripts[start], fonts[start]});
}

}  // namespace textraster::portable
