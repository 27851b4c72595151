// What a thread keeps of the memory setting lines takes is bounded: the
// text calls of a font object's life on up to kKeptScratchUnits units leave
// their scratch for the next font, a longer one's goes with the font.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "platform/portable/kept_scratch.h"
#include "platform/portable/line_setting.h"
#include "portable/gdi_fixture.h"

namespace textraster::test {
namespace {

// A line of `units` code units repeating `piece`.
std::u16string Line(std::u16string_view piece, size_t units) {
    std::u16string line;
    while (line.size() < units) line += piece;
    line.resize(units);
    return line;
}

// Every text call: the extent, every prefix's, drawing.
BOOL Call(int call, HDC dc, const std::u16string& t) {
    SIZE size;
    int fit = 0;
    switch (call) {
        case 0: return GetTextExtentPoint32W(dc, t.data(), int(t.size()), &size);
        case 1: return GetTextExtentExPointW(dc, t.data(), int(t.size()), INT32_MAX, &fit, nullptr, &size);
        default: return TextOutW(dc, 0, 0, t.data(), int(t.size()));
    }
}

TEST(LineScratch, KeptUpToTheBoundReleasedBeyondIt) {
    // Mixed directions and brackets fill the bidi arrays too, which a
    // plainly left-to-right line leaves empty.
    const std::u16string kPieces[] = {u"abc def ", u"abc \u05D0\u05D1\u05D2 (\u0628\u0633\u0645) "};
    const portable::LineScratch& scratch = portable::ThreadLineScratch();
    size_t most = 0;
    for (const std::u16string& piece : kPieces) {
        for (int call = 0; call < 3; ++call) {
            SCOPED_TRACE(testing::Message() << "call " << call << ", piece of " << piece.size());
            for (const size_t units : {portable::kKeptScratchUnits, portable::kKeptScratchUnits + 1}) {
                {
                    Surface s(64, 32);
                    s.UseFont(Describe(u"DejaVu Sans", 12));
                    // Drawing sets the whole line in the scratch.
                    ASSERT_TRUE(Call(2, s.dc(), Line(piece, units - 1)));
                    ASSERT_TRUE(Call(call, s.dc(), Line(piece, units)));
                    EXPECT_GT(scratch.ArrayBytes(), 0u);
                }  // the font object goes
                if (units > portable::kKeptScratchUnits) {
                    EXPECT_EQ(scratch.ArrayBytes(), 0u);
                } else {
                    EXPECT_GT(scratch.ArrayBytes(), 0u);
                    most = std::max(most, scratch.ArrayBytes());
                }
            }
        }
    }
    std::printf("most kept at the bound: %zu bytes of arrays\n", most);
}

}  // namespace
}  // namespace textraster::test
