#include "platform/portable/face.h"

#include FT_SFNT_NAMES_H
#include FT_TRUETYPE_IDS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <mutex>

#include "text/utf.h"

namespace textraster::portable {
namespace {

std::mutex libraryLock;

// Created on first use and kept for the life of the process. A failure (no
// memory) is not remembered, so that a later call can still have fonts. The
// caller holds libraryLock.
FT_Library Library() {
    static FT_Library library = nullptr;
    if (!library && FT_Init_FreeType(&library) != 0) library = nullptr;
    return library;
}

FT_Face OpenLocked(const FaceSource& source, long index) {
    FT_Library library = Library();
    FT_Face face = nullptr;
    if (!library) return nullptr;
    FT_Error error = source.image ? FT_New_Memory_Face(library, source.image->data(),
                                                       static_cast<FT_Long>(source.image->size()), index, &face)
                                  : FT_New_Face(library, source.path.c_str(), index, &face);
    return error ? nullptr : face;
}

std::u16string DecodeName(const FT_SfntName& name) {
    std::u16string out;
    // Windows and Unicode platform names are UTF-16BE; Macintosh Roman ones
    // are read as Latin-1, which agrees with it on every name that matters here.
    if (name.platform_id == TT_PLATFORM_MICROSOFT || name.platform_id == TT_PLATFORM_APPLE_UNICODE) {
        for (FT_UInt i = 0; i + 1 < name.string_len; i += 2)
            out += char16_t((name.string[i] << 8) | name.string[i + 1]);
    } else if (name.platform_id == TT_PLATFORM_MACINTOSH && name.encoding_id == TT_MAC_ID_ROMAN) {
        for (FT_UInt i = 0; i < name.string_len; ++i) out += char16_t(name.string[i]);
    }
    return out;
}

}  // namespace

FT_Face OpenFace(const FaceSource& source) {
    std::lock_guard<std::mutex> guard(libraryLock);
    return OpenLocked(source, source.index);
}

void CloseFace(FT_Face face) {
    std::lock_guard<std::mutex> guard(libraryLock);
    if (face) FT_Done_Face(face);
}

long CountFaces(const std::shared_ptr<const FontImage>& image) {
    if (!image || image->empty()) return 0;
    FaceSource source{std::string(), image, 0};
    std::lock_guard<std::mutex> guard(libraryLock);
    // Index -1 only tests whether FreeType knows the format.
    FT_Face face = OpenLocked(source, -1);
    if (!face) return 0;
    long count = face->num_faces;
    FT_Done_Face(face);
    return count;
}

std::u16string FoldName(std::u16string_view name) {
    std::u16string out(name);
    for (char16_t& c : out)
        if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) c = char16_t(c + 0x20);
    return out;
}

std::vector<std::u16string> FaceNames(FT_Face face, NameKind kind) {
    std::vector<std::u16string> names;
    auto add = [&names](std::u16string name) {
        name = FoldName(name);
        if (!name.empty() && std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
    };
    const FT_UInt count = FT_Get_Sfnt_Name_Count(face);
    for (FT_UInt i = 0; i < count; ++i) {
        FT_SfntName name;
        if (FT_Get_Sfnt_Name(face, i, &name)) continue;
        const bool wanted = kind == NameKind::Full ? name.name_id == TT_NAME_ID_FULL_NAME
                                                   : name.name_id == TT_NAME_ID_FONT_FAMILY ||
                                                         name.name_id == TT_NAME_ID_TYPOGRAPHIC_FAMILY;
        if (wanted) add(DecodeName(name));
    }
    // FreeType's own family name, where it decodes as UTF-8 (a name it took
    // from a legacy encoding may not).
    if (kind == NameKind::Family && face->family_name) {
        Decoded family = Utf8ToUtf16(face->family_name);
        if (family.error.empty()) add(std::move(family.text));
    }
    return names;
}

bool FaceIsBold(FT_Face face) {
    auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 && os2->version != 0xFFFF) return os2->usWeightClass >= 600;
    return (face->style_flags & FT_STYLE_FLAG_BOLD) != 0;
}

bool FaceIsItalic(FT_Face face) {
    return (face->style_flags & FT_STYLE_FLAG_ITALIC) != 0;
}

}  // namespace textraster::portable
