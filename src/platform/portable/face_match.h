// Which face a LOGFONTW's face name and style ask for.
#pragma once

#include <string_view>

#include "platform/portable/face.h"

namespace textraster::portable {

// Privately registered faces first, then the installed ones through
// fontconfig: by family name, then by full name. A name that nothing knows,
// or an empty one, gets what fontconfig substitutes (its default sans face
// for an empty name), as Windows substitutes the closest font. Empty only
// when there is no font at all.
FaceSource MatchFace(std::u16string_view faceName, bool bold, bool italic);

}  // namespace textraster::portable
