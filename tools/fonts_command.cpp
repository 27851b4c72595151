// textraster fonts: the font families the library can draw with, one a line,
// the --font-file fonts of this run among them.
#include <cstdio>

#include "commands.h"
#include "font_catalog.h"
#include "messages.h"
#include "private_fonts.h"

namespace textraster::tool {

int RunFonts(const Options& options) {
    std::string error;
    PrivateFonts fonts;
    if (!fonts.AddAll(options.fontFiles, nullptr, error)) return Fail(error);
    const std::vector<std::string> families = FontFamilies(options.fontFiles);
    for (const std::string& family : families) std::printf("%s\n", family.c_str());
    Status(options, Format("%u families", unsigned(families.size())));
    return kExitDone;
}

}  // namespace textraster::tool
