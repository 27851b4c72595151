// Text files in the encodings people have them in: UTF-8 with or without a
// byte-order mark, UTF-16 with or without one, and the legacy code pages of
// older files (code_pages.h). One set of rules on every platform:
//
//   1. a byte-order mark names UTF-8 or UTF-16;
//   2. NUL bytes, which no 8-bit text holds, mostly at odd offsets make
//      UTF-16 little-endian, mostly at even offsets big-endian;
//   3. bytes that are valid UTF-8 are UTF-8;
//   4. so are bytes whose lines are mostly valid UTF-8 with letters beyond
//      ASCII: a UTF-8 file with a few broken bytes, which are then reported;
//   5. anything else is in a legacy code page, which the platform guesses.
//
// A name given (--encoding) replaces the rules. ISO-8859-1 is read as
// windows-1252, its superset, as web browsers read it: files called Latin-1
// use its gaps for curly quotes and dashes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "utf.h"

namespace textraster::tool {

struct DecodedFile {
    Text text;             // without a byte-order mark
    std::string encoding;  // "UTF-8", "UTF-16LE", "UTF-16BE", or a code page's lower-case name
    std::string how;       // how the encoding was chosen, for the status line
    std::string error;     // empty on success: then what cannot be decoded, with its line
};

// The bytes decoded as `encoding` names, or by the rules when it is empty.
DecodedFile DecodeText(const std::vector<uint8_t>& bytes, const std::string& encoding);

}  // namespace textraster::tool
