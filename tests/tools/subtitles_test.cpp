// textraster subtitles, end to end: each cue drawn as its markup and its
// script ask, the index beside the pictures, and a reused folder tidied.
#include <gtest/gtest.h>

#include "tool_test_support.h"

namespace textraster::tool::test {
namespace {

const std::vector<std::string> kLayout = {"--fit", "--region", "600x10", "--align", "start", "--font-height", "28"};

// What `render` draws of one piece of a cue with some options.
struct Render {
    std::string text;
    std::vector<std::string> args;
};

// The renders' pictures one below the other, as a cue's runs are stacked.
Image Stacked(const std::vector<Render>& parts, const std::string& dir) {
    Image all;
    for (const Render& part : parts) {
        const std::string reference = dir + "/reference.png";
        const Outcome run =
            RunTool(Plus(Plus(Plus({"render", "-o", reference}, kLayout), part.args), {"--", part.text}), dir);
        EXPECT_EQ(run.status, 0) << run.err;
        const Image image = Png(reference);
        all.width = image.width, all.height += image.height;
        all.pixels.insert(all.pixels.end(), image.pixels.begin(), image.pixels.end());
    }
    return all;
}

TEST(Subtitles, EachCueIsDrawnInTheStyleColourAndDirectionsItAsksFor) {
    const std::string dir = Folder("subtitles-styled");
    const std::string arabic =
        "\xD9\x85\xD8\xB1\xD8\xAD\xD8\xA8\xD8\xA7 \xD8\xA8\xD8\xA7\xD9\x84\xD8\xB9\xD8\xA7\xD9\x84\xD9\x85";
    const std::string hebrew = "\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D";
    const std::vector<std::string> rtl = {"--writing-mode", "rtl"};
    const struct {
        std::string markup;
        std::vector<Render> as;         // what equivalent renders draw, one below the other
        std::vector<Render> asWhenLtr;  // with --writing-mode horizontal for the whole file
    } cues[] = {
        {"<i>Whole cue in italics</i>",
         {{"Whole cue in italics", {"--style", "italic"}}},
         {{"Whole cue in italics", {"--style", "italic"}}}},
        {"Only <b>part</b> is bold &amp; kept", {{"Only part is bold & kept", {}}}, {{"Only part is bold & kept", {}}}},
        {"{\\an8}<font color=\"#FF0000\">Red on top</font>",
         {{"Red on top", {"--text-color", "#FF0000", "--align", "centre"}}},
         {{"Red on top", {"--text-color", "#FF0000", "--align", "centre"}}}},
        {"<font color=\"navy\"><b>Navy\nand bold</b></font>",
         {{"Navy\nand bold", {"--text-color", "navy", "--style", "bold"}}},
         {{"Navy\nand bold", {"--text-color", "navy", "--style", "bold"}}}},
        {arabic, {{arabic, rtl}}, {{arabic, {}}}},
        {"&quot;Latin&quot; after Arabic", {{"\"Latin\" after Arabic", {}}}, {{"\"Latin\" after Arabic", {}}}},
        {"<i>- " + hebrew + "</i>",
         {{"- " + hebrew, Plus(rtl, {"--style", "italic"})}},
         {{"- " + hebrew, {"--style", "italic"}}}},
        // Each line its own direction: the English line under the Hebrew one reads left to right.
        {hebrew + "?\\NHello, how are you?\n(" + hebrew + ")",
         {{hebrew + "?", rtl}, {"Hello, how are you?", {}}, {"(" + hebrew + ")", rtl}},
         {{hebrew + "?\nHello, how are you?\n(" + hebrew + ")", {}}}},
        {"{\\an7}" + hebrew + "\n...\nYes",
         {{hebrew + "\n...", Plus(rtl, {"--align", "end"})}, {"Yes", {}}},
         {{hebrew + "\n...\nYes", {}}}},
    };
    std::string srt;
    for (size_t i = 0; i < std::size(cues); ++i) {
        const std::string n = std::to_string(i + 1);
        srt += n + "\r\n00:00:0" + n + ",000 --> 00:00:0" + n + ",500\r\n" + cues[i].markup + "\r\n\r\n";
    }
    WriteFile(dir + "/in.srt", srt);

    for (const bool wholeFileLtr : {false, true}) {
        const std::string folder = dir + (wholeFileLtr ? "/ltr" : "/cues");
        std::vector<std::string> args = Plus({"subtitles", dir + "/in.srt", "-o", folder}, kLayout);
        if (wholeFileLtr) args = Plus(args, {"--writing-mode", "horizontal"});
        const Outcome run = RunTool(args, dir);
        ASSERT_EQ(run.status, 0) << run.err;

        std::string source = dir + "/in.srt", quoted;
        for (char c : source) quoted += c == '\\' ? "\\\\" : std::string(1, c);
        std::string expectedIndex = "{\"source\": \"" + quoted + "\", \"cues\": [\n";
        for (size_t i = 0; i < std::size(cues); ++i) {
            const std::string name = "cue-000" + std::to_string(i + 1) + ".png";
            const Image cue = Png(folder + "/" + name),
                        expected = Stacked(wholeFileLtr ? cues[i].asWhenLtr : cues[i].as, dir);
            EXPECT_EQ(cue.width, expected.width) << name;
            EXPECT_EQ(cue.height, expected.height) << name;
            EXPECT_TRUE(cue.pixels == expected.pixels) << name << " is not drawn as render draws " << cues[i].markup;
            EXPECT_GT(InkOf(cue).pixels, 50u) << name;
            const std::string n = std::to_string(i + 1);
            const char* alignment = i == 2 ? "8" : i == 8 ? "7" : "2";
            expectedIndex += "{\"index\": " + n + ", \"start\": " + n + "000, \"end\": " + n + "500, \"file\": \"" +
                             name + "\", \"width\": " + std::to_string(cue.width) +
                             ", \"height\": " + std::to_string(cue.height) +
                             ", \"x\": null, \"y\": null, \"alignment\": " + alignment + "}" +
                             (i + 1 < std::size(cues) ? ",\n" : "\n");
        }
        EXPECT_EQ(Slurp(folder + "/cues.json"), expectedIndex + "]}\n");
    }
    // Right to left, aligned to the start: the Arabic cue's ink lies at the right.
    const Ink rtlInk = InkOf(Png(dir + "/cues/cue-0005.png")), ltrInk = InkOf(Png(dir + "/ltr/cue-0005.png"));
    EXPECT_GT(rtlInk.left, 300u);
    EXPECT_LT(ltrInk.right, 300u);
}

TEST(Subtitles, CuesArePlacedOnTheFrameWhereSubRipAndWebVttSay) {
    const std::string dir = Folder("subtitles-placed");
    // Lines of 28 pixels, 400 long, on a 1280 x 720 frame, 36 pixels (a twentieth of 720) from its sides.
    const struct {
        bool vtt;
        std::string cue;  // SubRip: the text; WebVTT: the settings, a line feed, the text
        int alignment;
        long width, height, x, y;  // a size below 0: at most its opposite; an x or y of -1: centred
    } cues[] = {
        {false, "At the bottom centre", 2, 400, 28, 440, 656},
        {false, "{\\an8}Top\\Ncentre", 8, 400, 56, 440, 36},
        {false, "{\\an7}Top left", 7, 400, 28, 36, 36},
        {false, "{\\an3}Bottom right", 3, 400, 28, 844, 656},
        {false, "{\\an5}{\\i1}In the middle", 5, 400, 28, 440, 346},
        {false, "{\\a9}Legacy middle left", 4, 400, 28, 36, 346},
        {true, "\n<v Narrator>At the bottom centre</v>", 2, 400, 28, 440, 656},
        {true, " line:0 position:5% align:left\n<c.yellow>Yellow, top left</c>", 7, 400, 28, 64, 36},
        {true, " line:50%,center align:center\nIn the middle", 5, 400, 28, 440, 346},
        {true, " line:-2\nA line above the bottom", 2, 400, 28, 440, 628},
        {true, " position:90%,line-right align:right\nAt the right", 3, 400, 28, 752, 656},
        {true, " size:50% align:sideways\nWrapped at half the frame's width, this cue takes two lines", 2, -640, 56, -1,
         628},
        // A column at the frame's right, as long as its text.
        {true, " vertical:rl\n\xE7\xB8\xA6\xE6\x9B\xB8\xE3\x81\x8D", 6, 28, -84, 1216, -1},
    };
    std::string srt, vtt = "WEBVTT - placed\nKind: captions\n\nNOTE passed over\n\nSTYLE\n::cue { color: red }\n\n";
    for (size_t i = 0; i < std::size(cues); ++i) {
        const std::string& c = cues[i].cue;
        if (cues[i].vtt) {
            vtt += "id-" + std::to_string(i) + "\n00:01.000 --> 00:02.000" + c + "\n\n";
        } else {
            srt += std::to_string(i + 1) + "\n00:00:01,000 --> 00:00:02,000\n" + c + "\n\n";
        }
    }
    WriteFile(dir + "/in.srt", srt);
    WriteFile(dir + "/in.vtt", vtt);
    const std::vector<std::string> layout = {"--frame", "1280x720",      "--fit", "--region",
                                             "400x10",  "--font-height", "28"};
    std::string index, errors;
    for (const char* input : {"in.srt", "in.vtt"}) {
        const std::string folder = dir + "/" + input + "-cues";
        const Outcome run = RunTool(Plus({"subtitles", dir + "/" + input, "-o", folder}, layout), dir);
        ASSERT_EQ(run.status, 0) << run.err;
        index += Slurp(folder + "/cues.json"), errors += run.err;
    }
    for (size_t i = 0, vttNumber = 0, srtNumber = 0; i < std::size(cues); ++i) {
        const size_t n = cues[i].vtt ? ++vttNumber : ++srtNumber;
        const size_t file = cues[i].vtt ? index.find("in.vtt") : 0;
        const std::string line = index.substr(index.find("\"index\": " + std::to_string(n) + ",", file));
        const long width = JsonNumber(line, "width"), height = JsonNumber(line, "height");
        for (const auto& [size, expected] : {std::pair{width, cues[i].width}, std::pair{height, cues[i].height}}) {
            if (expected < 0) {
                EXPECT_LE(size, -expected) << cues[i].cue;
                EXPECT_GT(size, -expected / 2) << cues[i].cue;
            } else {
                EXPECT_EQ(size, expected) << cues[i].cue;
            }
        }
        EXPECT_EQ(JsonNumber(line, "x"), cues[i].x < 0 ? (1280 - width) / 2 : cues[i].x) << cues[i].cue;
        EXPECT_EQ(JsonNumber(line, "y"), cues[i].y < 0 ? (720 - height) / 2 : cues[i].y) << cues[i].cue;
        EXPECT_EQ(JsonNumber(line, "alignment"), cues[i].alignment) << cues[i].cue;
    }
    EXPECT_NE(errors.find("in.vtt line 30: the setting 'align:sideways' is not one WebVTT has; left out"),
              std::string::npos)
        << errors;
    // The WebVTT markup is SubRip's: the whole-cue class colours the cue, lined up to the left.
    ASSERT_EQ(RunTool({"render", "-o", dir + "/yellow.png", "--text-color", "yellow", "--align", "start", "--fit",
                       "--region", "400x10", "--font-height", "28", "Yellow, top left"},
                      dir)
                  .status,
              0);
    EXPECT_TRUE(Png(dir + "/in.vtt-cues/cue-0002.png").pixels == Png(dir + "/yellow.png").pixels);
}

TEST(Subtitles, BrokenFilesAreReportedAndACueThatCannotBeDrawnIsLeftOut) {
    const std::string dir = Folder("subtitles-broken");
    const std::string broken = TEXTRASTER_SAMPLES "/broken.srt";
    const std::vector<std::string> warnings = {
        "broken.srt line 6: the timing arrow '->' is read as '-->'",
        "broken.srt line 8: no blank line before this cue",
        "broken.srt line 13: cue 4 ends (00:00:08,000) before it starts (00:00:09,000); left out",
        "broken.srt line 20: no timing line; the block's 2 lines are left out",
    };
    const struct {
        std::vector<std::string> args;
        int status;
        std::vector<int> written;
        std::vector<std::string> said;
    } cases[] = {
        {{"--strict"}, 1, {}, {"4 warnings about '" + broken + "' and --strict: nothing is written"}},
        {{}, 0, {1, 2, 3, 5, 7, 8}, {"4 warnings about the file; 1 cue overlaps the one before"}},
        // Twelve lines of 32 pixels are taller than the frame; the picture
        // of cue 7 that the run before wrote goes.
        {{"--frame", "640x360"},
         3,
         {1, 2, 3, 5, 8},
         {"warning: cue 7 is not written: its picture, ", " x 384, is larger than the 640 x 360 frame",
          "1 of 6 cues could not be drawn (7); cues.json lists the 5 written"}},
    };
    const std::string folder = dir + "/cues";
    for (const auto& c : cases) {
        const Outcome run = RunTool(Plus({"subtitles", broken, "-o", folder, "--fit"}, c.args), dir);
        EXPECT_EQ(run.status, c.status) << run.err;
        for (const std::string& said : Plus(warnings, c.said))
            EXPECT_NE(run.err.find(said), std::string::npos) << said << " not in " << run.err;
        std::vector<std::string> files, expected;
        for (const std::string& name : FilesIn(folder)) files.push_back(name);
        for (int n : c.written) expected.push_back("cue-000" + std::to_string(n) + ".png");
        if (c.status != 1) expected.push_back("cues.json");
        std::sort(files.begin(), files.end());
        EXPECT_EQ(files, expected);
        const std::string index = Slurp(folder + "/cues.json");
        for (int n = 1; n <= 8; ++n) {
            const bool listed = index.find("\"index\": " + std::to_string(n) + ",") != std::string::npos;
            EXPECT_EQ(listed, std::count(c.written.begin(), c.written.end(), n) == 1) << n << " in " << index;
        }
    }
}

TEST(Subtitles, AReusedFolderHoldsOnlyThisRunsCues) {
    const std::string dir = Folder("subtitles-reused");
    WriteFile(dir + "/three.srt", "1\n00:01 --> 00:02\nOne\n\n2\n00:03 --> 00:04\nTwo\n\n3\n00:05 --> 00:06\nThree\n");
    WriteFile(dir + "/two.srt", "1\n00:01 --> 00:02\nOne again\n\n5\n00:09 --> 00:10\nFive\n");
    const std::string folder = dir + "/cues";
    ASSERT_EQ(RunTool({"subtitles", dir + "/three.srt", "-o", folder}, dir).status, 0);
    for (const char* other : {"notes.txt", "cue-01.png", "cue-0002.png.bak"})
        WriteFile(folder + "/" + other, "not the tool's");
    const Outcome run = RunTool({"subtitles", dir + "/two.srt", "-o", folder, "-q"}, dir);
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<std::string> files = FilesIn(folder);
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{"cue-0001.png", "cue-0002.png.bak", "cue-0005.png", "cue-01.png",
                                               "cues.json", "notes.txt"}));
    const std::string index = Slurp(folder + "/cues.json");
    EXPECT_NE(index.find("\"file\": \"cue-0005.png\""), std::string::npos) << index;
    EXPECT_EQ(index.find("cue-0002.png"), std::string::npos) << index;
}

TEST(Subtitles, AnOutlineWidensTheOpacityAroundTheText) {
    const std::string dir = Folder("outline");
    const std::vector<std::string> base = {"render", "Outlined", "--fit", "--font-height", "28"};
    ASSERT_EQ(RunTool(Plus(base, {"-o", dir + "/plain.png"}), dir).status, 0);
    const Outcome run =
        RunTool(Plus(base, {"--outline", "3", "--outline-color", "red", "-o", dir + "/outlined.png"}), dir);
    ASSERT_EQ(run.status, 0) << run.err;
    const Image plain = Png(dir + "/plain.png"), outlined = Png(dir + "/outlined.png");
    ASSERT_EQ(outlined.width, plain.width + 6);
    ASSERT_EQ(outlined.height, plain.height + 6);
    size_t red = 0, textKept = 0, textOpaque = 0;
    for (uint32_t y = 0; y < plain.height; ++y) {
        for (uint32_t x = 0; x < plain.width; ++x) {
            const uint32_t p = plain.row(y)[x], o = outlined.row(y + 3)[x + 3];
            if (p >> 24 == 255) ++textOpaque, textKept += o == p;  // opaque text stays on top
        }
    }
    for (uint32_t p : outlined.pixels) red += p == 0xFFFF0000u;
    EXPECT_GT(textOpaque, 50u);
    EXPECT_EQ(textKept, textOpaque);
    EXPECT_GT(red, textOpaque / 2) << "the outline shows in its colour";
    EXPECT_GT(InkOf(outlined).pixels, InkOf(plain).pixels * 3 / 2);
}

// A cue of direction codes opened beyond the deepest level, fitted on one
// line: it once crashed the tool.
TEST(Subtitles, ACueOfDirectionCodesBeyondTheDeepestLevelIsDrawn) {
    const std::string dir = Folder("subtitles-deep-codes");
    std::string cue;
    for (int i = 0; i < 36; ++i) cue += "\xE2\x80\xAE abc \xE2\x80\xAA def \xE2\x81\xA7 ghi \xE2\x80\xAC";
    WriteFile(dir + "/deep.srt", "1\n00:01 --> 00:02\n" + cue + "\n");
    const Outcome run = RunTool({"subtitles", dir + "/deep.srt", "-o", dir + "/cues", "--fit", "-q"}, dir);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_GT(InkOf(Png(dir + "/cues/cue-0001.png")).pixels, 500u);
}

}  // namespace
}  // namespace textraster::tool::test
