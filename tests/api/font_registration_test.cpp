// AddFont, RemoveFont, AddMemFont and RemoveMemFont as a host sees them.
//
// The fonts are DejaVu Sans with a naming table of the test's own, so that
// each registration has a family no other font on the machine has; on
// Windows the test then asks the system whether that family can be used.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "support/font_builder.h"
#include "support/font_files.h"
#include "support/guarded_memory.h"
#include "support/test_text.h"
#include "textraster.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

using textraster::test::Bytes;
using textraster::test::NameTableBuilder;
using textraster::test::Show;
using textraster::test::T;
using textraster::test::Text;

constexpr TextChar kUnwritten = 0x7777;
constexpr size_t kNameUnits = TEXTRASTER_FULL_NAME_CAPACITY + 8;
void* const kUnwrittenHandle = reinterpret_cast<void*>(uintptr_t(0x5A5A5A50));
constexpr uint32_t kUnwrittenCount = 0xC0FFEE;

// A fullName buffer that can tell whether it was written.
struct NameBuffer {
    std::vector<TextChar> units = std::vector<TextChar>(kNameUnits, kUnwritten);
    TextChar* data() { return units.data(); }
    bool Untouched() const {
        for (TextChar c : units)
            if (c != kUnwritten) return false;
        return true;
    }
    Text text() const { return Text(units.data()); }
};

const Bytes& DejaVuSans() {
    static const Bytes font = textraster::test::ReadFileBytes(textraster::test::FontFile("DejaVu Sans"));
    return font;
}

// DejaVu Sans under the family `family`, its full name the same.
Bytes RenamedFont(std::u16string_view family) {
    return ReplaceNameTable(DejaVuSans(), NameTableBuilder{}
                                              .Add(1, 0, 0, 1, family)
                                              .Add(1, 0, 0, 4, family)
                                              .Add(3, 1, 0x409, 1, family)
                                              .Add(3, 1, 0x409, 2, u"Regular")
                                              .Add(3, 1, 0x409, 4, family));
}

// DejaVu Sans under `family` whose only full name is on the Macintosh
// platform: the system can register it, the library cannot name it.
Bytes FontWithoutWindowsFullName(std::u16string_view family) {
    return ReplaceNameTable(DejaVuSans(), NameTableBuilder{}
                                              .Add(1, 0, 0, 1, family)
                                              .Add(1, 0, 0, 4, family)
                                              .Add(3, 1, 0x409, 1, family)
                                              .Add(3, 1, 0x409, 2, u"Regular"));
}

#ifdef _WIN32
// The face the system chooses when asked for `face`: the face itself when it
// is available to this process, some other face otherwise.
Text ChosenFace(const Text& face) {
    LOGFONTW font{};
    font.lfHeight = -16;
    font.lfCharSet = DEFAULT_CHARSET;
    face.copy(font.lfFaceName, LF_FACESIZE - 1);
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT handle = CreateFontIndirectW(&font);
    HGDIOBJ old = SelectObject(dc, handle);
    wchar_t chosen[LF_FACESIZE] = {};
    GetTextFaceW(dc, LF_FACESIZE, chosen);
    SelectObject(dc, old);
    DeleteObject(handle);
    DeleteDC(dc);
    return chosen;
}

int CALLBACK FoundFamily(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

// Whether the system lists `family` among the fonts of this process.
bool FamilyListed(const Text& family) {
    LOGFONTW query{};
    query.lfCharSet = DEFAULT_CHARSET;
    family.copy(query.lfFaceName, LF_FACESIZE - 1);
    HDC dc = CreateCompatibleDC(nullptr);
    bool found = false;
    EnumFontFamiliesExW(dc, &query, FoundFamily, reinterpret_cast<LPARAM>(&found), 0);
    DeleteDC(dc);
    return found;
}
#endif

TEST(AddFont, RefusesMissingArgumentsBeforeRegistering) {
    const textraster::test::TempFile file("textraster-args.ttf", RenamedFont(u"Textraster Args"));
    NameBuffer name;
    EXPECT_EQ(AddFont(nullptr, name.data()), TR_INVALID_ARGUMENT);
    EXPECT_EQ(AddFont(T(u"").c_str(), name.data()), TR_INVALID_ARGUMENT);
    EXPECT_TRUE(name.Untouched());
    EXPECT_EQ(AddFont(file.text().c_str(), nullptr), TR_INVALID_ARGUMENT);
#ifdef _WIN32
    EXPECT_FALSE(FamilyListed(T(u"Textraster Args")));
    EXPECT_NE(ChosenFace(T(u"Textraster Args")), T(u"Textraster Args"));
#endif
    // Nothing was registered, so there is nothing to remove.
    EXPECT_EQ(RemoveFont(file.text().c_str()), TR_FONT_NOT_UNREGISTERED);
    EXPECT_EQ(RemoveFont(nullptr), TR_INVALID_ARGUMENT);
    EXPECT_EQ(RemoveFont(T(u"").c_str()), TR_INVALID_ARGUMENT);
}

TEST(AddFont, RegistersReportsAndRemoves) {
    const std::u16string family = u"Textraster File Sans";
    const textraster::test::TempFile file("textraster-file-sans.ttf", RenamedFont(family));
    NameBuffer name;
    ASSERT_EQ(AddFont(file.text().c_str(), name.data()), TR_OK);
    EXPECT_EQ(name.text(), T(family)) << Show(name.text());
#ifdef _WIN32
    EXPECT_EQ(ChosenFace(name.text()), T(family));
#endif
    EXPECT_EQ(RemoveFont(file.text().c_str()), TR_OK);
#ifdef _WIN32
    EXPECT_FALSE(FamilyListed(T(family)));
#endif
    EXPECT_EQ(RemoveFont(file.text().c_str()), TR_FONT_NOT_UNREGISTERED);
}

TEST(AddFont, FailuresLeaveTheNameAlone) {
    const textraster::test::TempFile notAFont("textraster-not-a-font.ttf", Bytes(3000, 'x'));
    const textraster::test::TempFile noWindowsName("textraster-mac-name.ttf",
                                                   FontWithoutWindowsFullName(u"Textraster Mac Name"));
    // Of fonts no other file has: the system would take a copy of an
    // installed collection for the installed one.
    const textraster::test::TempFile collection(
        "textraster-collection.ttc", textraster::test::MakeCollection({RenamedFont(u"Textraster Collection A"),
                                                                       RenamedFont(u"Textraster Collection B")}));
    const struct {
        const char* what;
        Text path;
        int32_t result;
        std::u16string family;  // registered under this family, though unnamed
    } cases[] = {
        {"a missing file", textraster::test::TextPath(textraster::test::HostPath("/no/such/font.ttf")),
         TR_FONT_NOT_REGISTERED, u""},
        {"not a font", notAFont.text(), TR_FONT_NOT_REGISTERED, u""},
        {"no Windows full name", noWindowsName.text(), TR_FONT_NAME_UNREADABLE, u"Textraster Mac Name"},
        {"a TrueType collection", collection.text(), TR_FONT_NAME_UNREADABLE, u"Textraster Collection B"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        NameBuffer name;
        EXPECT_EQ(AddFont(c.path.c_str(), name.data()), c.result);
        EXPECT_TRUE(name.Untouched());
        if (c.result != TR_FONT_NAME_UNREADABLE) continue;
            // The registration stays in force until the host removes it.
#ifdef _WIN32
        EXPECT_EQ(ChosenFace(T(c.family)), T(c.family));
#endif
        EXPECT_EQ(RemoveFont(c.path.c_str()), TR_OK);
#ifdef _WIN32
        EXPECT_FALSE(FamilyListed(T(c.family)));
#endif
    }
}

TEST(AddMemFont, RefusesMissingArgumentsBeforeRegistering) {
    const Bytes image = RenamedFont(u"Textraster Mem Args");
    const auto size = uint32_t(image.size());
    const struct {
        const char* what;
        bool image, handle, count, name;
    } cases[] = {
        {"no image", false, true, true, true},
        {"no handle slot", true, false, true, true},
        {"no count slot", true, true, false, true},
        {"no name buffer", true, true, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        void* handle = kUnwrittenHandle;
        uint32_t count = kUnwrittenCount;
        NameBuffer name;
        EXPECT_EQ(AddMemFont(c.image ? image.data() : nullptr, size, c.handle ? &handle : nullptr,
                             c.count ? &count : nullptr, c.name ? name.data() : nullptr),
                  TR_INVALID_ARGUMENT);
        EXPECT_EQ(handle, kUnwrittenHandle);
        EXPECT_EQ(count, kUnwrittenCount);
        EXPECT_TRUE(name.Untouched());
    }
#ifdef _WIN32
    EXPECT_FALSE(FamilyListed(T(u"Textraster Mem Args")));
#endif
    EXPECT_EQ(RemoveMemFont(nullptr), TR_INVALID_ARGUMENT);
}

TEST(AddMemFont, RegistersReportsAndRemoves) {
    const std::u16string family = u"Textraster Memory Sans";
    auto image = std::make_unique<Bytes>(RenamedFont(family));
    void* handle = nullptr;
    uint32_t count = 0;
    NameBuffer name;
    ASSERT_EQ(AddMemFont(image->data(), uint32_t(image->size()), &handle, &count, name.data()), TR_OK);
    EXPECT_NE(handle, nullptr);
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(name.text(), T(family)) << Show(name.text());
    // The library keeps no reference to the image.
    std::fill(image->begin(), image->end(), 0xAB);
    image.reset();
#ifdef _WIN32
    EXPECT_EQ(ChosenFace(name.text()), T(family));
#endif
    EXPECT_EQ(RemoveMemFont(handle), TR_OK);
}

TEST(AddMemFont, LongNamesAreCutToTheCapacity) {
    const std::u16string longName = u"Textraster Long " + std::u16string(100, u'n');
    const Bytes image = ReplaceNameTable(DejaVuSans(), NameTableBuilder{}
                                                           .Add(3, 1, 0x409, 1, u"Textraster Long")
                                                           .Add(3, 1, 0x409, 2, u"Regular")
                                                           .Add(3, 1, 0x409, 4, longName));
    void* handle = nullptr;
    uint32_t count = 0;
    NameBuffer name;
    ASSERT_EQ(AddMemFont(image.data(), uint32_t(image.size()), &handle, &count, name.data()), TR_OK);
    EXPECT_EQ(name.text(), T(longName.substr(0, TEXTRASTER_FULL_NAME_CAPACITY - 1)));
    for (size_t i = TEXTRASTER_FULL_NAME_CAPACITY; i < kNameUnits; ++i) EXPECT_EQ(name.units[i], kUnwritten);
    EXPECT_EQ(RemoveMemFont(handle), TR_OK);
}

TEST(AddMemFont, RefusedImagesWriteANullHandle) {
    const Bytes garbage(4096, 0x5C);
    const Bytes collection = textraster::test::ReadFileBytes(textraster::test::FontFile("DejaVu Sans"));
    const struct {
        const char* what;
        const void* image;
        uint32_t size;
    } cases[] = {
        {"not a font", garbage.data(), uint32_t(garbage.size())},
        {"size 0", collection.data(), 0},
        {"a font cut to its directory", collection.data(), 200},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        void* handle = kUnwrittenHandle;
        uint32_t count = 0;
        NameBuffer name;
        EXPECT_EQ(AddMemFont(c.image, c.size, &handle, &count, name.data()), TR_FONT_NOT_REGISTERED);
        EXPECT_EQ(handle, nullptr);
        EXPECT_TRUE(name.Untouched());
    }
}

TEST(AddMemFont, RegisteredWithoutAFullNameKeepsTheRegistration) {
    const Bytes image = FontWithoutWindowsFullName(u"Textraster Mem Mac Name");
    void* handle = kUnwrittenHandle;
    uint32_t count = 0;
    NameBuffer name;
    EXPECT_EQ(AddMemFont(image.data(), uint32_t(image.size()), &handle, &count, name.data()), TR_FONT_NAME_UNREADABLE);
    EXPECT_NE(handle, kUnwrittenHandle);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(count, 1u);
    EXPECT_TRUE(name.Untouched());
#ifdef _WIN32
    EXPECT_EQ(ChosenFace(T(u"Textraster Mem Mac Name")), T(u"Textraster Mem Mac Name"));
#endif
    EXPECT_EQ(RemoveMemFont(handle), TR_OK);
}

// Images that end exactly where an inaccessible page begins: the library
// reads nothing past their end, whatever their naming table names.
TEST(AddMemFont, ReadsNothingPastTheImage) {
    const std::u16string family = u"Textraster Guarded";
    const struct {
        const char* what;
        std::u16string fullName;
        int32_t length, offset;  // of the full name's record; -1: as stored
        std::u16string expected;
    } cases[] = {
        {"a name ending with the image", u"Guarded Whole", -1, -1, u"Guarded Whole"},
        {"a name running past the end", u"Guarded Cut", 400, -1, u"Guarded Cut"},
        {"a name wholly past the end", u"", 64, 0xFF00, u""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Bytes image = ReplaceNameTable(
            DejaVuSans(), NameTableBuilder{}
                              .Add(1, 0, 0, 1, family)
                              .Add(3, 1, 0x409, 1, family)
                              .Add(3, 1, 0x409, 2, u"Regular")
                              .AddRaw({3, 1, 0x409, 4, textraster::test::Utf16Be(c.fullName), c.length, c.offset}));
        const textraster::test::GuardedMemory memory(image);
        ASSERT_NE(memory.data(), nullptr);
        void* handle = nullptr;
        uint32_t count = 0;
        NameBuffer name;
        ASSERT_EQ(AddMemFont(memory.data(), uint32_t(image.size()), &handle, &count, name.data()), TR_OK);
        EXPECT_EQ(name.text(), T(c.expected)) << Show(name.text());
        EXPECT_EQ(RemoveMemFont(handle), TR_OK);
    }
}

}  // namespace
