#include "text/utf.h"

namespace textraster {
namespace {

std::string At(const char* what, size_t offset, const char* unit) {
    return std::string(what) + " at " + unit + " " + std::to_string(offset);
}

Decoded Utf16Bytes(const std::vector<uint8_t>& bytes, bool bigEndian) {
    Decoded d;
    if (bytes.size() % 2) return {{}, "invalid UTF-16: the file has an odd number of bytes"};
    for (size_t i = 2; i < bytes.size(); i += 2) {
        const uint16_t hi = bytes[i + (bigEndian ? 0 : 1)], lo = bytes[i + (bigEndian ? 1 : 0)];
        d.text.push_back(TextChar(hi << 8 | lo));
    }
    // The library counts code units and does not pair surrogates itself, but a
    // lone half is a broken file, not a text: refuse it as UTF-8 refuses one.
    for (size_t i = 0; i < d.text.size(); ++i) {
        const uint16_t u = uint16_t(d.text[i]);
        const bool high = IsHighSurrogate(u), low = IsLowSurrogate(u);
        const bool nextLow = i + 1 < d.text.size() && IsLowSurrogate(uint16_t(d.text[i + 1]));
        if (low || (high && !nextLow)) return {{}, At("invalid UTF-16: unpaired surrogate", i, "code unit")};
        if (high) ++i;
    }
    return d;
}

}  // namespace

void AppendUtf16(std::basic_string<TextChar>& out, char32_t cp) {
    if (cp < 0x10000) {
        out.push_back(TextChar(cp));
    } else {
        cp -= 0x10000;
        out.push_back(TextChar(0xD800 + (cp >> 10)));
        out.push_back(TextChar(0xDC00 + (cp & 0x3FF)));
    }
}

Decoded Utf8ToUtf16(std::string_view s) {
    Decoded d;
    d.text.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        const uint8_t b = uint8_t(s[i]);
        int length;
        uint32_t cp, min;
        if (b < 0x80) {
            length = 1, cp = b, min = 0;
        } else if ((b & 0xE0) == 0xC0) {
            length = 2, cp = b & 0x1Fu, min = 0x80;
        } else if ((b & 0xF0) == 0xE0) {
            length = 3, cp = b & 0x0Fu, min = 0x800;
        } else if ((b & 0xF8) == 0xF0) {
            length = 4, cp = b & 0x07u, min = 0x10000;
        } else {
            return {{}, At("invalid UTF-8: unexpected byte", i, "byte")};
        }
        if (i + size_t(length) > s.size()) return {{}, At("invalid UTF-8: cut sequence", i, "byte")};
        for (int k = 1; k < length; ++k) {
            const uint8_t c = uint8_t(s[i + size_t(k)]);
            if ((c & 0xC0) != 0x80) return {{}, At("invalid UTF-8: cut sequence", i, "byte")};
            cp = cp << 6 | (c & 0x3Fu);
        }
        if (cp < min) return {{}, At("invalid UTF-8: overlong form", i, "byte")};
        if (IsSurrogate(cp)) return {{}, At("invalid UTF-8: encoded surrogate", i, "byte")};
        if (cp > 0x10FFFF) return {{}, At("invalid UTF-8: value above U+10FFFF", i, "byte")};
        AppendUtf16(d.text, cp);
        i += size_t(length);
    }
    return d;
}

Decoded DecodeTextFile(const std::vector<uint8_t>& bytes) {
    if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) return Utf16Bytes(bytes, false);
    if (bytes.size() >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF) return Utf16Bytes(bytes, true);
    std::string_view utf8(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (utf8.substr(0, 3) == "\xEF\xBB\xBF") utf8.remove_prefix(3);
    return Utf8ToUtf16(utf8);
}

std::string Utf16ToUtf8(TextView text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const char32_t cp = NextCodePoint(text, i);
        if (cp < 0x80) {
            out += char(cp);
        } else if (cp < 0x800) {
            out += char(0xC0 | cp >> 6), out += char(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += char(0xE0 | cp >> 12), out += char(0x80 | (cp >> 6 & 0x3F)), out += char(0x80 | (cp & 0x3F));
        } else {
            out += char(0xF0 | cp >> 18), out += char(0x80 | (cp >> 12 & 0x3F));
            out += char(0x80 | (cp >> 6 & 0x3F)), out += char(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

}  // namespace textraster
