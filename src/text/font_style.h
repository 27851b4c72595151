// What a request's style code asks of a font: the one reading of fontStyle,
// shared by every entry point and by the hosts that name the face a request
// is drawn in, so that they never disagree about which codes are bold.
#pragma once

#include <cstdint>

#include "textraster.h"

namespace textraster {

// Style codes are whole 32-bit values: 6, 255 or -1 are regular.
inline bool StyleIsItalic(int32_t fontStyle) {
    return fontStyle >= TR_STYLE_ITALIC && fontStyle <= TR_STYLE_BOLD_ITALIC_ALT;
}

inline bool StyleIsBold(int32_t fontStyle) {
    return fontStyle == TR_STYLE_BOLD || fontStyle == TR_STYLE_BOLD_ITALIC || fontStyle == TR_STYLE_BOLD_ITALIC_ALT;
}

}  // namespace textraster
