// The characters a face has, as font fallback asks about them.
#pragma once

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <array>
#include <memory>
#include <vector>

namespace textraster::portable {

// An installed face's set is fontconfig's own, shared from its cache. A
// private face's set is computed by fontconfig and copied into pages of our
// own: fontconfig links a set's pages to it by offsets, which a leak checker
// cannot follow, so a set kept for as long as a registration lives is
// reported as leaked, and a real leak would hide among such reports.
class CharacterCoverage {
   public:
    // Shares `cached`, a set from fontconfig's font list.
    explicit CharacterCoverage(FcCharSet* cached);
    // The characters of `face`'s character maps; throws std::bad_alloc.
    explicit CharacterCoverage(FT_Face face);
    ~CharacterCoverage();
    CharacterCoverage(const CharacterCoverage&) = delete;
    CharacterCoverage& operator=(const CharacterCoverage&) = delete;

    bool Has(char32_t c) const;

   private:
    using Page = std::array<FcChar32, FC_CHARSET_MAP_SIZE>;  // a bit per character of 256
    FcCharSet* shared_ = nullptr;
    std::vector<FcChar32> bases_;  // ascending, each a multiple of 256
    std::vector<Page> pages_;
};

}  // namespace textraster::portable
