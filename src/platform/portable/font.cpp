#include "platform/portable/font.h"

#include <mutex>
#include <new>

#include "platform/portable/dc.h"
#include "platform/portable/face_match.h"

using namespace textraster::portable;

namespace {

// Weights above this are bold: halfway between medium (500), the heaviest a
// regular face reports, and semibold (600), the lightest a bold one does
// (see Metrics in sized_font.cpp).
constexpr LONG kBoldAbove = 550;

std::unique_ptr<PortableFont> MakeFont(const LOGFONTW& description, bool stock) {
    size_t length = 0;
    while (length < LF_FACESIZE && description.lfFaceName[length]) ++length;
    std::u16string_view name(description.lfFaceName, length);
    SizedFontKey key;
    if (!name.empty() && name.front() == u'@') {
        key.sideways = true;
        name.remove_prefix(1);
    }
    // lfWidth is not honoured: every font gets its face's own width, which is
    // what a width of 0 asks for.
    key.bold = description.lfWeight > kBoldAbove;
    key.italic = description.lfItalic != 0;
    // lfUnderline and lfStrikeOut are not honoured either: the library asks
    // for neither.
    key.height = description.lfHeight;
    // Escapement in tenths of a degree, to the nearest quarter turn: three
    // quarters (2700) set vertical lines downwards; the library asks for no
    // other turn, and any other is drawn unturned.
    const long tenths = ((static_cast<long>(description.lfEscapement) % 3600) + 3600) % 3600;
    key.quarterTurns = ((tenths + 450) / 900) % 4 == 3 ? 3 : 0;
    key.source = MatchFace(name, key.bold, key.italic);
    if (key.source.Empty()) return nullptr;
    std::shared_ptr<SizedFont> sized = FindSizedFont(key);
    if (!sized) return nullptr;
    return std::unique_ptr<PortableFont>(new (std::nothrow) PortableFont(description, std::move(sized), stock));
}

}  // namespace

namespace textraster::portable {

PortableFont* DefaultFont() {
    // Made on first use; a failure is not remembered (see StockBitmap).
    static std::mutex lock;
    static PortableFont* stock = nullptr;
    std::lock_guard<std::mutex> guard(lock);
    if (!stock) {
        LOGFONTW description{};
        description.lfWeight = FW_NORMAL;
        try {
            auto font = MakeFont(description, true);
            stock = font ? static_cast<PortableFont*>(Register(std::move(font))) : nullptr;
        } catch (const std::bad_alloc&) {
            return nullptr;
        }
    }
    return stock;
}

}  // namespace textraster::portable

HFONT CreateFontIndirectW(const LOGFONTW* description) try {
    if (!description) return nullptr;
    auto font = MakeFont(*description, false);
    return font ? static_cast<HFONT>(Register(std::move(font))) : nullptr;
} catch (const std::bad_alloc&) {
    return nullptr;  // out of memory: no font, as the platform reports it
}

BOOL GetTextMetricsW(HDC handle, TEXTMETRICW* metrics) {
    PortableDc* dc = Find<PortableDc>(handle);
    PortableFont* font = dc ? CurrentFont(*dc) : nullptr;
    if (!font || !metrics) return FALSE;
    *metrics = font->sized->metrics;
    return TRUE;
}
