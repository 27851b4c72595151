#include "render/extents_ahead.h"

#include <new>
#include <vector>

#include "render/context_free_text.h"

namespace textraster {

#ifdef _WIN32

void MeasureAhead(HDC dc, const TextChar* start, uint32_t count, uint32_t ahead, MeasuredRuns& measured) {
    uint32_t length = 0;
    while (length < ahead && IsContextFree(start[length])) ++length;
    if (length < count || length > uint32_t(INT32_MAX)) return;
    try {
        std::vector<INT> partial(length);
        SIZE size{};
        if (!GetTextExtentExPointW(dc, start, INT(length), 0, nullptr, partial.data(), &size)) return;
        measured.RememberPrefixes(start, partial.data(), length);
    } catch (const std::bad_alloc&) {
        // Measured prefix by prefix instead.
    }
}

int32_t MeasureRunInPlace(HDC dc, const TextChar* start, uint32_t count) {
    SIZE size{};
    GetTextExtentPoint32W(dc, start, int(count), &size);
    return size.cx;
}

#else

void MeasureAhead(HDC dc, const TextChar* start, uint32_t count, uint32_t ahead, MeasuredRuns& measured) {
    if (ahead <= count) return;
    SIZE size{};
    GetTextExtentPoint32W(dc, start, int(ahead), &size);
    measured.Remember(start, ahead, size.cx);
}

int32_t MeasureRunInPlace(HDC dc, const TextChar* start, uint32_t count) {
    SIZE size{};
    GetUnchangedTextExtent(dc, start, int(count), &size);
    return size.cx;
}

#endif

}  // namespace textraster
