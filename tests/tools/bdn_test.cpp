// --index bdn: the BDN XML index, read as the converters to PGS read it.
#include <gtest/gtest.h>

#include <regex>

#include "tool_test_support.h"

namespace textraster::tool::test {
namespace {

// The value of `name="..."` in an element's text; empty when missing.
std::string Attribute(const std::string& element, const std::string& name) {
    std::smatch m;
    return std::regex_search(element, m, std::regex(" " + name + "=\"([^\"]*)\"")) ? m[1].str() : "";
}

// The first element of `tag` in the XML, from '<' to '>'.
std::string Element(const std::string& xml, const std::string& tag) {
    std::smatch m;
    return std::regex_search(xml, m, std::regex("<" + tag + " [^>]*>")) ? m[0].str() : "";
}

TEST(Bdn, EventsCarryTimecodesAtTheFrameRateAndThePlacedPictures) {
    const std::string dir = Folder("bdn");
    // At 1 s, 1 min and 10 min: where drop-frame counting skips and where it does not.
    WriteFile(dir + "/film.srt",
              "1\n00:00:01,000 --> 00:00:03,500\nOne\n\n2\n00:01:00,000 --> 00:01:01,000\n{\\an8}Two\n\n"
              "3\n00:10:00,000 --> 00:10:03,000\nThree\\Nlines\n\n4\nsoon --> later\nNo times\n");
    const struct {
        std::vector<std::string> args;
        const char* videoFormat;
        const char* frameRate;
        const char* dropFrame;
        std::vector<std::string> timecodes;  // in and out of each event
    } cases[] = {
        {{"--frame", "1920x1080", "--fps", "25"},
         "1080p",
         "25",
         "False",
         {"00:00:01:00", "00:00:03:13", "00:01:00:00", "00:01:01:00", "00:10:00:00", "00:10:03:00"}},
        {{"--frame", "1280x720", "--fps", "23.976"},
         "720p",
         "23.976",
         "False",
         {"00:00:01:00", "00:00:03:12", "00:00:59:23", "00:01:00:23", "00:09:59:10", "00:10:02:10"}},
        {{"--frame", "1920x1080", "--fps", "30000/1001", "--drop-frame"},
         "1080p",
         "29.97",
         "True",
         {"00:00:01:00", "00:00:03:15", "00:00:59:28", "00:01:01:00", "00:10:00:00", "00:10:03:00"}},
        {{"--frame", "720x480", "--fps", "29.97"},
         "480i",
         "29.97",
         "False",
         {"00:00:01:00", "00:00:03:15", "00:00:59:28", "00:01:00:28", "00:09:59:12", "00:10:02:12"}},
        {{"--frame", "3840x2160", "--fps", "59.94", "--drop-frame"},
         "2160p",
         "59.94",
         "True",
         {"00:00:01:00", "00:00:03:30", "00:00:59:56", "00:01:01:00", "00:10:00:00", "00:10:03:00"}},
    };
    for (const auto& c : cases) {
        const std::string folder = dir + "/cues";
        const Outcome run =
            RunTool(Plus({"subtitles", dir + "/film.srt", "-o", folder, "--fit", "--index", "bdn"}, c.args), dir);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_NE(run.err.find("cue 4 has no times: not in bdn.xml"), std::string::npos) << run.err;
        const std::string xml = Slurp(folder + "/bdn.xml"), json = Slurp(folder + "/cues.json");
        EXPECT_EQ(xml.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<BDN Version=\"0.93\"", 0), 0u) << xml;
        const std::string format = Element(xml, "Format"), events = Element(xml, "Events");
        EXPECT_EQ(Attribute(format, "VideoFormat"), c.videoFormat);
        EXPECT_EQ(Attribute(format, "FrameRate"), c.frameRate);
        EXPECT_EQ(Attribute(format, "DropFrame"), c.dropFrame);
        EXPECT_EQ(Attribute(Element(xml, "Name"), "Title"), "film");
        EXPECT_EQ(Attribute(events, "Type"), "Graphic");
        EXPECT_EQ(Attribute(events, "NumberofEvents"), "3");
        EXPECT_EQ(Attribute(events, "FirstEventInTC"), c.timecodes.front());
        EXPECT_EQ(Attribute(events, "LastEventOutTC"), c.timecodes.back());

        const std::regex event(
            "<Event InTC=\"([0-9:]{11})\" OutTC=\"([0-9:]{11})\" Forced=\"False\">\\s*"
            "<Graphic Width=\"(\\d+)\" Height=\"(\\d+)\" X=\"(\\d+)\" Y=\"(\\d+)\">([^<]+)"
            "</Graphic>\\s*</Event>");
        size_t n = 0;
        for (std::sregex_iterator e(xml.begin(), xml.end(), event), end; e != end; ++e, ++n) {
            const std::smatch& m = *e;
            ASSERT_LT(2 * n + 1, c.timecodes.size());
            EXPECT_EQ(m[1].str(), c.timecodes[2 * n]) << c.frameRate << " event " << n;
            EXPECT_EQ(m[2].str(), c.timecodes[2 * n + 1]) << c.frameRate << " event " << n;
            // The graphic is the PNG beside the index, where cues.json places it.
            const Image png = Png(folder + "/" + m[7].str());
            EXPECT_EQ(std::stoul(m[3].str()), png.width);
            EXPECT_EQ(std::stoul(m[4].str()), png.height);
            const std::string entry = json.substr(json.find("\"file\": \"" + m[7].str() + "\""));
            EXPECT_EQ(std::stol(m[5].str()), JsonNumber(entry, "x"));
            EXPECT_EQ(std::stol(m[6].str()), JsonNumber(entry, "y"));
        }
        EXPECT_EQ(n, 3u) << xml;
    }
    // A frame BDN has no name for, and a count it cannot make, are refused before anything is drawn.
    for (const std::vector<std::string>& args : {std::vector<std::string>{"--frame", "1000x500", "--fps", "25"},
                                                 {"--frame", "1920x1080"},
                                                 {"--frame", "1920x1080", "--fps", "25", "--drop-frame"}}) {
        const Outcome run =
            RunTool(Plus({"subtitles", dir + "/film.srt", "-o", dir + "/x", "--index", "bdn"}, args), dir);
        EXPECT_EQ(run.status, 2) << run.err;
    }
}

}  // namespace
}  // namespace textraster::tool::test
