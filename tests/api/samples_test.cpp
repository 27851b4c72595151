// Multi-script samples written to the test output folder for a person to look at.
#include <gtest/gtest.h>

#include "api/api_support.h"

namespace textraster::test {
namespace {

TEST(Samples, MultiScript) {
    struct Sample {
        const char* name;
        const char16_t* text;
        const char16_t* face;
        int32_t writingMode, alignment;
        uint16_t width, height;
    } samples[] = {
        {"latin", u"The quick brown fox jumps over the lazy dog, wrapped in a region.", u"DejaVu Sans", 1, 1, 360, 110},
        {"cyrillic-centre", u"\x0421\x044A\x0435\x0448\x044C \x0436\x0435 \x0435\x0449\x0451 \x044D\x0442\x0438\x0445",
         u"Liberation Serif", 1, 2, 360, 60},
        {"hebrew-rtl", u"\x05E9\x05DC\x05D5\x05DD \x05E2\x05D5\x05DC\x05DD, 123", u"DejaVu Sans", 2, 1, 360, 60},
        {"japanese-vertical", u"\x7E26\x66F8\x304D\x306E\x6587\x7AE0\x3002\n\x65E5\x672C\x8A9E", u"IPAGothic", 3, 1,
         120, 240},
    };
    for (const Sample& s : samples) {
        TextLayoutParams p = Request(s.width, s.height);
        p.faceName = Face(s.face);
        p.writingMode = s.writingMode;
        p.alignment = s.alignment;
        p.fontHeight = 28;
        p.linePitch = 32;
        p.textColor = 0xFF20E0FF;  // opaque yellow
        p.backColor = 0x80402000;  // half-transparent dark blue cells
        const Rendering r = Render(T(s.text), p);
        ASSERT_EQ(r.code, TR_OK) << s.name;
        EXPECT_FALSE(InkBox(r.pixels, s.width, 0x80).empty()) << s.name;
        SaveSample(s.name, r.pixels, s.width, s.height);
    }
}

}  // namespace
}  // namespace textraster::test
