#include "platform/portable/dc.h"

#include <cstring>
#include <new>

using textraster::portable::DeleteDcObject;
using textraster::portable::DeleteGdiObject;
using textraster::portable::Find;
using textraster::portable::PortableObject;
using textraster::portable::Register;
using textraster::portable::Reselect;

namespace textraster::portable {

PortableFont* CurrentFont(PortableDc& dc) {
    return dc.font ? dc.font : DefaultFont();
}

}  // namespace textraster::portable

namespace {

HDC NewDc(PortableBitmap* surface) {
    std::unique_ptr<PortableDc> dc(new (std::nothrow) PortableDc(surface));
    if (!dc) return nullptr;
    PortableDc* raw = dc.get();
    if (!Register(std::move(dc))) return nullptr;
    Reselect(nullptr, surface);
    return raw;
}

}  // namespace

HDC GetDC(HWND window) {
    if (window) return nullptr;  // there are no windows here
    return NewDc(nullptr);
}

int ReleaseDC(HWND window, HDC handle) {
    PortableDc* dc = Find<PortableDc>(handle);
    return !window && dc && !dc->bitmap && DeleteDC(handle) ? 1 : 0;
}

HDC CreateCompatibleDC(HDC dc) {
    if (dc && !Find<PortableDc>(dc)) return nullptr;
    PortableBitmap* stock = textraster::portable::StockBitmap();
    return stock ? NewDc(stock) : nullptr;
}

BOOL DeleteDC(HDC handle) {
    PortableDc* dc = Find<PortableDc>(handle);
    if (!dc) return FALSE;
    // Let go of what the context holds, so that objects deleted while
    // selected are freed now.
    Reselect(dc->font, nullptr);
    Reselect(dc->bitmap, nullptr);
    dc->font = nullptr;
    dc->bitmap = nullptr;
    return DeleteDcObject(handle) ? TRUE : FALSE;
}

HGDIOBJ SelectObject(HDC handle, HGDIOBJ object) {
    PortableDc* dc = Find<PortableDc>(handle);
    if (!dc) return nullptr;
    if (auto* font = Find<PortableFont>(object)) {
        PortableFont* previous = textraster::portable::CurrentFont(*dc);
        Reselect(dc->font, font);
        dc->font = font;
        return previous;
    }
    if (auto* bitmap = Find<PortableBitmap>(object)) {
        // The screen holds no bitmap, and a bitmap lives in one context at a time.
        if (!dc->bitmap) return nullptr;
        if (bitmap == dc->bitmap) return bitmap;
        if (!bitmap->stock && textraster::portable::IsSelected(*bitmap)) return nullptr;
        PortableBitmap* previous = dc->bitmap;
        Reselect(previous, bitmap);
        dc->bitmap = bitmap;
        return previous;
    }
    return HGDI_ERROR;
}

int GetObjectW(HGDIOBJ object, int size, LPVOID out) {
    if (auto* bitmap = Find<PortableBitmap>(object)) {
        if (!out) return sizeof(BITMAP);
        if (size < static_cast<int>(sizeof(BITMAP))) return 0;
        BITMAP description;
        std::memset(&description, 0, sizeof description);
        description.bmWidth = bitmap->width;
        description.bmHeight = bitmap->height;
        description.bmWidthBytes = static_cast<LONG>((int64_t(bitmap->width) * bitmap->bitsPixel + 15) / 16 * 2);
        description.bmPlanes = 1;
        description.bmBitsPixel = static_cast<WORD>(bitmap->bitsPixel);
        std::memcpy(out, &description, sizeof description);
        return sizeof(BITMAP);
    }
    if (auto* font = Find<PortableFont>(object)) {
        if (!out) return sizeof(LOGFONTW);
        if (size < static_cast<int>(sizeof(LOGFONTW))) return 0;
        std::memcpy(out, &font->logFont, sizeof(LOGFONTW));
        return sizeof(LOGFONTW);
    }
    return 0;
}

BOOL DeleteObject(HGDIOBJ object) {
    return DeleteGdiObject(object) ? TRUE : FALSE;
}

UINT GetTextAlign(HDC handle) {
    PortableDc* dc = Find<PortableDc>(handle);
    return dc ? dc->textAlign : GDI_ERROR;
}

UINT SetTextAlign(HDC handle, UINT align) {
    PortableDc* dc = Find<PortableDc>(handle);
    if (!dc) return GDI_ERROR;
    UINT previous = dc->textAlign;
    dc->textAlign = align;
    return previous;
}

COLORREF SetTextColor(HDC handle, COLORREF color) {
    PortableDc* dc = Find<PortableDc>(handle);
    if (!dc) return CLR_INVALID;
    COLORREF previous = dc->textColor;
    dc->textColor = color;
    return previous;
}

COLORREF SetBkColor(HDC handle, COLORREF color) {
    PortableDc* dc = Find<PortableDc>(handle);
    if (!dc) return CLR_INVALID;
    COLORREF previous = dc->backColor;
    dc->backColor = color;
    return previous;
}

int SetBkMode(HDC handle, int mode) {
    PortableDc* dc = Find<PortableDc>(handle);
    if (!dc || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
    int previous = dc->backMode;
    dc->backMode = mode;
    return previous;
}

BOOL SetOpacitySurface(HDC handle, BOOL opacities) {
    PortableDc* dc = Find<PortableDc>(handle);
    if (!dc) return FALSE;
    dc->opacitySurface = opacities != FALSE;
    return TRUE;
}
