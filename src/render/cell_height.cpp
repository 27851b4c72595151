// GetFontCharacterCellHeight: the cell height (what TextLayoutParams.fontHeight
// expects) of a font matched by its character height.
#include "platform/gdi.h"
#include "render/gdi_handles.h"
#include "render/log_font.h"
#include "textraster.h"

using namespace textraster;

extern "C" TEXTRASTER_API int32_t TEXTRASTER_CALL GetFontCharacterCellHeight(const TextChar* faceName,
                                                                             int32_t characterHeight, int32_t fontStyle,
                                                                             uint8_t* cellHeight) {
    const int32_t height = characterHeight & 0xFF;
    if (height == 0 || !cellHeight) return TR_INVALID_ARGUMENT;

    ScreenDc screen;
    // A negative height asks for the character height, internal leading excluded.
    const LOGFONTW description = BuildLogFont(-height, faceName, fontStyle, false);
    GdiObject<HFONT> font(CreateFontIndirectW(&description));
    Selection selected(screen.get(), font.get());
    TEXTMETRICW metrics{};
    if (!GetTextMetricsW(screen.get(), &metrics)) {
        *cellHeight = 0;
        return TR_NO_FONT_METRICS;
    }
    *cellHeight = uint8_t(metrics.tmHeight);
    return TR_OK;
}
