#include "color.h"

#include <algorithm>
#include <cctype>

namespace textraster::tool {
namespace {

struct NamedColor {
    const char* name;
    uint32_t rgb;  // 0xRRGGBB
};

// The CSS colour keywords, in alphabetical order.
constexpr NamedColor kNames[] = {
#include "css_colors.inc"
};

bool IsHex(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return std::isxdigit(uint8_t(c)) != 0; });
}

uint32_t HexDigit(char c) {
    return uint32_t(std::isdigit(uint8_t(c)) ? c - '0' : std::tolower(uint8_t(c)) - 'a' + 10);
}

// 0xRRGGBBAA from 3, 4, 6 or 8 hexadecimal digits.
uint32_t FromHex(std::string_view hex) {
    uint32_t rgba = 0;
    const bool shortForm = hex.size() <= 4;
    for (char c : hex) rgba = shortForm ? rgba << 8 | HexDigit(c) * 0x11 : rgba << 4 | HexDigit(c);
    return hex.size() % 3 == 0 ? rgba << 8 | 0xFF : rgba;
}

uint32_t ToRecord(uint32_t rgba) {
    const uint32_t r = rgba >> 24, g = rgba >> 16 & 0xFF, b = rgba >> 8 & 0xFF, a = rgba & 0xFF;
    return a << 24 | b << 16 | g << 8 | r;
}

}  // namespace

bool ParseColor(std::string_view text, uint32_t& color, std::string& error) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) { return char(std::tolower(uint8_t(c))); });
    if (lower == "transparent") {
        color = 0;
        return true;
    }
    const auto named = std::lower_bound(std::begin(kNames), std::end(kNames), lower,
                                        [](const NamedColor& n, const std::string& s) { return n.name < s; });
    if (named != std::end(kNames) && lower == named->name) {
        color = ToRecord(named->rgb << 8 | 0xFF);
        return true;
    }
    const std::string_view hex = !text.empty() && text[0] == '#' ? text.substr(1) : text;
    const size_t n = hex.size();
    if (!IsHex(hex) || (n != 3 && n != 4 && n != 6 && n != 8)) {
        error = "expected a colour as #RRGGBBAA, #RRGGBB, #RGB or a CSS colour name (red, navy, ...), got '" +
                std::string(text) + "'";
        return false;
    }
    color = ToRecord(FromHex(hex));
    return true;
}

}  // namespace textraster::tool
