// A text's reading direction from its first strong letter.
#include "reading_direction.h"

#include <gtest/gtest.h>

namespace textraster::tool {
namespace {

TEST(FirstStrongDirection, FollowsTheFirstLetterPastNeutralCharacters) {
    const Direction ltr = Direction::LeftToRight, rtl = Direction::RightToLeft, none = Direction::Neutral;
    const struct {
        const char* text;
        Direction direction;
    } cases[] = {
        {"Hello", ltr},
        {"\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D", rtl},          // Hebrew
        {"\xD9\x85\xD8\xB1\xD8\xAD\xD8\xA8\xD8\xA7", rtl},  // Arabic
        {"- 2024, \xC2\xAB\xD7\xA9 and Latin", rtl},        // punctuation and digits first
        {"\xD9\xA1\xD9\xA2 abc", ltr},                      // Arabic-Indic digits are not letters
        {"\xD9\x8E\xD8\xA8", rtl},                          // a mark before the letter
        {"\xE2\x80\x8F"
         "abc",
         rtl},                                           // RIGHT-TO-LEFT MARK
        {"\xE2\x80\x8E\xD7\xA9", ltr},                   // LEFT-TO-RIGHT MARK
        {"\xE2\x80\x94 \xD0\x9F\xD1\x80\xD0\xB8", ltr},  // a dash, then Cyrillic
        {"\xE3\x80\x8C\xE6\x97\xA5\xE6\x9C\xAC", ltr},   // a CJK bracket, then ideographs
        {"\xF0\x9F\x98\x80 \xD7\xA9", rtl},              // an emoji, then Hebrew
        {"\xF0\x9E\xA4\x80", rtl},                       // Adlam, above the basic plane
        {"\xC2\xB5", ltr},                               // MICRO SIGN is a letter
        {"123 ... !?", none},
        {"", none},
    };
    for (const auto& c : cases) EXPECT_EQ(FirstStrongDirection(Utf8ToUtf16(c.text).text), c.direction) << c.text;
}

}  // namespace
}  // namespace textraster::tool
