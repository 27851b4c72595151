#include "platform/portable/character_coverage.h"

#include <fontconfig/fcfreetype.h>

#include <algorithm>
#include <new>

namespace textraster::portable {

CharacterCoverage::CharacterCoverage(FcCharSet* cached) : shared_(FcCharSetCopy(cached)) {}

CharacterCoverage::CharacterCoverage(FT_Face face) {
    const std::unique_ptr<FcCharSet, void (*)(FcCharSet*)> set(FcFreeTypeCharSet(face, nullptr), FcCharSetDestroy);
    if (!set) throw std::bad_alloc();
    Page page;
    FcChar32 next = 0;
    for (FcChar32 base = FcCharSetFirstPage(set.get(), page.data(), &next); base != FC_CHARSET_DONE;
         base = FcCharSetNextPage(set.get(), page.data(), &next)) {
        bases_.push_back(base);
        pages_.push_back(page);
    }
}

CharacterCoverage::~CharacterCoverage() {
    if (shared_) FcCharSetDestroy(shared_);
}

bool CharacterCoverage::Has(char32_t c) const {
    if (shared_) return FcCharSetHasChar(shared_, c);
    const FcChar32 base = c & ~FcChar32(0xFF);
    const auto found = std::lower_bound(bases_.begin(), bases_.end(), base);
    if (found == bases_.end() || *found != base) return false;
    const Page& page = pages_[size_t(found - bases_.begin())];
    return (page[(c & 0xFF) >> 5] >> (c & 31)) & 1;
}

}  // namespace textraster::portable
