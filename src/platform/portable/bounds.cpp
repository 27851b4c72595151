// SetBoundsRect and GetBoundsRect, as far as the portable layer keeps drawing
// bounds: a bitmap knows the band of rows that may hold anything but zero
// since it was made (PortableBitmap::Drawn), and that band, across the
// bitmap's whole width, is the bound a context reports. GDI reports the
// pixels drawn since the bounds were last reset, so this is never less than
// GDI's bound and equal in rows for a bitmap first drawn after the reset:
// what a caller deciding which rows to read back relies on. Accumulation is
// always on; a context keeps no state of its own for it.
#include "platform/gdi.h"
#include "platform/portable/dc.h"

using textraster::portable::Find;

namespace {

// The rows of the context's bitmap that may have been drawn on; false when
// there are none (the screen's context draws nothing).
bool DrawnRows(const PortableDc& dc, int& top, int& bottom) {
    const PortableBitmap* bitmap = dc.bitmap;
    if (!bitmap) return false;
    top = 0;
    while (top < bitmap->height && !bitmap->Drawn(top)) ++top;
    bottom = top;
    while (bottom < bitmap->height && bitmap->Drawn(bottom)) ++bottom;
    return top < bottom;
}

}  // namespace

UINT SetBoundsRect(HDC dc, const RECT*, UINT) {
    const PortableDc* context = Find<PortableDc>(dc);
    if (!context) return 0;
    int top = 0, bottom = 0;
    return DCB_ENABLE | (DrawnRows(*context, top, bottom) ? DCB_SET : DCB_RESET);
}

UINT GetBoundsRect(HDC dc, RECT* bounds, UINT) {
    const PortableDc* context = Find<PortableDc>(dc);
    if (!context || !bounds) return 0;
    int top = 0, bottom = 0;
    if (!DrawnRows(*context, top, bottom)) {
        *bounds = RECT{0, 0, 0, 0};
        return DCB_RESET;
    }
    *bounds = RECT{0, top, context->bitmap->width, bottom};
    return DCB_SET;
}
