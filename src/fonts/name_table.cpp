#include "fonts/name_table.h"

#include <cstdlib>

#include "text/utf.h"

namespace textraster {

// ---------------------------------------------------------------------------
// NameRecordList

NameRecord* NewNameRecord() {
    return static_cast<NameRecord*>(std::calloc(1, sizeof(NameRecord)));
}

NameRecordList::~NameRecordList() {
    for (uint32_t i = 0; i < count_; ++i) std::free(storage_[i]);
    std::free(storage_);
}

uint32_t NameRecordList::Append(NameRecord* record) {
    if (count_ == capacity_ && Reserve(capacity_ == 0 ? 10 : 2 * count_) == 0) {
        std::free(record);
        return 0;
    }
    storage_[count_++] = record;
    return count_;
}

uint32_t NameRecordList::Reserve(uint32_t slots) {
    if (slots < count_ || slots == 0) return 0;
    auto* storage = static_cast<NameRecord**>(std::calloc(slots, sizeof(NameRecord*)));
    if (storage == nullptr) return 0;
    for (uint32_t i = 0; i < count_; ++i) storage[i] = storage_[i];
    std::free(storage_);
    storage_ = storage;
    capacity_ = slots;
    return capacity_;
}

// ---------------------------------------------------------------------------
// The reader

namespace {

constexpr uint16_t kWindowsPlatform = 3;
constexpr uint16_t kUnicodeBmpEncoding = 1;
constexpr uint16_t kFullNameId = 4;

template <typename Data>
Data ReadData(const ByteSource& source, uint32_t position) {
    Data data;
    source.Read(position, sizeof data, &data);
    return data;
}

// Position of the first table tagged `name`, walking the directory in order.
bool FindNameTable(const ByteSource& source, uint16_t numTables, uint32_t* offset) {
    for (uint32_t i = 0; i < numTables; ++i) {
        const auto record = ReadData<TableRecord>(source, 12 + 16 * i);
        if (record.tableTag == kNameTag) {
            *offset = record.offset;
            return true;
        }
    }
    return false;
}

// Writes the string of `length` bytes at `position` into fullName as the
// header comment of ReadFullName describes. Only the bytes that can reach
// fullName are read.
void CopyName(const ByteSource& source, uint32_t position, uint16_t length, TextChar* fullName) {
    constexpr uint32_t kMaxUnits = kFullNameCapacity - 1;
    uint8_t bytes[2 * kMaxUnits];
    const uint32_t byteCount = length < sizeof bytes ? length : uint32_t(sizeof bytes);
    source.Read(position, byteCount, bytes);
    if (source.Failed()) return;  // not a name: ReadFullName reports the failure

    uint32_t n = 0;
    for (uint32_t i = 0; i < byteCount; i += 2) {
        // An odd last byte stands alone, as a unit with a zero high byte.
        const uint32_t unit = i + 1 < byteCount ? uint32_t(bytes[i]) << 8 | bytes[i + 1] : bytes[i];
        if (unit == 0) break;
        fullName[n++] = static_cast<TextChar>(unit);
    }
    // A name cut at the capacity keeps no half of a surrogate pair.
    if (n == kMaxUnits && length > byteCount && IsHighSurrogate(fullName[n - 1])) --n;
    fullName[n] = 0;
}

// Steps through the naming table's records, keeping each in the header's
// list, and copies out the last full name.
int32_t ReadNameRecords(const ByteSource& source, uint32_t tableOffset, const NameTableHeader& header,
                        TextChar* fullName) {
    NameRecordList& list = *header.records;
    bool selected = false;
    uint32_t selectedIndex = 0;
    for (uint32_t j = 0; j < header.count; ++j) {
        NameRecord* record = NewNameRecord();
        if (record == nullptr) return kNameOutOfMemory;
        const auto data = ReadData<NameRecordData>(source, tableOffset + 6 + 12 * j);
        *record = {data.platformID, data.encodingID, data.languageID, data.nameID, data.length, data.stringOffset};
        if (list.Append(record) == 0) return kNameOutOfMemory;
        if (record->platformID == kWindowsPlatform && record->encodingID == kUnicodeBmpEncoding &&
            record->nameID == kFullNameId) {
            selected = true;
            selectedIndex = j;
        }
    }
    if (!selected) return kNoFullName;

    const NameRecord* record = list.Get(selectedIndex);
    // Summed as 32-bit unsigned numbers, as font positions are.
    const uint32_t position = tableOffset + header.storageOffset + record->stringOffset;
    CopyName(source, position, record->length, fullName);
    return kNameFound;
}

int32_t ReadFullNameAsRead(const ByteSource& source, NameTableHeader& header, TextChar* fullName) {
    const auto offsetTable = ReadData<OffsetTable>(source, 0);
    if (offsetTable.sfntVersion != kTrueTypeVersion && offsetTable.sfntVersion != kCffVersion) return kNotAFont;

    uint32_t tableOffset = 0;
    if (!FindNameTable(source, offsetTable.numTables, &tableOffset)) return kNoNameTable;

    header = NameTableHeader{};
    const auto data = ReadData<NameTableHeaderData>(source, tableOffset);
    header.version = data.version;
    header.count = data.count;
    header.storageOffset = data.storageOffset;
    if (header.count == 0) return kNoFullName;

    NameRecordList list;  // releases every record on return
    header.records = &list;
    const int32_t result = ReadNameRecords(source, tableOffset, header, fullName);
    header.records = nullptr;
    return result;
}

}  // namespace

int32_t ReadFullName(const ByteSource& source, NameTableHeader& header, TextChar* fullName) {
    const int32_t result = ReadFullNameAsRead(source, header, fullName);
    return source.Failed() ? kFontFileUnreadable : result;
}

int32_t ReadFontFullName(const TextChar* fileName, NameTableHeader& header, TextChar* fullName) {
    const FileSource file(fileName);
    if (!file.IsOpen()) return kFontFileNotOpened;
    return ReadFullName(file, header, fullName);
}

int32_t ReadMemFontFullName(const void* image, uint32_t imageSize, NameTableHeader& header, TextChar* fullName) {
    return ReadFullName(MemorySource(image, imageSize), header, fullName);
}

}  // namespace textraster
