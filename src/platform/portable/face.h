// Font faces: where a face's bytes are, opening it with FreeType, and what
// it is called and how it is styled.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace textraster::portable {

using FontImage = std::vector<unsigned char>;

// A face in a font file, or in a font image that a private registration owns.
struct FaceSource {
    std::string path;
    std::shared_ptr<const FontImage> image;
    long index = 0;

    bool Empty() const { return path.empty() && !image; }
};

// FreeType faces share one library, and FreeType asks that faces be created
// and destroyed one at a time; a face itself is used by one thread at a time.
FT_Face OpenFace(const FaceSource& source);
void CloseFace(FT_Face face);

// The number of faces in a font image, 0 when it is not a font.
long CountFaces(const std::shared_ptr<const FontImage>& image);

// Face names compare as Windows compares them: without regard to case.
std::u16string FoldName(std::u16string_view name);

// The names a LOGFONTW may ask for the face by, folded: its family names
// (legacy and typographic, every language), or its full names.
enum class NameKind { Family, Full };
std::vector<std::u16string> FaceNames(FT_Face face, NameKind kind);

bool FaceIsBold(FT_Face face);
bool FaceIsItalic(FT_Face face);

}  // namespace textraster::portable
