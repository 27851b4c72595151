#include "platform/portable/face_match.h"

#include <fontconfig/fontconfig.h>

#include <map>
#include <mutex>
#include <tuple>

#include "platform/portable/font_registry.h"
#include "text/utf.h"

namespace textraster::portable {

FaceSource SourceOf(FcPattern* pattern) {
    FcChar8* file = nullptr;
    int index = 0;
    if (!pattern || FcPatternGetString(pattern, FC_FILE, 0, &file) != FcResultMatch) return FaceSource();
    FcPatternGetInteger(pattern, FC_INDEX, 0, &index);
    return FaceSource{reinterpret_cast<const char*>(file), nullptr, index};
}

FcPattern* StylePattern(bool bold, bool italic) {
    FcPattern* pattern = FcPatternCreate();
    if (!pattern) return nullptr;
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    return pattern;
}

// GDI reads TrueType and OpenType faces only. fontconfig may rank a Type 1
// face of the family first (one that declares no width fits the default
// width better than the OpenType face of a narrow family does).
bool IsSfnt(FcPattern* font) {
    FcChar8* format = nullptr;
    if (FcPatternGetString(font, FC_FONTFORMAT, 0, &format) != FcResultMatch) return false;
    const std::string name = reinterpret_cast<const char*>(format);
    return name == "TrueType" || name == "CFF";
}

namespace {

// fontconfig's answers do not change while the process runs (the installed
// fonts are read once), so the answers are kept.
std::mutex matchLock;
std::map<std::tuple<std::u16string, bool, bool>, FaceSource> matches;
// Hosts name faces freely (a subtitle file names any font): the answers kept
// are bounded, so that many different names cannot grow them without end.
constexpr size_t kMaxMatches = 1024;

bool HasFamily(FcPattern* pattern, std::u16string_view foldedName) {
    FcChar8* family = nullptr;
    for (int i = 0; FcPatternGetString(pattern, FC_FAMILY, i, &family) == FcResultMatch; ++i)
        if (FoldName(Utf8ToUtf16(reinterpret_cast<const char*>(family)).text) == foldedName) return true;
    return false;
}

// The installed face of that family that fits the style best, TrueType or
// OpenType before any other format; or what fontconfig substitutes when the
// family is not installed. `exact` tells which.
FaceSource MatchFamily(const std::string& family, std::u16string_view foldedName, bool bold, bool italic, bool& exact) {
    FcPattern* pattern = StylePattern(bold, italic);
    if (!pattern) return FaceSource();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcFontSet* sorted = FcFontSort(nullptr, pattern, FcFalse, nullptr, &result);
    FcPatternDestroy(pattern);
    FaceSource source;
    exact = false;
    if (sorted && sorted->nfont > 0) {
        FcPattern* best = sorted->fonts[0];
        source = SourceOf(best);
        exact = HasFamily(best, foldedName);
        for (int i = 0; exact && !IsSfnt(best) && i < sorted->nfont && HasFamily(sorted->fonts[i], foldedName); ++i)
            if (IsSfnt(sorted->fonts[i])) {
                source = SourceOf(sorted->fonts[i]);
                break;
            }
    }
    if (sorted) FcFontSetDestroy(sorted);
    return source;
}

FaceSource MatchFullName(const std::string& name) {
    FcPattern* pattern = FcPatternCreate();
    FcObjectSet* properties = FcObjectSetBuild(FC_FILE, FC_INDEX, nullptr);
    FaceSource source;
    if (pattern && properties) {
        FcPatternAddString(pattern, FC_FULLNAME, reinterpret_cast<const FcChar8*>(name.c_str()));
        FcFontSet* fonts = FcFontList(nullptr, pattern, properties);
        if (fonts && fonts->nfont > 0) source = SourceOf(fonts->fonts[0]);
        if (fonts) FcFontSetDestroy(fonts);
    }
    if (properties) FcObjectSetDestroy(properties);
    if (pattern) FcPatternDestroy(pattern);
    return source;
}

FaceSource MatchInstalled(std::u16string_view faceName, std::u16string_view foldedName, bool bold, bool italic) {
    const std::string name = Utf16ToUtf8(faceName);
    bool exact = false;
    FaceSource source = MatchFamily(name.empty() ? "sans-serif" : name, foldedName, bold, italic, exact);
    if (exact || name.empty()) return source;
    FaceSource byFullName = MatchFullName(name);
    return byFullName.Empty() ? source : byFullName;
}

}  // namespace

FaceSource MatchFace(std::u16string_view faceName, bool bold, bool italic) {
    const std::u16string folded = FoldName(faceName);
    if (!folded.empty()) {
        FaceSource registered = FindRegisteredFace(folded, bold, italic);
        if (!registered.Empty()) return registered;
    }
    std::lock_guard<std::mutex> guard(matchLock);
    auto key = std::make_tuple(folded, bold, italic);
    auto found = matches.find(key);
    if (found != matches.end()) return found->second;
    FaceSource source = MatchInstalled(faceName, folded, bold, italic);
    // Nothing found may be fontconfig running out of memory: ask again next time.
    if (matches.size() >= kMaxMatches) matches.clear();
    if (!source.Empty()) matches.emplace(std::move(key), source);
    return source;
}

}  // namespace textraster::portable
