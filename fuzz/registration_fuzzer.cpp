// Registering arbitrary bytes as a font, from memory and from a file, and
// the file reader. Slower than the reader alone (name_table_fuzzer): every
// input is written to a file and goes through the platform's registration.
//
// Input: the font image itself.
//
// The image lies at the very end of readable memory, right before a page
// that may not be touched, so that a read even one byte past its end faults.
// Checks:
// - the memory reader gives the result and the name of an independent
//   reading written from the format (fuzz/name_table_reference.h);
// - the file reader gives the same as the memory reader for the same bytes;
// - AddMemFont and AddFont on the image return a defined code and the
//   reader's name, and RemoveMemFont and RemoveFont undo every registration
//   they make.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fonts/name_table.h"
#include "fuzz/fuzz_input.h"
#include "fuzz/load_fontconfig.h"
#include "fuzz/name_table_reference.h"
#include "support/guarded_memory.h"
#include "textraster.h"

using namespace textraster;
using fuzz::kUnwritten;
using fuzz::Reference;
using fuzz::Run;

namespace {

// A file holding the input, for the file reader.
const std::string& FilePath() {
    static const std::string path = "/tmp/textraster-name-table-fuzz-" + std::to_string(getpid()) + ".ttf";
    return path;
}

// A registration writes the reader's name exactly when it succeeds.
void CheckName(int32_t added, const std::vector<TextChar>& fullName, const std::vector<TextChar>& name) {
    if (added == TR_OK) {
        FUZZ_CHECK(std::vector<TextChar>(fullName.begin(), fullName.begin() + std::ptrdiff_t(name.size())) == name);
        FUZZ_CHECK(fullName[name.size()] == 0);
    } else {
        for (TextChar c : fullName) FUZZ_CHECK(c == kUnwritten);
    }
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

    const Reference expected = fuzz::Read(fuzz::Bytes(data, size));
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
    CheckName(added, fullName, memory.name);

    // Registered from the file: the same name, the same undoing.
    std::vector<TextChar> fileName(kFullNameCapacity, kUnwritten);
    const int32_t addedFile = AddFont(path.data(), fileName.data());
    if (addedFile != TR_FONT_NOT_REGISTERED) {
        FUZZ_CHECK(addedFile == (memory.result == kNameFound ? TR_OK : TR_FONT_NAME_UNREADABLE));
        FUZZ_CHECK(RemoveFont(path.data()) == TR_OK);
        FUZZ_CHECK(RemoveFont(path.data()) == TR_FONT_NOT_UNREGISTERED);
    }
    CheckName(addedFile, fileName, memory.name);
    return 0;
}
