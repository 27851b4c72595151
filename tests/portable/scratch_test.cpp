// What a thread keeps of the memory setting lines takes is bounded: a text
// call on up to kKeptScratchUnits units leaves its scratch for the next
// call, a longer one releases it when it ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
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

TEST(LineScratch, KeptUpToTheBoundReleasedBeyondIt) {
    Surface s(64, 32);
    s.UseFont(Describe(u"DejaVu Sans", 12));
    SIZE size;
    int fit = 0;
    // Every text call: the extent, every prefix's, drawing.
    const std::function<BOOL(const std::u16string&)> kCalls[] = {
        [&](const std::u16string& t) { return GetTextExtentPoint32W(s.dc(), t.data(), int(t.size()), &size); },
        [&](const std::u16string& t) {
            return GetTextExtentExPointW(s.dc(), t.data(), int(t.size()), INT32_MAX, &fit, nullptr, &size);
        },
        [&](const std::u16string& t) { return TextOutW(s.dc(), 0, 0, t.data(), int(t.size())); },
    };
    // Mixed directions and brackets fill the bidi arrays too, which a
    // plainly left-to-right line leaves empty.
    const std::u16string kPieces[] = {u"abc def ", u"abc \u05D0\u05D1\u05D2 (\u0628\u0633\u0645) "};
    const portable::LineScratch& scratch = portable::ThreadLineScratch();
    size_t most = 0, drawn = 0;
    for (const std::u16string& piece : kPieces) {
        for (const auto& call : kCalls) {
            SCOPED_TRACE(testing::Message() << "call " << (&call - kCalls) << ", piece of " << piece.size());
            // Drawing sets the whole line in the scratch: each time another
            // line, as a font object sets the line it drew last only once.
            ASSERT_TRUE(kCalls[2](Line(piece, portable::kKeptScratchUnits - ++drawn)));
            EXPECT_GT(scratch.ArrayBytes(), 0u);
            ASSERT_TRUE(call(Line(piece, portable::kKeptScratchUnits)));
            most = std::max(most, scratch.ArrayBytes());
            ASSERT_TRUE(call(Line(piece, portable::kKeptScratchUnits + 1)));
            EXPECT_EQ(scratch.ArrayBytes(), 0u);
        }
    }
    std::printf("most kept at the bound: %zu bytes of arrays\n", most);
}

}  // namespace
}  // namespace textraster::test
