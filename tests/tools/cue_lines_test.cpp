// A cue's lines in runs that read the same way, and where a cue goes on the frame.
#include "cue_lines.h"

#include <gtest/gtest.h>

#include "cue_placement.h"

namespace textraster::tool {
namespace {

const Direction L = Direction::LeftToRight, R = Direction::RightToLeft;

TEST(DirectionRuns, EachLineReadsInItsOwnDirection) {
    const std::string hebrew = "\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D";
    const struct {
        std::string cue;
        std::vector<std::pair<std::string, Direction>> runs;
    } cases[] = {
        {"One\nTwo", {{"One\nTwo", L}}},
        {hebrew + "?\nHello, how are you?", {{hebrew + "?", R}, {"Hello, how are you?", L}}},
        {"- 2024\n" + hebrew + "\n...\nYes", {{"- 2024\n" + hebrew + "\n...", R}, {"Yes", L}}},
        {"A\n\n" + hebrew, {{"A\n", L}, {hebrew, R}}},
        {"123\n...", {{"123\n...", L}}},
        {"", {{"", L}}},
    };
    for (const auto& c : cases) {
        std::vector<std::pair<std::string, Direction>> runs;
        size_t lines = 0;
        for (const CueRun& run : DirectionRuns(Utf8ToUtf16(c.cue).text)) {
            runs.emplace_back(Utf16ToUtf8(run.text.c_str()), run.direction);
            lines += run.lines;
        }
        EXPECT_EQ(runs, c.runs) << c.cue;
        EXPECT_EQ(lines, size_t(std::count(c.cue.begin(), c.cue.end(), '\n') + 1)) << c.cue;
    }
}

CuePlacement At(int anchor, std::optional<double> x = {}, std::optional<double> y = {}, int32_t shift = 0) {
    CuePlacement p;
    p.anchor = anchor, p.xPercent = x, p.yPercent = y, p.lineShift = shift;
    return p;
}

TEST(PlaceOnFrame, KeypadPositionsPercentagesAndLineShifts) {
    // A 200 x 50 picture on a 1280 x 720 frame, 36 pixels of margin, 40 a line.
    const struct {
        CuePlacement placement;
        int32_t x, y;
    } cases[] = {
        {CuePlacement{}, 540, 634},
        {At(1), 36, 634},
        {At(3), 1044, 634},
        {At(5), 540, 335},
        {At(7), 36, 36},
        {At(9), 1044, 36},
        {At(8, {}, {}, 2), 540, 116},
        {At(2, {}, {}, -1), 540, 594},
        {At(8, 10.0, 50.0), 28, 360},
        {At(7, 10.0, 50.0), 128, 360},
        {At(3, 100.0, 100.0), 1080, 670},
        {At(1, 99.0, 0.0), 1080, 0},  // kept inside the frame
    };
    for (const auto& c : cases) {
        const FramePoint p = PlaceOnFrame(c.placement, 1280, 720, 200, 50, 36, 40);
        EXPECT_EQ(p.x, c.x) << c.placement.anchor;
        EXPECT_EQ(p.y, c.y) << c.placement.anchor;
        EXPECT_TRUE(p.fits);
    }
    EXPECT_FALSE(PlaceOnFrame(CuePlacement{}, 1280, 720, 1300, 50, 36, 40).fits);
    EXPECT_FALSE(PlaceOnFrame(CuePlacement{}, 1280, 720, 200, 721, 36, 40).fits);
}

TEST(RecordAlignment, SidesOfThePictureTurnWithTheDirection) {
    const struct {
        LineAlign align;
        int32_t ltr, rtl;
    } cases[] = {
        {LineAlign::Start, 1, 1}, {LineAlign::Centre, 2, 2}, {LineAlign::End, 3, 3}, {LineAlign::Left, 1, 3},
        {LineAlign::Right, 3, 1}, {KeypadAlign(7), 1, 3},    {KeypadAlign(5), 2, 2}, {KeypadAlign(3), 3, 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RecordAlignment(c.align, L), c.ltr);
        EXPECT_EQ(RecordAlignment(c.align, R), c.rtl);
    }
}

}  // namespace
}  // namespace textraster::tool
