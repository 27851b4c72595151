#include "text/char_class.h"

#include <gtest/gtest.h>

namespace textraster {
namespace {

struct ClassCase {
    char16_t c;
    bool whiteSpace;
    bool breakBefore;
    bool separator;
};

TEST(CharClass, FixedSets) {
    const ClassCase cases[] = {
        {0x0009, true, true, false},   {0x000A, true, true, false},   {0x000D, true, true, false},
        {0x0020, true, true, false},   {0x2000, true, true, false},   {0x200A, true, true, false},
        {0x200B, true, true, false},   {0x3000, true, true, false},   {0x2028, false, false, true},
        {0x2029, false, false, true},  {0x00A0, false, false, false}, {0x000B, false, false, false},
        {0x000C, false, false, false}, {0x0085, false, false, false}, {0x1680, false, false, false},
        {0x202F, false, false, false}, {0x205F, false, false, false}, {0xFEFF, false, false, false},
        {0x200C, false, false, false}, {0x2E7F, false, false, false}, {0x2E80, false, true, false},
        {0xA4CF, false, true, false},  {0xA4D0, false, false, false}, {0x3042, false, true, false},
        {0x3002, false, true, false},  {0x4E00, false, true, false},  {0xAC00, false, false, false},
        {0xFF01, false, false, false}, {0xFFFC, false, true, false},  {0xFFFD, false, false, false},
        {0xD800, false, false, false}, {0xDC00, false, false, false}, {u'a', false, false, false},
    };
    for (const ClassCase& k : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << "U+" << unsigned(k.c));
        EXPECT_EQ(IsWhiteSpace(k.c), k.whiteSpace);
        EXPECT_EQ(CanBreakBefore(k.c), k.breakBefore);
        EXPECT_EQ(IsLineOrParagraphSeparator(k.c), k.separator);
    }
}

TEST(CharClass, WhiteSpaceHasExactlySeventeenMembers) {
    int members = 0;
    for (uint32_t c = 0; c <= 0xFFFF; ++c) members += IsWhiteSpace(char16_t(c));
    EXPECT_EQ(members, 17);
}

}  // namespace
}  // namespace textraster
