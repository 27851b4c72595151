#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>

#include "code_pages.h"

namespace textraster::tool {
namespace {

struct NamedCodePage {
    const char* name;
    UINT codePage;
};

// The names people and libuchardet give the common code pages; the first
// name of a code page is the one the tool says.
constexpr NamedCodePage kCodePages[] = {
    {"windows-1250", 1250}, {"windows-1251", 1251},    {"windows-1252", 1252}, {"windows-1253", 1253},
    {"windows-1254", 1254}, {"windows-1255", 1255},    {"windows-1256", 1256}, {"windows-1257", 1257},
    {"windows-1258", 1258}, {"windows-874", 874},      {"tis-620", 874},       {"iso-8859-2", 28592},
    {"iso-8859-3", 28593},  {"iso-8859-4", 28594},     {"iso-8859-5", 28595},  {"iso-8859-6", 28596},
    {"iso-8859-7", 28597},  {"iso-8859-8", 28598},     {"iso-8859-9", 28599},  {"iso-8859-13", 28603},
    {"iso-8859-15", 28605}, {"koi8-r", 20866},         {"koi8-u", 21866},      {"ibm866", 866},
    {"cp866", 866},         {"ibm852", 852},           {"ibm855", 855},        {"mac-cyrillic", 10007},
    {"maccyrillic", 10007}, {"x-mac-cyrillic", 10007}, {"shift_jis", 932},     {"shift-jis", 932},
    {"sjis", 932},          {"euc-jp", 20932},         {"iso-2022-jp", 50220}, {"gb18030", 54936},
    {"gbk", 936},           {"gb2312", 936},           {"big5", 950},          {"euc-kr", 949},
    {"uhc", 949},           {"euc-tw", 51950},         {"iso-2022-kr", 50225}, {"iso-2022-cn", 50227},
};

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](char c) { return char(std::tolower(uint8_t(c))); });
    return s;
}

// "cp1251", "windows-1251" or "1251" for any code page by its number; 0 for none.
UINT NumberedCodePage(const std::string& name) {
    for (const char* prefix : {"cp", "windows-", "ibm", ""}) {
        const std::string p = prefix;
        if (name.compare(0, p.size(), p) != 0 || name.size() == p.size()) continue;
        char* end = nullptr;
        const unsigned long n = std::strtoul(name.c_str() + p.size(), &end, 10);
        if (*end == '\0' && n > 0 && n < 65536) return UINT(n);
    }
    return 0;
}

}  // namespace

std::string GuessCodePage(std::string_view) {
    const UINT acp = GetACP();
    for (const NamedCodePage& c : kCodePages)
        if (c.codePage == acp) return c.name;
    // A system whose code page is UTF-8 has none for files that are not: the
    // code page most subtitle files without Unicode were written in.
    return acp == CP_UTF8 ? "windows-1252" : "cp" + std::to_string(acp);
}

CodePageResult DecodeCodePage(std::string_view bytes, const std::string& name, Text& text) {
    const std::string lower = Lower(name);
    UINT codePage = NumberedCodePage(lower);
    for (const NamedCodePage& c : kCodePages)
        if (lower == c.name) codePage = c.codePage;
    if (!codePage || !IsValidCodePage(codePage)) return CodePageResult::UnknownName;
    if (bytes.empty()) {
        text.clear();
        return CodePageResult::Decoded;
    }
    if (bytes.size() > size_t(INT_MAX)) return CodePageResult::Undecodable;
    // The ISO-2022 code pages take no flags.
    const DWORD flags = codePage >= 50220 && codePage <= 50229 ? 0 : MB_ERR_INVALID_CHARS;
    const int n = MultiByteToWideChar(codePage, flags, bytes.data(), int(bytes.size()), nullptr, 0);
    if (n <= 0) return CodePageResult::Undecodable;
    std::wstring out(size_t(n), L'\0');
    MultiByteToWideChar(codePage, flags, bytes.data(), int(bytes.size()), &out[0], n);
    text.assign(out.begin(), out.end());
    return CodePageResult::Decoded;
}

}  // namespace textraster::tool
