// Every value a host can put into a request gets a defined result, in bounded
// time, without writing outside the buffer or leaving anything behind.
#include <gtest/gtest.h>

#include <chrono>

#include "api/api_support.h"
#include "support/gdi_handles.h"
#include "support/reserved_memory.h"

namespace textraster::test {
namespace {

constexpr uint32_t kHostFill = 0xDEADBEEF;

// Seconds a call takes.
template <typename Call>
double Seconds(Call call) {
    const auto start = std::chrono::steady_clock::now();
    call();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

TEST(Extremes, BufferSizeIsComparedWithTheFullProduct) {
    // The region is small; only the buffer's claimed size is extreme. The
    // pixels may not be touched: a call that wrongly went on would fault.
    const struct {
        uint16_t width, height;
        uint32_t bufferSize;
        int32_t expected;
    } cases[] = {
        {65535, 65535, 0xFFFFFFFF, TR_BUFFER_TOO_SMALL},
        {65535, 65535, 0xFFF80004, TR_BUFFER_TOO_SMALL},  // the product wrapped to 32 bits
        {32768, 32768, 0, TR_BUFFER_TOO_SMALL},           // 2^32 wraps to 0
        {32768, 32768, 0xFFFFFFFF, TR_BUFFER_TOO_SMALL},
        {65535, 16385, 196604, TR_BUFFER_TOO_SMALL},  // 4295163900 wraps to 196604
        {65535, 16385, 0xFFFFFFFF, TR_BUFFER_TOO_SMALL},
    };
    ReservedMemory untouchable(uint64_t(1) << 32);
    ASSERT_NE(untouchable.pixels(), nullptr);
    for (const auto& k : cases) {
        SCOPED_TRACE(testing::Message() << k.width << " x " << k.height << ", " << k.bufferSize << " bytes");
        TextLayoutParams p = Request(10, 10);
        p.bufferWidth = k.width;
        p.bufferHeight = k.height;
        p.bufferSize = k.bufferSize;
        uint8_t pitch = 0x55;
        EXPECT_EQ(RenderText(T(u"abc").c_str(), &p, untouchable.pixels(), nullptr, &pitch, nullptr), k.expected);
        EXPECT_EQ(pitch, 0x55);
    }
}

TEST(Extremes, RegionsUpToTheLargestSides) {
    const Text text = T(u"Wide and tall");
    // Thin regions of the largest side are drawn; one pixel is too narrow
    // for any character, so that text has no lines.
    const struct { uint16_t width, height, neededHeight; } thin[] = {{65535, 1, 24}, {65535, 24, 24}, {1, 65535, 0}};
    for (const auto& k : thin) {
        SCOPED_TRACE(testing::Message() << k.width << " x " << k.height);
        TextLayoutParams p = Request(k.width, k.height);
        EXPECT_EQ(Render(text, p, kHostFill).code, TR_OK);
        uint16_t neededWidth = 0, neededHeight = 0;
        EXPECT_EQ(ComputeTextRegionSize(text.c_str(), &p, nullptr, &neededWidth, &neededHeight, nullptr), TR_OK);
        EXPECT_EQ(neededHeight, k.neededHeight);
    }

#ifdef _WIN32
    const uint32_t slotBefore = FreshGdiSlot();
#endif
    // Regions whose surfaces cannot be had: the call says so, and writes
    // nothing. (65535 x 65535 itself is refused sooner: its buffer would be
    // larger than bufferSize can say.)
    const struct { uint16_t width, height; } huge[] = {{65535, 16383}, {32768, 32767}, {65535, 8193}, {16384, 32768}};
    ReservedMemory untouchable(uint64_t(1) << 32);
    ASSERT_NE(untouchable.pixels(), nullptr);
    for (const auto& k : huge) {
        SCOPED_TRACE(testing::Message() << k.width << " x " << k.height);
        TextLayoutParams p = Request(k.width, k.height);
        uint16_t ascent = 0x5555, extent = 0x5555;
        uint8_t pitch = 0x55;
        const double seconds = Seconds([&] {
            EXPECT_EQ(RenderText(text.c_str(), &p, untouchable.pixels(), &ascent, &pitch, &extent), TR_OUT_OF_MEMORY);
        });
        EXPECT_EQ(pitch, 0);
        EXPECT_EQ(extent, 0);
        EXPECT_EQ(ascent, 0x5555);
        EXPECT_LT(seconds, 5.0);
    }
#ifdef _WIN32
    EXPECT_LE(FreshGdiSlot(), slotBefore + 4);
#endif
}

TEST(Extremes, ZeroFontHeightAndLinePitch) {
    const Text text = T(u"first\nsecond");
    uint16_t width = 0, height = 0;
    struct Case {
        uint8_t fontHeight, linePitch;
    };
    for (const Case& k : {Case{0, 24}, Case{24, 0}, Case{0, 0}}) {
        SCOPED_TRACE(testing::Message() << "fontHeight " << int(k.fontHeight) << ", linePitch " << int(k.linePitch));
        TextLayoutParams p = Request(200, 80);
        p.fontHeight = k.fontHeight;
        p.linePitch = k.linePitch;
        // Measuring refuses both; drawing takes them as they are.
        EXPECT_EQ(ComputeTextRegionSize(text.c_str(), &p, nullptr, &width, &height, nullptr), TR_INVALID_ARGUMENT);
        const Rendering r = Render(text, p);
        EXPECT_EQ(r.code, TR_OK);
        EXPECT_EQ(r.usedLinePitch, k.linePitch);  // two lines fit at any pitch up to 40
        const Box ink = InkBox(r.pixels, 200);
        ASSERT_FALSE(ink.empty());
        // At pitch 0 both lines stand on the first one.
        if (k.linePitch == 0) {
            EXPECT_LT(ink.height(), 24);
        } else {
            EXPECT_GT(ink.height(), 24);
        }
    }
}

TEST(Extremes, SixteenBitOffsetsAndIndents) {
    const Text text = T(u"Edge cases\nof the block");
    const int16_t extremes[] = {-32768, 32767};
    for (int32_t mode : {1, 2, 3})
        for (int32_t alignment : {1, 2, 3})
            for (int16_t offset : extremes)
                for (int16_t indent : {int16_t(0), extremes[0], extremes[1]}) {
                    SCOPED_TRACE(testing::Message() << "mode " << mode << " alignment " << alignment << " offset "
                                                    << offset << " indent " << indent);
                    TextLayoutParams p = Request(120, 120);
                    p.writingMode = mode;
                    p.alignment = alignment;
                    p.blockStartOffset = offset;
                    p.firstLineIndent = indent;
                    if (mode == 3) p.faceName = Face(u"WenQuanYi Micro Hei");
                    const Rendering r = Render(text, p, kHostFill);
                    EXPECT_EQ(r.code, TR_OK);
                    // Every line starts 32767 pixels or more beyond the block's edges.
                    for (uint32_t px : r.pixels) ASSERT_EQ(px, 0u);
                    uint16_t width = 0, height = 0;
                    EXPECT_EQ(ComputeTextRegionSize(text.c_str(), &p, nullptr, &width, &height, nullptr), TR_OK);
                }
    // The indent alone: the first line of a start-aligned text lies beyond
    // either inline edge, the second where it always does.
    for (int16_t indent : extremes) {
        SCOPED_TRACE(indent);
        TextLayoutParams p = Request(120, 60);
        p.firstLineIndent = indent;
        p.wordWrap = 0;
        const Rendering r = Render(text, p);
        EXPECT_EQ(r.code, TR_OK);
        const Box ink = InkBox(r.pixels, 120);
        ASSERT_FALSE(ink.empty());
        EXPECT_GE(ink.top, 24);
    }
}

TEST(Extremes, FaceNamesAreCutAtTheirField) {
    // Names of 31, 32 and 1000 units that agree in their first 31 units ask
    // for the same font; so do their vertical forms, which lose one more unit
    // to the "@".
    Text name31(31, TextChar(u'Q'));
    name31.replace(0, 11, T(u"DejaVu Sans"));
    const Text name32 = name31 + TextChar(u'Z'), name1000 = name31 + Text(969, TextChar(u'Z'));
    for (int32_t mode : {1, 3}) {
        SCOPED_TRACE(mode);
        TextLayoutParams p = Request(200, 120);
        p.writingMode = mode;
        std::vector<std::vector<uint32_t>> drawn;
        for (const Text* name : std::vector<const Text*>{&name31, &name32, &name1000}) {
            p.faceName = name->c_str();
            const Rendering r = Render(T(u"Face \x4E00"), p);
            ASSERT_EQ(r.code, TR_OK);
            EXPECT_FALSE(InkBox(r.pixels, 200).empty());
            drawn.push_back(r.pixels);
            uint8_t cell = 0;
            EXPECT_EQ(GetFontCharacterCellHeight(name->c_str(), 20, 0, &cell), TR_OK);
            EXPECT_GT(cell, 0);
        }
        EXPECT_EQ(drawn[1], drawn[0]);
        EXPECT_EQ(drawn[2], drawn[0]);
    }
}

// 2^19 units: one megabyte of text.
constexpr size_t kMegabyte = size_t(1) << 19;

TEST(Extremes, MegabyteTexts) {
    const struct {
        const char* what;
        Text unit;
        int32_t wordWrap;
    } cases[] = {
        {"short words, wrapped", T(u"word "), 1},
        {"short lines, not wrapped", T(u"line\n"), 0},
        {"ideographs, wrapped", T(u"\x6587\x5B57"), 1},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.what);
        Text text;
        text.reserve(kMegabyte);
        while (text.size() + k.unit.size() <= kMegabyte) text += k.unit;
        TextLayoutParams p = Request(200, 100);
        p.wordWrap = k.wordWrap;
        Rendering r;
        const double drawing = Seconds([&] { r = Render(text, p); });
        EXPECT_EQ(r.code, TR_OK);
        EXPECT_FALSE(InkBox(r.pixels, 200).empty());
        uint16_t width = 0, height = 0, extent = 0;
        const double measuring = Seconds(
            [&] { EXPECT_EQ(ComputeTextRegionSize(text.c_str(), &p, nullptr, &width, &height, &extent), TR_OK); });
        EXPECT_EQ(width, 200);
        std::cout << k.what << ": drawn in " << drawing << " s, measured in " << measuring << " s\n";
    }
}

// Lines of explicit direction codes nested beyond the deepest level the
// bidi algorithm allows, and isolates left open before a paragraph
// separator: the bidi library of Linux follows freed memory on them as they
// are, and the first crashed the process.
TEST(Extremes, BidiCodesBeyondTheDeepestLevel) {
    auto repeat = [](std::u16string_view piece, size_t times) {
        Text text;
        while (times-- > 0) text += T(piece);
        return text;
    };
    const Text kTexts[] = {
        repeat(u"\u202E abc \u202A def \u2067 ghi \u202C", 36),
        repeat(u"\u2067a", 130),
        repeat(u"\u2068\u05D0 \u202B", 200),
        T(u"\u2067abc\u001Cdef\u2066"),
    };
    for (const Text& text : kTexts) {
        for (const int32_t wordWrap : {0, 1}) {
            TextLayoutParams p = Request(2000, 300);
            p.wordWrap = wordWrap;
            const Rendering r = Render(text, p);
            EXPECT_EQ(r.code, TR_OK);
            EXPECT_FALSE(InkBox(r.pixels, 2000).empty());
            uint16_t width = 0, height = 0;
            EXPECT_EQ(ComputeTextRegionSize(text.c_str(), &p, nullptr, &width, &height, nullptr), TR_OK);
            EXPECT_GT(height, 0);
        }
    }
}

// One word of 100,000 characters without a break opportunity, drawn and
// measured; returns the seconds both took.
double DrawAndMeasureOneWord(uint16_t width, int32_t wordWrap) {
    constexpr uint32_t kLength = 100000;
    const Text word(kLength, TextChar(u'x'));
    TextLayoutParams p = Request(width, 100);
    p.wordWrap = wordWrap;
    // Each line holds as many whole letters as fit.
    uint16_t letter = 0, lineHeight = 0;
    EXPECT_EQ(ComputeTextRegionSize(T(u"x").c_str(), &p, nullptr, &letter, &lineHeight, nullptr), TR_OK);
    if (letter == 0) return 0;
    const uint32_t perLine = wordWrap ? width / letter : kLength;
    const uint16_t expectedHeight = uint16_t((kLength + perLine - 1) / perLine * p.linePitch);
    Rendering r;
    uint16_t neededWidth = 0, neededHeight = 0;
    const double seconds = Seconds([&] {
        r = Render(word, p);
        EXPECT_EQ(ComputeTextRegionSize(word.c_str(), &p, nullptr, &neededWidth, &neededHeight, nullptr), TR_OK);
    });
    EXPECT_EQ(r.code, TR_OK);
    EXPECT_FALSE(InkBox(r.pixels, width).empty());
    EXPECT_EQ(neededHeight, expectedHeight);
    return seconds;
}

TEST(Extremes, OneUnbreakableWordOfAHundredThousandCharacters) {
    // Broken before the character that overflows each line, into thousands
    // of short lines (their height reported in 16 bits).
    EXPECT_LT(DrawAndMeasureOneWord(200, 1), 10.0);
}

// Each line is measured run by run from its start. The portable layer reads
// those extents off one shaping of the line, so even a line of 100,000
// characters is quick; the platform's own GDI measures every run afresh,
// which takes minutes for such a line, so this runs on the portable layer only.
#ifndef _WIN32
TEST(Extremes, OneUnbreakableWordOnLongLines) {
    EXPECT_LT(DrawAndMeasureOneWord(200, 0), 10.0);
    EXPECT_LT(DrawAndMeasureOneWord(65535, 1), 10.0);
}
#endif

}  // namespace
}  // namespace textraster::test
