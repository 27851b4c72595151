// textraster fonts: the font families the library can draw with, one a line,
// the --font-file fonts of this run among them.
#include <cstdio>

#include "commands.h"
#include "files.h"
#include "font_catalog.h"
#include "messages.h"
#include "private_fonts.h"

namespace textraster::tool {

int RunFonts(const Options& options) {
    std::string error;
    PrivateFonts fonts;
    if (!fonts.AddAll(options.fontFiles, nullptr, error)) return Fail(error);
    const std::vector<std::string> families = FontFamilies(options.fontFiles);
    std::string list;
    for (const std::string& family : families) list += family + "\n";
    if (!WriteStandardOutput(list, error)) return Fail(error);
    Status(options, Format("%u families", unsigned(families.size())));
    return kExitDone;
}

}  // namespace textraster::tool
