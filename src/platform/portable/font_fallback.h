// Font fallback: a character the selected face lacks is drawn from another
// face that has it, as the platform's own text layer links fonts: the
// process's private faces first, then the installed faces in fontconfig's
// order for the selected face's family and style. The fallback face is sized
// to the selected face's character (em) height, drawn on the same baseline in
// the same colours, bold and italic synthesised where it lacks them, turned
// as the selected face is; the metrics a font object reports stay the
// selected face's.
#pragma once

#include <fontconfig/fontconfig.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/portable/bidi_levels.h"
#include "platform/portable/character_coverage.h"
#include "platform/portable/sized_font.h"

namespace textraster::portable {

// The faces a sized font falls back to, in the order they are tried.
struct FallbackList {
    struct Face {
        FaceSource source;
        std::shared_ptr<const CharacterCoverage> coverage;
        // Has glyphs in colours of their own (emoji). Installed ones come
        // after the others: for a character drawn as text, a face of text
        // is the better choice.
        bool colour;
    };
    uint64_t generation = 0;  // of the private font registry it was made for
    std::vector<Face> faces;

    // The first face that has `c`; for an emoji, the first colour face that
    // has it, if any. -1 when none has it.
    int Choose(char32_t c, bool emoji) const;
    bool Covers(int position, char32_t c) const;
};

// The list for a sized font's face and style, made once for the registry's
// state and kept (bounded). Never null; empty when nothing can be listed.
std::shared_ptr<const FallbackList> FallbackListFor(const SizedFont& font);

// The fonts one font object draws a text with: its own sized font (index 0)
// and the fallback fonts its texts have needed so far (indices from 1). One
// thread at a time, as the font object is used.
class FallbackFonts {
   public:
    static constexpr size_t kMaxFonts = 256;  // what a font index holds

    explicit FallbackFonts(std::shared_ptr<SizedFont> selected);

    SizedFont& Selected() const { return *fonts_.front(); }
    SizedFont& Font(uint8_t index) const { return *fonts_[index]; }

    // Which font draws each code point of `text`: the selected one where it
    // has the character, else the first fallback face that has it (the
    // answer remembered by the selected font), else the selected one (which
    // then draws its missing-glyph box). A character drawn as an emoji comes
    // from the first colour face that has it, the selected one included,
    // before any face that would draw it as text. Marks and joiners stay in the font
    // of the character before them where that font has them, so a cluster is
    // not torn between faces; spaces, controls and default-ignorable
    // characters never fall back (the shaper has its own answers for them).
    // Each answer depends on the code point and those before it alone, so a
    // prefix of a text is drawn in the fonts the text draws it in.
    // Takes the selected font's lock.
    void Choose(const FriBidiChar* text, size_t length, std::vector<uint8_t>& fonts);

   private:
    uint8_t IndexOf(int position);

    std::vector<std::shared_ptr<SizedFont>> fonts_;
    std::vector<int> positions_;  // per font from index 1: its position in the fallback list
    std::shared_ptr<const FallbackList> list_;
};

}  // namespace textraster::portable
