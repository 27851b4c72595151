#include "cue_markup.h"

#include <algorithm>
#include <vector>

#include "color.h"

namespace textraster::tool {
namespace {

enum class Tag { None, Italic, Bold, Underline, Strike, Font, Other };

struct TagAt {
    Tag tag = Tag::None;
    bool closing = false;
    size_t end = 0;  // just past the '>'
    // What a <font> or <span> gives the text it holds.
    std::optional<uint32_t> color;
    bool italic = false, bold = false;
};

// Where the next `c` at or after a position is, for positions that only move
// forward: each character is looked at once, so that a cue full of '<' or
// "{\" without their ends is still read in linear time.
class NextOf {
   public:
    NextOf(const Text& s, TextChar c) : s_(s), c_(c), found_(s.find(c)) {}
    size_t From(size_t from) {
        if (found_ != Text::npos && found_ < from) found_ = s_.find(c_, from);
        return found_;
    }

   private:
    const Text& s_;
    TextChar c_;
    size_t found_;  // npos once there is none left
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

std::optional<uint32_t> ColorAttribute(const Text& inside, const char* name) {
    uint32_t color;
    std::string ignored;
    const std::optional<std::string> value = Attribute(inside, name);
    if (value && ParseColor(*value, color, ignored)) return color;
    return std::nullopt;
}

// Pango's weights that are bold: the names, and numbers from 600 (semibold) up.
bool IsBoldWeight(const std::string& weight) {
    for (const char* name : {"semibold", "bold", "ultrabold", "heavy", "ultraheavy"})
        if (weight == name) return true;
    return weight.size() >= 3 && weight.size() <= 4 && weight.find_first_not_of("0123456789") == std::string::npos &&
           std::stoi(weight) >= 600;
}

// What a <span>'s attributes give: its colour, and bold or italic when its
// weight or style says so.
void ReadSpan(const Text& inside, TagAt& tag) {
    for (const char* name : {"foreground", "fgcolor", "color"})
        if (!tag.color) tag.color = ColorAttribute(inside, name);
    tag.bold = IsBoldWeight(Attribute(inside, "weight").value_or(""));
    const std::string style = Attribute(inside, "style").value_or("");
    tag.italic = style == "italic" || style == "oblique";
}

struct TagName {
    const char* name;
    Tag tag;
};
constexpr TagName kSubRipTags[] = {
    {"i", Tag::Italic}, {"b", Tag::Bold}, {"u", Tag::Underline}, {"s", Tag::Strike}, {"font", Tag::Font}};
constexpr TagName kPangoTags[] = {
    {"i", Tag::Italic}, {"b", Tag::Bold}, {"u", Tag::Underline}, {"s", Tag::Strike}, {"span", Tag::Font}};

// A formatting tag at `s[at]` ('<'), or Tag::None: in SubRip <br>, <3 or a<b
// stay text; in Pango markup every '<' opens a tag, and one that no '>'
// closes stays text. `closes` finds the '>' ahead, `opens` the next '<'.
TagAt ReadTag(const Text& s, size_t at, Markup markup, NextOf& closes, NextOf& opens) {
    TagAt found;
    size_t p = at + 1;
    const bool closing = p < s.size() && s[p] == '/';
    if (closing) ++p;
    // The tag ends at the first '>'; none holds a '<'.
    const size_t close = closes.From(p);
    if (close == Text::npos || opens.From(p) < close) return found;
    for (const TagName& t : markup == Markup::Pango ? kPangoTags : kSubRipTags) {
        const size_t q = p + std::char_traits<char>::length(t.name);
        if (q > close || !SameLetters(s, p, t.name) || (s[q] != '>' && s[q] != ' ')) continue;
        // Only <font> and <span> have attributes.
        const Text inside(s, q, close - q);
        if (t.tag != Tag::Font && inside.find_first_not_of(TextChar(' ')) != Text::npos) break;
        found.tag = t.tag, found.closing = closing, found.end = close + 1;
        if (t.tag != Tag::Font || closing) return found;
        if (markup == Markup::Pango) {
            ReadSpan(inside, found);
        } else {
            found.color = ColorAttribute(inside, "color");
        }
        return found;
    }
    // Pango's other tags (<big>, <tt>, <sub>, ...) change nothing the library draws.
    if (markup == Markup::Pango) found.tag = Tag::Other, found.closing = closing, found.end = close + 1;
    return found;
}

// The end of a {\...} override block at `s[at]`, or 0.
size_t OverrideEnd(const Text& s, size_t at, NextOf& closes) {
    if (s[at] != '{' || at + 1 >= s.size() || s[at + 1] != '\\') return 0;
    const size_t close = closes.From(at);
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

// What the open <font> and <span> tags give, innermost last. Each holds what
// applies inside it, its own or inherited, so that a character's style is
// read off the top however deep the tags nest.
struct Open {
    std::optional<uint32_t> color;
    bool italic = false, bold = false;
};

}  // namespace

CueText ReadMarkup(const Text& cue, Markup markup) {
    CueText result;
    std::vector<Styled> styles;  // one per character of result.text
    int italic = 0, bold = 0;
    std::vector<Open> open;
    NextOf tagEnds(cue, '>'), tagStarts(cue, '<'), overrideEnds(cue, '}');
    for (size_t i = 0; i < cue.size();) {
        if (const size_t end = OverrideEnd(cue, i, overrideEnds)) {
            i = end;
            continue;
        }
        if (cue[i] == '<') {
            const TagAt tag = ReadTag(cue, i, markup, tagEnds, tagStarts);
            if (tag.tag != Tag::None) {
                const int step = tag.closing ? -1 : 1;
                if (tag.tag == Tag::Italic) italic = std::max(italic + step, 0);
                if (tag.tag == Tag::Bold) bold = std::max(bold + step, 0);
                if (tag.tag == Tag::Font && !tag.closing) {
                    const Open outer = open.empty() ? Open{} : open.back();
                    open.push_back(
                        {tag.color ? tag.color : outer.color, tag.italic || outer.italic, tag.bold || outer.bold});
                }
                if (tag.tag == Tag::Font && tag.closing && !open.empty()) open.pop_back();
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
        const Open inside = open.empty() ? Open{} : open.back();
        styles.resize(result.text.size(), Styled{italic > 0 || inside.italic, bold > 0 || inside.bold, inside.color});
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

void ApplyCueStyle(const CueStyle& style, TextLayoutParams& record) {
    const int32_t s = record.fontStyle;
    const bool bold = style.bold || s == 1 || s == 3 || s == 5;
    const bool italic = style.italic || (s >= 2 && s <= 5);
    if (style.bold || style.italic) record.fontStyle = bold && italic ? 3 : bold ? 1 : 2;
    if (style.color) record.textColor = *style.color;
}

}  // namespace textraster::tool
