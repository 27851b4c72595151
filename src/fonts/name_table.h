// Reading a font's full name (name ID 4) out of its naming table.
//
// One algorithm serves a font file and a font image in memory: it walks the
// offset table, the table directory and the naming table through a
// ByteSource, so it never reads outside the font and needs no platform.
#pragma once

#include <cstdint>

#include "fonts/byte_source.h"
#include "textraster.h"

namespace textraster {

// ---------------------------------------------------------------------------
// Font data as it lies in the file: big-endian fields, converted to host
// order when they are read. Layouts of the TrueType/OpenType format.

// An unsigned big-endian integer of Size bytes.
template <typename T, unsigned Size>
struct BigEndian {
    uint8_t bytes[Size];
    operator T() const {
        T value = 0;
        for (unsigned i = 0; i < Size; ++i) value = static_cast<T>(value << 8 | bytes[i]);
        return value;
    }
};
using UInt16BE = BigEndian<uint16_t, 2>;
using UInt32BE = BigEndian<uint32_t, 4>;

// Four bytes naming a table, compared as one big-endian number.
constexpr uint32_t MakeTag(char a, char b, char c, char d) {
    return uint32_t(uint8_t(a)) << 24 | uint32_t(uint8_t(b)) << 16 | uint32_t(uint8_t(c)) << 8 | uint8_t(d);
}

constexpr uint32_t kTrueTypeVersion = 0x00010000;              // glyphs in TrueType outlines
constexpr uint32_t kCffVersion = MakeTag('O', 'T', 'T', 'O');  // glyphs in CFF outlines
constexpr uint32_t kNameTag = MakeTag('n', 'a', 'm', 'e');

// Offset table: the first 12 bytes of a font.
struct OffsetTable {
    UInt32BE sfntVersion;    // kTrueTypeVersion or kCffVersion; anything else (a collection, too) is refused
    UInt16BE numTables;      // number of table records that follow
    UInt16BE searchRange;    // binary search hints: not used, the directory is walked in order
    UInt16BE entrySelector;  // not used
    UInt16BE rangeShift;     // not used
};
static_assert(sizeof(OffsetTable) == 12, "offset table");

// Table record, 16 bytes: one entry of the table directory, which follows
// the offset table; record i lies at 12 + 16 * i.
struct TableRecord {
    UInt32BE tableTag;  // kNameTag for the naming table; the first such record counts
    UInt32BE checksum;  // not used
    UInt32BE offset;    // position of the table from the start of the font
    UInt32BE length;    // not used: reads past a table's end see the next bytes, past the font's end zeros
};
static_assert(sizeof(TableRecord) == 16, "table record");

// Naming table header, 6 bytes, at the naming table's TableRecord::offset.
struct NameTableHeaderData {
    UInt16BE version;        // 0 or 1; read alike (format 1's language tags are ignored)
    UInt16BE count;          // number of name records that follow
    UInt16BE storageOffset;  // start of the string storage from the start of the naming table
};
static_assert(sizeof(NameTableHeaderData) == 6, "naming table header");

// Name record, 12 bytes; record j lies at the naming table's offset + 6 + 12 * j.
struct NameRecordData {
    UInt16BE platformID;    // 3 (Windows) is the one read
    UInt16BE encodingID;    // 1 (Unicode BMP, UTF-16BE) is the one read
    UInt16BE languageID;    // not looked at: the last full name wins, whatever its language
    UInt16BE nameID;        // 4 is the full font name
    UInt16BE length;        // of the string, in bytes
    UInt16BE stringOffset;  // from the start of the string storage
};
static_assert(sizeof(NameRecordData) == 12, "name record");

// ---------------------------------------------------------------------------
// The reader's working records, in host order.

// One name record, each field converted.
struct NameRecord {
    uint16_t platformID;
    uint16_t encodingID;
    uint16_t languageID;
    uint16_t nameID;
    uint16_t length;
    uint16_t stringOffset;
};

// Creates a NameRecord, all fields zero, in a block the list can release;
// null when memory is short.
NameRecord* NewNameRecord();

// The name records read so far, in table order. The list owns every record
// appended to it (made by NewNameRecord) and releases them with its storage.
// Storage grows 10, 20, 40, 80, ... slots. Running out of memory never
// throws: Append and Reserve report it by returning 0.
class NameRecordList {
   public:
    NameRecordList() = default;
    ~NameRecordList();
    NameRecordList(const NameRecordList&) = delete;
    NameRecordList& operator=(const NameRecordList&) = delete;

    // Takes `record` as the new last one, growing the storage when it is
    // full. Returns the new count; 0 when the storage could not grow, and
    // the record is then released.
    uint32_t Append(NameRecord* record);
    // Moves the records into new storage of `slots` slots, unless `slots` is
    // below the count. Returns the new capacity; 0 when no new storage was
    // obtained (refused, or no memory).
    uint32_t Reserve(uint32_t slots);
    // The record at `index`, or null when index is not below the count.
    const NameRecord* Get(uint32_t index) const { return index < count_ ? storage_[index] : nullptr; }

    uint32_t count() const { return count_; }
    uint32_t capacity() const { return capacity_; }

   private:
    NameRecord** storage_ = nullptr;
    uint32_t count_ = 0;
    uint32_t capacity_ = 0;
};

// The naming table as the reader sees it, kept by the caller. The reader
// empties it just before reading the naming table's header into it; `records`
// refers to the reader's list only while the reader runs and is null again
// when it returns.
struct NameTableHeader {
    uint16_t version;
    uint16_t count;
    uint16_t storageOffset;
    NameRecordList* records;
};

// Results of the readers.
enum NameReadResult : int32_t {
    kNameFound = 0,
    kFontFileNotOpened = 1,
    kNotAFont = 2,            // sfntVersion is neither kTrueTypeVersion nor kCffVersion
    kNoNameTable = 3,         // no table record is tagged kNameTag (numTables 0 included)
    kNoFullName = 4,          // no name record with platform 3, encoding 1, name 4 (count 0 included)
    kNameOutOfMemory = 5,     // a record or the list's storage could not be obtained
    kFontFileUnreadable = 6,  // the system failed to read the file (an I/O error)
};

// Units written into `fullName` at most, terminator included; longer names
// are cut.
constexpr uint32_t kFullNameCapacity = TEXTRASTER_FULL_NAME_CAPACITY;

// Reads the full name of the font in `source` into `fullName`, which is
// written only when the result is kNameFound: the string's UTF-16BE units in
// host order, an odd last byte as one more unit, up to the first zero unit
// and at most kFullNameCapacity - 1 units (a surrogate pair is never split),
// then a zero unit. When several records hold a full name, the last wins.
// When the source failed a read, the result is kFontFileUnreadable, whatever
// the zeros it read instead would have given.
int32_t ReadFullName(const ByteSource& source, NameTableHeader& header, TextChar* fullName);

// The same for the font file `fileName` (kFontFileNotOpened when it cannot
// be opened) and for the font image [image, image + imageSize).
int32_t ReadFontFullName(const TextChar* fileName, NameTableHeader& header, TextChar* fullName);
int32_t ReadMemFontFullName(const void* image, uint32_t imageSize, NameTableHeader& header, TextChar* fullName);

}  // namespace textraster
