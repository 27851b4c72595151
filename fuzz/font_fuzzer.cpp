// Real fonts, mutated, registered from memory and drawn with. The portable
// layer reads the OS/2, hhea, gasp and name tables itself and hands the rest
// to FreeType and HarfBuzz; a font a host registers is outside input like
// any text.
//
// Input: the height (uint8, 6 to 69), style and writing mode (uint8: style
// in its low bits modulo 6, vertical columns when bit 7 is set), the text
// (uint8, one of a few, in the scripts the seeds' fonts hold), wrapping
// (uint8, bit 0); then the font image. The seeds are fonts of the set-up cut
// down to those texts (fuzz/make_seeds.py).
//
// Checks, beyond memory safety: AddMemFont returns a defined code, with a
// handle exactly when it registered; a font registered is drawn and
// measured by its full name: both succeed, report the same ascent, write
// only mixes of the two colours, and drawing it again (now from the glyphs
// kept) gives the same pixels; RemoveMemFont undoes the registration.
#include <algorithm>
#include <cstdint>
#include <iterator>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "fuzz/load_fontconfig.h"
#include "textraster.h"

using namespace textraster;

namespace {

const char16_t* const kTexts[] = {
    u"Hag fi\u00e9 AV 1/2",
    u"\u05e9\u05dc \u0628\u0633\u0645 Hag",
    u"\u6f22\u5b57\u3042\u3002\u4e2d Hag",
    u"a\u0301\u0301 fi\u200d\u00e9\nHag",
};

constexpr int kWidth = 96, kHeight = 48;
constexpr uint32_t kBack = 0x80402010, kText = 0xFF20C0E0;

std::vector<uint32_t> Draw(const TextChar* text, const TextLayoutParams& p, uint16_t& ascent) {
    std::vector<uint32_t> pixels(size_t(kWidth) * kHeight, 0xA5A5A5A5u);
    FUZZ_CHECK(RenderText(text, &p, pixels.data(), &ascent, nullptr, nullptr) == TR_OK);
    return pixels;
}

// Each byte of every pixel lies between the two colours' bytes or at zero
// (the opacity of nothing drawn over a transparent part is the background's).
void CheckPixels(const std::vector<uint32_t>& pixels) {
    auto pixel = [](uint32_t c) { return (c & 0xFF00FF00u) | (c & 0xFF) << 16 | (c >> 16 & 0xFF); };
    const uint32_t a = pixel(kBack), b = pixel(kText);
    for (uint32_t px : pixels)
        for (int shift = 0; shift < 32; shift += 8)
            FUZZ_CHECK((px >> shift & 0xFF) <= std::max(a >> shift & 0xFF, b >> shift & 0xFF));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    return fuzz::LoadFontconfig();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::FuzzInput input(data, size);
    const uint8_t height = uint8_t(6 + input.U8() % 64), look = input.U8(), textChoice = input.U8(), wrap = input.U8();
    const size_t header = std::min<size_t>(size, 4);
    const std::vector<uint8_t> image(data + header, data + size);

    TextChar fullName[TEXTRASTER_FULL_NAME_CAPACITY];
    void* handle = reinterpret_cast<void*>(uintptr_t(0x5A5A));
    uint32_t count = 0;
    const int32_t added =
        AddMemFont(image.empty() ? data : image.data(), uint32_t(image.size()), &handle, &count, fullName);
    FUZZ_CHECK(added == TR_OK || added == TR_FONT_NOT_REGISTERED || added == TR_FONT_NAME_UNREADABLE);
    if (added == TR_FONT_NOT_REGISTERED) {
        FUZZ_CHECK(handle == nullptr);
        return 0;
    }
    FUZZ_CHECK(handle != nullptr && count > 0);

    if (added == TR_OK && fullName[0] != 0) {
        TextLayoutParams p{};
        p.size = int16_t(sizeof p);
        p.regionWidth = p.bufferWidth = kWidth;
        p.regionHeight = p.bufferHeight = kHeight;
        p.bufferSize = kWidth * kHeight * 4;
        p.topDown = 1;
        p.backColor = kBack;
        p.textColor = kText;
        p.faceName = fullName;
        p.fontHeight = height;
        p.fontStyle = look % 6;
        p.spaceMode = 2;
        p.newlineMode = 2;
        p.preserveSpaces = 1;
        p.wordWrap = wrap & 1;
        p.linePitch = height;
        p.writingMode = look & 0x80 ? 3 : 1;
        p.alignment = 1;
        const std::u16string_view chosen = kTexts[textChoice % std::size(kTexts)];
        const std::vector<TextChar> text(chosen.begin(), chosen.end() + 1);

        uint16_t ascent = 0, again = 0, measuredAscent = 0, width = 0, needed = 0;
        const std::vector<uint32_t> first = Draw(text.data(), p, ascent);
        CheckPixels(first);
        FUZZ_CHECK(Draw(text.data(), p, again) == first);
        FUZZ_CHECK(again == ascent);
        FUZZ_CHECK(ComputeTextRegionSize(text.data(), &p, &measuredAscent, &width, &needed, nullptr) == TR_OK);
        FUZZ_CHECK(measuredAscent == ascent);
        uint8_t cell = 0;
        FUZZ_CHECK(GetFontCharacterCellHeight(fullName, height, p.fontStyle, &cell) == TR_OK);
    }
    FUZZ_CHECK(RemoveMemFont(handle) == TR_OK);
    FUZZ_CHECK(RemoveMemFont(handle) == TR_FONT_NOT_UNREGISTERED);
    return 0;
}
