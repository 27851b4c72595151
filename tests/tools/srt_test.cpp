// Reading untidy SubRip files.
#include "srt.h"

#include <gtest/gtest.h>

#include "cue_files.h"

namespace textraster::tool {
namespace {

SubtitleFile Read(const std::string& srt) {
    return ParseSrt(DecodeTextFile(std::vector<uint8_t>(srt.begin(), srt.end())).text);
}

using List = std::vector<std::pair<int, std::string>>;
using Warnings = std::vector<std::string>;

TEST(ParseSrt, ReadsTidyAndUntidyFilesAndSaysWhatItRepairedOrSkipped) {
    const struct {
        const char* name;
        std::string srt;
        List cues;
        Warnings warnings;
    } cases[] = {
        {"tidy",
         "1\n00:00:01,000 --> 00:00:02,000\nHello\n\n2\n00:00:03,000 --> 00:00:04,000\nWorld\n",
         {{1, "Hello"}, {2, "World"}},
         {}},
        {"crlf, mark, two lines",
         "\xEF\xBB\xBF"
         "1\r\n00:00:01,000 --> 00:00:02,000\r\nOne\r\nTwo\r\n",
         {{1, "One\nTwo"}},
         {}},
        {"old Mac line ends",
         "1\r00:00:01,000 --> 00:00:02,000\rA\r\r2\r00:00:03,000 --> 00:00:04,000\rB\r",
         {{1, "A"}, {2, "B"}},
         {}},
        {"no blank line between cues",
         "1\n00:01 --> 00:02\nA\n2\n00:03 --> 00:04\nB",
         {{1, "A"}, {2, "B"}},
         {"line 4: no blank line before this cue"}},
        {"a number inside a cue stays text",
         "1\n00:01 --> 00:02\nRoom\n101\n\n2\n00:03 --> 00:04\nB\n",
         {{1, "Room\n101"}, {2, "B"}},
         {}},
        {"missing and repeated numbers",
         "00:01 --> 00:02\nA\n\n7\n00:03 --> 00:04\nB\n\n7\n00:05 --> 00:06\nC\n\nx\n00:07 --> 00:08\nD\n",
         {{1, "A"}, {7, "B"}, {8, "C"}, {9, "D"}},
         {"line 1: no cue number; numbered 1", "line 8: the cue number 7 is not above the one before; numbered 8",
          "line 12: not a cue number; numbered 9"}},
        {"tags",
         "1\n00:01 --> 00:02\n<i>It</i> <B>is</B> <font color=\"#fff\">here</font> <3 a<b\n",
         {{1, "It is here <3 a<b"}},
         {}},
        {"cues without text are left out",
         "1\n00:01 --> 00:02\n\n2\n00:03 --> 00:04\n<i></i>\n\n3\n00:05 --> 00:06\nC",
         {{3, "C"}},
         {"line 2: cue 1 has no text; left out", "line 5: cue 2 has no text; left out"}},
        {"blank lines before and after", "\n\n\n1\n00:01 --> 00:02\nA\n\n\n\n", {{1, "A"}}, {}},
        {"another arrow where a block starts",
         "1\n00:00:01,000 --> 00:00:02,000\nA\n\n2\n00:00:03,000 -> 00:00:04,000\nB\n\n00:05 =>00:06\nC\n",
         {{1, "A"}, {2, "B"}, {3, "C"}},
         {"line 6: the timing arrow '->' is read as '-->'", "line 9: the timing arrow '=>' is read as '-->'",
          "line 9: no cue number; numbered 3"}},
        {"another arrow after a number, without a blank line",
         "1\n00:01 --> 00:02\nA\n2\n00:00:03,000 - > 00:00:04,000\nB",
         {{1, "A"}, {2, "B"}},
         {"line 4: no blank line before this cue", "line 5: the timing arrow '- >' is read as '-->'"}},
        {"a cue's line that looks like a time stays text",
         "1\n00:01 --> 00:02\nOpen\n10:00 - 11:00\n",
         {{1, "Open\n10:00 - 11:00"}},
         {}},
        {"a block without a timing line",
         "1\n00:01 --> 00:02\nA\n\n2\n00:00:03,000 00:00:04,000\nB\n\n3\n00:05 --> 00:06\nC",
         {{1, "A"}, {3, "C"}},
         {"line 5: no timing line; the block's 3 lines are left out"}},
        {"an end before its start",
         "1\n00:00:05,000 --> 00:00:02,000\nA\n\n2\n00:06 --> 00:07\nB\n",
         {{2, "B"}},
         {"line 2: cue 1 ends (00:00:02,000) before it starts (00:00:05,000); left out"}},
    };
    for (const auto& c : cases) {
        const SubtitleFile file = Read(c.srt);
        List cues;
        for (const Cue& cue : file.cues) cues.emplace_back(cue.number, Utf16ToUtf8(cue.text.c_str()));
        EXPECT_EQ(cues, c.cues) << c.name;
        EXPECT_EQ(file.warnings, c.warnings) << c.name;
    }
}

TEST(ParseSrt, ReadsEachCuesTimesWholeCueStyleAndPosition) {
    const SubtitleFile file = Read(
        "1\n00:00:01,000 --> 00:00:02,500\n<i>One</i>\n\n"
        "2\n00:00:02,000 --> 00:00:04.5 X1:10 X2:20 Y1:5 Y2:9\n{\\an9}<b>Two</b>\n\n"
        "3\nsoon --> later\n<font color=\"red\">Three</font>\n");
    const std::vector<Cue>& cues = file.cues;
    ASSERT_EQ(cues.size(), 3u);
    EXPECT_EQ(cues[0].start, 1000);
    EXPECT_EQ(cues[0].end, 2500);
    EXPECT_TRUE(cues[0].style.italic);
    EXPECT_EQ(cues[0].placement.anchor, 2);
    EXPECT_EQ(cues[1].start, 2000);
    EXPECT_EQ(cues[1].end, 4500);
    EXPECT_TRUE(cues[1].style.bold);
    EXPECT_EQ(cues[1].placement.anchor, 9);
    EXPECT_TRUE(cues[1].align == LineAlign::Right);
    EXPECT_EQ(cues[2].start, -1);
    EXPECT_EQ(cues[2].end, -1);
    EXPECT_EQ(cues[2].style.color.value_or(0), 0xFF0000FFu);
    EXPECT_EQ(file.overlaps, 1u);
    EXPECT_EQ(file.warnings, Warnings{"line 10: cue 3's start time cannot be read; its times are left null"});
}

TEST(ParseSrtTime, ReadsTheFormsFilesUse) {
    const struct {
        const char* text;
        int64_t milliseconds;
    } cases[] = {
        {"00:00:01,000", 1000},
        {"01:02:03,456", 3723456},
        {"1:2:3.4", 3723400},
        {"02:03,456", 123456},
        {"3,5", 3500},
        {"7", 7000},
        {"100:00:00,000", 360000000},
        {"00:00:01,2345", 1234},
        {"", -1},
        {"1:2:3:4", -1},
        {"1,2,3", -1},
        {"a:00", -1},
        {"1:", -1},
        {"1,", -1},
        {":1", -1},
        {"-1", -1},
        {"1 2", -1},
    };
    for (const auto& c : cases) {
        const Decoded d = Utf8ToUtf16(c.text);
        EXPECT_EQ(ParseSrtTime(d.text), c.milliseconds) << c.text;
    }
}

TEST(CueFiles, NamesAndRecognisesOnlyItsOwnNames) {
    EXPECT_EQ(CueFileName(1), "cue-0001.png");
    EXPECT_EQ(CueFileName(12345), "cue-12345.png");
    for (const char* name : {"cue-0001.png", "cue-9999.png", "cue-12345.png"}) EXPECT_TRUE(IsCueFileName(name)) << name;
    for (const char* name : {"cue-001.png", "cue-01234.png", "cue-0001.PNG", "Cue-0001.png", "cue-0001.png.bak",
                             "cue-abcd.png", "cues.json", "my-cue-0001.png", "cue-.png"})
        EXPECT_FALSE(IsCueFileName(name)) << name;
}

}  // namespace
}  // namespace textraster::tool
