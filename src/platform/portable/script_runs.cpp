#include "platform/portable/script_runs.h"

#include <fribidi-brackets.h>

#include "platform/portable/kept_scratch.h"

namespace textraster::portable {
namespace {

// Opening brackets waiting for their closing ones, with the script they
// took. Deeper nesting than this is rare in real text; beyond it an opening
// bracket is forgotten and its closing one takes the script before it.
constexpr size_t kOpenBrackets = 64;

struct OpenBracket {
    FriBidiBracketType id;
    hb_script_t script;
};

// The scripts a Chinese or Japanese sentence mixes in every word: kana and
// bopomofo between ideographs neither join nor reorder, and cutting the
// sentence at each change would only shape it in many small pieces.
bool EastAsianWide(hb_script_t script) {
    return script == HB_SCRIPT_HAN || script == HB_SCRIPT_HIRAGANA || script == HB_SCRIPT_KATAKANA ||
           script == HB_SCRIPT_BOPOMOFO;
}

}  // namespace

void ResolveScripts(const FriBidiChar* text, size_t length, std::vector<hb_script_t>& scripts) {
    thread_local std::vector<OpenBracket> open;
    const ReleasedIfLong<OpenBracket> releaseOpen(open);
    open.clear();
    scripts.resize(length);
    hb_unicode_funcs_t* unicode = hb_unicode_funcs_get_default();
    hb_script_t current = HB_SCRIPT_COMMON;
    for (size_t x = 0; x < length; ++x) {
        const hb_script_t own = hb_unicode_script(unicode, text[x]);
        if (OwnScript(own)) {
            // The line's first script: what came before it takes it too.
            if (current == HB_SCRIPT_COMMON) {
                for (size_t k = 0; k < x; ++k) scripts[k] = own;
                for (OpenBracket& bracket : open) bracket.script = own;
            }
            // Ideographs and kana continue a run of either.
            if (!(EastAsianWide(own) && EastAsianWide(current))) current = own;
            scripts[x] = current;
            continue;
        }
        scripts[x] = current;
        // Of ASCII, only these six are brackets: spaces, digits and the rest
        // of its punctuation need no look-up.
        const bool ascii = text[x] < 0x80;
        const FriBidiChar c = text[x];
        const FriBidiBracketType bracket = ascii && c != '(' && c != ')' && c != '[' && c != ']' && c != '{' && c != '}'
                                               ? FRIBIDI_NO_BRACKET
                                               : fribidi_get_bracket(c);
        if (bracket == FRIBIDI_NO_BRACKET) continue;
        if (FRIBIDI_IS_BRACKET_OPEN(bracket)) {
            if (open.size() < kOpenBrackets) open.push_back({FRIBIDI_BRACKET_ID(bracket), current});
            continue;
        }
        for (size_t k = open.size(); k-- > 0;) {
            if (open[k].id != FRIBIDI_BRACKET_ID(bracket)) continue;
            // The pair shares a script, and what follows the pair continues it.
            scripts[x] = current = open[k].script;
            open.resize(k);
            break;
        }
    }
}

}  // namespace textraster::portable
