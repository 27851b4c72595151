// Font objects: a LOGFONTW resolved to a sized font (a face at a pixel size,
// shared process-wide), and what this font object has measured so far.
#pragma once

#include <memory>
#include <mutex>

#include "platform/gdi.h"
#include "platform/portable/font_fallback.h"
#include "platform/portable/portable_object.h"
#include "platform/portable/run_extents.h"
#include "platform/portable/sized_font.h"

struct PortableFont : textraster::portable::PortableObject {
    static constexpr auto kKind = textraster::portable::ObjectKind::Font;

    PortableFont(const LOGFONTW& description, std::shared_ptr<textraster::portable::SizedFont> sizedFont, bool isStock)
        : PortableObject(kKind, isStock), logFont(description), sized(sizedFont), fonts(std::move(sizedFont)) {}

    // Its calls' line scratch goes back to the heap with it, if they grew
    // it beyond what a thread keeps (see LineScratch::ReleaseIfLong).
    ~PortableFont() override { textraster::portable::ThreadLineScratch().ReleaseIfLong(); }

    const LOGFONTW logFont;
    const std::shared_ptr<textraster::portable::SizedFont> sized;

    // The fonts its texts are set in (its sized font and the fallbacks they
    // needed), the runs measured last with them, to answer the extents of
    // their prefixes, and the line drawn last; one thread at a time. Taken
    // before any sized font's lock when both are.
    std::mutex lock;
    textraster::portable::FallbackFonts fonts;
    textraster::portable::RunExtents extents;
    textraster::portable::LastShapedLine drawn;
};

namespace textraster::portable {

// The font of a context that has none selected; null only without any font.
PortableFont* DefaultFont();

}  // namespace textraster::portable
