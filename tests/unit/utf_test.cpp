// UTF-8 and UTF-16 conversions: strict where text comes in from outside,
// and a lone surrogate of the host's text kept as a character of its own.
#include "text/utf.h"

#include <gtest/gtest.h>

#include "support/test_text.h"

namespace textraster {
namespace {

using test::T;
using test::Text;

TEST(Utf8ToUtf16, DecodesEveryLengthAndPairsAboveTheBasicPlane) {
    const Decoded d = Utf8ToUtf16("a\xC3\xA9\xE6\x97\xA5\xF0\x9F\x98\x80");  // a é 日 😀
    EXPECT_EQ(d.error, "");
    EXPECT_EQ(d.text, T(u"a\u00E9\u65E5\U0001F600"));
    EXPECT_EQ(Utf16ToUtf8(d.text.c_str()), "a\xC3\xA9\xE6\x97\xA5\xF0\x9F\x98\x80");
}

TEST(Utf8ToUtf16, RefusesBrokenInputAndSaysWhere) {
    const struct {
        const char* bytes;
        const char* error;
    } cases[] = {
        {"ab\x80", "invalid UTF-8: unexpected byte at byte 2"},
        {"\xC3", "invalid UTF-8: cut sequence at byte 0"},
        {"x\xE6\x97y", "invalid UTF-8: cut sequence at byte 1"},
        {"\xC0\xAF", "invalid UTF-8: overlong form at byte 0"},
        {"\xE0\x80\xAF", "invalid UTF-8: overlong form at byte 0"},
        {"\xED\xA0\x80", "invalid UTF-8: encoded surrogate at byte 0"},
        {"\xF4\x90\x80\x80", "invalid UTF-8: value above U+10FFFF at byte 0"},
        {"\xFF", "invalid UTF-8: unexpected byte at byte 0"},
    };
    for (const auto& c : cases) {
        const Decoded d = Utf8ToUtf16(c.bytes);
        EXPECT_EQ(d.error, c.error) << c.bytes;
        EXPECT_TRUE(d.text.empty());
    }
}

TEST(DecodeTextFile, FollowsTheByteOrderMark) {
    const struct {
        std::vector<uint8_t> bytes;
        std::u16string text;
        const char* error;
    } cases[] = {
        {{'h', 'i'}, u"hi", ""},
        {{0xEF, 0xBB, 0xBF, 'h', 'i'}, u"hi", ""},
        {{0xFF, 0xFE, 'h', 0, 0xE5, 0x65}, u"h\u65E5", ""},
        {{0xFE, 0xFF, 0, 'h', 0x65, 0xE5}, u"h\u65E5", ""},
        {{0xFF, 0xFE, 'h'}, u"", "invalid UTF-16: the file has an odd number of bytes"},
        {{0xFF, 0xFE, 0x00, 0xDC, 'h', 0}, u"", "invalid UTF-16: unpaired surrogate at code unit 0"},
        {{0xFF, 0xFE, 'h', 0, 0x3D, 0xD8}, u"", "invalid UTF-16: unpaired surrogate at code unit 1"},
    };
    for (const auto& c : cases) {
        const Decoded d = DecodeTextFile(c.bytes);
        EXPECT_EQ(d.error, c.error);
        EXPECT_EQ(d.text, T(c.text));
    }
}

TEST(Utf16ToUtf8, ALoneSurrogateIsTheReplacementCharacter) {
    const struct {
        std::u16string text;
        std::string utf8;
    } cases[] = {
        {u"", ""},
        {u"\xD800", "\xEF\xBF\xBD"},
        {u"a\xDC00"
         u"b",
         "a\xEF\xBF\xBD"
         "b"},
        {u"\xD83D\xDE00", "\xF0\x9F\x98\x80"},
        {u"\xDE00\xD83D", "\xEF\xBF\xBD\xEF\xBF\xBD"},  // the halves the wrong way round
        {std::u16string(u"\xD83D") + u'\0' + u"x", std::string("\xEF\xBF\xBD") + '\0' + "x"},
    };
    for (const auto& c : cases) {
        const Text text = T(c.text);
        EXPECT_EQ(Utf16ToUtf8(TextView(text.data(), text.size())), c.utf8);
    }
}

}  // namespace
}  // namespace textraster
