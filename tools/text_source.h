// Where the text of render and measure comes from: the TEXT argument,
// standard input ("-") or --text-file.
#pragma once

#include <string>

#include "options.h"
#include "utf.h"

namespace textraster::tool {

// The text as UTF-16, or false with a message in `error`. A file's (or
// standard input's) one final line end is dropped, as shells and editors add
// it; a text holding a NUL character is refused, since the library would end
// the text there.
bool LoadText(const Options& options, Text& text, std::string& error);

}  // namespace textraster::tool
