// Colours written as hexadecimal or by CSS name, to the record's 0xAABBGGRR.
#include "color.h"

#include <gtest/gtest.h>

namespace textraster::tool {
namespace {

TEST(ParseColor, ReadsHexadecimalAndNames) {
    const struct {
        const char* text;
        uint32_t color;
    } cases[] = {
        {"#11223344", 0x44332211u}, {"#AABBCC", 0xFFCCBBAAu},     {"aabbcc", 0xFFCCBBAAu},
        {"#F80", 0xFF0088FFu},      {"#F808", 0x880088FFu},       {"red", 0xFF0000FFu},
        {"Navy", 0xFF800000u},      {"GRAY", 0xFF808080u},        {"grey", 0xFF808080u},
        {"aliceblue", 0xFFFFF8F0u}, {"yellowgreen", 0xFF32CD9Au}, {"rebeccapurple", 0xFF993366u},
        {"transparent", 0u},        {"#00000080", 0x80000000u},
    };
    for (const auto& c : cases) {
        uint32_t color = 0x12345678;
        std::string error;
        EXPECT_TRUE(ParseColor(c.text, color, error)) << c.text << ": " << error;
        EXPECT_EQ(color, c.color) << c.text;
    }
}

TEST(ParseColor, RefusesWhatIsNeitherAndSaysWhatItTakes) {
    for (const char* text : {"", "#", "#12345", "#1234567", "#GG0000", "reddish", "red ", "0x112233", "#+12345"}) {
        uint32_t color = 0;
        std::string error;
        EXPECT_FALSE(ParseColor(text, color, error)) << text;
        EXPECT_NE(error.find("CSS colour name"), std::string::npos) << error;
    }
}

}  // namespace
}  // namespace textraster::tool
