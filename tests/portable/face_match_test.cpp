// Which installed face a face name and style find.
#include "platform/portable/face_match.h"

#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "text/utf.h"

namespace textraster::portable {
namespace {

// Families installed both in Type 1 and in TrueType or OpenType form.
std::set<std::string> FamiliesInBothForms() {
    std::set<std::string> sfnt, other;
    FcPattern* any = FcPatternCreate();
    FcObjectSet* properties = FcObjectSetBuild(FC_FAMILY, FC_FONTFORMAT, nullptr);
    FcFontSet* fonts = FcFontList(nullptr, any, properties);
    for (int i = 0; fonts && i < fonts->nfont; ++i) {
        FcChar8 *family = nullptr, *format = nullptr;
        if (FcPatternGetString(fonts->fonts[i], FC_FAMILY, 0, &family) != FcResultMatch ||
            FcPatternGetString(fonts->fonts[i], FC_FONTFORMAT, 0, &format) != FcResultMatch)
            continue;
        const std::string name = reinterpret_cast<const char*>(format);
        (name == "TrueType" || name == "CFF" ? sfnt : other).insert(reinterpret_cast<const char*>(family));
    }
    if (fonts) FcFontSetDestroy(fonts);
    FcObjectSetDestroy(properties);
    FcPatternDestroy(any);
    std::set<std::string> both;
    for (const std::string& family : sfnt)
        if (other.count(family)) both.insert(family);
    return both;
}

// GDI reads only TrueType and OpenType faces, so their metrics and outlines
// are the ones to match, even where fontconfig ranks a Type 1 copy of the
// family first (it does for narrow families, whose OpenType faces declare
// their width and the Type 1 ones do not).
TEST(FaceMatch, TakesTheTrueTypeOrOpenTypeFaceOverAType1One) {
    const std::set<std::string> families = FamiliesInBothForms();
    if (families.empty()) GTEST_SKIP() << "no family is installed both as Type 1 and as OpenType";
    for (const std::string& family : families)
        for (int style = 0; style < 4; ++style) {
            const FaceSource source = MatchFace(Utf8ToUtf16(family).text, style & 1, style & 2);
            FT_Face face = OpenFace(source);
            ASSERT_NE(face, nullptr) << family;
            EXPECT_TRUE(FT_IS_SFNT(face)) << family << " style " << style << ": " << source.path;
            CloseFace(face);
        }
}

}  // namespace
}  // namespace textraster::portable
