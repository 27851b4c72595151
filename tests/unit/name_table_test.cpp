#include "fonts/name_table.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "support/font_builder.h"
#include "support/font_files.h"
#include "support/guarded_memory.h"
#include "support/test_text.h"

namespace textraster {
namespace {

using test::Bytes;
using test::FontBuilder;
using test::FontWithNames;
using test::NameTableBuilder;
using test::Show;
using test::T;
using test::Tag;
using test::Text;

constexpr TextChar kUnwritten = 0x7777;
constexpr size_t kBufferUnits = 80;

struct Outcome {
    int32_t result;
    Text name;  // up to the terminator; empty unless the result is 0
};

// Runs a reader into a buffer of kBufferUnits filled with kUnwritten and
// checks what it wrote: nothing on failure; on success a terminated name
// within kFullNameCapacity units and nothing after the terminator.
template <typename Reader>
Outcome Run(Reader read) {
    std::vector<TextChar> buffer(kBufferUnits, kUnwritten);
    NameTableHeader header{};
    Outcome outcome{read(header, buffer.data()), {}};
    EXPECT_EQ(header.records, nullptr);
    if (outcome.result != kNameFound) {
        for (TextChar c : buffer) EXPECT_EQ(c, kUnwritten) << "fullName written on result " << outcome.result;
        return outcome;
    }
    size_t end = 0;
    while (end < kBufferUnits && buffer[end] != 0) ++end;
    EXPECT_LT(end, kFullNameCapacity) << "no terminator within the capacity";
    outcome.name.assign(buffer.data(), end);
    for (size_t i = end + 1; i < kBufferUnits; ++i) EXPECT_EQ(buffer[i], kUnwritten) << "unit " << i << " written";
    return outcome;
}

Outcome ReadMemory(const Bytes& image) {
    return Run([&](NameTableHeader& header, TextChar* out) {
        return ReadMemFontFullName(image.data(), uint32_t(image.size()), header, out);
    });
}

Outcome ReadSource(const ByteSource& source) {
    return Run([&](NameTableHeader& header, TextChar* out) { return ReadFullName(source, header, out); });
}

Outcome ReadGuarded(const Bytes& image) {
    const test::GuardedMemory memory(image);
    EXPECT_NE(memory.data(), nullptr);
    return Run([&](NameTableHeader& header, TextChar* out) {
        return ReadMemFontFullName(memory.data(), uint32_t(image.size()), header, out);
    });
}

Outcome ReadFromFile(const test::Text& path) {
    return Run([&](NameTableHeader& header, TextChar* out) { return ReadFontFullName(path.c_str(), header, out); });
}

// A reference byte source for comparisons: byte by byte, positions summed
// without wrapping.
class ReferenceSource final : public ByteSource {
   public:
    explicit ReferenceSource(const Bytes& bytes) : bytes_(bytes) {}
    void Read(uint32_t position, uint32_t count, void* dest) const override {
        auto* out = static_cast<uint8_t*>(dest);
        for (uint64_t i = 0; i < count; ++i) out[i] = position + i < bytes_.size() ? bytes_[size_t(position + i)] : 0;
    }

   private:
    const Bytes& bytes_;
};

Outcome ReadReference(const Bytes& image) {
    return Run(
        [&](NameTableHeader& header, TextChar* out) { return ReadFullName(ReferenceSource(image), header, out); });
}

std::u16string Repeat(char16_t c, size_t n) {
    return std::u16string(n, c);
}

Bytes Truncated(Bytes image, size_t size) {
    image.resize(size);
    return image;
}

struct NameCase {
    const char* what;
    Bytes image;
    int32_t result;
    std::u16string name;
};

std::vector<NameCase> NameCases() {
    const NameTableBuilder plain = NameTableBuilder{}.AddWindowsNames(u"Plain", u"Plain Regular");
    const Bytes plainFont = FontWithNames(plain);
    const size_t plainEnd = 12 + 16 + plain.Build().size();  // the image without padding

    FontBuilder otto = FontBuilder{}.Add(Tag("name"), plain.Build());
    otto.sfntVersion = Tag("OTTO");
    FontBuilder apple = otto;
    apple.sfntVersion = Tag("true");

    NameTableBuilder format1 = NameTableBuilder{}.Add(3, 1, 0x8000, 4, u"Tagged").Add(3, 1, 0x8001, 1, u"T");
    format1.format = 1;
    format1.languageTags = {test::Utf16Be(u"en"), test::Utf16Be(u"ja")};

    using Record = NameTableBuilder::Record;
    return {
        {"an empty image", {}, kNotAFont, u""},
        {"a TrueType collection", test::MakeCollection({plainFont, plainFont}), kNotAFont, u""},
        {"an unknown sfnt version", apple.Build(), kNotAFont, u""},
        {"CFF outlines", otto.Build(), kNameFound, u"Plain Regular"},
        {"no tables", FontBuilder{}.Build(), kNoNameTable, u""},
        {"no table tagged name", FontBuilder{}.Add(Tag("head"), Bytes(54)).Add(Tag("NAME"), plain.Build()).Build(),
         kNoNameTable, u""},
        {"a directory cut short",
         Truncated(FontBuilder{}.Add(Tag("head"), Bytes(54)).Add(Tag("name"), plain.Build()).Build(), 12 + 16 + 2),
         kNoNameTable, u""},
        {"the name table after another",
         FontBuilder{}.Add(Tag("head"), Bytes(54)).Add(Tag("name"), plain.Build()).Build(), kNameFound,
         u"Plain Regular"},
        {"two tables tagged name: the first",
         FontBuilder{}
             .Add(Tag("name"), NameTableBuilder{}.AddWindowsNames(u"First", u"First").Build())
             .Add(Tag("name"), NameTableBuilder{}.AddWindowsNames(u"Second", u"Second").Build())
             .Build(),
         kNameFound, u"First"},
        {"a name table past the end", FontBuilder{}.AddAt(Tag("name"), 100000).Build(), kNoFullName, u""},
        // A file cannot even seek there without a high part: read as past the end, too.
        {"a name table beyond 2 GiB", FontBuilder{}.AddAt(Tag("name"), 0x80000010).Build(), kNoFullName, u""},
        {"no name records", FontWithNames(NameTableBuilder{}), kNoFullName, u""},
        {"the last full name, whatever its language",
         FontWithNames(NameTableBuilder{}
                           .Add(3, 1, 0x409, 4, u"Gothic")
                           .Add(3, 1, 0x411, 4, u"\x30B4\x30B7\x30C3\x30AF")
                           .Add(3, 1, 0x411, 1, u"Family")),
         kNameFound, u"\x30B4\x30B7\x30C3\x30AF"},
        {"the last full name, whatever the records between",
         FontWithNames(NameTableBuilder{}
                           .Add(3, 1, 0x411, 4, u"One")
                           .Add(1, 0, 0, 4, u"Mac")
                           .Add(3, 1, 0x409, 4, u"Two")
                           .Add(3, 10, 0x409, 4, u"Wide")),
         kNameFound, u"Two"},
        {"a full name on the Macintosh platform only", FontWithNames(NameTableBuilder{}.Add(1, 0, 0, 4, u"Mac")),
         kNoFullName, u""},
        {"a full name in the symbol encoding only", FontWithNames(NameTableBuilder{}.Add(3, 0, 0x409, 4, u"Sym")),
         kNoFullName, u""},
        {"a full name in encoding 10 only", FontWithNames(NameTableBuilder{}.Add(3, 10, 0x409, 4, u"Wide")),
         kNoFullName, u""},
        {"a family name only", FontWithNames(NameTableBuilder{}.Add(3, 1, 0x409, 1, u"Family")), kNoFullName, u""},
        {"length 0", FontWithNames(NameTableBuilder{}.AddRaw(Record{3, 1, 0x409, 4, {}})), kNameFound, u""},
        {"a string wholly past the end",
         FontWithNames(NameTableBuilder{}.AddRaw(Record{3, 1, 0x409, 4, {}, 20, 40000})), kNameFound, u""},
        {"a string cut by the end of the image", Truncated(plainFont, plainEnd - 4), kNameFound, u"Plain Regul"},
        {"a string cut inside a unit", Truncated(plainFont, plainEnd - 3), kNameFound, u"Plain Regul"},
        {"an odd length: the last byte is a unit of its own",
         FontWithNames(NameTableBuilder{}.AddRaw(Record{3, 1, 0x409, 4, {0x00, 0x41, 0x00, 0x42, 0x43}})), kNameFound,
         u"ABC"},
        {"an odd length of 1", FontWithNames(NameTableBuilder{}.AddRaw(Record{3, 1, 0x409, 4, {0x5A}})), kNameFound,
         u"Z"},
        {"a zero unit ends the name",
         FontWithNames(NameTableBuilder{}.Add(3, 1, 0x409, 4, std::u16string(u"Ab\0cd", 5))), kNameFound, u"Ab"},
        {"format 1, language tags ignored", FontWithNames(format1), kNameFound, u"Tagged"},
        {"63 units kept whole", FontWithNames(NameTableBuilder{}.Add(3, 1, 0x409, 4, Repeat(u'x', 63))), kNameFound,
         Repeat(u'x', 63)},
        {"longer names cut to 63 units", FontWithNames(NameTableBuilder{}.Add(3, 1, 0x409, 4, Repeat(u'y', 300))),
         kNameFound, Repeat(u'y', 63)},
        {"the cut keeps no half of a surrogate pair",
         FontWithNames(NameTableBuilder{}.Add(3, 1, 0x409, 4, Repeat(u'a', 62) + u"\xD83D\xDE00" + u"b")), kNameFound,
         Repeat(u'a', 62)},
        {"a surrogate pair before the cut stays",
         FontWithNames(NameTableBuilder{}.Add(3, 1, 0x409, 4, Repeat(u'a', 61) + u"\xD83D\xDE00" + u"b")), kNameFound,
         Repeat(u'a', 61) + u"\xD83D\xDE00"},
    };
}

TEST(ReadFullName, FromImagesFilesAndGuardedMemory) {
    for (const NameCase& c : NameCases()) {
        SCOPED_TRACE(c.what);
        const Outcome memory = ReadMemory(c.image);
        EXPECT_EQ(memory.result, c.result);
        EXPECT_EQ(memory.name, T(c.name)) << Show(memory.name);

        // The same bytes from a file, and ending at an inaccessible page.
        const test::TempFile file("textraster-name-table.ttf", c.image);
        const Outcome fromFile = ReadFromFile(file.text());
        EXPECT_EQ(fromFile.result, c.result);
        EXPECT_EQ(fromFile.name, T(c.name)) << Show(fromFile.name);
        const Outcome guarded = ReadGuarded(c.image);
        EXPECT_EQ(guarded.result, c.result);
        EXPECT_EQ(guarded.name, T(c.name)) << Show(guarded.name);
    }
}

TEST(ReadFullName, EveryCutOfAFontReadsAsZerosPastTheEnd) {
    // Several tables and records, so that cuts fall into the directory, the
    // naming table's header, its records and its strings.
    const Bytes font = FontBuilder{}
                           .Add(Tag("head"), Bytes(54, 0xEE))
                           .Add(Tag("name"), NameTableBuilder{}
                                                 .Add(1, 0, 0, 4, u"Mac Name")
                                                 .AddWindowsNames(u"Cut", u"Cut Sans")
                                                 .Add(3, 1, 0x411, 4, u"Cut Sans Japanese")
                                                 .Build())
                           .Build();
    for (size_t size = 0; size <= font.size(); ++size) {
        SCOPED_TRACE(size);
        const Bytes cut = Truncated(font, size);
        const Outcome expected = ReadReference(cut);
        const Outcome guarded = ReadGuarded(cut);
        EXPECT_EQ(guarded.result, expected.result);
        EXPECT_EQ(guarded.name, expected.name);
    }
    EXPECT_EQ(ReadGuarded(font).name, T(u"Cut Sans Japanese"));
}

TEST(ReadFontFullName, InstalledFonts) {
    const std::filesystem::path temp = std::filesystem::temp_directory_path();
    const struct {
        std::filesystem::path path;
        int32_t result;
        std::u16string name;
    } cases[] = {
        {test::FontFile("DejaVu Sans"), kNameFound, u"DejaVu Sans"},
        {test::FontFile("Liberation Sans"), kNameFound, u"Liberation Sans"},
        // US English, then Japanese: the Japanese name comes last.
        {test::FontFile("IPAGothic"), kNameFound, u"IPA\x30B4\x30B7\x30C3\x30AF"},
        {test::FontFile("WenQuanYi Micro Hei"), kNotAFont, u""},  // a collection
        {temp / "textraster-no-such-font.ttf", kFontFileNotOpened, u""},
        {temp, kFontFileNotOpened, u""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.string());
        const Outcome fromFile = ReadFromFile(test::TextPath(c.path));
        EXPECT_EQ(fromFile.result, c.result);
        EXPECT_EQ(fromFile.name, T(c.name)) << Show(fromFile.name);
        if (c.result != kFontFileNotOpened) {
            const Outcome memory = ReadMemory(test::ReadFileBytes(c.path));
            EXPECT_EQ(memory.result, c.result);
            EXPECT_EQ(memory.name, fromFile.name);
        }
    }
}

TEST(ReadFontFullName, EmptyFile) {
    const test::TempFile file("textraster-empty.ttf", {});
    EXPECT_EQ(ReadFromFile(file.text()).result, kNotAFont);
}

// A source over a font image whose system read fails from its `failAt`th read on.
class FailingSource final : public ByteSource {
   public:
    FailingSource(const Bytes& bytes, size_t failAt) : memory_(bytes.data(), uint32_t(bytes.size())), failAt_(failAt) {}
    void Read(uint32_t position, uint32_t count, void* dest) const override {
        memory_.Read(position, count, dest);
        if (++reads_ < failAt_) return;
        std::memset(dest, 0, count);
        failed_ = true;
    }
    bool Failed() const override { return failed_; }
    size_t reads() const { return reads_; }

   private:
    MemorySource memory_;
    size_t failAt_;
    mutable size_t reads_ = 0;
    mutable bool failed_ = false;
};

// An I/O error is no damaged font: wherever the reading breaks off, the
// reader says so and writes no name.
TEST(ReadFullName, AFailedReadIsReportedAsSuchAndWritesNothing) {
    const Bytes font = FontWithNames(NameTableBuilder{}.Add(1, 0, 0, 4, u"Mac").Add(3, 1, 0x409, 4, u"Failing"));
    FailingSource whole(font, SIZE_MAX);
    EXPECT_EQ(ReadSource(whole).name, T(u"Failing"));
    for (size_t failAt = 1; failAt <= whole.reads(); ++failAt) {
        SCOPED_TRACE(failAt);
        const FailingSource source(font, failAt);
        EXPECT_EQ(ReadSource(source).result, kFontFileUnreadable);
    }
}

#ifdef __linux__
// A file the system opens but cannot read: the kernel answers every read of
// a process's memory at address 0 with an I/O error.
TEST(ReadFontFullName, AFileTheSystemCannotReadIsUnreadable) {
    EXPECT_EQ(ReadFromFile(T(u"/proc/self/mem")).result, kFontFileUnreadable);
}
#endif

TEST(NameTableHeader, EmptiedAtTheNamingTableAndLeftWithoutRecords) {
    const NameTableHeader before{7, 8, 9, nullptr};
    TextChar name[kFullNameCapacity];

    // Refused before the naming table: the header is not touched.
    NameTableHeader header = before;
    EXPECT_EQ(ReadMemFontFullName("\0\0\0", 4, header, name), kNotAFont);
    EXPECT_EQ(header.version, 7);
    EXPECT_EQ(header.count, 8);
    EXPECT_EQ(header.storageOffset, 9);

    // Read: the naming table's own header, and no list left behind.
    NameTableBuilder names = NameTableBuilder{}.AddWindowsNames(u"H", u"H").Add(1, 0, 0, 1, u"H");
    names.format = 1;
    const Bytes font = FontWithNames(names);
    header = before;
    EXPECT_EQ(ReadMemFontFullName(font.data(), uint32_t(font.size()), header, name), kNameFound);
    EXPECT_EQ(header.version, 1);
    EXPECT_EQ(header.count, 3);
    EXPECT_EQ(header.storageOffset, 6 + 3 * 12 + 2);
    EXPECT_EQ(header.records, nullptr);
}

TEST(NameRecordList, GrowsTenTwentyFortyEighty) {
    NameRecordList list;
    EXPECT_EQ(list.count(), 0u);
    EXPECT_EQ(list.capacity(), 0u);
    EXPECT_EQ(list.Get(0), nullptr);

    const struct {
        uint32_t count;
        uint32_t capacity;
    } steps[] = {{1, 10}, {10, 10}, {11, 20}, {20, 20}, {21, 40}, {40, 40}, {41, 80}, {81, 160}};
    std::vector<const NameRecord*> appended;
    for (const auto& step : steps) {
        while (list.count() < step.count) {
            NameRecord* record = NewNameRecord();
            ASSERT_NE(record, nullptr);
            record->nameID = uint16_t(appended.size());
            appended.push_back(record);
            EXPECT_EQ(list.Append(record), appended.size());
        }
        EXPECT_EQ(list.capacity(), step.capacity) << "at count " << step.count;
    }
    // Growing moves every record, in order.
    for (uint32_t i = 0; i < appended.size(); ++i) {
        EXPECT_EQ(list.Get(i), appended[i]);
        EXPECT_EQ(list.Get(i)->nameID, i);
    }
    EXPECT_EQ(list.Get(uint32_t(appended.size())), nullptr);
}

TEST(NameRecordList, Reserve) {
    NameRecordList list;
    for (int i = 0; i < 12; ++i) list.Append(NewNameRecord());
    const NameRecord* first = list.Get(0);
    EXPECT_EQ(list.Reserve(11), 0u);  // below the count: nothing changes
    EXPECT_EQ(list.capacity(), 20u);
    EXPECT_EQ(list.Reserve(12), 12u);  // down to the count
    EXPECT_EQ(list.capacity(), 12u);
    EXPECT_EQ(list.Reserve(100), 100u);
    EXPECT_EQ(list.Get(0), first);
    EXPECT_EQ(list.count(), 12u);
}

}  // namespace
}  // namespace textraster
