// One cue's picture: its lines drawn in their own directions (or the one
// --writing-mode gives), in the style and colour its markup gives, lined up
// as the cue or --align says, fitted with --fit and outlined with --outline.
#pragma once

#include <string>

#include "cue.h"
#include "image.h"
#include "options.h"

namespace textraster::tool {

struct CuePicture {
    Image image;
    uint8_t linePitch = 0;  // the record's, for placing by lines
};

// False with a message in `error` when the cue cannot be drawn; what it was
// drawn with all the same is said in `warning`.
bool DrawCue(const Cue& cue, const Options& options, const Text& face, CuePicture& picture, std::string& error,
             std::string& warning);

}  // namespace textraster::tool
