// textraster subtitles, end to end: each cue drawn as its markup and its
// script ask, the index beside the pictures, and a reused folder tidied.
#include <gtest/gtest.h>

#include "tool_test_support.h"

namespace textraster::tool::test {
namespace {

const std::vector<std::string> kLayout = {"--fit", "--region", "600x10", "--align", "start", "--font-height", "28"};

TEST(Subtitles, EachCueIsDrawnInTheStyleColourAndDirectionItAsksFor) {
    const std::string dir = Folder("subtitles-styled");
    const std::string arabic =
        "\xD9\x85\xD8\xB1\xD8\xAD\xD8\xA8\xD8\xA7 \xD8\xA8\xD8\xA7\xD9\x84\xD8\xB9\xD8\xA7\xD9\x84\xD9\x85";
    const std::string hebrew = "\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D";
    const struct {
        std::string markup;
        std::string text;                    // what an equivalent render draws
        std::vector<std::string> as;         // and with which options
        std::vector<std::string> asWhenLtr;  // with --writing-mode horizontal for the whole file
    } cues[] = {
        {"<i>Whole cue in italics</i>", "Whole cue in italics", {"--style", "italic"}, {"--style", "italic"}},
        {"Only <b>part</b> is bold &amp; kept", "Only part is bold & kept", {}, {}},
        {"{\\an8}<font color=\"#FF0000\">Red on top</font>",
         "Red on top",
         {"--text-color", "#FF0000"},
         {"--text-color", "#FF0000"}},
        {"<font color=\"navy\"><b>Navy\nand bold</b></font>",
         "Navy\nand bold",
         {"--text-color", "navy", "--style", "bold"},
         {"--text-color", "navy", "--style", "bold"}},
        {arabic, arabic, {"--writing-mode", "rtl"}, {}},
        {"&quot;Latin&quot; after Arabic", "\"Latin\" after Arabic", {"--writing-mode", "horizontal"}, {}},
        {"<i>- " + hebrew + "</i>",
         "- " + hebrew,
         {"--writing-mode", "rtl", "--style", "italic"},
         {"--style", "italic"}},
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
            const std::vector<std::string>& as = wholeFileLtr ? cues[i].asWhenLtr : cues[i].as;
            const std::string reference = dir + "/reference.png";
            const Outcome render =
                RunTool(Plus(Plus(Plus({"render", "-o", reference}, kLayout), as), {"--", cues[i].text}), dir);
            ASSERT_EQ(render.status, 0) << render.err;
            const Image cue = Png(folder + "/" + name), expected = Png(reference);
            EXPECT_EQ(cue.width, expected.width) << name;
            EXPECT_EQ(cue.height, expected.height) << name;
            EXPECT_TRUE(cue.pixels == expected.pixels) << name << " is not drawn as render " << cues[i].text;
            EXPECT_GT(InkOf(cue).pixels, 50u) << name;
            const std::string n = std::to_string(i + 1);
            expectedIndex += "{\"index\": " + n + ", \"start\": " + n + "000, \"end\": " + n + "500, \"file\": \"" +
                             name + "\", \"width\": " + std::to_string(cue.width) +
                             ", \"height\": " + std::to_string(cue.height) + "}" +
                             (i + 1 < std::size(cues) ? ",\n" : "\n");
        }
        EXPECT_EQ(Slurp(folder + "/cues.json"), expectedIndex + "]}\n");
    }
    // Right to left, aligned to the start: the Arabic cue's ink lies at the right.
    const Ink rtl = InkOf(Png(dir + "/cues/cue-0005.png")), ltr = InkOf(Png(dir + "/ltr/cue-0005.png"));
    EXPECT_GT(rtl.left, 300u);
    EXPECT_LT(ltr.right, 300u);
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
