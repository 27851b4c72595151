// Font images assembled byte by byte: an offset table, a table directory and
// tables, among them a naming table with its records and string storage.
// Everything is written big-endian, as fonts store it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace textraster::test {

using Bytes = std::vector<uint8_t>;

inline void AppendU16(Bytes& out, uint32_t value) {
    out.push_back(uint8_t(value >> 8));
    out.push_back(uint8_t(value));
}

inline void AppendU32(Bytes& out, uint32_t value) {
    AppendU16(out, value >> 16);
    AppendU16(out, value & 0xFFFF);
}

inline uint32_t U32At(const Bytes& in, size_t at) {
    return uint32_t(in[at]) << 24 | uint32_t(in[at + 1]) << 16 | uint32_t(in[at + 2]) << 8 | in[at + 3];
}

inline uint16_t U16At(const Bytes& in, size_t at) {
    return uint16_t(in[at] << 8 | in[at + 1]);
}

// UTF-16BE bytes of a text.
inline Bytes Utf16Be(std::u16string_view text) {
    Bytes out;
    for (char16_t c : text) AppendU16(out, c);
    return out;
}

constexpr uint32_t Tag(const char (&t)[5]) {
    return uint32_t(uint8_t(t[0])) << 24 | uint32_t(uint8_t(t[1])) << 16 | uint32_t(uint8_t(t[2])) << 8 | uint8_t(t[3]);
}

// A naming table. Records are written in the order added; their strings go
// into the storage in the same order, unless a record states its own length
// or offset (to point anywhere, or past the end).
struct NameTableBuilder {
    struct Record {
        uint16_t platformID, encodingID, languageID, nameID;
        Bytes string;
        int32_t length = -1;        // -1: the string's size
        int32_t stringOffset = -1;  // -1: where the string is stored
    };
    uint16_t format = 0;
    std::vector<Record> records;
    std::vector<Bytes> languageTags;  // format 1 only

    NameTableBuilder& Add(uint16_t platform, uint16_t encoding, uint16_t language, uint16_t nameId,
                          std::u16string_view text) {
        records.push_back({platform, encoding, language, nameId, Utf16Be(text)});
        return *this;
    }
    NameTableBuilder& AddRaw(Record record) {
        records.push_back(std::move(record));
        return *this;
    }
    // The usual pair of a Windows font: family (1) and full name (4), US English.
    NameTableBuilder& AddWindowsNames(std::u16string_view family, std::u16string_view fullName) {
        return Add(3, 1, 0x409, 1, family).Add(3, 1, 0x409, 4, fullName);
    }

    Bytes Build() const {
        Bytes storage;
        Bytes table;
        const size_t headerSize = 6 + 12 * records.size() + (format == 1 ? 2 + 4 * languageTags.size() : 0);
        AppendU16(table, format);
        AppendU16(table, uint32_t(records.size()));
        AppendU16(table, uint32_t(headerSize));
        for (const Record& r : records) {
            AppendU16(table, r.platformID);
            AppendU16(table, r.encodingID);
            AppendU16(table, r.languageID);
            AppendU16(table, r.nameID);
            AppendU16(table, r.length >= 0 ? uint32_t(r.length) : uint32_t(r.string.size()));
            AppendU16(table, r.stringOffset >= 0 ? uint32_t(r.stringOffset) : uint32_t(storage.size()));
            storage.insert(storage.end(), r.string.begin(), r.string.end());
        }
        if (format == 1) {
            AppendU16(table, uint32_t(languageTags.size()));
            for (const Bytes& tag : languageTags) {
                AppendU16(table, uint32_t(tag.size()));
                AppendU16(table, uint32_t(storage.size()));
                storage.insert(storage.end(), tag.begin(), tag.end());
            }
        }
        table.insert(table.end(), storage.begin(), storage.end());
        return table;
    }
};

// A whole font: the offset table, then one directory record per table, then
// the tables in the order added, each 4-byte aligned. A table may state its
// own offset instead.
struct FontBuilder {
    struct Table {
        uint32_t tag;
        Bytes data;
        int64_t offset = -1;  // -1: where the table is stored
    };
    uint32_t sfntVersion = 0x00010000;
    std::vector<Table> tables;

    FontBuilder& Add(uint32_t tag, Bytes data) {
        tables.push_back({tag, std::move(data)});
        return *this;
    }
    FontBuilder& AddAt(uint32_t tag, uint32_t offset) {
        tables.push_back({tag, {}, offset});
        return *this;
    }

    Bytes Build() const {
        Bytes font;
        AppendU32(font, sfntVersion);
        AppendU16(font, uint32_t(tables.size()));
        AppendU16(font, 0);  // searchRange, entrySelector, rangeShift: never read
        AppendU16(font, 0);
        AppendU16(font, 0);
        size_t at = 12 + 16 * tables.size();
        std::vector<size_t> offsets;
        for (const Table& t : tables) {
            offsets.push_back(at);
            at += (t.data.size() + 3) & ~size_t(3);
        }
        for (size_t i = 0; i < tables.size(); ++i) {
            AppendU32(font, tables[i].tag);
            AppendU32(font, 0);  // checksum
            AppendU32(font, tables[i].offset >= 0 ? uint32_t(tables[i].offset) : uint32_t(offsets[i]));
            AppendU32(font, uint32_t(tables[i].data.size()));
        }
        for (const Table& t : tables) {
            font.insert(font.end(), t.data.begin(), t.data.end());
            font.resize((font.size() + 3) & ~size_t(3));
        }
        return font;
    }
};

// A font with just a naming table.
inline Bytes FontWithNames(const NameTableBuilder& names) {
    return FontBuilder{}.Add(Tag("name"), names.Build()).Build();
}

// A real font's tables with its naming table replaced by `names`, which is
// stored last, so that the image ends with the naming table's last string.
inline Bytes ReplaceNameTable(const Bytes& font, const NameTableBuilder& names) {
    FontBuilder out;
    out.sfntVersion = U32At(font, 0);
    const uint16_t numTables = U16At(font, 4);
    for (size_t i = 0; i < numTables; ++i) {
        const size_t record = 12 + 16 * i;
        const uint32_t tag = U32At(font, record), offset = U32At(font, record + 8), length = U32At(font, record + 12);
        if (tag != Tag("name")) out.Add(tag, Bytes(font.begin() + offset, font.begin() + offset + length));
    }
    out.Add(Tag("name"), names.Build());
    Bytes image = out.Build();
    // No padding after the last table: the image ends where its string does.
    image.resize(image.size() - ((4 - names.Build().size() % 4) % 4));
    return image;
}

// A TrueType collection of whole fonts: its header, then each font with its
// table offsets moved to count from the start of the collection.
inline Bytes MakeCollection(const std::vector<Bytes>& fonts) {
    Bytes out;
    AppendU32(out, Tag("ttcf"));
    AppendU32(out, 0x00010000);
    AppendU32(out, uint32_t(fonts.size()));
    size_t base = 12 + 4 * fonts.size();
    for (const Bytes& font : fonts) {
        AppendU32(out, uint32_t(base));
        base += (font.size() + 3) & ~size_t(3);
    }
    for (const Bytes& font : fonts) {
        const size_t start = out.size();
        out.insert(out.end(), font.begin(), font.end());
        out.resize((out.size() + 3) & ~size_t(3));
        for (size_t i = 0; i < U16At(font, 4); ++i) {
            const size_t at = start + 12 + 16 * i + 8;
            const uint32_t offset = U32At(out, at) + uint32_t(start);
            for (int b = 0; b < 4; ++b) out[at + b] = uint8_t(offset >> (24 - 8 * b));
        }
    }
    return out;
}

}  // namespace textraster::test
