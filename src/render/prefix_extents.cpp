#include "render/prefix_extents.h"

#include <algorithm>
#include <new>
#include <vector>

#include "render/context_free_text.h"

namespace textraster {

void MeasurePrefixes(HDC dc, const TextChar* start, uint32_t count, uint32_t needed, int32_t limit,
                     MeasuredRuns& measured) {
#ifdef _WIN32
    uint32_t length = 0;
    while (length < count && IsContextFree(start[length])) ++length;
    if (length < needed) return;
    count = length;
#else
    (void)needed;
#endif
    if (count == 0 || count > uint32_t(INT32_MAX)) return;
    try {
        std::vector<INT> partial(count);
        INT fit = 0;
        SIZE size{};
        // What the platform makes of a negative limit is not said: 0 asks for
        // at least as many prefixes, and the walks test each against their own.
        if (!GetTextExtentExPointW(dc, start, INT(count), std::max(limit, 0), &fit, partial.data(), &size)) return;
        measured.RememberPrefixes(start, partial.data(), uint32_t(std::min<INT>(std::max<INT>(fit, 0), INT(count))));
    } catch (const std::bad_alloc&) {
        // Measured prefix by prefix instead.
    }
}

}  // namespace textraster
