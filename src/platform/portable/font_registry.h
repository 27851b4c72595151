// Fonts registered privately by this process, from a file or from an image in
// memory. Their faces are found by name before any installed font, and only
// by this process: the registry is the layer's own list, not fontconfig's.
#pragma once

#include <string_view>

#include "platform/portable/face.h"

namespace textraster::portable {

// The registered face that best answers a folded face name and style: a face
// of that family closest in weight and slant, else the face of that full
// name. Empty when no registered face has that name.
FaceSource FindRegisteredFace(std::u16string_view foldedName, bool bold, bool italic);

}  // namespace textraster::portable
