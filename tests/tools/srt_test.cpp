// Reading untidy SubRip files.
#include "srt.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace textraster::tool
