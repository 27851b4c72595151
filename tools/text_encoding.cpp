#include "text_encoding.h"

#include <algorithm>
#include <cctype>
#include <string_view>

#include "code_pages.h"

namespace textraster::tool {
namespace {

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](char c) { return char(std::tolower(uint8_t(c))); });
    return s;
}

// The names of ISO-8859-1, read as windows-1252 (see the header).
bool IsLatin1(const std::string& name) {
    for (const char* n : {"iso-8859-1", "iso8859-1", "iso_8859-1", "latin1", "latin-1", "l1", "cp819"})
        if (name == n) return true;
    return false;
}

uint16_t UnitAt(std::string_view bytes, size_t at, size_t unit, bool bigEndian) {
    if (unit == 1) return uint8_t(bytes[at]);
    const uint8_t a = uint8_t(bytes[at]), b = uint8_t(bytes[at + 1]);
    return uint16_t(bigEndian ? a << 8 | b : b << 8 | a);
}

// Calls `visit(number, bytes)` for each line, split at LF, CR LF or CR in
// units of `unit` bytes, while it returns true.
template <typename Visit>
void ForEachLine(std::string_view bytes, size_t unit, bool bigEndian, Visit visit) {
    size_t number = 1, start = 0;
    for (size_t at = 0; at + unit <= bytes.size(); at += unit) {
        const uint16_t u = UnitAt(bytes, at, unit, bigEndian);
        const bool lineEnd = u == '\n' || u == '\r';
        if (!lineEnd && at + 2 * unit <= bytes.size()) continue;
        if (!visit(number, bytes.substr(start, (lineEnd ? at : at + unit) - start))) return;
        if (u == '\r' && at + 2 * unit <= bytes.size() && UnitAt(bytes, at + unit, unit, bigEndian) == '\n') at += unit;
        start = at + unit, ++number;
    }
}

// "line 12: " and what `decodes` says of the first line it refuses; empty
// when it refuses none. Each line is decoded once, so a long file costs no
// more than decoding it whole.
template <typename Decodes>
std::string FirstBadLine(std::string_view bytes, size_t unit, bool bigEndian, Decodes decodes) {
    std::string found;
    ForEachLine(bytes, unit, bigEndian, [&](size_t number, std::string_view line) {
        const std::string error = decodes(line);
        if (!error.empty()) found = "line " + std::to_string(number) + ": " + error;
        return error.empty();
    });
    return found;
}

// What a strict UTF decoder says of a line, where it is in the line.
std::string InLine(const Decoded& d) {
    return d.error.empty() ? d.error : d.error + " of the line";
}

Decoded Utf16Bytes(std::string_view bytes, bool bigEndian) {
    // DecodeTextFile reads UTF-16 after its byte-order mark.
    std::vector<uint8_t> marked(bytes.size() + 2);
    marked[0] = bigEndian ? 0xFE : 0xFF, marked[1] = bigEndian ? 0xFF : 0xFE;
    std::copy(bytes.begin(), bytes.end(), marked.begin() + 2);
    return DecodeTextFile(marked);
}

DecodedFile AsUtf8(std::string_view bytes, const std::string& how) {
    Decoded d = Utf8ToUtf16(bytes);
    DecodedFile f{std::move(d.text), "UTF-8", how, ""};
    if (!d.error.empty())
        f.error = FirstBadLine(bytes, 1, false, [](std::string_view line) { return InLine(Utf8ToUtf16(line)); });
    return f;
}

DecodedFile AsUtf16(std::string_view bytes, bool bigEndian, const std::string& how) {
    Decoded d = Utf16Bytes(bytes, bigEndian);
    DecodedFile f{std::move(d.text), bigEndian ? "UTF-16BE" : "UTF-16LE", how, ""};
    if (bytes.size() % 2) {
        f.error = "it has an odd number of bytes, which UTF-16 never has";
    } else if (!d.error.empty()) {
        f.error = FirstBadLine(bytes, 2, bigEndian,
                               [&](std::string_view line) { return InLine(Utf16Bytes(line, bigEndian)); });
    }
    return f;
}

DecodedFile AsCodePage(std::string_view bytes, const std::string& name, const std::string& how) {
    DecodedFile f{{}, name, how, ""};
    switch (DecodeCodePage(bytes, name, f.text)) {
        case CodePageResult::Decoded: break;
        case CodePageResult::UnknownName: f.error = "the encoding '" + name + "' is not known here"; break;
        case CodePageResult::Undecodable:
            f.error = FirstBadLine(bytes, 1, false, [&](std::string_view line) {
                Text ignored;
                return DecodeCodePage(line, name, ignored) == CodePageResult::Decoded
                           ? std::string()
                           : "a byte that " + name + " does not have";
            });
            if (f.error.empty()) f.error = "bytes that " + name + " does not have";
            break;
    }
    return f;
}

bool StartsWith(std::string_view bytes, std::string_view mark) {
    return bytes.substr(0, mark.size()) == mark;
}

// Rule 4: more lines with letters beyond ASCII are valid UTF-8 than are not.
bool MostlyUtf8(std::string_view bytes) {
    long balance = 0;
    ForEachLine(bytes, 1, false, [&](size_t, std::string_view line) {
        const bool wide = std::any_of(line.begin(), line.end(), [](char c) { return uint8_t(c) >= 0x80; });
        if (wide) balance += Utf8ToUtf16(line).error.empty() ? 1 : -1;
        return true;
    });
    return balance > 0;
}

DecodedFile Named(std::string_view bytes, std::string name) {
    const std::string how = "as --encoding says";
    name = Lower(name);
    if (name == "utf-8" || name == "utf8")
        return AsUtf8(StartsWith(bytes, "\xEF\xBB\xBF") ? bytes.substr(3) : bytes, how);
    const bool le = name == "utf-16le" || name == "utf16le", be = name == "utf-16be" || name == "utf16be";
    if (le || be || name == "utf-16" || name == "utf16") {
        const bool bigEndian = be || (!le && StartsWith(bytes, "\xFE\xFF"));
        const bool marked = StartsWith(bytes, bigEndian ? "\xFE\xFF" : "\xFF\xFE");
        return AsUtf16(marked ? bytes.substr(2) : bytes, bigEndian, how);
    }
    return AsCodePage(bytes, IsLatin1(name) ? "windows-1252" : name, how);
}

}  // namespace

DecodedFile DecodeText(const std::vector<uint8_t>& file, const std::string& encoding) {
    const std::string_view bytes(reinterpret_cast<const char*>(file.data()), file.size());
    DecodedFile f;
    if (!encoding.empty()) {
        f = Named(bytes, encoding);
    } else if (StartsWith(bytes, "\xEF\xBB\xBF")) {
        f = AsUtf8(bytes.substr(3), "its byte-order mark");
    } else if (StartsWith(bytes, "\xFF\xFE") || StartsWith(bytes, "\xFE\xFF")) {
        f = AsUtf16(bytes.substr(2), bytes[0] == '\xFE', "its byte-order mark");
    } else {
        size_t even = 0, odd = 0;
        for (size_t i = 0; i < bytes.size(); ++i) (i % 2 ? odd : even) += bytes[i] == '\0';
        // Rule 2: ASCII in UTF-16 is half NULs, on the side of the high byte,
        // and a subtitle file's numbers and times keep at least a quarter of
        // its units ASCII; letters of other scripts have few NULs. A text
        // with a NUL now and then is no text in any encoding.
        const size_t units = bytes.size() / 2;
        if (odd > 4 * even && odd >= units / 4 && odd) {
            f = AsUtf16(bytes, false, "the pattern of its NUL bytes");
        } else if (even > 4 * odd && even >= units / 4 && even) {
            f = AsUtf16(bytes, true, "the pattern of its NUL bytes");
        } else if (even || odd) {
            f.error = "it holds NUL bytes, as no text does in an 8-bit encoding, but not as UTF-16 would";
        } else if (Utf8ToUtf16(bytes).error.empty() || MostlyUtf8(bytes)) {
            f = AsUtf8(bytes, "valid UTF-8");
        } else {
            const std::string guess = GuessCodePage(bytes);
            f = AsCodePage(bytes, IsLatin1(guess) ? "windows-1252" : guess, "guessed from its bytes");
        }
    }
    if (f.error.empty()) {
        // The library ends a text at a NUL: one inside would cut a cue short.
        const size_t nul = f.text.find(TextChar(0));
        size_t line = 1;
        for (size_t i = 0; i < nul && nul != Text::npos; ++i)
            line += f.text[i] == '\n' || (f.text[i] == '\r' && f.text[i + 1] != '\n');
        if (nul != Text::npos) f.error = "line " + std::to_string(line) + " holds a NUL character";
    }
    if (!f.error.empty()) f.text.clear();
    return f;
}

}  // namespace textraster::tool
