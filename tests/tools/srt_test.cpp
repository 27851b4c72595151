// Reading untidy SubRip files.
#include "srt.h"

#include <gtest/gtest.h>

#include "cue_files.h"

namespace textraster::tool {
namespace {

std::vector<std::pair<int, std::string>> Cues(const std::string& srt) {
    std::vector<std::pair<int, std::string>> out;
    for (const Cue& c : ParseSrt(DecodeTextFile(std::vector<uint8_t>(srt.begin(), srt.end())).text))
        out.emplace_back(c.number, Utf16ToUtf8(c.text.c_str()));
    return out;
}

using List = std::vector<std::pair<int, std::string>>;

TEST(ParseSrt, ReadsTidyAndUntidyFiles) {
    const struct {
        const char* name;
        std::string srt;
        List cues;
    } cases[] = {
        {"tidy",
         "1\n00:00:01,000 --> 00:00:02,000\nHello\n\n2\n00:00:03,000 --> 00:00:04,000\nWorld\n",
         {{1, "Hello"}, {2, "World"}}},
        {"crlf, mark, two lines",
         "\xEF\xBB\xBF"
         "1\r\n00:00:01,000 --> 00:00:02,000\r\nOne\r\nTwo\r\n",
         {{1, "One\nTwo"}}},
        {"old Mac line ends",
         "1\r00:00:01,000 --> 00:00:02,000\rA\r\r2\r00:00:03,000 --> 00:00:04,000\rB\r",
         {{1, "A"}, {2, "B"}}},
        {"no blank line between cues", "1\n00:01 --> 00:02\nA\n2\n00:03 --> 00:04\nB", {{1, "A"}, {2, "B"}}},
        {"a number inside a cue stays text",
         "1\n00:01 --> 00:02\nRoom\n101\n\n2\n00:03 --> 00:04\nB\n",
         {{1, "Room\n101"}, {2, "B"}}},
        {"missing and repeated numbers",
         "00:01 --> 00:02\nA\n\n7\n00:03 --> 00:04\nB\n\n7\n00:05 --> 00:06\nC\n",
         {{1, "A"}, {7, "B"}, {8, "C"}}},
        {"tags",
         "1\n00:01 --> 00:02\n<i>It</i> <B>is</B> <font color=\"#fff\">here</font> <3 a<b\n",
         {{1, "It is here <3 a<b"}}},
        {"cues without text are left out",
         "1\n00:01 --> 00:02\n\n2\n00:03 --> 00:04\n<i></i>\n\n3\n00:05 --> 00:06\nC",
         {{3, "C"}}},
        {"blank lines before and after", "\n\n\n1\n00:01 --> 00:02\nA\n\n\n\n", {{1, "A"}}},
    };
    for (const auto& c : cases) EXPECT_EQ(Cues(c.srt), c.cues) << c.name;
}

TEST(ParseSrt, ReadsEachCuesTimesAndWholeCueStyle) {
    const std::string srt =
        "1\n00:00:01,000 --> 00:00:02,500\n<i>One</i>\n\n"
        "2\n01:02:03.004 --> 01:02:04.5 X1:10 X2:20 Y1:5 Y2:9\n<b>Two</b>\n\n"
        "3\nsoon --> later\n<font color=\"red\">Three</font>\n";
    const std::vector<Cue> cues = ParseSrt(DecodeTextFile(std::vector<uint8_t>(srt.begin(), srt.end())).text);
    ASSERT_EQ(cues.size(), 3u);
    EXPECT_EQ(cues[0].start, 1000);
    EXPECT_EQ(cues[0].end, 2500);
    EXPECT_TRUE(cues[0].style.italic);
    EXPECT_EQ(cues[1].start, 3723004);
    EXPECT_EQ(cues[1].end, 3724500);
    EXPECT_TRUE(cues[1].style.bold);
    EXPECT_EQ(cues[2].start, -1);
    EXPECT_EQ(cues[2].end, -1);
    EXPECT_EQ(cues[2].style.color.value_or(0), 0xFF0000FFu);
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
