// Which face a LOGFONTW's face name and style ask for.
#pragma once

#include <fontconfig/fontconfig.h>

#include <string_view>

#include "platform/portable/face.h"

namespace textraster::portable {

// Privately registered faces first, then the installed ones through
// fontconfig: by family name, then by full name. A name that nothing knows,
// or an empty one, gets what fontconfig substitutes (its default sans face
// for an empty name), as Windows substitutes the closest font. Empty only
// when there is no font at all.
FaceSource MatchFace(std::u16string_view faceName, bool bold, bool italic);

// fontconfig's side of it, for font fallback too:
// a pattern asking for a scalable face of this style,
FcPattern* StylePattern(bool bold, bool italic);
// whether a face is one GDI reads (TrueType or OpenType),
bool IsSfnt(FcPattern* font);
// and where a face fontconfig names is.
FaceSource SourceOf(FcPattern* font);

}  // namespace textraster::portable
