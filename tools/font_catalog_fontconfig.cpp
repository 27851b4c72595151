// The font catalog natively: fontconfig, which the library's own face
// matching asks too: private fonts by their names first, then an installed
// family, then an installed full name, else fontconfig's substitute.
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <memory>

#include "font_catalog.h"
#include "text/font_style.h"

namespace textraster::tool {
namespace {

struct FontSetDeleter {
    void operator()(FcFontSet* set) const { FcFontSetDestroy(set); }
};
using FontSet = std::unique_ptr<FcFontSet, FontSetDeleter>;

struct PatternDeleter {
    void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
using Pattern = std::unique_ptr<FcPattern, PatternDeleter>;

// Face names compared as the library compares them: ASCII and Latin-1
// capitals fold to small letters.
std::string Folded(const std::string& name) {
    std::string out;
    for (size_t i = 0; i < name.size(); ++i) {
        const uint8_t c = uint8_t(name[i]);
        if (c >= 'A' && c <= 'Z') {
            out += char(c + 0x20);
        } else if (c == 0xC3 && i + 1 < name.size() && uint8_t(name[i + 1]) >= 0x80 && uint8_t(name[i + 1]) <= 0x9E &&
                   uint8_t(name[i + 1]) != 0x97) {  // U+00C0-U+00DE but U+00D7 ×
            out += char(c), out += char(uint8_t(name[++i]) + 0x20);
        } else {
            out += char(c);
        }
    }
    return out;
}

std::vector<std::string> Strings(FcPattern* pattern, const char* object) {
    std::vector<std::string> values;
    FcChar8* value = nullptr;
    for (int i = 0; FcPatternGetString(pattern, object, i, &value) == FcResultMatch; ++i)
        values.emplace_back(reinterpret_cast<const char*>(value));
    return values;
}

// The faces of the registered files, as fontconfig reads them.
FontSet FilesFaces(const std::vector<std::string>& fontFiles) {
    FontSet set(FcFontSetCreate());
    for (const std::string& file : fontFiles)
        if (set) FcFreeTypeQueryAll(reinterpret_cast<const FcChar8*>(file.c_str()), -1, nullptr, nullptr, set.get());
    return set;
}

FontSet InstalledFaces() {
    Pattern all(FcPatternCreate());
    FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, FC_FULLNAME, nullptr);
    FontSet set(all && objects ? FcFontList(nullptr, all.get(), objects) : nullptr);
    if (objects) FcObjectSetDestroy(objects);
    return set;
}

// The family of the first face in the set that has the name as a family or a
// full name (families first), or empty.
std::string FamilyNamed(FcFontSet* set, const std::string& folded) {
    for (const bool family : {true, false}) {
        for (int i = 0; set && i < set->nfont; ++i) {
            for (const std::string& name : Strings(set->fonts[i], family ? FC_FAMILY : FC_FULLNAME)) {
                if (Folded(name) != folded) continue;
                const std::vector<std::string> families = Strings(set->fonts[i], FC_FAMILY);
                return family || families.empty() ? name : families[0];
            }
        }
    }
    return "";
}

std::string Substitute(const std::string& faceName, int32_t fontStyle) {
    Pattern pattern(FcPatternCreate());
    if (!pattern) return "";
    const bool bold = StyleIsBold(fontStyle), italic = StyleIsItalic(fontStyle);
    const std::string family = faceName.empty() ? "sans-serif" : faceName;
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern.get(), FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern.get(), FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result;
    Pattern match(FcFontMatch(nullptr, pattern.get(), &result));
    const std::vector<std::string> families = match ? Strings(match.get(), FC_FAMILY) : std::vector<std::string>();
    return families.empty() ? "" : families[0];
}

}  // namespace

std::vector<std::string> FontFamilies(const std::vector<std::string>& fontFiles) {
    std::vector<std::string> families;
    for (const FontSet& set : {FilesFaces(fontFiles), InstalledFaces()})
        for (int i = 0; set && i < set->nfont; ++i)
            for (const std::string& family : Strings(set->fonts[i], FC_FAMILY)) families.push_back(family);
    auto folded = [](const std::string& a, const std::string& b) { return Folded(a) < Folded(b); };
    std::sort(families.begin(), families.end(), folded);
    families.erase(std::unique(families.begin(), families.end(),
                               [](const std::string& a, const std::string& b) { return Folded(a) == Folded(b); }),
                   families.end());
    return families;
}

std::string FaceUsed(const std::string& faceName, int32_t fontStyle, const std::vector<std::string>& fontFiles,
                     bool& exact) {
    exact = true;
    if (faceName.empty()) return Substitute(faceName, fontStyle);
    const std::string folded = Folded(faceName);
    for (const FontSet& set : {FilesFaces(fontFiles), InstalledFaces()}) {
        const std::string family = FamilyNamed(set.get(), folded);
        if (!family.empty()) return family;
    }
    exact = false;
    return Substitute(faceName, fontStyle);
}

}  // namespace textraster::tool
