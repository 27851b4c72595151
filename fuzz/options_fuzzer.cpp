// The command-line renderer's option parsing over arbitrary command lines.
//
// Input: the arguments, each ended by a zero byte (the last one by the end
// of the input).
//
// Checks, beyond memory safety: a command line is either taken, with no
// error, or refused with a message; a command line taken (other than a call
// for help or the version, which only print them) fills the record's
// size, and the buffer, the buffer size and the line pitch from the region,
// the destination and the font height where no option gave them; parsing
// the same arguments again gives the same result.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "options.h"

using namespace textraster;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> args(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0)
            args.emplace_back();
        else
            args.back() += char(data[i]);
    }

    std::string error;
    const std::optional<tool::Options> options = tool::ParseOptions(args, error);
    FUZZ_CHECK(options.has_value() == error.empty());
    if (!options) return 0;

    const TextLayoutParams& r = options->record;
    // A call for help or for the version only prints them.
    if (options->command == tool::Command::Help || options->command == tool::Command::Version) return 0;
    FUZZ_CHECK(r.size == int16_t(sizeof r));
    FUZZ_CHECK(r.faceName == nullptr);
    if (!options->bufferGiven) {
        FUZZ_CHECK(r.bufferWidth == std::min<uint32_t>(uint32_t(r.destX) + r.regionWidth, 65535));
        FUZZ_CHECK(r.bufferHeight == std::min<uint32_t>(uint32_t(r.destY) + r.regionHeight, 65535));
    }
    if (!options->bufferSizeGiven)
        FUZZ_CHECK(r.bufferSize == std::min<uint64_t>(uint64_t(r.bufferWidth) * r.bufferHeight * 4,
                                                      std::numeric_limits<uint32_t>::max()));
    if (!options->linePitchGiven) FUZZ_CHECK(r.linePitch == r.fontHeight);

    std::string errorAgain;
    const std::optional<tool::Options> again = tool::ParseOptions(args, errorAgain);
    FUZZ_CHECK(again.has_value() && errorAgain.empty());
    // Field by field: the 64-bit record ends in padding, which a copy need not keep.
    constexpr size_t kFields = offsetof(TextLayoutParams, alignment) + sizeof r.alignment;
    FUZZ_CHECK(std::memcmp(&again->record, &r, kFields) == 0);
    FUZZ_CHECK(again->command == options->command && again->positional == options->positional &&
               again->face == options->face && again->fontFiles == options->fontFiles &&
               again->output == options->output && again->textFile == options->textFile && again->fit == options->fit &&
               again->margin == options->margin && again->outline == options->outline &&
               again->outlineColor == options->outlineColor);
    return 0;
}
