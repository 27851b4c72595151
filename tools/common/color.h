// Colours as a person writes them: hexadecimal notation or a CSS colour name.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace textraster::tool {

// The record's colour (0xAABBGGRR: GDI's colour with the opacity on top) from
// "#RRGGBBAA", "#RRGGBB", "#RGBA" or "#RGB" (the '#' may be left out; no
// opacity means opaque) or from one of the 148 CSS colour names or
// "transparent", in any letter case; false with a message in `error`.
bool ParseColor(std::string_view text, uint32_t& color, std::string& error);

}  // namespace textraster::tool
