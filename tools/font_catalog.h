// The fonts the library can draw with, as the platform's font service knows
// them: fontconfig natively, GDI's font enumeration on Windows. The library
// reports no face back, so this is how the tool tells which face a name will
// be drawn in. Fonts this run registered with AddFont are part of it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace textraster::tool {

// Every family name, sorted and each once. `fontFiles` are the files this run
// registered (natively their names are read from the files; on Windows the
// enumeration already holds them).
std::vector<std::string> FontFamilies(const std::vector<std::string>& fontFiles);

// The family that draws the face name (UTF-8) in the style (the record's
// fontStyle). `exact` tells whether the name itself is available, as a family
// or a full name compared as the platform compares them (ignoring case), or
// the platform puts another face in its place. An empty name is the
// platform's default face, which is always exact.
std::string FaceUsed(const std::string& faceName, int32_t fontStyle, const std::vector<std::string>& fontFiles,
                     bool& exact);

}  // namespace textraster::tool
