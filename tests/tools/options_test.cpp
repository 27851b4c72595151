// The command line: defaults, named values, derived values and refusals.
#include "options.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "utf.h"

namespace textraster::tool {
namespace {

Options Parse(std::vector<std::string> args) {
    std::string error;
    const std::optional<Options> o = ParseOptions(args, error);
    EXPECT_TRUE(o) << error;
    return o.value_or(Options{});
}

// What `render` asks of the library without any option: a record the
// library takes as it is, drawing the text into the whole buffer.
TEST(ParseOptions, DefaultsMakeARecordTheLibraryDraws) {
    Options o = Parse({"render", "x"});
    EXPECT_FALSE(o.faceGiven);
    const Decoded face = Utf8ToUtf16(o.face);
    TextLayoutParams r = o.record;
    r.faceName = face.text.c_str();
    const Decoded text = Utf8ToUtf16("Defaults");
    std::vector<uint32_t> pixels(r.bufferSize / 4, 0);
    ASSERT_EQ(RenderText(text.text.c_str(), &r, pixels.data(), nullptr, nullptr, nullptr), TR_OK);
    EXPECT_TRUE(std::any_of(pixels.begin(), pixels.end(), [](uint32_t p) { return p >> 24 != 0; }));
    uint16_t width = 0, height = 0;
    ASSERT_EQ(ComputeTextRegionSize(text.text.c_str(), &r, nullptr, &width, &height, nullptr), TR_OK);
    EXPECT_GT(width, 0);
    EXPECT_LE(height, r.regionHeight);
}

TEST(ParseOptions, FillsEveryFieldFromItsOption) {
    const Options o = Parse({"render",
                             "--region=200x50",
                             "--dest",
                             "10,20",
                             "--bottom-up",
                             "--text-color",
                             "#11223344",
                             "--back-color",
                             "#AABBCC",
                             "--font",
                             "Liberation Serif",
                             "--font-height",
                             "20",
                             "--style",
                             "bold-italic",
                             "--space-mode",
                             "to-space",
                             "--newline-mode",
                             "5",
                             "--preserve-spaces",
                             "--no-wrap",
                             "--leading-space-mode",
                             "trim",
                             "--block-start-offset",
                             "-7",
                             "--line-pitch",
                             "25",
                             "--first-line-indent",
                             "-3",
                             "--writing-mode",
                             "vertical",
                             "--align",
                             "end",
                             "--",
                             "-5 degrees"});
    const TextLayoutParams& r = o.record;
    EXPECT_EQ(r.regionWidth, 200);
    EXPECT_EQ(r.regionHeight, 50);
    EXPECT_EQ(r.destX, 10);
    EXPECT_EQ(r.destY, 20);
    EXPECT_EQ(r.bufferWidth, 210);  // the region fits at its destination
    EXPECT_EQ(r.bufferHeight, 70);
    EXPECT_EQ(r.bufferSize, 210u * 70 * 4);
    EXPECT_EQ(r.topDown, 0);
    EXPECT_EQ(r.textColor, 0x44332211u);  // #RRGGBBAA becomes 0xAABBGGRR
    EXPECT_EQ(r.backColor, 0xFFCCBBAAu);
    EXPECT_EQ(o.face, "Liberation Serif");
    EXPECT_TRUE(o.faceGiven);
    EXPECT_EQ(r.fontHeight, 20);
    EXPECT_EQ(r.fontStyle, 3);
    EXPECT_EQ(r.spaceMode, 2);
    EXPECT_EQ(r.newlineMode, 5);
    EXPECT_EQ(r.preserveSpaces, 1);
    EXPECT_EQ(r.wordWrap, 0);
    EXPECT_EQ(r.leadingSpaceMode, 2);
    EXPECT_EQ(r.blockStartOffset, -7);
    EXPECT_EQ(r.linePitch, 25);
    EXPECT_EQ(r.firstLineIndent, -3);
    EXPECT_EQ(r.writingMode, 3);
    EXPECT_EQ(r.alignment, 3);
    EXPECT_EQ(o.positional, std::vector<std::string>{"-5 degrees"});
}

TEST(ParseOptions, CommandsAndTheirArguments) {
    EXPECT_EQ(Parse({}).command, Command::Sample);
    EXPECT_EQ(Parse({"--preview"}).command, Command::Sample);
    EXPECT_EQ(Parse({"render", "x", "--help"}).command, Command::Help);
    EXPECT_EQ(Parse({"measure", "--text-file", "t.txt"}).textFile, "t.txt");
    const Options s = Parse({"subtitles", "a.srt", "--font-file", "a.ttf", "--font-file", "b.ttf"});
    EXPECT_EQ(s.fontFiles, (std::vector<std::string>{"a.ttf", "b.ttf"}));
}

TEST(ParseOptions, RefusesWhatItCannotUse) {
    const std::vector<std::string> refused[] = {
        {"render", "x", "--region", "12"},
        {"render", "x", "--region", "70000x1"},
        {"render", "x", "--dest", "1x2"},
        {"render", "x", "--line-pitch", "-1"},
        {"render", "x", "--style", "heavy"},
        {"render", "x", "--text-color", "#12345"},
        {"render", "x", "--wrap=yes"},
        {"render", "x", "--font"},
        {"render", "x", "y"},
        {"render", "x", "--text-file", "t"},
        {"sample", "x"},
        {"subtitles"},
        {"measure", "x", "--preview"},
        {"render", "x", "--json"},
    };
    for (const auto& args : refused) {
        std::string error;
        EXPECT_FALSE(ParseOptions(args, error)) << args[args.size() - 1];
        EXPECT_FALSE(error.empty());
    }
}

}  // namespace
}  // namespace textraster::tool
