// Fonts registered privately by this process, from a file or from an image in
// memory. Their faces are found by name before any installed font, and only
// by this process: the registry is the layer's own list, not fontconfig's.
#pragma once

#include <fontconfig/fontconfig.h>

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/portable/character_coverage.h"
#include "platform/portable/face.h"

namespace textraster::portable {

// The registered face that best answers a folded face name and style: a face
// of that family closest in weight and slant, else the face of that full
// name. Empty when no registered face has that name.
FaceSource FindRegisteredFace(std::u16string_view foldedName, bool bold, bool italic);

// A registered face and the characters it has, for font fallback.
struct RegisteredCoverage {
    FaceSource source;
    std::shared_ptr<const CharacterCoverage> coverage;
    bool bold;
    bool italic;
    bool colour;  // has glyphs in colours of their own
};

// Every registered face, in the order of registration, and the count of
// registrations and removals so far: what is derived from the list stays
// true while the count stays the same.
std::vector<RegisteredCoverage> RegisteredFaces(uint64_t& generation);
uint64_t RegistryGeneration();

}  // namespace textraster::portable
