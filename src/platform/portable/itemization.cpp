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
    size_t pile = 0;  // code points attaching to one base so far, up to the item's end
    for (size_t start = 0; start < length;) {
        size_t end = start + 1;
        pile = ClingsToPrevious(codePoints[start]) ? pile + 1 : 0;
        while (end < length && levels[end] == levels[start] && scripts[end] == scripts[start] &&
               fonts[end] == fonts[start]) {
            pile = ClingsToPrevious(codePoints[end]) ? pile + 1 : 0;
            if (pile > kMaxPile) {
                pile = 0;  // counted again as the next item's first
                break;
            }
            ++end;
        }
        items.push_back({start, end, levels[start], scripts[start], fonts[start]});
        start = end;
    }
}

}  // namespace textraster::portable
