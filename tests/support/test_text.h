// Test helpers: texts written as u"..." literals, whatever the platform's
// UTF-16 unit type, and shown readably when an assertion fails.
#pragma once

#include <sstream>
#include <string>
#include <string_view>

#include "textraster.h"

namespace textraster::test {

using Text = std::basic_string<TextChar>;

inline Text T(std::u16string_view s) {
    return Text(s.begin(), s.end());
}

// Printable ASCII as itself, everything else as <hex>.
inline std::string Show(const Text& s) {
    std::ostringstream out;
    for (TextChar c : s) {
        if (c >= 0x21 && c < 0x7F)
            out << char(c);
        else
            out << '<' << std::hex << unsigned(c) << std::dec << '>';
    }
    return out.str();
}

}  // namespace textraster::test
