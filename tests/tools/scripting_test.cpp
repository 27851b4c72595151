// The tool in scripts: standard output holds only what was asked for, -q
// quiets it, faces replaced by others are said, impossible sizes fail at once.
#include <gtest/gtest.h>

#include <chrono>

#include "support/font_builder.h"
#include "support/font_files.h"
#include "tool_test_support.h"

namespace textraster::tool::test {
namespace {

TEST(Scripting, StandardOutputHoldsOnlyThePng) {
    const std::string dir = Folder("stdout");
    const struct {
        std::vector<std::string> args;  // -o FILE or -o - follows
        const char* status;             // on standard error without -q
    } cases[] = {
        {{"render", "Piped", "--fit", "--margin", "2"}, "Wrote the PNG to standard output"},
        {{"render", "Piped", "--region", "200x40", "--preview"}, "Wrote the PNG to standard output"},
        {{"sample"}, "Wrote the sample to standard output"},
    };
    for (const auto& c : cases) {
        const Outcome file = RunTool(Plus(c.args, {"-q", "-o", dir + "/file.png"}), dir);
        ASSERT_EQ(file.status, 0) << file.err;
        EXPECT_EQ(file.out + file.err, "") << "-q: nothing on either stream";
        const Outcome piped = RunTool(Plus(c.args, {"-o", "-"}), dir);
        ASSERT_EQ(piped.status, 0) << piped.err;
        EXPECT_NE(piped.err.find(c.status), std::string::npos) << piped.err;
        // Standard output is the PNG, byte for byte as the file is, and nothing else.
        EXPECT_EQ(piped.out, Slurp(dir + "/file.png")) << c.args[0];
        WriteFile(dir + "/piped.png", piped.out);
        EXPECT_GT(InkOf(Png(dir + "/piped.png")).pixels, 50u);
    }
}

TEST(Scripting, VersionNamesTheToolAndTheLibraryItLoaded) {
    const std::string dir = Folder("version");
    const Outcome run = RunTool({"--version"}, dir);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.rfind("textraster 0.", 0), 0u) << run.out;
#ifdef _WIN32
    EXPECT_NE(run.out.find("textraster.dll"), std::string::npos) << run.out;
#else
    EXPECT_NE(run.out.find("library: 0."), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("libtextraster.so."), std::string::npos) << run.out;
#endif
}

TEST(Scripting, BuffersThatCannotBeDescribedFailAtOnceNamingTheLimit) {
    const std::string dir = Folder("huge");
    WriteFile(dir + "/one.srt", "1\n00:01 --> 00:02\nCue\n");
    const char* limit = "more than the 4294967295 bytes the record's 32-bit bufferSize can describe";
    const struct {
        std::vector<std::string> args;
        const char* size;
    } cases[] = {
        {{"render", "x", "--region", "65535x65535"}, "65535 x 65535 pixels needs 17179344900 bytes"},
        {{"render", "x", "--region", "32768x32769"}, "32768 x 32769 pixels needs 4295098368 bytes"},
        {{"render", "x", "--region", "100x100", "--buffer", "65535x65535"}, "needs 17179344900 bytes"},
        {{"subtitles", dir + "/one.srt", "--region", "65535x65535"},
         "cue 1 is not written: a buffer of 65535 x 65535 pixels"},
    };
    for (const auto& c : cases) {
        const auto start = std::chrono::steady_clock::now();
        const Outcome run = RunTool(Plus(c.args, {"-o", dir + "/out"}), dir);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_EQ(run.status, 1) << run.err;
        EXPECT_NE(run.err.find(c.size), std::string::npos) << run.err;
        EXPECT_NE(run.err.find(limit), std::string::npos) << run.err;
        // Zero-filling such a buffer took minutes; failing first takes the start-up alone.
        EXPECT_LT(seconds, 15.0) << c.size;
    }
}

TEST(Scripting, FailuresComeAtOnceAndNothingFailedIsReportedDone) {
    const std::string dir = Folder("honest");
    // A line of 4,200 x's is 67,200 pixels long at the default 32: more
    // than a region or a 16-bit extent can hold. 33,000 of them at 255
    // take 71 lines of 65,535 pixels, 18,105 pixels high: 4.7 GB.
    WriteFile(dir + "/long.txt", std::string(4200, 'x'));
    WriteFile(dir + "/longer.txt", std::string(33000, 'x'));
    const char* split = "warning: a line is longer than the 65535 pixels a region can have, and is split";
    const struct {
        std::vector<std::string> args;
        bool unwritable;  // standard output refuses writes
        int status;
        std::vector<std::string> said;  // on standard error, and in the JSON on standard output
    } cases[] = {
        // A region the library refuses, refused before a buffer is filled (or, where the
        // machine has less, before it is allocated).
        {{"render", "x", "--region", "32768x32767"}, false, 1, {}},
        {{"render", "--text-file", dir + "/long.txt", "--fit"}, false, 0, {split}},
        {{"render", "--text-file", dir + "/longer.txt", "--fit", "--font-height", "255"},
         false,
         1,
         {split, "pixels needs", "bytes, more than the"}},
        {{"measure", "--text-file", dir + "/long.txt", "--no-wrap", "--align", "start"},
         false,
         0,
         {"a line is longer than 65535 pixels"}},
        {{"measure", "--text-file", dir + "/long.txt", "--no-wrap", "--json"},
         false,
         0,
         {"\"lineLongerThan65535\": true"}},
        {{"render", "x", "--fit", "--line-pitch", "0"}, false, 2, {"a pitch of 0 gives a region no line fits in"}},
        {{"render", "x", "--fit", "--font-height", "0"}, false, 2, {"a pitch of 0 gives a region no line fits in"}},
        {{"render", "x", "--writing-mode", "9"}, false, 2, {"the library draws nothing in another"}},
        {{"fonts"}, true, 1, {"cannot write 'standard output'"}},
        {{"measure", "x", "--json"}, true, 1, {"cannot write 'standard output'"}},
        {{"--help"}, true, 1, {"cannot write 'standard output'"}},
        {{"--version"}, true, 1, {"cannot write 'standard output'"}},
        {{"render", "x", "-o", "-"}, true, 1, {"cannot write 'standard output'"}},
    };
    for (const auto& c : cases) {
        const auto start = std::chrono::steady_clock::now();
        const Outcome run = RunTool(
            Plus(c.args, c.args[0] == "render" && !c.unwritable ? std::vector<std::string>{"-o", dir + "/out.png"}
                                                                : std::vector<std::string>{}),
            dir, "", "", c.unwritable);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_EQ(run.status, c.status) << c.args[0] << " " << c.args[1] << ": " << run.err;
        for (const std::string& said : c.said)
            EXPECT_NE((run.err + run.out).find(said), std::string::npos) << said << " not in " << run.err << run.out;
        EXPECT_LT(seconds, 10.0) << c.args[0] << " " << c.args[1] << ": filling 4 GB took 18 s";
    }
}

// DejaVu Sans under a family no one has installed, written to `path`.
void WriteRenamedFont(const std::string& path, std::u16string_view family) {
    using namespace textraster::test;
    const Bytes font = ReplaceNameTable(
        ReadFileBytes(FontFile("DejaVu Sans")),
        NameTableBuilder{}.Add(3, 1, 0x409, 1, family).Add(3, 1, 0x409, 2, u"Regular").Add(3, 1, 0x409, 4, family));
    WriteFile(path, std::string(font.begin(), font.end()));
}

TEST(Scripting, AFaceReplacedByAnotherIsSaidAndStrictFontRefusesIt) {
    const std::string dir = Folder("faces");
    const std::string privateFont = dir + "/private.ttf",
                      serifBold = textraster::test::FontFile("DejaVu Serif:bold").u8string();
    WriteRenamedFont(privateFont, u"Textraster Tool Private");
    const struct {
        const char* name;
        std::vector<std::string> args;
        int status;
        const char* used;  // in the status line
        bool warned;
    } cases[] = {
        {"installed family", {"--font", "DejaVu Serif"}, 0, "font \"DejaVu Serif\"", false},
        {"in other letter cases", {"--font", "dEjAvU sErIf"}, 0, "font \"dEjAvU sErIf\"", false},
        {"a full name", {"--font", "DejaVu Serif Bold"}, 0, "font \"DejaVu Serif Bold\"", false},
        {"a file given to --font", {"--font", serifBold}, 0, "font \"DejaVu Serif Bold\"", false},
        {"a private family",
         {"--font-file", privateFont, "--font", "textraster tool private"},
         0,
         "font \"textraster tool private\"",
         false},
        {"missing", {"--font", "Nonexistent Family"}, 0, "instead of \"Nonexistent Family\"", true},
        {"missing, strict", {"--font", "Nonexistent Family", "--strict-font"}, 1, nullptr, false},
        {"strict, available", {"--font", "DejaVu Serif", "--strict-font"}, 0, "font \"DejaVu Serif\"", false},
    };
    for (const auto& c : cases) {
        const std::string png = dir + "/face.png";
        std::filesystem::remove(std::filesystem::u8path(png));
        const Outcome run = RunTool(Plus({"render", "Face", "--fit", "-o", png}, c.args), dir);
        EXPECT_EQ(run.status, c.status) << c.name << ": " << run.err;
        EXPECT_EQ(IsFile(png), c.status == 0) << c.name;
        if (c.used) {
            EXPECT_NE(run.err.find(c.used), std::string::npos) << c.name << ": " << run.err;
        }
        const bool said = run.err.find("\"Nonexistent Family\" is not available; \"") != std::string::npos;
        EXPECT_EQ(said, c.warned || c.status == 1) << c.name << ": " << run.err;
        EXPECT_EQ(run.err.find("--strict-font was given") != std::string::npos, c.status == 1) << run.err;
    }
    // Measuring is told the same.
    const Outcome measure = RunTool({"measure", "x", "--font", "Nonexistent Family"}, dir);
    EXPECT_EQ(measure.status, 0);
    EXPECT_NE(measure.err.find("warning: the font \"Nonexistent Family\" is not available"), std::string::npos)
        << measure.err;
}

TEST(Scripting, FontsListsTheFamiliesWithThisRunsFontFiles) {
    const std::string dir = Folder("fonts");
    WriteRenamedFont(dir + "/private.ttf", u"Textraster Tool Private");
    // One family a line (Windows ends lines with CR LF on standard output).
    auto families = [&](const std::vector<std::string>& args) {
        const Outcome run = RunTool(args, dir);
        EXPECT_EQ(run.status, 0) << run.err;
        std::string lines = "\n";
        for (char c : run.out)
            if (c != '\r') lines += c;
        return lines;
    };
    const std::string installed = families({"fonts", "-q"});
    for (const char* family : {"\nDejaVu Serif\n", "\nIPAGothic\n", "\nLiberation Sans\n"})
        EXPECT_NE(installed.find(family), std::string::npos) << family << " in" << installed;
    EXPECT_EQ(installed.find("Textraster Tool Private"), std::string::npos);
    const std::string withFile = families({"fonts", "--font-file", dir + "/private.ttf", "-q"});
    EXPECT_NE(withFile.find("\nTextraster Tool Private\n"), std::string::npos) << withFile;
    EXPECT_NE(withFile.find("\nDejaVu Serif\n"), std::string::npos) << withFile;
}

}  // namespace
}  // namespace textraster::tool::test
