// The script HarfBuzz shapes each code point of a line in. A line is cut into
// items of one script, so that every word is shaped by its own script's
// rules: Arabic joins, Indic conjuncts form and matras move, whatever script
// comes before them in the line.
#pragma once

#include <fribidi.h>
#include <hb.h>

#include <cstddef>
#include <vector>

namespace textraster::portable {

// The Unicode Script property of each code point, with the characters that
// have no script of their own (Common, Inherited and unassigned: spaces,
// digits, punctuation, marks) taking the script of the characters before
// them, so that digits and punctuation between two scripts never cut a word
// from its marks; those at the line's start take the script of the first
// character after them that has one, and a closing bracket takes the script
// of the opening bracket it pairs with. Han, hiragana, katakana and
// bopomofo continue each other's runs, in the script of the run's first. A
// line without any script of its own is HB_SCRIPT_COMMON throughout.
//
// Everything but the line's start is decided by what comes before: a prefix
// that holds the line's first character with a script of its own has the
// line's scripts.
void ResolveScripts(const FriBidiChar* text, size_t length, std::vector<hb_script_t>& scripts);

// Whether a character of this script has a script of its own.
inline bool OwnScript(hb_script_t script) {
    return script != HB_SCRIPT_COMMON && script != HB_SCRIPT_INHERITED && script != HB_SCRIPT_UNKNOWN;
}

}  // namespace textraster::portable
