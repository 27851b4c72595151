#include "render/log_font.h"

#include "text/font_style.h"

namespace textraster {

LOGFONTW BuildLogFont(int32_t height, const TextChar* faceName, int32_t fontStyle, bool vertical) {
    LOGFONTW font{};
    font.lfHeight = height;
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfOutPrecision = OUT_OUTLINE_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    // Greyscale antialiasing blends all three channels by one coverage, which
    // is what lets the alpha pass's red channel stand for the opacity.
    font.lfQuality = ANTIALIASED_QUALITY;
    font.lfPitchAndFamily = VARIABLE_PITCH | FF_DONTCARE;

    if (faceName) {
        uint32_t at = 0;
        if (vertical) {
            font.lfFaceName[at++] = u'@';
            font.lfEscapement = font.lfOrientation = 2700;
        }
        // Leave room for the terminator: the name is cut, never written past the field.
        for (const TextChar* p = faceName; *p && at < LF_FACESIZE - 1; ++p) font.lfFaceName[at++] = WCHAR(*p);
    }

    if (StyleIsItalic(fontStyle)) font.lfItalic = 1;
    if (StyleIsBold(fontStyle)) font.lfWeight = FW_BOLD;
    return font;
}

}  // namespace textraster
