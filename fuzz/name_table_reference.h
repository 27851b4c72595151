// The full name a font image holds, read straight from the format, and a
// reader's run checked for what every reading must leave: the targets that
// read names hold the library's readers to it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "fonts/name_table.h"
#include "fuzz/fuzz_input.h"

namespace textraster::fuzz {

constexpr TextChar kUnwritten = 0x7777;

// The reading the library must agree with, straight from the format.
struct Reference {
    int32_t result;
    std::vector<TextChar> name;
};

// The font's bytes at 64-bit positions: nothing wraps around to the start.
class Bytes {
   public:
    Bytes(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint8_t At(uint64_t position) const { return position < size_ ? data_[position] : 0; }
    uint32_t U16(uint64_t position) const { return uint32_t(At(position)) << 8 | At(position + 1); }
    uint32_t U32(uint64_t position) const { return U16(position) << 16 | U16(position + 2); }

   private:
    const uint8_t* data_;
    size_t size_;
};

// Positions of structures are 32-bit sums, as the font states them; the
// fields inside a structure follow its position.
inline Reference Read(const Bytes& font) {
    const uint32_t version = font.U32(0);
    if (version != 0x00010000 && version != 0x4F54544F) return {kNotAFont, {}};
    const uint32_t tables = font.U16(4);
    uint32_t table = 0;
    bool found = false;
    for (uint32_t i = 0; i < tables && !found; ++i)
        if (font.U32(12 + 16 * i) == 0x6E616D65) {
            table = font.U32(uint64_t(12 + 16 * i) + 8);
            found = true;
        }
    if (!found) return {kNoNameTable, {}};
    const uint32_t count = font.U16(uint64_t(table) + 2), storage = font.U16(uint64_t(table) + 4);
    bool selected = false;
    uint32_t length = 0, offset = 0;
    for (uint32_t j = 0; j < count; ++j) {
        const uint64_t record = uint32_t(table + 6 + 12 * j);
        if (font.U16(record) == 3 && font.U16(record + 2) == 1 && font.U16(record + 6) == 4) {
            selected = true;
            length = font.U16(record + 8);
            offset = font.U16(record + 10);
        }
    }
    if (!selected) return {kNoFullName, {}};
    const uint64_t position = uint32_t(table + storage + offset);
    const uint32_t bytes = length < 126 ? length : 126;
    std::vector<TextChar> name;
    for (uint32_t i = 0; i < bytes; i += 2) {
        const uint32_t unit = i + 1 < bytes ? font.U16(position + i) : font.At(position + i);
        if (unit == 0) break;
        name.push_back(TextChar(unit));
    }
    if (name.size() == 63 && length > bytes && name.back() >= 0xD800 && name.back() <= 0xDBFF) name.pop_back();
    return {kNameFound, name};
}

// Runs a reader into a buffer of exactly the capacity the header promises.
template <typename Reader>
Reference Run(Reader read) {
    std::vector<TextChar> buffer(kFullNameCapacity, kUnwritten);
    NameTableHeader header{};
    header.records = reinterpret_cast<NameRecordList*>(&header);  // must be cleared
    const int32_t result = read(header, buffer.data());
    FUZZ_CHECK(header.records == nullptr || result == kNotAFont || result == kNoNameTable);
    if (result != kNameFound) {
        for (TextChar c : buffer) FUZZ_CHECK(c == kUnwritten);
        return {result, {}};
    }
    size_t end = 0;
    while (end < buffer.size() && buffer[end] != 0) ++end;
    FUZZ_CHECK(end < buffer.size());
    return {result, std::vector<TextChar>(buffer.begin(), buffer.begin() + std::ptrdiff_t(end))};
}

}  // namespace textraster::fuzz
