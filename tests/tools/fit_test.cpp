// --fit, end to end: the picture is the size the library measures, and holds
// every pixel of the text.
#include <gtest/gtest.h>

#include "tool_test_support.h"

namespace textraster::tool::test {
namespace {

TEST(Fit, SizesEqualWhatMeasureReportsAndCutNothing) {
    const std::string dir = Folder("fit");
    const std::string wrapped = "Long lines wrap at the region's width, so this one takes three lines or so.";
    const struct {
        const char* name;
        std::string text;
        std::vector<std::string> args;         // for render --fit, and for the roomy render
        std::string measured;                  // the text measure is asked about; empty: the same
        std::vector<std::string> measureArgs;  // a line length and start alignment, so one line is tight
        uint16_t margin;
        long fixedWidth;    // a given line length stays; 0: measured
        const char* roomy;  // the region of a render that cuts nothing
    } cases[] = {
        {"one line, start", "Hello, world", {"--align", "start"}, "", {"--align", "start"}, 0, 0, "2000x200"},
        {"one line, centre", "Hello, world", {"--align", "centre"}, "", {"--align", "start"}, 0, 0, "2000x200"},
        {"one line, end, margin", "Hello, world", {"--align", "end"}, "", {"--align", "start"}, 5, 0, "2000x200"},
        {"bold", "Bold text", {"--style", "bold"}, "", {"--style", "bold", "--align", "start"}, 0, 0, "2000x200"},
        {"indent, start",
         "Indented",
         {"--align", "start", "--first-line-indent", "12"},
         "",
         {"--align", "start", "--first-line-indent", "12"},
         0,
         0,
         "2000x200"},
        {"indent, centre: not counted",
         "Indented",
         {"--align", "centre", "--first-line-indent", "12"},
         "",
         {"--align", "start"},
         0,
         0,
         "2000x200"},
        {"right to left",
         "\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D \xD7\xA2\xD7\x95\xD7\x9C\xD7\x9D",  // שלום עולם
         {"--writing-mode", "rtl"},
         "",
         {"--writing-mode", "rtl", "--align", "start"},
         0,
         0,
         "2000x200"},
        {"vertical column",
         "\xE7\xB8\xA6\xE6\x9B\xB8\xE3\x81\x8D",  // 縦書き
         {"--writing-mode", "vertical", "--font", "IPAGothic"},
         "",
         {"--writing-mode", "vertical", "--font", "IPAGothic", "--align", "start", "--region", "200x60000"},
         3,
         0,
         "400x2000"},
        {"two lines: the longer one",
         "Short one\nA much longer second line",
         {},
         "A much longer second line",
         {"--align", "start"},
         0,
         0,
         "2000x200"},
        {"line pitch",
         "Two\nTwo",
         {"--line-pitch", "40"},
         "Two",
         {"--line-pitch", "40", "--align", "start"},
         0,
         0,
         "2000x200"},
        {"given line length", wrapped, {"--region", "300x10"}, "", {"--region", "300x10"}, 0, 300, "300x400"},
    };
    auto measure = [&](const std::string& text, const std::vector<std::string>& args) {
        const Outcome run =
            RunTool(Plus(Plus({"measure", "--json", "--region", "60000x100"}, args), {"--", text}), dir);
        EXPECT_EQ(run.status, 0) << run.err;
        return run.out;
    };
    for (const auto& c : cases) {
        // The line length from the longest line, the block size from the whole text.
        const std::string line = measure(c.measured.empty() ? c.text : c.measured, c.measureArgs);
        const std::string block = measure(c.text, c.measureArgs);
        const bool vertical = std::find(c.args.begin(), c.args.end(), "vertical") != c.args.end();
        const long width = c.fixedWidth ? c.fixedWidth
                           : vertical   ? JsonNumber(block, "neededWidth")
                                        : JsonNumber(line, "neededWidth");
        const long height = vertical ? JsonNumber(line, "neededHeight") : JsonNumber(block, "neededHeight");

        const std::string fitted = dir + "/fitted.png", roomy = dir + "/roomy.png";
        const std::vector<std::string> fit = {"render", "-o", fitted, "--fit", "--margin", std::to_string(c.margin)};
        const Outcome run = RunTool(Plus(Plus(fit, c.args), {"--", c.text}), dir);
        ASSERT_EQ(run.status, 0) << c.name << ": " << run.err;
        const Image image = Png(fitted);
        EXPECT_EQ(long(image.width), width + 2 * c.margin) << c.name << "; measure: " << line << block;
        EXPECT_EQ(long(image.height), height + 2 * c.margin) << c.name << "; measure: " << line << block;

        // The same text in a region with room to spare has just as much ink.
        const std::vector<std::string> spacious = Plus(Plus({"render", "-o", roomy}, c.args), {"--region", c.roomy});
        ASSERT_EQ(RunTool(Plus(spacious, {"--", c.text}), dir).status, 0) << c.name;
        const Ink ink = InkOf(image);
        EXPECT_EQ(ink.total, InkOf(Png(roomy)).total) << c.name << ": the fitted picture cuts some of the text";
        EXPECT_GT(ink.pixels, 50u) << c.name;
        EXPECT_GE(std::min(ink.left, ink.top), c.margin) << c.name;
    }
}

TEST(Fit, MoreLinesThanARegionCanHoldAreSaidNotWrapped) {
    const std::string dir = Folder("fit-overflow");
    std::string lines;
    for (int i = 0; i < 2200; ++i) lines += "x\n";
    WriteFile(dir + "/lines.txt", lines + "x");
    // 2201 lines at a pitch of 32: 70432 pixels, which 16 bits hold as 4896.
    const Outcome json = RunTool({"measure", "--text-file", dir + "/lines.txt", "--json"}, dir);
    ASSERT_EQ(json.status, 0) << json.err;
    EXPECT_EQ(JsonNumber(json.out, "lines"), 2201) << json.out;
    EXPECT_EQ(JsonNumber(json.out, "neededHeight"), 70432) << json.out;
    EXPECT_EQ(JsonNumber(json.out, "wrappedFrom"), 70432 - 65536) << json.out;
    const Outcome plain = RunTool({"measure", "--text-file", dir + "/lines.txt"}, dir);
    EXPECT_NE(plain.out.find("70432 (more than 65535: the library's 16-bit needed height wrapped to 4896)"),
              std::string::npos)
        << plain.out;

    const Outcome render = RunTool({"render", "--text-file", dir + "/lines.txt", "--fit", "-o", dir + "/x.png"}, dir);
    EXPECT_EQ(render.status, 1);
    EXPECT_NE(render.err.find("2201 lines at a line pitch of 32 need 70432 pixels, more than the 65535"),
              std::string::npos)
        << render.err;
}

}  // namespace
}  // namespace textraster::tool::test
