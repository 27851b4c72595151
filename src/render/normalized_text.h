// The request's text after normalisation, in a zero-filled block that the
// call owns: the first thing both layout entry points obtain.
#pragma once

#include <cstdlib>

#include "text/normalize.h"
#include "textraster.h"

namespace textraster {

class NormalizedText {
   public:
    NormalizedText(const TextChar* text, const TextLayoutParams& p)
        : units_(static_cast<TextChar*>(std::calloc(size_t(TextLength(text)) + 1, sizeof(TextChar)))) {
        if (units_) NormalizeText(text, units_, p.spaceMode, p.newlineMode, p.preserveSpaces, p.leadingSpaceMode);
    }
    ~NormalizedText() { std::free(units_); }
    NormalizedText(const NormalizedText&) = delete;
    NormalizedText& operator=(const NormalizedText&) = delete;

    // False when the block could not be allocated.
    bool ok() const { return units_ != nullptr; }
    const TextChar* get() const { return units_; }

   private:
    TextChar* units_;
};

}  // namespace textraster
