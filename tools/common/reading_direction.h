// Which way a text reads, from its first strong letter, as the Unicode
// bidirectional algorithm finds a paragraph's direction: a Hebrew, Arabic,
// Syriac, Thaana, N'Ko or other right-to-left letter makes it right to left,
// a letter of any other script left to right; digits, punctuation, symbols,
// marks and spaces are passed over.
#pragma once

#include "utf.h"

namespace textraster::tool {

enum class Direction { Neutral, LeftToRight, RightToLeft };

Direction FirstStrongDirection(const Text& text);

}  // namespace textraster::tool
