// The tests' own fontconfig rules (tests/fonts.conf), added to whatever
// configuration the machine has (or FONTCONFIG_FILE names) before the first
// test asks for a face, so that a test taking the system's choice of face
// gets the one it was written for on a machine with more fonts too.
#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

namespace {

class TestFontconfig : public ::testing::Environment {
   public:
    void SetUp() override {
        FcConfig* config = FcConfigGetCurrent();
        ASSERT_TRUE(config);
        ASSERT_TRUE(FcConfigParseAndLoad(config, reinterpret_cast<const FcChar8*>(TEXTRASTER_TEST_FONTCONFIG), FcTrue))
            << TEXTRASTER_TEST_FONTCONFIG;
    }
};

::testing::Environment* const kTestFontconfig = ::testing::AddGlobalTestEnvironment(new TestFontconfig);

}  // namespace
