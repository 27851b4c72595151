// Decoding text from outside: strict UTF-8 (command lines, files), text
// files in UTF-8 or UTF-16 with a byte-order mark, and UTF-16 back to
// UTF-8, against decoders written here straight from Unicode's table of
// well-formed byte sequences.
//
// Input: bytes, taken as UTF-8, as a text file, and as UTF-16LE units.
//
// Checks: each decoder succeeds exactly on well-formed input, then with
// the reference's text, and otherwise gives an error and no text; every
// unit decoded is valid (a surrogate only as half of a pair); UTF-8 decoded
// and encoded again is the same bytes; any UTF-16 encodes to well-formed
// UTF-8 that decodes to the same units, a lone surrogate as U+FFFD.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "text/utf.h"

using namespace textraster;

namespace {

using Units = std::basic_string<TextChar>;

void Append(Units& out, uint32_t cp) {
    if (cp < 0x10000) {
        out += TextChar(cp);
    } else {
        out += TextChar(0xD800 + ((cp - 0x10000) >> 10));
        out += TextChar(0xDC00 + ((cp - 0x10000) & 0x3FF));
    }
}

// Well-formed UTF-8 by Unicode's table 3-7: the lead byte fixes the range of
// the second byte, the rest are 80..BF.
std::optional<Units> ReferenceUtf8(std::string_view s) {
    Units out;
    for (size_t i = 0; i < s.size();) {
        const uint8_t b = uint8_t(s[i]);
        size_t length;
        uint8_t low = 0x80, high = 0xBF;
        if (b <= 0x7F) {
            out += TextChar(b);
            ++i;
            continue;
        } else if (b >= 0xC2 && b <= 0xDF) {
            length = 2;
        } else if (b >= 0xE0 && b <= 0xEF) {
            length = 3;
            if (b == 0xE0) low = 0xA0;
            if (b == 0xED) high = 0x9F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            length = 4;
            if (b == 0xF0) low = 0x90;
            if (b == 0xF4) high = 0x8F;
        } else {
            return std::nullopt;
        }
        if (i + length > s.size()) return std::nullopt;
        const uint8_t second = uint8_t(s[i + 1]);
        if (second < low || second > high) return std::nullopt;
        uint32_t cp = b & (length == 2 ? 0x1F : length == 3 ? 0x0F : 0x07);
        for (size_t k = 1; k < length; ++k) {
            const uint8_t c = uint8_t(s[i + k]);
            if (c < 0x80 || c > 0xBF) return std::nullopt;
            cp = cp << 6 | (c & 0x3F);
        }
        Append(out, cp);
        i += length;
    }
    return out;
}

// UTF-16 after its byte-order mark: whole units, surrogates only in pairs.
std::optional<Units> ReferenceUtf16(const uint8_t* data, size_t size, bool bigEndian) {
    if (size % 2) return std::nullopt;
    Units out;
    for (size_t i = 2; i < size; i += 2)
        out += TextChar(bigEndian ? data[i] << 8 | data[i + 1] : data[i + 1] << 8 | data[i]);
    for (size_t i = 0; i < out.size(); ++i) {
        const bool high = out[i] >= 0xD800 && out[i] < 0xDC00, low = out[i] >= 0xDC00 && out[i] < 0xE000;
        if (low || (high && !(i + 1 < out.size() && out[i + 1] >= 0xDC00 && out[i + 1] < 0xE000))) return std::nullopt;
        if (high) ++i;
    }
    return out;
}

bool EveryUnitValid(const Units& text) {
    for (size_t i = 0; i < text.size(); ++i) {
        const bool high = text[i] >= 0xD800 && text[i] < 0xDC00, low = text[i] >= 0xDC00 && text[i] < 0xE000;
        if (low) return false;
        if (high) {
            if (!(i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000)) return false;
            ++i;
        }
    }
    return true;
}

void CheckAgainst(const Decoded& decoded, const std::optional<Units>& expected) {
    if (expected) {
        FUZZ_CHECK(decoded.error.empty());
        FUZZ_CHECK(decoded.text == *expected);
        FUZZ_CHECK(EveryUnitValid(decoded.text));
    } else {
        FUZZ_CHECK(!decoded.error.empty());
        FUZZ_CHECK(decoded.text.empty());
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    const Decoded utf8 = Utf8ToUtf16(bytes);
    CheckAgainst(utf8, ReferenceUtf8(bytes));
    if (utf8.error.empty()) FUZZ_CHECK(Utf16ToUtf8(utf8.text) == bytes);

    const Decoded file = DecodeTextFile(std::vector<uint8_t>(data, data + size));
    if (size >= 2 && data[0] == 0xFF && data[1] == 0xFE)
        CheckAgainst(file, ReferenceUtf16(data, size, false));
    else if (size >= 2 && data[0] == 0xFE && data[1] == 0xFF)
        CheckAgainst(file, ReferenceUtf16(data, size, true));
    else
        CheckAgainst(file, ReferenceUtf8(bytes.substr(bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0)));

    // Any units, lone surrogates included, to UTF-8 and back.
    Units units;
    for (size_t i = 0; i + 1 < size; i += 2) units += TextChar(data[i] | data[i + 1] << 8);
    const std::string encoded = Utf16ToUtf8(units);
    const std::optional<Units> decodedAgain = ReferenceUtf8(encoded);
    FUZZ_CHECK(decodedAgain.has_value());
    Units expected;
    for (size_t i = 0; i < units.size();) Append(expected, NextCodePoint(units, i));
    FUZZ_CHECK(*decodedAgain == expected);
    return 0;
}
