#include "cue_markup.h"

#include <algorithm>
#include <vector>

#include "color.h"

namespace textraster::tool {
namespace {

enum class Tag { None, Italic, Bold, Underline, Strike, Font };

struct TagAt {
    Tag tag = Tag::None;
    bool closing = false;
    size_t end = 0;  // just past the '>'
    std::optional<uint32_t> color;
};

bool SameLetters(const Text& s, size_t at, const char* word) {
    for (size_t k = 0; word[k]; ++k)
        if (at + k >= s.size() || (s[at + k] | 0x20) != word[k]) return false;
    return true;
}

// The value of `name="value"` (or 'value', or unquoted) in a tag's text.
std::optional<std::string> Attribute(const Text& tag, const char* name) {
    const size_t length = std::char_traits<char>::length(name);
    for (size_t at = 0; at + length < tag.size(); ++at) {
        if (!SameLetters(tag, at, name) || (at > 0 && tag[at - 1] != ' ')) continue;
        size_t p = at + length;
        while (p < tag.size() && tag[p] == ' ') ++p;
        if (p >= tag.size() || tag[p] != '=') continue;
        ++p;
        while (p < tag.size() && tag[p] == ' ') ++p;
        const TextChar quote = p < tag.size() && (tag[p] == '"' || tag[p] == '\'') ? tag[p] : 0;
        if (quote) ++p;
        size_t end = p;
        while (end < tag.size() && (quote ? tag[end] != quote : tag[end] != ' ')) ++end;
        return Utf16ToUtf8(Text(tag, p, end - p).c_str());
    }
    return std::nullopt;
}

// A formatting tag at `s[at]` ('<'), or Tag::None: <br>, <3 or a<b stay text.
TagAt ReadTag(const Text& s, size_t at) {
    static const struct {
        const char* name;
        Tag tag;
    } kTags[] = {{"i", Tag::Italic}, {"b", Tag::Bold}, {"u", Tag::Underline}, {"s", Tag::Strike}, {"font", Tag::Font}};
    TagAt found;
    size_t p = at + 1;
    const bool closing = p < s.size() && s[p] == '/';
    if (closing) ++p;
    for (const auto& t : kTags) {
        const size_t q = p + std::char_traits<char>::length(t.name);
        if (!SameLetters(s, p, t.name) || q >= s.size() || (s[q] != '>' && s[q] != ' ')) continue;
        // The tag ends at the first '>'; only <font> has attributes, and none holds a '<'.
        const size_t close = s.find('>', q);
        if (close == Text::npos) return found;
        const Text inside(s, q, close - q);
        if (inside.find('<') != Text::npos) return found;
        if (t.tag != Tag::Font && inside.find_first_not_of(TextChar(' ')) != Text::npos) return found;
        found.tag = t.tag, found.closing = closing, found.end = close + 1;
        uint32_t color;
        std::string ignored;
        const std::optional<std::string> value = Attribute(inside, "color");
        if (t.tag == Tag::Font && !closing && value && ParseColor(*value, color, ignored)) found.color = color;
        return found;
    }
    return found;
}

// The end of a {\...} override block at `s[at]`, or 0.
size_t OverrideEnd(const Text& s, size_t at) {
    if (s[at] != '{' || at + 1 >= s.size() || s[at + 1] != '\\') return 0;
    const size_t close = s.find('}', at);
    return close == Text::npos ? 0 : close + 1;
}

void Append(Text& out, uint32_t cp) {
    if (cp < 0x10000) {
        out.push_back(TextChar(cp));
    } else {
        out.push_back(TextChar(0xD800 + ((cp - 0x10000) >> 10)));
        out.push_back(TextChar(0xDC00 + ((cp - 0x10000) & 0x3FF)));
    }
}

// The character an entity at `s[at]` ('&') stands for, appended to `out`, and
// where the entity ends; 0 when it is not one.
size_t Entity(const Text& s, size_t at, Text& out) {
    static const struct {
        const char* name;
        uint32_t cp;
    } kNamed[] = {{"amp;", '&'}, {"lt;", '<'}, {"gt;", '>'}, {"quot;", '"'}, {"apos;", '\''}, {"nbsp;", 0xA0}};
    for (const auto& e : kNamed) {
        if (SameLetters(s, at + 1, e.name)) {
            Append(out, e.cp);
            return at + 1 + std::char_traits<char>::length(e.name);
        }
    }
    if (at + 2 >= s.size() || s[at + 1] != '#') return 0;
    const bool hex = (s[at + 2] | 0x20) == 'x';
    size_t p = at + (hex ? 3 : 2), digits = 0;
    uint32_t cp = 0;
    for (; p < s.size() && digits < 8; ++p, ++digits) {
        const TextChar c = s[p];
        const bool decimal = c >= '0' && c <= '9', letter = hex && (c | 0x20) >= 'a' && (c | 0x20) <= 'f';
        if (!decimal && !letter) break;
        cp = cp * (hex ? 16 : 10) + uint32_t(decimal ? c - '0' : (c | 0x20) - 'a' + 10);
    }
    const bool valid = cp > 0 && cp <= 0x10FFFF && (cp < 0xD800 || cp > 0xDFFF);
    if (!digits || p >= s.size() || s[p] != ';' || !valid) return 0;
    // A carriage return ends a line in the file, and the cue's lines are
    // joined with line feeds: one named by a reference ends a line too.
    Append(out, cp == '\r' ? '\n' : cp);
    return p + 1;
}

struct Styled {
    bool italic, bold;
    std::optional<uint32_t> color;
};

bool IsSpace(TextChar c) {
    return c == ' ' || c == '\t' || c == '\n' || c == 0xA0;
}

}  // namespace

CueText ReadMarkup(const Text& cue) {
    CueText result;
    std::vector<Styled> styles;  // one per character of result.text
    int italic = 0, bold = 0;
    std::vector<std::optional<uint32_t>> colors;  // one per open <font>
    for (size_t i = 0; i < cue.size();) {
        if (const size_t end = OverrideEnd(cue, i)) {
            i = end;
            continue;
        }
        if (cue[i] == '<') {
            const TagAt tag = ReadTag(cue, i);
            if (tag.tag != Tag::None) {
                const int step = tag.closing ? -1 : 1;
                if (tag.tag == Tag::Italic) italic = std::max(italic + step, 0);
                if (tag.tag == Tag::Bold) bold = std::max(bold + step, 0);
                if (tag.tag == Tag::Font && !tag.closing) colors.push_back(tag.color);
                if (tag.tag == Tag::Font && tag.closing && !colors.empty()) colors.pop_back();
                i = tag.end;
                continue;
            }
        }
        const size_t entityEnd = cue[i] == '&' ? Entity(cue, i, result.text) : 0;
        if (entityEnd) {
            i = entityEnd;
        } else {
            result.text.push_back(cue[i++]);
        }
        // The innermost <font> that names a colour gives it.
        std::optional<uint32_t> color;
        for (auto c = colors.rbegin(); c != colors.rend() && !color; ++c) color = *c;
        styles.resize(result.text.size(), Styled{italic > 0, bold > 0, color});
    }

    bool any = false, allItalic = true, allBold = true, oneColor = true;
    std::optional<uint32_t> color;
    for (size_t k = 0; k < result.text.size(); ++k) {
        if (IsSpace(result.text[k])) continue;
        const Styled& s = styles[k];
        allItalic = allItalic && s.italic, allBold = allBold && s.bold;
        oneColor = oneColor && s.color && (!any || s.color == color);
        color = s.color, any = true;
    }
    result.style.italic = any && allItalic;
    result.style.bold = any && allBold;
    if (any && oneColor) result.style.color = color;
    return result;
}

}  // namespace textraster::tool
