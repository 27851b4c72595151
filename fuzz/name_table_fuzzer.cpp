// The name table reader over arbitrary bytes, and AddMemFont's reading path.
//
// Input: the font image itself.
//
// The image lies at the very end of readable memory, right before a page
// that may not be touched, so that a read even one byte past its end faults.
// Checks:
// - the memory reader gives the result and the name of an independent
//   reading written here from the format (zeros past the end, the last full
//   name wins, at most 63 units, no half of a surrogate pair at the cut);
// - the file reader gives the same as the memory reader for the same bytes;
// - fullName is written only on success, terminated within its capacity,
//   and the header is left without records;
// - AddMemFont on the image returns a defined code and the reader's name,
//   and RemoveMemFont undoes every registration it makes.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fonts/name_table.h"
#include "fuzz/fuzz_input.h"
#include "fuzz/load_fontconfig.h"
#include "support/guarded_memory.h"
#include "textraster.h"

using namespace textraster;

namespace {

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
Reference Read(const Bytes& font) {
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

// A file holding the input, for the file reader.
const std::string& FilePath() {
    static const std::string path = "/tmp/textraster-name-table-fuzz-" + std::to_string(getpid()) + ".ttf";
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    return fuzz::LoadFontconfig();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> bytes(data, data + size);
    const test::GuardedMemory image(bytes);
    FUZZ_CHECK(image.data() != nullptr);
    const uint32_t imageSize = uint32_t(size);

    const Reference expected = Read(Bytes(data, size));
    const Reference memory = Run([&](NameTableHeader& header, TextChar* out) {
        return ReadMemFontFullName(image.data(), imageSize, header, out);
    });
    FUZZ_CHECK(memory.result == expected.result);
    FUZZ_CHECK(memory.name == expected.name);

    // The file reader reads the same bytes alike.
    std::FILE* file = std::fopen(FilePath().c_str(), "wb");
    FUZZ_CHECK(file != nullptr);
    FUZZ_CHECK(std::fwrite(data, 1, size, file) == size);
    FUZZ_CHECK(std::fclose(file) == 0);
    std::vector<TextChar> path(FilePath().begin(), FilePath().end());
    path.push_back(0);
    const Reference fromFile =
        Run([&](NameTableHeader& header, TextChar* out) { return ReadFontFullName(path.data(), header, out); });
    FUZZ_CHECK(fromFile.result == memory.result);
    FUZZ_CHECK(fromFile.name == memory.name);

    // Registered from memory: the system decides whether it is a font, the
    // reader names it.
    std::vector<TextChar> fullName(kFullNameCapacity, kUnwritten);
    void* handle = reinterpret_cast<void*>(uintptr_t(0x5A5A));
    uint32_t fontCount = 0xC0FFEE;
    const int32_t added = AddMemFont(image.data(), imageSize, &handle, &fontCount, fullName.data());
    if (added == TR_FONT_NOT_REGISTERED) {
        FUZZ_CHECK(handle == nullptr);
    } else {
        FUZZ_CHECK(added == (memory.result == kNameFound ? TR_OK : TR_FONT_NAME_UNREADABLE));
        FUZZ_CHECK(handle != nullptr && fontCount > 0);
        FUZZ_CHECK(RemoveMemFont(handle) == TR_OK);
        FUZZ_CHECK(RemoveMemFont(handle) == TR_FONT_NOT_UNREGISTERED);
    }
    if (added == TR_OK) {
        FUZZ_CHECK(std::vector<TextChar>(fullName.begin(), fullName.begin() + std::ptrdiff_t(memory.name.size())) ==
                   memory.name);
        FUZZ_CHECK(fullName[memory.name.size()] == 0);
    } else {
        for (TextChar c : fullName) FUZZ_CHECK(c == kUnwritten);
    }
    return 0;
}
