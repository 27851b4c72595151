// The full name of every font installed on this machine, as the readers find
// it, against an independent reading of the same files by fontTools
// (tests/font_name_oracle.py writes the list that TEXTRASTER_FONT_NAMES names;
// CTest runs it first).
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "fonts/name_table.h"
#include "support/font_files.h"
#include "support/test_text.h"

namespace textraster {
namespace {

using test::Show;
using test::Text;

Text FromHex(const std::string& hex) {
    Text text;
    for (size_t i = 0; i + 4 <= hex.size(); i += 4) text.push_back(TextChar(std::stoul(hex.substr(i, 4), nullptr, 16)));
    return text;
}

// A path of this machine as the platform names it (see test::HostPath).
Text HostTextPath(const Text& unixPath) {
#ifdef _WIN32
    Text path = L"Z:" + unixPath;
    for (TextChar& c : path)
        if (c == '/') c = '\\';
    return path;
#else
    return unixPath;
#endif
}

TEST(FontNameOracle, EveryInstalledFont) {
    const char* list = std::getenv("TEXTRASTER_FONT_NAMES");
    if (list == nullptr) GTEST_SKIP() << "TEXTRASTER_FONT_NAMES names no list";
    std::ifstream in(test::HostPath(list));
    ASSERT_TRUE(in) << list;

    int fonts = 0;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        int32_t expectedResult = -1;
        std::string pathHex, nameHex, shownPath;
        fields >> expectedResult >> pathHex;
        fields.ignore(1);
        std::getline(fields, nameHex, '\t');
        std::getline(fields, shownPath);
        SCOPED_TRACE(shownPath);
        const Text path = HostTextPath(FromHex(pathHex));
        const Text expected = FromHex(nameHex);

        TextChar name[kFullNameCapacity] = {};
        NameTableHeader header{};
        EXPECT_EQ(ReadFontFullName(path.c_str(), header, name), expectedResult);
        EXPECT_EQ(Text(name), expected) << Show(name) << " vs " << Show(expected);

        const auto image = test::ReadFileBytes(std::filesystem::path(path));
        TextChar fromImage[kFullNameCapacity] = {};
        EXPECT_EQ(ReadMemFontFullName(image.data(), uint32_t(image.size()), header, fromImage), expectedResult);
        EXPECT_EQ(Text(fromImage), expected) << Show(fromImage);
        ++fonts;
    }
    EXPECT_GT(fonts, 0) << "no fonts listed";
    std::cout << fonts << " fonts compared\n";
}

}  // namespace
}  // namespace textraster
