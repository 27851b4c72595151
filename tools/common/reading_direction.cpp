#include "reading_direction.h"

namespace textraster::tool {
namespace {

struct Range {
    uint32_t first, last;
};

// Right-to-left letters (bidirectional classes R and AL). The digits and marks
// inside these blocks are weak or neutral and listed apart below.
constexpr Range kRightToLeft[] = {
    {0x0590, 0x08FF},    // Hebrew, Arabic, Syriac, Arabic Supplement, Thaana, N'Ko, Samaritan, Mandaic, ...
    {0xFB1D, 0xFDFF},    // Hebrew and Arabic presentation forms A
    {0xFE70, 0xFEFE},    // Arabic presentation forms B
    {0x10800, 0x10FFF},  // Cypriot, Phoenician, Kharoshthi, ... Old Turkic, Hanifi Rohingya, ...
    {0x1E800, 0x1EFFF},  // Mende Kikakui, Adlam, Arabic mathematical letters, ...
};

// Neither direction: controls, spaces, digits, punctuation, symbols and marks
// (the ASCII and Latin-1 ones, the combining marks, and the marks and digits
// of the right-to-left blocks), and the blocks of punctuation and symbols.
constexpr Range kNeutral[] = {
    {0x0000, 0x0040}, {0x005B, 0x0060}, {0x007B, 0x00A9}, {0x00AB, 0x00B4},   {0x00B6, 0x00B9},   {0x00BB, 0x00BF},
    {0x00D7, 0x00D7}, {0x00F7, 0x00F7}, {0x02B9, 0x02BA}, {0x02C2, 0x02CF},   {0x02D2, 0x02DF},   {0x02E5, 0x02ED},
    {0x02EF, 0x036F}, {0x0374, 0x0375}, {0x037E, 0x037E}, {0x0384, 0x0385},   {0x0387, 0x0387},   {0x0483, 0x0489},
    {0x0591, 0x05BD}, {0x05BF, 0x05BF}, {0x05C1, 0x05C2}, {0x05C4, 0x05C5},   {0x05C7, 0x05C7},   {0x0600, 0x060A},
    {0x060C, 0x060C}, {0x060E, 0x061A}, {0x064B, 0x066C}, {0x0670, 0x0670},   {0x06D6, 0x06E4},   {0x06E7, 0x06ED},
    {0x06F0, 0x06F9}, {0x0711, 0x0711}, {0x0730, 0x074A}, {0x07A6, 0x07B0},   {0x07EB, 0x07F5},   {0x0816, 0x082D},
    {0x0859, 0x085B}, {0x0890, 0x089F}, {0x08CA, 0x08FF}, {0x2000, 0x2070},   {0x2074, 0x207E},   {0x2080, 0x208E},
    {0x20A0, 0x20FF}, {0x2190, 0x2BFF}, {0x2E00, 0x2E7F}, {0x3000, 0x3004},   {0x3008, 0x3020},   {0x3030, 0x3030},
    {0x303D, 0x303F}, {0xFD3E, 0xFD4F}, {0xFDFC, 0xFDFF}, {0xFE00, 0xFE6F},   {0xFEFF, 0xFEFF},   {0xFF01, 0xFF20},
    {0xFF3B, 0xFF40}, {0xFF5B, 0xFF65}, {0xFFF0, 0xFFFF}, {0x1F000, 0x1FBFF}, {0xE0000, 0xE0FFF},
};

template <size_t N>
bool In(const Range (&ranges)[N], uint32_t cp) {
    for (const Range& r : ranges)
        if (cp >= r.first && cp <= r.last) return true;
    return false;
}

}  // namespace

Direction FirstStrongDirection(const Text& text) {
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t cp = uint16_t(text[i]);
        if (IsHighSurrogate(cp) && i + 1 < text.size() && IsLowSurrogate(uint16_t(text[i + 1])))
            cp = FromSurrogates(cp, uint16_t(text[++i]));
        if (cp == 0x200E) return Direction::LeftToRight;    // LEFT-TO-RIGHT MARK
        if (cp == 0x200F) return Direction::RightToLeft;    // RIGHT-TO-LEFT MARK
        if (In(kNeutral, cp) || IsSurrogate(cp)) continue;  // a lone surrogate is no letter
        return In(kRightToLeft, cp) ? Direction::RightToLeft : Direction::LeftToRight;
    }
    return Direction::Neutral;
}

}  // namespace textraster::tool
