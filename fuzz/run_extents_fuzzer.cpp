// The portable layer's extents of prefixes, read off the shaping of a
// longer run, against a fresh shaping of each prefix, on texts made of
// characters that change their neighbours' shapes and levels.
//
// Input: the face (uint8, one of a few), the pixel height (uint8, 8 to 71),
// bold and vertical setting (bits 0 and 1 of a uint8; bit 2, in the
// long-input run (TEXTRASTER_FUZZ_LONG=1, see run.sh), repeats the text to
// kMaxUnits units, a line far longer than the search grows), then the text, one
// byte a piece of tests/support/tricky_text.h, where a byte of 255 takes the
// next two bytes as one UTF-16 unit as it is; at most 4,096 units.
//
// Checks: measured whole and then prefix by prefix from the shortest up, as
// line layout asks for them, every extent equals a fresh measurement; and
// again after a longer text starting with the same units was measured; and
// every prefix asked for in one call. A fresh measurement of every prefix
// costs the square of the text's length: past kEveryPrefix units, all are
// still asked for in order, and the first, the last and some spread between
// are compared.

#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "fuzz/load_fontconfig.h"
#include "platform/gdi.h"
#include "platform/portable/font.h"
#include "platform/portable/line_setting.h"
#include "platform/portable/portable_object.h"
#include "platform/portable/run_extents.h"
#include "render/log_font.h"
#include "support/tricky_text.h"

using namespace textraster;

namespace {

const char16_t* const kFaces[] = {u"DejaVu Sans", u"Liberation Serif", u"IPAGothic", u"WenQuanYi Micro Hei"};
constexpr size_t kMaxUnits = 4096;
constexpr size_t kEveryPrefix = 128;
constexpr size_t kSampled = 48;  // prefixes compared at each end and spread between
constexpr uint8_t kRawUnit = 255;

// Whether the prefix of k units is compared with a fresh measurement.
bool Compared(size_t k, size_t length) {
    return length <= kEveryPrefix || k <= kSampled || k + kSampled > length || k % (length / kSampled) == 0;
}

// The fresh measurement of the prefixes compared, by their length (-1 for the others).
std::vector<int> FreshPrefixes(portable::FallbackFonts& fonts, const std::u16string& text) {
    std::vector<int> fresh(text.size() + 1, -1);
    for (size_t k = 1; k <= text.size(); ++k)
        if (Compared(k, text.size()))
            fresh[k] = portable::ShapeText(fonts, std::u16string_view(text).substr(0, k), false).advance;
    return fresh;
}

template <typename Measure>
void CheckPrefixes(const std::u16string& text, const std::vector<int>& fresh, Measure measure) {
    FUZZ_CHECK(measure(text.size()) == fresh[text.size()]);
    for (size_t k = 1; k <= text.size(); ++k) {
        const int extent = measure(k);
        FUZZ_CHECK(fresh[k] < 0 || extent == fresh[k]);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const int loaded = fuzz::LoadFontconfig();
    (void)loaded;
    fuzz::FuzzInput in(data, size);
    const char16_t* face = kFaces[in.U8() % std::size(kFaces)];
    const LONG height = 8 + in.U8() % 64;
    const uint8_t flags = in.U8();
    std::u16string text;
    for (size_t piece = 0; piece < size && text.size() < kMaxUnits; ++piece) {
        const uint8_t choice = in.U8();
        if (choice == kRawUnit)
            text += char16_t(in.U16());
        else
            text += test::kTrickyPieces[choice % std::size(test::kTrickyPieces)];
    }
    if (text.empty()) return 0;
    static const bool longInputs = [] {
        const char* value = std::getenv("TEXTRASTER_FUZZ_LONG");
        return value && std::atoi(value) != 0;
    }();
    if (longInputs && (flags & 4)) {
        const std::u16string piece = text;
        while (text.size() < kMaxUnits) text += piece;
        text.resize(kMaxUnits);
    }

    // The library's font description: bold (style 1) and vertical setting by the flags.
    const LOGFONTW lf = BuildLogFont(height, face, flags & 1, (flags & 2) != 0);
    HFONT font = CreateFontIndirectW(&lf);
    FUZZ_CHECK(font);
    portable::FallbackFonts& fonts = portable::Find<PortableFont>(font)->fonts;
    const std::vector<int> fresh = FreshPrefixes(fonts, text);
    portable::RunExtents extents;
    auto measure = [&](size_t k) { return extents.Extent(fonts, text.data(), k); };
    CheckPrefixes(text, fresh, measure);
    const std::u16string longer = text + text;
    extents.Extent(fonts, longer.data(), longer.size());
    CheckPrefixes(text, fresh, measure);
    // As line layout asks on the platform's context: every prefix in one call.
    std::vector<int> prefixes(text.size(), 0);
    portable::RunExtents inOneCall;
    FUZZ_CHECK(inOneCall.PrefixExtents(fonts, text.data(), text.size(), INT32_MAX, prefixes.data()) == text.size());
    for (size_t k = 1; k <= text.size(); ++k) FUZZ_CHECK(fresh[k] < 0 || prefixes[k - 1] == fresh[k]);
    DeleteObject(font);
    return 0;
}
