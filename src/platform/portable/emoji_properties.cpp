#include "platform/portable/emoji_properties.h"

#include <algorithm>
#include <iterator>

namespace textraster::portable {
namespace {

struct EmojiRange {
    char32_t first;
    char32_t last;
    uint8_t properties;
};

constexpr EmojiRange kEmojiRanges[] = {
#include "platform/portable/emoji_table.inc"
};

}  // namespace

uint8_t EmojiProperties(char32_t c) {
    // The last range that starts at or before c.
    const EmojiRange* after =
        std::upper_bound(std::begin(kEmojiRanges), std::end(kEmojiRanges), c,
                         [](char32_t point, const EmojiRange& range) { return point < range.first; });
    if (after == std::begin(kEmojiRanges)) return 0;
    const EmojiRange& range = *(after - 1);
    return c <= range.last ? range.properties : 0;
}

}  // namespace textraster::portable
