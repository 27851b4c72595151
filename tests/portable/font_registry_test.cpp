// Private font registration: registered faces come before installed ones,
// from a file or from memory, until they are removed.
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <fontconfig/fcfreetype.h>  // needs the two above
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>

#include "gdi_fixture.h"
#include "platform/portable/character_coverage.h"
#include "support/font_files.h"

namespace textraster::test {
namespace {

using Bytes = std::vector<unsigned char>;

Bytes ReadAll(const std::string& pattern) {
    return ReadFileBytes(FontFile(pattern));
}

// Renames a font in place by replacing a name with another of the same
// length, in its Macintosh (single-byte) and Windows (UTF-16BE) records.
void Rename(Bytes& font, const std::string& from, const std::string& to) {
    auto replace = [&font](const Bytes& a, const Bytes& b) {
        for (auto it = std::search(font.begin(), font.end(), a.begin(), a.end()); it != font.end();
             it = std::search(it, font.end(), a.begin(), a.end()))
            it = std::copy(b.begin(), b.end(), it);
    };
    auto wide = [](const std::string& s) {
        Bytes out;
        for (char c : s) out.insert(out.end(), {0, static_cast<unsigned char>(c)});
        return out;
    };
    replace(Bytes(from.begin(), from.end()), Bytes(to.begin(), to.end()));
    replace(wide(from), wide(to));
}

// DejaVu Sans Mono renamed to shadow the installed Liberation Serif: a
// monospaced face under a proportional family's name.
Bytes ShadowingFont() {
    Bytes font = ReadAll("DejaVu Sans Mono");
    Rename(font, "DejaVu Sans Mono", "Liberation Serif");
    return font;
}

bool LiberationSerifIsMonospaced() {
    Measurer m(Describe(u"Liberation Serif", 20));
    return m.Extent(u"iiii") == m.Extent(u"WWWW");
}

class TempFile {
   public:
    explicit TempFile(const Bytes& content) {
        char name[] = "/tmp/textraster-portable-XXXXXX";
        const int fd = mkstemp(name);
        EXPECT_GE(fd, 0);
        EXPECT_EQ(write(fd, content.data(), content.size()), static_cast<ssize_t>(content.size()));
        close(fd);
        path_ = name;
        wide_.assign(path_.begin(), path_.end());
    }
    ~TempFile() { std::remove(path_.c_str()); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    LPCWSTR path() const { return wide_.c_str(); }

   private:
    std::string path_;
    std::u16string wide_;
};

TEST(FontRegistry, AMemoryFontComesBeforeTheInstalledOneUntilRemoved) {
    ASSERT_FALSE(LiberationSerifIsMonospaced());
    Bytes image = ShadowingFont();
    DWORD count = 0;
    HANDLE handle = AddFontMemResourceEx(image.data(), static_cast<DWORD>(image.size()), nullptr, &count);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(count, 1u);
    std::fill(image.begin(), image.end(), 0);  // the host may drop its image at once
    EXPECT_TRUE(LiberationSerifIsMonospaced());

    EXPECT_TRUE(RemoveFontMemResourceEx(handle));
    EXPECT_FALSE(LiberationSerifIsMonospaced());
    EXPECT_FALSE(RemoveFontMemResourceEx(handle));
}

TEST(FontRegistry, AFileRegistrationIsCountedAndUndoneOnePerRemoval) {
    TempFile file(ShadowingFont());
    EXPECT_EQ(AddFontResourceExW(file.path(), FR_PRIVATE, nullptr), 1);
    EXPECT_EQ(AddFontResourceExW(file.path(), FR_PRIVATE, nullptr), 1);
    EXPECT_TRUE(LiberationSerifIsMonospaced());
    EXPECT_TRUE(RemoveFontResourceExW(file.path(), FR_PRIVATE, nullptr));
    EXPECT_TRUE(LiberationSerifIsMonospaced());
    EXPECT_TRUE(RemoveFontResourceExW(file.path(), FR_PRIVATE, nullptr));
    EXPECT_FALSE(LiberationSerifIsMonospaced());
    EXPECT_FALSE(RemoveFontResourceExW(file.path(), FR_PRIVATE, nullptr));
}

TEST(FontRegistry, AFaceIsFoundByItsFullNameToo) {
    Bytes image = ReadAll("DejaVu Sans Mono:bold");
    Rename(image, "DejaVu Sans Mono", "Private Mono XYZ");  // full name "Private Mono XYZ Bold"
    DWORD count = 0;
    HANDLE handle = AddFontMemResourceEx(image.data(), static_cast<DWORD>(image.size()), nullptr, &count);
    ASSERT_NE(handle, nullptr);
    for (std::u16string_view name : {u"Private Mono XYZ Bold", u"private mono xyz"}) {
        Measurer m(Describe(name, 20));
        EXPECT_EQ(m.Metrics().tmWeight, FW_BOLD);
        EXPECT_EQ(m.Extent(u"iiii"), m.Extent(u"WWWW"));
    }
    EXPECT_TRUE(RemoveFontMemResourceEx(handle));
    Measurer gone(Describe(u"Private Mono XYZ Bold", 20));
    EXPECT_NE(gone.Extent(u"iiii"), gone.Extent(u"WWWW"));
}

TEST(FontRegistry, ACollectionRegistersEveryFace) {
    TempFile file(ReadAll("WenQuanYi Micro Hei"));
    EXPECT_EQ(AddFontResourceExW(file.path(), FR_PRIVATE, nullptr), 2);
    EXPECT_TRUE(RemoveFontResourceExW(file.path(), FR_PRIVATE, nullptr));
}

TEST(FontRegistry, WhatIsNotAFontRegistersNothing) {
    TempFile text(Bytes(1000, 'x'));
    EXPECT_EQ(AddFontResourceExW(text.path(), FR_PRIVATE, nullptr), 0);
    EXPECT_EQ(AddFontResourceExW(u"/nonexistent/font.ttf", FR_PRIVATE, nullptr), 0);
    EXPECT_EQ(AddFontResourceExW(u"", FR_PRIVATE, nullptr), 0);
    EXPECT_EQ(AddFontResourceExW(nullptr, FR_PRIVATE, nullptr), 0);
    EXPECT_FALSE(RemoveFontResourceExW(text.path(), FR_PRIVATE, nullptr));

    Bytes garbage(1000, 'x');
    DWORD count = 77;
    EXPECT_EQ(AddFontMemResourceEx(garbage.data(), 1000, nullptr, &count), nullptr);
    EXPECT_EQ(AddFontMemResourceEx(garbage.data(), 0, nullptr, &count), nullptr);
    EXPECT_EQ(AddFontMemResourceEx(nullptr, 1000, nullptr, &count), nullptr);
    Bytes font = ShadowingFont();
    EXPECT_EQ(AddFontMemResourceEx(font.data(), static_cast<DWORD>(font.size()), nullptr, nullptr), nullptr);
    EXPECT_EQ(count, 77u);
    EXPECT_FALSE(RemoveFontMemResourceEx(nullptr));
}

}  // namespace
}  // namespace textraster::test

namespace textraster::test {
namespace {

// A private face's characters, kept in pages of our own, are exactly the set
// fontconfig computes for it, in every plane that faces fill.
TEST(CharacterCoverage, AnswersAsFontconfigsSet) {
    FT_Library library = nullptr;
    ASSERT_EQ(FT_Init_FreeType(&library), 0);
    for (const char* pattern : {"DejaVu Sans", "FreeSerif", "IPAGothic", "Khmer OS"}) {
        SCOPED_TRACE(pattern);
        FT_Face face = nullptr;
        ASSERT_EQ(FT_New_Face(library, FontFile(pattern).c_str(), 0, &face), 0);
        FcCharSet* expected = FcFreeTypeCharSet(face, nullptr);
        const portable::CharacterCoverage coverage(face);
        int differences = 0, covered = 0;
        for (char32_t c = 0; c < 0x30000; ++c) {
            const bool has = FcCharSetHasChar(expected, c);
            covered += has;
            if (coverage.Has(c) != has && ++differences <= 3) ADD_FAILURE() << std::hex << unsigned(c);
        }
        EXPECT_EQ(differences, 0);
        EXPECT_GT(covered, 200);
        FcCharSetDestroy(expected);
        FT_Done_Face(face);
    }
    FT_Done_FreeType(library);
}

}  // namespace
}  // namespace textraster::test
