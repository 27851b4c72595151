// Reading WebVTT files: their blocks, cues and what is skipped.
#include "webvtt.h"

#include <gtest/gtest.h>

namespace textraster::tool {
namespace {

TEST(ParseWebVtt, ReadsCuesAndSaysWhatItSkipped) {
    using List = std::vector<std::pair<int64_t, std::string>>;  // start, text
    const struct {
        const char* name;
        const char* vtt;
        List cues;
        std::vector<std::string> warnings;
    } cases[] = {
        {"header, note, style, region, identifiers",
         "WEBVTT\nKind: captions\n\nNOTE a\ncomment\n\nSTYLE\n::cue {}\n\nREGION\nid:r\n\n"
         "intro\n00:01.000 --> 00:02.000\nOne &lt;1&gt;\n\n01:00:02.500 --> 01:00:03.000 "
         "align:start\n<b>Two</b>\nlines\n",
         {{1000, "One <1>"}, {3602500, "Two\nlines"}},
         {}},
        {"no header, no blank line, unreadable times, no timing",
         "00:01.000 --> 00:02.000\nA\n00:03.000 --> 00:04.000\nB\n\nsoon --> later\nC\n\nid\nD\n\n"
         "00:05.000 --> 00:06.000 region:r vertical:lr line:x\nE",
         {{1000, "A"}, {3000, "B"}, {5000, "E"}},
         {"line 1: no WEBVTT header; read as WebVTT all the same", "line 3: no blank line before this cue",
          "line 6: cue 3's times cannot be read; left out", "line 9: no timing line; the block's 2 lines are left out",
          "line 12: regions are not drawn; the cue is placed without its region",
          "line 12: vertical:lr (columns left to right) is drawn as vertical:rl",
          "line 12: the setting 'line:x' is not one WebVTT has; left out"}},
        {"header only", "WEBVTT\n\n", {}, {}},
    };
    for (const auto& c : cases) {
        const SubtitleFile file = ParseWebVtt(Utf8ToUtf16(c.vtt).text);
        List cues;
        for (const Cue& cue : file.cues) cues.emplace_back(cue.start, Utf16ToUtf8(cue.text.c_str()));
        EXPECT_EQ(cues, c.cues) << c.name;
        EXPECT_EQ(file.warnings, c.warnings) << c.name;
    }
    EXPECT_TRUE(HasWebVttHeader(Utf8ToUtf16("WEBVTT\r\n").text));
    EXPECT_TRUE(HasWebVttHeader(Utf8ToUtf16("WEBVTT - title").text));
    EXPECT_FALSE(HasWebVttHeader(Utf8ToUtf16("WEBVTTX\n").text));
}

}  // namespace
}  // namespace textraster::tool
