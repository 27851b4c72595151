// Conversions between the encodings a command line meets (UTF-8 arguments and
// files, UTF-16 files with a byte-order mark) and the library's UTF-16 text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "textraster.h"

namespace textraster::tool {

using Text = std::basic_string<TextChar>;

// A conversion's result: the text, or a message saying where the input is broken.
struct Decoded {
    Text text;
    std::string error;  // empty on success
};

// Strict UTF-8: overlong forms, encoded surrogates, values above U+10FFFF,
// stray continuation bytes and cut sequences are refused.
Decoded Utf8ToUtf16(std::string_view utf8);

// The bytes of a text file: UTF-16 (little- or big-endian) when it starts with
// the matching byte-order mark, otherwise UTF-8 (with or without its mark).
Decoded DecodeTextFile(const std::vector<uint8_t>& bytes);

// For messages: UTF-16 back to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(const TextChar* text);

}  // namespace textraster::tool
