#include "render/log_font.h"

#include <gtest/gtest.h>

#include "support/test_text.h"

namespace textraster {
namespace {

using test::T;
using test::Text;

Text FaceOf(const LOGFONTW& f) {
    return Text(reinterpret_cast<const TextChar*>(f.lfFaceName));
}

TEST(BuildLogFont, StyleCodes) {
    const struct {
        int32_t style;
        LONG weight;
        BYTE italic;
    } cases[] = {{0, 400, 0}, {1, 700, 0},   {2, 400, 1},  {3, 700, 1},     {4, 400, 1},        {5, 700, 1},
                 {6, 400, 0}, {255, 400, 0}, {-1, 400, 0}, {0x101, 400, 0}, {INT32_MIN, 400, 0}};
    for (const auto& k : cases) {
        const LOGFONTW f = BuildLogFont(24, nullptr, k.style, false);
        EXPECT_EQ(f.lfWeight, k.weight) << k.style;
        EXPECT_EQ(f.lfItalic, k.italic) << k.style;
    }
}

TEST(BuildLogFont, FaceNamesAndVerticalSetting) {
    const Text face31(31, TextChar('x')), face32(32, TextChar('y')), face1000(1000, TextChar('z'));
    const Text empty;
    const struct {
        const Text* face;
        bool vertical;
        Text expected;
        LONG escapement;
    } cases[] = {
        {nullptr, true, Text(), 0},  // no face: no prefix and no rotation, even vertical
        {&empty, true, T(u"@"), 2700},
        {&empty, false, Text(), 0},
        {&face31, false, face31, 0},
        {&face31, true, T(u"@") + face31.substr(0, 30), 2700},
        {&face32, false, face32.substr(0, 31), 0},
        {&face1000, true, T(u"@") + face1000.substr(0, 30), 2700},
    };
    for (const auto& k : cases) {
        const TextChar* name = k.face ? k.face->c_str() : nullptr;
        const LOGFONTW f = BuildLogFont(24, name, 0, k.vertical);
        EXPECT_EQ(FaceOf(f), k.expected);
        EXPECT_EQ(f.lfFaceName[LF_FACESIZE - 1], 0);
        EXPECT_EQ(f.lfEscapement, k.escapement);
        EXPECT_EQ(f.lfOrientation, k.escapement);
    }
    EXPECT_EQ(FaceOf(BuildLogFont(24, T(u"DejaVu Sans").c_str(), 0, true)), T(u"@DejaVu Sans"));
}

}  // namespace
}  // namespace textraster
