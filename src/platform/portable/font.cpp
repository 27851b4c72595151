#include "platform/portable/font.h"

#include <mutex>
#include <new>

#include "platform/portable/dc.h"
#include "platform/portable/face_match.h"

using namespace textraster::portable;

namespace {

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
    key.bold = description.lfWeight > 550;
    key.italic = description.lfItalic != 0;
    key.underline = description.lfUnderline != 0;
    key.strikeOut = description.lfStrikeOut != 0;
    key.height = description.lfHeight;
    // Escapement in tenths of a degree, to the nearest quarter turn.
    const long tenths = ((static_cast<long>(description.lfEscapement) % 3600) + 3600) % 3600;
    key.quarterTurns = static_cast<int>(((tenths + 450) / 900) % 4);
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
