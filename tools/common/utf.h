// The tool's text conversions are the library's own (text/utf.h), under the
// tool's names.
#pragma once

#include <string>

#include "text/utf.h"

namespace textraster::tool {

using Text = std::basic_string<TextChar>;
using textraster::Decoded;
using textraster::DecodeTextFile;
using textraster::Utf8ToUtf16;

// For messages; a null text is empty.
inline std::string Utf16ToUtf8(const TextChar* text) {
    return text ? textraster::Utf16ToUtf8(text) : std::string();
}

}  // namespace textraster::tool
