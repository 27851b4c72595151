// Emoji sequences in a line: which characters are drawn as emoji, and which
// carry on the emoji before them (presentation selectors, keycaps, skin
// tones, the second flag letter, tags, characters joined by U+200D), so
// that font fallback keeps each sequence in one face and the face's
// ligatures make it one picture.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace textraster::portable {

enum class Presentation : uint8_t {
    kText,      // drawn as text: the text face where it has the character
    kEmoji,     // the start of an emoji: a colour face first
    kContinues  // a part of the emoji before it: that emoji's face
};

// The presentation of every code point of `text`: an emoji where Unicode
// presents the character so by default (Emoji_Presentation, a flag's
// letters), carried on by what joins it. Each depends on the code point and
// those before it alone, so that a prefix of a line is presented as the line.
void ResolvePresentation(const uint32_t* text, size_t length, std::vector<Presentation>& out);

}  // namespace textraster::portable
