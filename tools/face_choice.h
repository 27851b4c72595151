// The face name a request uses: --font when given, else the full name of the
// first --font-file, else the default face.
#pragma once

#include <string>

#include "options.h"
#include "private_fonts.h"

namespace textraster::tool {

// Registers the --font-file fonts into `fonts` (which keeps them until it
// ends) and sets `face`; false with a message in `error` on failure.
bool ChooseFace(const Options& options, PrivateFonts& fonts, Text& face, std::string& error);

}  // namespace textraster::tool
