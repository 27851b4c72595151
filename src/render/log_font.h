// The one font description shared by every entry point that makes a font.
#pragma once

#include <cstdint>

#include "platform/gdi.h"
#include "textraster.h"

namespace textraster {

// Fills a LOGFONTW from the fixed template: `height` as the entry point forms
// it (positive: cell height; negative: character height), the face name (or
// null for the system's choice), the style code, and vertical setting, which
// asks for the face's "@" variant with the baseline turned downwards.
// A face name too long for lfFaceName is cut at its limit.
LOGFONTW BuildLogFont(int32_t height, const TextChar* faceName, int32_t fontStyle, bool vertical);

}  // namespace textraster
