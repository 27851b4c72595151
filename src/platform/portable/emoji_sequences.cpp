#include "platform/portable/emoji_sequences.h"

#include "platform/portable/emoji_properties.h"

namespace textraster::portable {
namespace {

constexpr uint32_t kZeroWidthJoiner = 0x200D;
constexpr uint32_t kCombiningKeycap = 0x20E3;

bool IsRegionalIndicator(uint32_t c) {
    return c >= 0x1F1E6 && c <= 0x1F1FF;
}

bool IsTag(uint32_t c) {
    return c >= 0xE0020 && c <= 0xE007F;
}

bool IsKeycapBase(uint32_t c) {
    return (c >= '0' && c <= '9') || c == '#' || c == '*';
}

// Nothing below U+00A9 but the keycap bases has an emoji property, and
// nothing from there to U+203C: text without emoji is told at a glance.
uint8_t PropertiesOf(uint32_t c) {
    return c < 0x203C && c != 0xA9 && c != 0xAE && !IsKeycapBase(c) ? 0 : EmojiProperties(c);
}

// How a character is presented by itself.
Presentation Own(uint32_t c, uint8_t properties) {
    return (properties & kEmojiPresentation) || IsRegionalIndicator(c) ? Presentation::kEmoji : Presentation::kText;
}

}  // namespace

void ResolvePresentation(const uint32_t* text, size_t length, std::vector<Presentation>& out) {
    out.assign(length, Presentation::kText);
    bool inEmoji = false;    // the character before is a part of an emoji
    size_t flagLetters = 0;  // regional indicators in a row so far
    for (size_t i = 0; i < length; ++i) {
        const uint32_t c = text[i];
        const uint8_t properties = PropertiesOf(c);
        flagLetters = IsRegionalIndicator(c) ? flagLetters + 1 : 0;
        const uint32_t before = i > 0 ? text[i - 1] : 0;
        const bool joined = before == kZeroWidthJoiner && (properties & (kEmoji | kExtendedPictographic));
        const bool toned = (properties & kEmojiModifier) && (PropertiesOf(before) & kEmojiModifierBase);
        const bool continues = c == kEmojiPresentationSelector || c == kCombiningKeycap || c == kZeroWidthJoiner ||
                               IsTag(c) || joined || toned || (flagLetters > 0 && flagLetters % 2 == 0);
        if (inEmoji && continues) {
            out[i] = Presentation::kContinues;
            continue;
        }
        flagLetters = IsRegionalIndicator(c) ? 1 : 0;
        out[i] = Own(c, properties);
        inEmoji = out[i] == Presentation::kEmoji;
    }
}

}  // namespace textraster::portable
