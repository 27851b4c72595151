// Device contexts: the screen's (only a model for compatible surfaces and a
// place to measure) and memory contexts that draw into their bitmap.
#pragma once

#include "platform/gdi.h"
#include "platform/portable/bitmap.h"
#include "platform/portable/font.h"
#include "platform/portable/portable_object.h"

struct PortableDc : textraster::portable::PortableObject {
    static constexpr auto kKind = textraster::portable::ObjectKind::Dc;

    explicit PortableDc(PortableBitmap* surface) : PortableObject(kKind), bitmap(surface) {}

    PortableBitmap* bitmap;        // what drawing goes to; null for the screen
    PortableFont* font = nullptr;  // null until one is selected: the default font is used then
    COLORREF textColor = 0x000000;
    COLORREF backColor = 0xFFFFFF;
    int backMode = OPAQUE;
    UINT textAlign = TA_LEFT | TA_TOP;
    bool opacitySurface = false;  // see SetOpacitySurface
};

namespace textraster::portable {

// The font a context measures and draws with: the selected one, or the default.
PortableFont* CurrentFont(PortableDc& dc);

}  // namespace textraster::portable
