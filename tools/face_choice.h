// The face a request uses, and whether it is the one asked for: --font when
// given (the path of a font file there is taken as --font-file), else the full
// name of the first --font-file, else the default face.
//
// The library draws a face it does not have in another one without a word;
// the tool asks the platform's font service which (font_catalog.h), says so
// on standard error, and with --strict-font refuses to go on.
#pragma once

#include <string>

#include "options.h"
#include "private_fonts.h"

namespace textraster::tool {

struct FaceChoice {
    Text name;              // the record's faceName; empty: the system's choice
    std::string asked;      // the name asked for, UTF-8
    std::string used;       // the name asked for, or the family drawn in its place
    bool replaced = false;  // `used` stands in for a face that is not there
};

// Registers the font files into `fonts` (which keeps them until it ends) and
// chooses the face; false with a message in `error` on failure, or when the
// face is replaced under --strict-font. A replacement is warned about.
bool ChooseFace(const Options& options, PrivateFonts& fonts, FaceChoice& face, std::string& error);

// For status lines: font "DejaVu Sans", or font "DejaVu Sans" instead of "Nonexistent".
std::string Describe(const FaceChoice& face);

}  // namespace textraster::tool
