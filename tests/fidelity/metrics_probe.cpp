// Prints what the platform reports for a fixed set of fonts, sizes and
// strings: text metrics, extents and where the ink of a drawn string lies.
// Built natively (portable layer) and for Windows (run under Wine), so that
// the two outputs can be compared line by line.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/gdi.h"
#include "render/log_font.h"

namespace {

struct Face {
    const char16_t* name;
    LONG weight;
    BYTE italic;
};

const Face kFaces[] = {
    {u"DejaVu Sans", 400, 0},     {u"DejaVu Sans", 700, 0},         {u"DejaVu Sans", 400, 1},
    {u"Liberation Sans", 400, 0}, {u"Liberation Sans", 700, 1},     {u"Liberation Serif", 400, 0},
    {u"Liberation Mono", 400, 0}, {u"WenQuanYi Micro Hei", 400, 0}, {u"WenQuanYi Micro Hei", 700, 1},
    {u"IPAGothic", 400, 0},       {u"DejaVu Serif", 400, 0},
};

const LONG kHeights[] = {0, 8, 11, 12, 13, 16, 20, 24, 27, 32, 48, -8, -11, -12, -16, -20, -24, -33};

const char16_t* const kTexts[] = {
    u"Hello, world!",
    u"The quick brown fox jumps over the lazy dog.",
    u"AVAWAY Toffee fi fl",
    u"iiiilllll WWWMMM",
    u"0123456789",
    u"\u65e5\u672c\u8a9e\u306e\u30c6\u30ad\u30b9\u30c8",
    u"\u00c5ngstr\u00f6m \u00e9t\u00e9",
};

std::string Utf8(const char16_t* s) {
    std::string out;
    for (; *s; ++s) {
        unsigned c = *s;
        if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        } else {
            out += char(0xE0 | (c >> 12));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

int Length(const char16_t* s) {
    int n = 0;
    while (s[n]) ++n;
    return n;
}

// The library's own description of the face, as its entry points make it.
HFONT MakeFont(const Face& face, LONG height, bool vertical) {
    const std::basic_string<TextChar> name(face.name, face.name + std::char_traits<char16_t>::length(face.name));
    LOGFONTW lf = textraster::BuildLogFont(height, name.c_str(), face.italic ? 2 : 0, vertical);
    lf.lfWeight = face.weight;
    return CreateFontIndirectW(&lf);
}

// Draws the text white on black at (x, y) and prints the ink's bounding box and total.
void PrintInk(HDC screen, HFONT font, const char16_t* text, int width, int height, int x, int y, UINT align) {
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    HGDIOBJ oldFont = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, 0xFFFFFF);
    SetTextAlign(dc, align);
    TextOutW(dc, x, y, reinterpret_cast<LPCWSTR>(text), Length(text));
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);

    BITMAPINFO info;
    std::memset(&info, 0, sizeof info);
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down, for simple indexing
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    std::vector<DWORD> pixels(size_t(width) * height);
    GetDIBits(dc, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    int left = width, top = height, right = -1, bottom = -1;
    long long ink = 0;
    for (int row = 0; row < height; ++row)
        for (int col = 0; col < width; ++col) {
            unsigned v = (pixels[size_t(row) * width + col] >> 8) & 0xFF;
            if (!v) continue;
            ink += v;
            if (col < left) left = col;
            if (col > right) right = col;
            if (row < top) top = row;
            if (row > bottom) bottom = row;
        }
    std::printf(" ink=%d,%d..%d,%d sum=%lld", left, top, right, bottom, ink);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

}  // namespace

int main() {
    HDC screen = GetDC(nullptr);
    for (const Face& face : kFaces) {
        for (LONG height : kHeights) {
            HFONT font = MakeFont(face, height, false);
            HGDIOBJ old = SelectObject(screen, font);
            TEXTMETRICW tm;
            std::memset(&tm, 0, sizeof tm);
            GetTextMetricsW(screen, &tm);
            std::printf(
                "%s w%ld i%d h%ld: height=%ld ascent=%ld descent=%ld int=%ld ext=%ld ave=%ld max=%ld weight=%ld "
                "italic=%d\n",
                Utf8(face.name).c_str(), long(face.weight), face.italic, long(height), long(tm.tmHeight),
                long(tm.tmAscent), long(tm.tmDescent), long(tm.tmInternalLeading), long(tm.tmExternalLeading),
                long(tm.tmAveCharWidth), long(tm.tmMaxCharWidth), long(tm.tmWeight), tm.tmItalic);
            for (const char16_t* text : kTexts) {
                SIZE size{0, 0};
                GetTextExtentPoint32W(screen, reinterpret_cast<LPCWSTR>(text), Length(text), &size);
                std::printf("  \"%s\" cx=%ld cy=%ld", Utf8(text).c_str(), long(size.cx), long(size.cy));
                if (height == 20 || height == -16) PrintInk(screen, font, text, 800, 80, 10, 10, TA_LEFT | TA_TOP);
                std::printf("\n");
            }
            SelectObject(screen, old);
            DeleteObject(font);
        }
    }
    ReleaseDC(nullptr, screen);
    return 0;
}
