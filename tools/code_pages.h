// Legacy code pages (the 8-bit ones and the East Asian multi-byte ones), the
// platform's way: libuchardet and iconv natively, the system's code page and
// MultiByteToWideChar on Windows (there is no libuchardet for Windows here).
#pragma once

#include <string>
#include <string_view>

#include "utf.h"

namespace textraster::tool {

// The code page a file that is neither UTF-8 nor UTF-16 is most likely in, as
// a lower-case name ("windows-1252", "koi8-r", "shift_jis"). Natively
// libuchardet guesses it from the bytes' statistics; on Windows it is the
// system's ANSI code page, as Windows programs read such files.
std::string GuessCodePage(std::string_view bytes);

enum class CodePageResult { Decoded, UnknownName, Undecodable };

// The bytes decoded from the named code page (any letter case; natively any
// name iconv knows, on Windows the names of the common code pages and
// "cpNNN"); `text` is set only when they are decoded.
CodePageResult DecodeCodePage(std::string_view bytes, const std::string& name, Text& text);

}  // namespace textraster::tool
