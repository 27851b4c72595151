// The textraster executable, end to end: it is run as a person would run it,
// and what it writes is read back.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/font_files.h"
#include "tool_test_support.h"

namespace textraster::tool::test {
namespace {

TEST(Tool, RenderWritesTheBufferWithOpacityAndInkOnlyInTheRegion) {
    const std::string dir = Folder("render");
    const Outcome run = RunTool({"render", "Hello, world", "--region", "300x60", "--dest", "50,30", "--buffer",
                                 "400x120", "--align", "start", "--font-height", "28", "-o", dir + "/hello.png"},
                                dir);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("hello.png"), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "") << "standard output is for the PNG with -o - only";
    const Image image = Png(dir + "/hello.png");
    ASSERT_EQ(image.width, 400u);
    ASSERT_EQ(image.height, 120u);
    const Ink ink = InkOf(image);
    EXPECT_GT(ink.opaque, 50u);
    EXPECT_GT(ink.transparent, 30000u);
    EXPECT_GE(ink.left, 50u);
    EXPECT_LT(ink.right, 350u);
    EXPECT_GE(ink.top, 30u);
    EXPECT_LT(ink.bottom, 90u);
}

TEST(Tool, EveryTextSourceGivesTheSamePixels) {
    const std::string dir = Folder("sources");
    const std::string text =
        "Gr\xC3\xBC\xC3\x9F"
        "e, \xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1";  // Grüße, Ωμέγα
    const std::vector<std::string> layout = {"--region", "320x48", "--font-height", "24"};
    auto render = [&](std::vector<std::string> args, const std::string& name, const std::string& input = "") {
        args.insert(args.begin(), "render");
        args.insert(args.end(), layout.begin(), layout.end());
        args.insert(args.end(), {"-o", dir + "/" + name + ".png"});
        const Outcome run = RunTool(args, dir, input);
        EXPECT_EQ(run.status, 0) << name << ": " << run.err;
        return Png(dir + "/" + name + ".png").pixels;
    };
    const std::vector<uint32_t> reference = render({text}, "argument");
    ASSERT_GT(InkOf(Png(dir + "/argument.png")).pixels, 100u);

    // UTF-16 of the same text, with a final line end that is dropped.
    const std::u16string utf16 = u"Gr\u00FC\u00DFe, \u03A9\u03BC\u03AD\u03B3\u03B1\r\n";
    std::string le = "\xFF\xFE", be = "\xFE\xFF";
    for (char16_t c : utf16) le += {char(c & 0xFF), char(c >> 8)}, be += {char(c >> 8), char(c & 0xFF)};
    const struct {
        const char* name;
        std::string bytes;
    } files[] = {
        {"utf8", text + "\n"}, {"utf8-bom-crlf", "\xEF\xBB\xBF" + text + "\r\n"}, {"utf16le", le}, {"utf16be", be}};
    for (const auto& f : files) {
        const std::string path = dir + "/" + f.name + ".txt";
        WriteFile(path, f.bytes);
        EXPECT_EQ(render({"--text-file", path}, f.name), reference) << f.name;
    }
    EXPECT_EQ(render({"-"}, "stdin", dir + "/utf8.txt"), reference);
}

TEST(Tool, BottomUpBufferIsTurnedUpright) {
    const std::string dir = Folder("rows");
    const std::vector<std::string> common = {"render", "Top line\nbottom", "--region", "200x70", "--align", "start"};
    auto args = [&](const char* order, const char* name) {
        std::vector<std::string> a = common;
        a.insert(a.end(), {order, "-o", dir + "/" + name});
        return a;
    };
    ASSERT_EQ(RunTool(args("--top-down", "down.png"), dir).status, 0);
    ASSERT_EQ(RunTool(args("--bottom-up", "up.png"), dir).status, 0);
    const Image down = Png(dir + "/down.png");
    EXPECT_GT(InkOf(down).pixels, 100u);
    EXPECT_EQ(Png(dir + "/up.png").pixels, down.pixels);
}

// Emoji reach the tool through the library alone: the Linux library draws
// them in their colours, GDI in the text colour.
TEST(Tool, EmojiAreDrawnAsTheLibraryDrawsThem) {
    const std::string dir = Folder("emoji");
    const Outcome run = RunTool(
        {"render", "\xF0\x9F\x8E\x89\xF0\x9F\x94\xA5", "--fit", "--font-height", "40", "-o", dir + "/emoji.png"}, dir);
    ASSERT_EQ(run.status, 0) << run.err;
    const Image image = Png(dir + "/emoji.png");
    const size_t hued = size_t(std::count_if(image.pixels.begin(), image.pixels.end(), [](uint32_t p) {
        const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
        return (p >> 24) > 0 && std::max({r, g, b}) - std::min({r, g, b}) > 64;
    }));
#ifdef _WIN32
    EXPECT_EQ(hued, 0u);
#else
    EXPECT_GT(hued, 200u);
#endif
}

TEST(Tool, PreviewIsOpaqueAndShowsTheText) {
    const std::string dir = Folder("preview");
    ASSERT_EQ(RunTool({"render", "Preview", "--region", "160x40", "--preview", "-o", dir + "/p.png"}, dir).status, 0);
    ASSERT_EQ(RunTool({"render", "Preview", "--region", "160x40", "-o", dir + "/plain.png"}, dir).status, 0);
    const Image preview = Png(dir + "/p.png"), plain = Png(dir + "/plain.png");
    EXPECT_EQ(InkOf(preview).opaque, size_t(160 * 40));
    // Where the text is opaque, the preview shows the text's own colour.
    size_t same = 0;
    for (size_t i = 0; i < plain.pixels.size(); ++i)
        same += plain.pixels[i] >> 24 == 255 && preview.pixels[i] == plain.pixels[i];
    EXPECT_GT(same, 20u);
}

TEST(Tool, MeasureReportsWhatTheLibraryMeasured) {
    const std::string dir = Folder("measure");
    const Outcome json = RunTool({"measure", "abc", "--json", "--region", "400x60", "--align", "start",
                                  "--first-line-indent", "5", "--font-height", "24"},
                                 dir);
    ASSERT_EQ(json.status, 0) << json.err;
    const long width = JsonNumber(json.out, "neededWidth"), extent = JsonNumber(json.out, "lastLineExtent");
    EXPECT_GT(extent, 10) << json.out;
    EXPECT_EQ(width, extent + 5) << json.out;
    EXPECT_EQ(JsonNumber(json.out, "neededHeight"), 24) << json.out;  // one line at the default pitch
    EXPECT_GT(JsonNumber(json.out, "ascent"), 10) << json.out;
    EXPECT_GT(JsonNumber(json.out, "cellHeight"), 24) << json.out;  // plus the internal leading
    EXPECT_EQ(JsonNumber(json.out, "fontHeight"), 24) << json.out;
    EXPECT_EQ(JsonNumber(json.out, "lines"), 1) << json.out;
    EXPECT_EQ(json.out.find("wrappedFrom"), std::string::npos) << json.out;

    const Outcome plain = RunTool({"measure", "abc", "--region", "400x60"}, dir);
    ASSERT_EQ(plain.status, 0) << plain.err;
    EXPECT_NE(plain.out.find("needed width:"), std::string::npos) << plain.out;
}

TEST(Tool, SubtitlesRenderEveryCueToItsOwnFile) {
    const std::string dir = Folder("subtitles");
    // A byte-order mark, CRLF line ends, a missing blank line before cue 3,
    // a two-line cue and formatting tags.
    WriteFile(dir + "/in.srt",
              "\xEF\xBB\xBF"
              "1\r\n00:00:01,000 --> 00:00:02,000\r\n<i>First</i> cue\r\n\r\n"
              "2\r\n00:00:03,000 --> 00:00:04,000\r\nTwo\r\nlines\r\n"
              "3\r\n00:00:05,000 --> 00:00:06,000\r\n<b>Third</b>\r\n");
    const Outcome run = RunTool({"subtitles", dir + "/in.srt", "-o", dir + "/cues", "--region", "400x80"}, dir);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("Rendered 3 cues"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("cues per second"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("cue 1 of 3"), std::string::npos) << "no progress line when stderr is not a terminal";
    for (const char* name : {"cue-0001.png", "cue-0002.png", "cue-0003.png"}) {
        const Image cue = Png(dir + "/cues/" + name);
        EXPECT_EQ(cue.width, 400u) << name;
        EXPECT_GT(InkOf(cue).pixels, 50u) << name;
    }
    // Two lines reach further down than one.
    EXPECT_GT(InkOf(Png(dir + "/cues/cue-0002.png")).bottom, InkOf(Png(dir + "/cues/cue-0003.png")).bottom + 10);
}

TEST(Tool, FailuresAreExplainedAndExitNonzero) {
    const std::string dir = Folder("failures");
    WriteFile(dir + "/broken.txt", "caf\xC3");
    WriteFile(dir + "/empty.srt", "\r\n\r\n");
    const char* fontFailure = "AddFont failed with result 2: the system refused to register the font";
    const struct {
        std::vector<std::string> args;
        int status;
        std::string message;
    } cases[] = {
        {{"render", "x", "--bogus"}, 2, "unknown option '--bogus'"},
        {{"render", "x", "--font-height", "300"}, 2, "from 0 to 255"},
        {{"render", "x", "--text-color", "reddish"}, 2, "#RRGGBBAA"},
        {{"render", "x", "--margin", "4"}, 2, "--margin goes with --fit"},
        {{"render", "x", "--fit", "--dest", "1,1"}, 2, "leave out --dest"},
        {{"subtitles", dir + "/empty.srt", "-o", "-"}, 2, "-o - (standard output) is for render"},
        {{"fonts", "x"}, 2, "fonts takes no arguments"},
        {{"render", "x", "--outline", "33"}, 2, "from 0 to 32"},
        {{"measure", "x", "-o", "x.png"}, 2, "does not apply to the measure command"},
        {{"render"}, 2, "render needs a TEXT"},
        {{"frobnicate"}, 2, "unknown command 'frobnicate'"},
        {{"render", "x", "--buffer-size", "16", "-o", dir + "/x.png"},
         1,
         "RenderText failed with result 5: the destination buffer is smaller than bufferWidth x bufferHeight x 4 "
         "bytes"},
        {{"render", "x", "--region", "500x60", "--buffer", "400x60", "-o", dir + "/x.png"},
         1,
         "RenderText failed with result 1: invalid argument"},
        {{"measure", "x", "--line-pitch", "0"}, 1, "ComputeTextRegionSize failed with result 1"},
        {{"render", "--text-file", dir + "/broken.txt"}, 1, "invalid UTF-8: cut sequence at byte 3"},
        {{"render", "x", "--font-file", dir + "/no-such-font.ttf", "-o", dir + "/x.png"}, 1, fontFailure},
        {{"render", "x", "--font", dir + "/no-such-font.ttf", "-o", dir + "/x.png"}, 1, fontFailure},
        {{"render", " ", "--fit", "-o", dir + "/x.png"}, 1, "nothing to lay out"},
        {{"subtitles", dir + "/empty.srt", "-o", dir}, 1, "no cues with text"},
    };
    for (const auto& c : cases) {
        const Outcome run = RunTool(c.args, dir);
        EXPECT_EQ(run.status, c.status) << c.args[0] << " " << c.message;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << "stderr: " << run.err;
        EXPECT_EQ(run.err.find("Usage:") != std::string::npos, c.status == 2) << run.err;
    }
}

TEST(Tool, FontFileGivesTheFaceByItsFullName) {
    const std::string dir = Folder("font-file");
    const Outcome run = RunTool({"render", "Serif", "--region", "200x50", "--font-file",
                                 textraster::test::FontFile("DejaVu Serif:bold").u8string(), "-o", dir + "/serif.png"},
                                dir);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("font \"DejaVu Serif Bold\""), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("warning"), std::string::npos) << run.err;
    EXPECT_GT(InkOf(Png(dir + "/serif.png")).opaque, 50u);
}

TEST(Tool, HelpNamesEveryRecordField) {
    const std::string dir = Folder("help");
    const Outcome run = RunTool({"--help"}, dir);
    ASSERT_EQ(run.status, 0);
    for (const char* field : {"regionWidth",      "destX",       "bufferWidth",     "bufferSize",  "topDown",
                              "textColor",        "backColor",   "faceName",        "fontHeight",  "fontStyle",
                              "spaceMode",        "newlineMode", "preserveSpaces",  "wordWrap",    "leadingSpaceMode",
                              "blockStartOffset", "linePitch",   "firstLineIndent", "writingMode", "alignment"})
        EXPECT_NE(run.out.find(field), std::string::npos) << field;
}

TEST(Tool, NoArgumentsWriteTheMultiScriptSample) {
    const std::string dir = Folder("sample");
    const Outcome run = RunTool({}, dir, "", dir);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("textraster-sample.png"), std::string::npos) << run.err;
    const Image sample = Png(dir + "/textraster-sample.png");
    EXPECT_EQ(sample.width, 1000u);
    // Every quarter of the picture holds some of the samples' ink.
    for (uint32_t quarter = 0; quarter < 4; ++quarter) {
        Image part(sample.width / 4, sample.height);
        for (uint32_t y = 0; y < sample.height; ++y)
            std::copy_n(sample.row(y) + quarter * part.width, part.width, part.row(y));
        EXPECT_GT(InkOf(part).opaque, 200u) << "quarter " << quarter;
    }
}

}  // namespace
}  // namespace textraster::tool::test
