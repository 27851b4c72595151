// Drawing bounds: a context reports the rows its bitmap may hold anything
// but zero on, never fewer than the drawing touched, and nothing before any
// drawing; what the library reads back relies on it.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/gdi.h"
#include "portable/gdi_fixture.h"

namespace textraster {
namespace {

using test::Describe;
using test::InkBox;
using test::Surface;

TEST(Bounds, NothingBeforeDrawingThenEveryRowTheDrawingTouched) {
    Surface surface(300, 200);
    EXPECT_EQ(SetBoundsRect(surface.dc(), nullptr, DCB_ENABLE | DCB_RESET), UINT(DCB_ENABLE | DCB_RESET));
    RECT bounds{1, 2, 3, 4};
    EXPECT_EQ(GetBoundsRect(surface.dc(), &bounds, 0), UINT(DCB_RESET));

    surface.UseFont(Describe(u"DejaVu Sans", 32, FW_NORMAL, true));
    SetBkMode(surface.dc(), OPAQUE);
    SetBkColor(surface.dc(), 0x000001);  // the cells count as drawn
    SetTextColor(surface.dc(), 0xFFFFFF);
    // Lines at the top, in the middle with marks above and below, and
    // partly below the bitmap.
    const struct {
        int y;
        std::u16string_view text;
    } lines[] = {{0, u"Ag"}, {90, u"\u1EC6\u0323 \u01D8 j\u0329"}, {185, u"Wy"}};
    int top = 200, bottom = 0;
    for (const auto& line : lines) {
        surface.Draw(10, line.y, line.text);
        ASSERT_EQ(GetBoundsRect(surface.dc(), &bounds, 0), UINT(DCB_SET));
        const test::Box ink = InkBox(surface.Pixels(), surface.width());
        ASSERT_FALSE(ink.empty());
        top = std::min(top, ink.top);
        bottom = std::max(bottom, ink.bottom + 1);
        SCOPED_TRACE(line.y);
        EXPECT_LE(bounds.top, top);
        EXPECT_GE(bounds.bottom, bottom);
        EXPECT_LE(bounds.bottom, 200);
        EXPECT_EQ(bounds.left, 0);
        EXPECT_EQ(bounds.right, 300);
    }
    // Nothing but zero outside the bounds.
    const std::vector<uint32_t> pixels = surface.Pixels();
    for (int y = 0; y < 200; ++y) {
        if (y >= bounds.top && y < bounds.bottom) continue;
        for (int x = 0; x < 300; ++x) ASSERT_EQ(pixels[size_t(y) * 300 + x], 0u) << x << "," << y;
    }
}

TEST(Bounds, TheScreenDrawsNothingAndAStaleContextFails) {
    HDC screen = GetDC(nullptr);
    RECT bounds{};
    EXPECT_EQ(GetBoundsRect(screen, &bounds, 0), UINT(DCB_RESET));
    EXPECT_EQ(GetBoundsRect(screen, nullptr, 0), 0u);
    ReleaseDC(nullptr, screen);
    HDC memory = CreateCompatibleDC(nullptr);
    DeleteDC(memory);
    EXPECT_EQ(SetBoundsRect(memory, nullptr, DCB_ENABLE), 0u);
    EXPECT_EQ(GetBoundsRect(memory, &bounds, 0), 0u);
}

}  // namespace
}  // namespace textraster
