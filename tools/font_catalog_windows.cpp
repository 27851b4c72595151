// The font catalog on Windows: GDI's own enumeration and font mapper, which
// see the fonts AddFont registered privately for this process. GDI takes a
// face name as a family or a full name and compares names ignoring case.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <algorithm>

#include "font_catalog.h"
#include "text/font_style.h"
#include "utf.h"

namespace textraster::tool {
namespace {

struct Enumeration {
    std::vector<std::wstring> names;
    bool fullNames = false;  // elfFullName of each face, else the family of each
};

int CALLBACK Collect(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM data) {
    auto& e = *reinterpret_cast<Enumeration*>(data);
    const auto* face = reinterpret_cast<const ENUMLOGFONTEXW*>(font);
    const wchar_t* name = e.fullNames ? face->elfFullName : font->lfFaceName;
    if (name[0] != L'@') e.names.emplace_back(name);  // '@': the vertical form of a family
    return 1;
}

// The family names, or with a family given, the full names of its faces.
std::vector<std::wstring> Enumerate(const std::wstring& family) {
    Enumeration e;
    e.fullNames = !family.empty();
    LOGFONTW filter{};
    filter.lfCharSet = DEFAULT_CHARSET;
    family.copy(filter.lfFaceName, LF_FACESIZE - 1);
    HDC dc = CreateCompatibleDC(nullptr);
    EnumFontFamiliesExW(dc, &filter, Collect, reinterpret_cast<LPARAM>(&e), 0);
    DeleteDC(dc);
    return e.names;
}

bool SameName(const std::wstring& a, const std::wstring& b) {
    return lstrcmpiW(a.c_str(), b.c_str()) == 0;
}

std::wstring Wide(const std::string& utf8) {
    const Decoded d = Utf8ToUtf16(utf8);
    return std::wstring(d.text.begin(), d.text.end());
}

std::string Narrow(const std::wstring& wide) {
    return Utf16ToUtf8(wide.c_str());
}

// The face GDI's font mapper picks for the name, described as the library
// describes its fonts.
std::wstring MappedFamily(const std::wstring& faceName, int32_t fontStyle) {
    LOGFONTW description{};
    description.lfHeight = 32;
    description.lfWeight = StyleIsBold(fontStyle) ? FW_BOLD : FW_NORMAL;
    description.lfItalic = StyleIsItalic(fontStyle);
    description.lfCharSet = DEFAULT_CHARSET;
    description.lfOutPrecision = OUT_OUTLINE_PRECIS;
    description.lfQuality = ANTIALIASED_QUALITY;
    description.lfPitchAndFamily = VARIABLE_PITCH | FF_DONTCARE;
    faceName.copy(description.lfFaceName, LF_FACESIZE - 1);
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT font = CreateFontIndirectW(&description);
    HGDIOBJ previous = SelectObject(dc, font);
    wchar_t used[LF_FACESIZE] = {};
    GetTextFaceW(dc, LF_FACESIZE, used);
    SelectObject(dc, previous);
    DeleteObject(font);
    DeleteDC(dc);
    return used;
}

}  // namespace

std::vector<std::string> FontFamilies(const std::vector<std::string>&) {
    std::vector<std::wstring> wide = Enumerate(L"");
    auto less = [](const std::wstring& a, const std::wstring& b) { return lstrcmpiW(a.c_str(), b.c_str()) < 0; };
    std::sort(wide.begin(), wide.end(), less);
    wide.erase(std::unique(wide.begin(), wide.end(), SameName), wide.end());
    std::vector<std::string> families;
    for (const std::wstring& family : wide) families.push_back(Narrow(family));
    return families;
}

std::string FaceUsed(const std::string& faceName, int32_t fontStyle, const std::vector<std::string>&, bool& exact) {
    const std::wstring name = Wide(faceName), used = MappedFamily(name, fontStyle);
    exact = name.empty() || SameName(used, name);
    if (!exact) {
        // A full name maps to its family: the name is then available too.
        const std::vector<std::wstring> fullNames = Enumerate(used);
        exact = std::any_of(fullNames.begin(), fullNames.end(),
                            [&](const std::wstring& full) { return SameName(full, name); });
    }
    return Narrow(used);
}

}  // namespace textraster::tool
