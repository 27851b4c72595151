// The name table reader over a font image in memory, and nothing else: the
// parser alone, at the speed a parser is fuzzed at. (Registering the image
// with the platform, and the file reader, are registration_fuzzer's.)
//
// Input: the font image itself.
//
// The image is the fuzzer's own copy of the input, a heap block of exactly
// its size, so that AddressSanitizer reports a read even one byte past its
// end. Checks:
// - the reader gives the result and the name of an independent reading
//   written from the format (zeros past the end, the last full name wins, at
//   most 63 units, no half of a surrogate pair at the cut);
// - fullName is written only on success, terminated within its capacity,
//   and the header is left without records.
//
// The reader allocates each of up to 65,535 name records on its own, as
// the format's count asks: fuzz/run.sh runs this target without the
// allocation stacks AddressSanitizer would otherwise record for each.
#include <cstdint>

#include "fonts/name_table.h"
#include "fuzz/fuzz_input.h"
#include "fuzz/name_table_reference.h"

using namespace textraster;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const fuzz::Reference expected = fuzz::Read(fuzz::Bytes(data, size));
    const fuzz::Reference memory = fuzz::Run(
        [&](NameTableHeader& header, TextChar* out) { return ReadMemFontFullName(data, uint32_t(size), header, out); });
    FUZZ_CHECK(memory.result == expected.result);
    FUZZ_CHECK(memory.name == expected.name);
    return 0;
}
