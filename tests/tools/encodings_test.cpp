// Subtitle files in the encodings people have them in: each is named on the
// status line and gives the pictures the UTF-8 file gives; what cannot be
// decoded is said with its line.
#include <gtest/gtest.h>

#include "tool_test_support.h"
#include "utf.h"

namespace textraster::tool::test {
namespace {

using namespace std::string_literals;

// Two cues of French with the punctuation only windows-1252 of the 8-bit code
// pages has (’ … —), as UTF-8.
const std::string kFrench =
    "1\r\n00:00:01,200 --> 00:00:03,800\r\nO\xC3\xB9 est pass\xC3\xA9 l\xE2\x80\x99\xC3\xA9t\xC3\xA9 ? "
    "C\xE2\x80\x99\xC3\xA9tait hier\xE2\x80\xA6\r\n\r\n"
    "2\r\n00:00:04,100 --> 00:00:06,900\r\n\xE2\x80\x94 D\xC3\xA9j\xC3\xA0 parti ? \xC3\x87"
    "a ne fait rien,\r\non en reparlera demain.\r\n";

std::u16string Utf16(const std::string& utf8) {
    const Text t = Utf8ToUtf16(utf8).text;
    return std::u16string(t.begin(), t.end());
}

std::string Utf16Bytes(const std::u16string& text, bool bigEndian) {
    std::string out;
    for (char16_t c : text)
        out += bigEndian ? std::string{char(c >> 8), char(c & 0xFF)} : std::string{char(c & 0xFF), char(c >> 8)};
    return out;
}

// windows-1252: Latin-1's letters, and the punctuation it puts in Latin-1's gap.
std::string Cp1252(const std::string& utf8) {
    std::string out;
    for (char16_t c : Utf16(utf8)) {
        const char16_t gap[][2] = {{0x2019, 0x92}, {0x2026, 0x85}, {0x2014, 0x97}, {0x20AC, 0x80}};
        for (const auto& g : gap)
            if (c == g[0]) c = g[1];
        out += char(c);
    }
    return out;
}

struct Pictures {
    Outcome outcome;
    std::vector<Image> cues;
};

Pictures Subtitles(const std::string& dir, const std::string& path, const std::vector<std::string>& args) {
    const std::string folder = dir + "/cues";
    std::filesystem::remove_all(std::filesystem::u8path(folder));
    Pictures run{RunTool(Plus({"subtitles", path, "-o", folder, "--fit"}, args), dir), {}};
    for (int n = 1; IsFile(folder + "/cue-000" + std::to_string(n) + ".png"); ++n)
        run.cues.push_back(Png(folder + "/cue-000" + std::to_string(n) + ".png"));
    return run;
}

TEST(Encodings, EachIsNamedAndGivesThePicturesOfUtf8) {
    const std::string dir = Folder("encodings");
    const std::u16string french = Utf16(kFrench);
    const struct {
        const char* name;
        std::string bytes;  // or a sample's file name
        std::vector<std::string> args;
        const char* encoding;  // on the status line
        size_t cues;
    } cases[] = {
        {"utf-8", kFrench, {}, "(UTF-8, valid UTF-8)", 2},
        {"utf-8 marked", "\xEF\xBB\xBF" + kFrench, {}, "(UTF-8, its byte-order mark)", 2},
        {"utf-16le marked", Utf16Bytes(u"\uFEFF" + french, false), {}, "(UTF-16LE, its byte-order mark)", 2},
        {"utf-16be marked", Utf16Bytes(u"\uFEFF" + french, true), {}, "(UTF-16BE, its byte-order mark)", 2},
        {"utf-16le", Utf16Bytes(french, false), {}, "(UTF-16LE, the pattern of its NUL bytes)", 2},
        {"utf-16be", Utf16Bytes(french, true), {}, "(UTF-16BE, the pattern of its NUL bytes)", 2},
        {"windows-1252", Cp1252(kFrench), {}, "(windows-1252, guessed from its bytes)", 2},
        {"named", Cp1252(kFrench), {"--encoding", "CP1252"}, "(cp1252, as --encoding says)", 2},
        {"latin-1 read as windows-1252", Cp1252(kFrench), {"--encoding", "latin1"}, "(windows-1252, as", 2},
        {"utf-16 named", Utf16Bytes(french, true), {"--encoding", "utf-16be"}, "(UTF-16BE, as --encoding", 2},
        {"sample: french-windows-1252.srt", "", {}, "(windows-1252, guessed from its bytes)", 5},
        {"sample: spanish-latin-1.srt", "", {}, "(windows-1252, guessed from its bytes)", 5},
        {"sample: bilingual-utf16.srt", "", {}, "(UTF-16LE, the pattern of its NUL bytes)", 5},
    };
    const std::string utf8 = dir + "/utf8.srt";
    WriteFile(utf8, kFrench);
    const std::vector<Image> reference = Subtitles(dir, utf8, {}).cues;
    ASSERT_EQ(reference.size(), 2u);
    for (const auto& c : cases) {
        const std::string sample = std::string(c.name).substr(0, 8) == "sample: " ? std::string(c.name + 8) : "";
        const std::string path = sample.empty() ? dir + "/in.srt" : std::string(TEXTRASTER_SAMPLES "/") + sample;
        if (sample.empty()) WriteFile(path, c.bytes);
        const Pictures run = Subtitles(dir, path, c.args);
        EXPECT_EQ(run.outcome.status, 0) << c.name << ": " << run.outcome.err;
        EXPECT_NE(run.outcome.err.find(c.encoding), std::string::npos) << c.name << ": " << run.outcome.err;
        ASSERT_EQ(run.cues.size(), c.cues) << c.name;
        for (size_t i = 0; sample.empty() && i < run.cues.size(); ++i)
            EXPECT_TRUE(run.cues[i].pixels == reference[i].pixels) << c.name << ", cue " << i + 1;
    }
}

TEST(Encodings, WhatCannotBeDecodedIsSaidWithItsLine) {
    const std::string dir = Folder("encodings-broken");
    std::u16string brokenUtf16 = Utf16(kFrench);
    brokenUtf16.insert(brokenUtf16.find(u"est"), 1, char16_t(0xD800));
    const struct {
        const char* name;
        std::string bytes;
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {"utf-8 with a broken line",
         kFrench + "\r\n3\r\n00:00:07,000 --> 00:00:08,000\r\nEncore un caf\xE9 ?\r\n",
         {},
         "in.srt' read as UTF-8, valid UTF-8: line 12: invalid UTF-8: cut sequence at byte 13 of the line"},
        {"windows-1252 named utf-8",
         Cp1252(kFrench),
         {"--encoding", "UTF-8"},
         "line 3: invalid UTF-8: unexpected byte at byte 1 of the line"},
        {"utf-16 with half a pair",
         Utf16Bytes(brokenUtf16, false),
         {},
         "line 3: invalid UTF-16: unpaired surrogate at code unit 3 of the line"},
        {"a stray NUL", "1\r\n00:01 --> 00:02\r\nA\0B\r\n"s, {}, "it holds NUL bytes"},
        {"a NUL character", "1\r\n00:01 --> 00:02\r\nA\0B\r\n"s, {"--encoding", "utf-8"}, "line 3 holds a NUL"},
        {"odd UTF-16",
         "\xFF\xFE"
         "1\0\n",
         {},
         "an odd number of bytes"},
        {"unknown", kFrench, {"--encoding", "klingon"}, "the encoding 'klingon' is not known here"},
        {"shift_jis",
         "1\r\n00:01 --> 00:02\r\n\x82\xA0\r\n\r\n2\r\n00:03 --> 00:04\r\nabc\x82\r\n",
         {"--encoding", "Shift_JIS"},
         "line 7: a byte that shift_jis does not have"},
    };
    for (const auto& c : cases) {
        WriteFile(dir + "/in.srt", c.bytes);
        const Pictures run = Subtitles(dir, dir + "/in.srt", c.args);
        EXPECT_EQ(run.outcome.status, 1) << c.name;
        EXPECT_NE(run.outcome.err.find(c.message), std::string::npos) << c.name << ": " << run.outcome.err;
        EXPECT_NE(run.outcome.err.find("--encoding NAME names its encoding"), std::string::npos) << run.outcome.err;
        EXPECT_TRUE(run.cues.empty()) << c.name;
    }
}

}  // namespace
}  // namespace textraster::tool::test
