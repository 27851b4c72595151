#include "cue_markup.h"

#include <algorithm>
#include <vector>

#include "color.h"
#include "text/font_style.h"
#include "utf.h"

namespace textraster::tool {
namespace {

// Dropped: a WebVTT tag that changes nothing the library draws (a voice, a
// language, ruby) and a timestamp inside a cue. Class: <c.yellow>, whose
// first class that names a colour colours the cue as <font color> does.
// Span: Pango's <span>, which may colour the cue and make it bold or italic.
enum class Tag { None, Italic, Bold, Underline, Strike, Font, Class, Span, Dropped };

struct TagAt {
    Tag tag = Tag::None;
    bool closing = false;
    size_t end = 0;  // just past the '>'
    std::optional<uint32_t> color;
    bool italic = false, bold = false;  // a <span>'s style or weight
};

bool SameLetters(const Text& s, size_t at, const char* word) {
    for (size_t k = 0; word[k]; ++k)
        if (at + k >= s.size() || (s[at + k] | 0x20) != word[k]) return false;
    return true;
}

bool IsDigit(TextChar c) {
    return c >= '0' && c <= '9';
}

// Where a character next occurs at or after a place. The markup is read front
// to back, so one search serves every place before what it found: reading
// stays linear however many unclosed '<' or '{\' a cue holds.
struct NextOf {
    TextChar c;
    size_t found = 0;
    bool searched = false;
    size_t From(const Text& s, size_t at) {
        if (!searched || found < at) found = s.find(c, at), searched = true;
        return found;
    }
};

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

// The first of a tag's classes (".yellow.big") that names a colour.
std::optional<uint32_t> ClassColor(const Text& classes) {
    for (size_t at = 0; at < classes.size();) {
        const size_t next = std::min(classes.find('.', at + 1), classes.size());
        uint32_t color;
        std::string ignored;
        if (ParseColor(Utf16ToUtf8(Text(classes, at + 1, next - at - 1).c_str()), color, ignored)) return color;
        at = next;
    }
    return std::nullopt;
}

// A timestamp tag inside a WebVTT cue, <00:01.500>, at `s[at]` ('<'): its end, or 0.
size_t TimestampEnd(const Text& s, size_t at) {
    if (at + 1 >= s.size() || !IsDigit(s[at + 1])) return 0;
    for (size_t p = at + 1; p < s.size(); ++p) {
        if (s[p] == '>') return p + 1;
        if (!IsDigit(s[p]) && s[p] != ':' && s[p] != '.') return 0;
    }
    return 0;
}

// A tag at `s[at]` ('<'), or Tag::None: <br>, <3 or a<b stay text.
TagAt ReadTag(const Text& s, size_t at, NextOf& nextClose, NextOf& nextOpen) {
    static const struct {
        const char* name;
        Tag tag;
        bool annotated;  // text may follow the name: <font color=...>, <v Speaker>, <lang en>
    } kTags[] = {{"i", Tag::Italic, false},  {"b", Tag::Bold, false},      {"u", Tag::Underline, false},
                 {"s", Tag::Strike, false},  {"font", Tag::Font, true},    {"c", Tag::Class, false},
                 {"v", Tag::Dropped, true},  {"lang", Tag::Dropped, true}, {"ruby", Tag::Dropped, false},
                 {"rt", Tag::Dropped, false}};
    TagAt found;
    if (const size_t end = TimestampEnd(s, at)) {
        found.tag = Tag::Dropped, found.end = end;
        return found;
    }
    size_t p = at + 1;
    const bool closing = p < s.size() && s[p] == '/';
    if (closing) ++p;
    for (const auto& t : kTags) {
        const size_t q = p + std::char_traits<char>::length(t.name);
        if (!SameLetters(s, p, t.name) || q >= s.size() || (s[q] != '>' && s[q] != ' ' && s[q] != '.')) continue;
        // The tag ends at the first '>'; no tag's text holds a '<'.
        const size_t close = nextClose.From(s, q);
        if (close == Text::npos || nextOpen.From(s, q) < close) return found;
        const Text inside(s, q, close - q);
        // WebVTT's classes come first (".yellow"), then what the tag may say.
        const size_t classesEnd = std::min(inside.find(' '), inside.size());
        const Text classes = inside.substr(0, classesEnd);
        if (!classes.empty() && classes[0] != '.') return found;
        if (!t.annotated && inside.find_first_not_of(TextChar(' '), classesEnd) != Text::npos) return found;
        found.tag = t.tag, found.closing = closing, found.end = close + 1;
        uint32_t color;
        std::string ignored;
        const std::optional<std::string> value = Attribute(inside, "color");
        if (t.tag == Tag::Font && !closing && value && ParseColor(*value, color, ignored)) found.color = color;
        if (t.tag == Tag::Class && !closing) found.color = ClassColor(classes);
        return found;
    }
    return found;
}

// Pango's weights that are bold: the names, and numbers from 600 (semibold) up.
bool IsBoldWeight(const std::string& weight) {
    for (const char* name : {"semibold", "bold", "ultrabold", "heavy", "ultraheavy"})
        if (weight == name) return true;
    return weight.size() >= 3 && weight.size() <= 4 && weight.find_first_not_of("0123456789") == std::string::npos &&
           std::stoi(weight) >= 600;
}

// A tag of Pango markup at `s[at]` ('<'): every '<' opens one, up to the
// first '>'; one that no '>' closes (or that holds a '<') stays text.
TagAt ReadPangoTag(const Text& s, size_t at, NextOf& nextClose, NextOf& nextOpen) {
    TagAt found;
    size_t p = at + 1;
    const bool closing = p < s.size() && s[p] == '/';
    if (closing) ++p;
    const size_t close = nextClose.From(s, p);
    if (close == Text::npos || nextOpen.From(s, p) < close) return found;
    size_t nameEnd = p;
    while (nameEnd < close && s[nameEnd] != ' ' && s[nameEnd] != '/') ++nameEnd;
    auto named = [&](const char* name) {
        return nameEnd - p == std::char_traits<char>::length(name) && SameLetters(s, p, name);
    };
    found.tag = named("i") ? Tag::Italic : named("b") ? Tag::Bold : named("span") ? Tag::Span : Tag::Dropped;
    found.closing = closing, found.end = close + 1;
    if (found.tag != Tag::Span || closing) return found;
    const Text inside(s, nameEnd, close - nameEnd);
    for (const char* name : {"foreground", "fgcolor", "color"}) {
        uint32_t color;
        std::string ignored;
        const std::optional<std::string> value = Attribute(inside, name);
        if (!found.color && value && ParseColor(*value, color, ignored)) found.color = color;
    }
    found.bold = IsBoldWeight(Attribute(inside, "weight").value_or(""));
    const std::string style = Attribute(inside, "style").value_or("");
    found.italic = style == "italic" || style == "oblique";
    return found;
}

// The end of a {\...} override block at `s[at]`, or 0.
size_t OverrideEnd(const Text& s, size_t at, NextOf& nextClose) {
    if (s[at] != '{' || at + 1 >= s.size() || s[at + 1] != '\\') return 0;
    const size_t close = nextClose.From(s, at);
    return close == Text::npos ? 0 : close + 1;
}

// The first position code in an override block, s[begin, end): \an1 to \an9,
// or the older \a1 to \a11 (1-3 bottom, 5-7 top, 9-11 middle), as the
// keypad number; 0 when there is none.
int PositionCode(const Text& s, size_t begin, size_t end) {
    static const int kLegacy[12] = {0, 1, 2, 3, 0, 7, 8, 9, 0, 4, 5, 6};
    for (size_t p = begin; p + 2 < end; ++p) {
        if (s[p] != '\\' || s[p + 1] != 'a') continue;
        const bool keypad = s[p + 2] == 'n';
        size_t q = p + (keypad ? 3 : 2);
        int value = 0, digits = 0;
        for (; q < end && IsDigit(s[q]) && digits < 3; ++q, ++digits) value = value * 10 + (s[q] - '0');
        if (digits == 0 || (q < end && IsDigit(s[q]))) continue;
        if (keypad && value >= 1 && value <= 9) return value;
        if (!keypad && value >= 1 && value <= 11 && kLegacy[value]) return kLegacy[value];
    }
    return 0;
}

// The character an entity at `s[at]` ('&') stands for, appended to `out`, and
// where the entity ends; 0 when it is not one.
size_t Entity(const Text& s, size_t at, Text& out) {
    static const struct {
        const char* name;
        uint32_t cp;
    } kNamed[] = {{"amp;", '&'},   {"lt;", '<'},    {"gt;", '>'},     {"quot;", '"'},
                  {"apos;", '\''}, {"nbsp;", 0xA0}, {"lrm;", 0x200E}, {"rlm;", 0x200F}};
    for (const auto& e : kNamed) {
        if (SameLetters(s, at + 1, e.name)) {
            AppendUtf16(out, e.cp);
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
    const bool valid = cp > 0 && cp <= 0x10FFFF && !IsSurrogate(cp);
    if (!digits || p >= s.size() || s[p] != ';' || !valid) return 0;
    // A carriage return ends a line in the file, and the cue's lines are
    // joined with line feeds: one named by a reference ends a line too.
    AppendUtf16(out, cp == '\r' ? '\n' : cp);
    return p + 1;
}

struct Styled {
    bool italic, bold;
    std::optional<uint32_t> color;
};

// What the open <font>, <c> and <span> tags give, innermost last: each holds
// what applies inside it, its own or the one it is nested in.
using Open = Styled;

bool IsSpace(TextChar c) {
    return c == ' ' || c == '\t' || c == '\n' || c == 0xA0;
}

}  // namespace

CueText ReadMarkup(const Text& cue, Markup markup) {
    CueText result;
    std::vector<Styled> styles;  // one per character of result.text
    int italic = 0, bold = 0;
    std::vector<Open> open;
    NextOf tagClose{'>'}, tagOpen{'<'}, blockClose{'}'};
    for (size_t i = 0; i < cue.size();) {
        if (const size_t end = OverrideEnd(cue, i, blockClose)) {
            if (!result.anchor) result.anchor = PositionCode(cue, i, end);
            i = end;
            continue;
        }
        if (cue[i] == '<') {
            const TagAt tag =
                markup == Markup::Pango ? ReadPangoTag(cue, i, tagClose, tagOpen) : ReadTag(cue, i, tagClose, tagOpen);
            if (tag.tag != Tag::None) {
                const int step = tag.closing ? -1 : 1;
                const bool opens = tag.tag == Tag::Font || tag.tag == Tag::Class || tag.tag == Tag::Span;
                if (tag.tag == Tag::Italic) italic = std::max(italic + step, 0);
                if (tag.tag == Tag::Bold) bold = std::max(bold + step, 0);
                if (opens && !tag.closing) {
                    const Open outer = open.empty() ? Open{false, false, std::nullopt} : open.back();
                    open.push_back(
                        {tag.italic || outer.italic, tag.bold || outer.bold, tag.color ? tag.color : outer.color});
                }
                if (opens && tag.closing && !open.empty()) open.pop_back();
                i = tag.end;
                continue;
            }
        }
        // \N and \n break the line, \h is a space that does not (as in the
        // files these cues are converted from).
        const TextChar escaped = cue[i] == '\\' && i + 1 < cue.size() ? cue[i + 1] : 0;
        const size_t entityEnd = cue[i] == '&' ? Entity(cue, i, result.text) : 0;
        if (escaped == 'N' || escaped == 'n' || escaped == 'h') {
            result.text.push_back(escaped == 'h' ? 0xA0 : '\n');
            i += 2;
        } else if (entityEnd) {
            i = entityEnd;
        } else {
            result.text.push_back(cue[i++]);
        }
        const Open inside = open.empty() ? Open{false, false, std::nullopt} : open.back();
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
    const bool bold = style.bold || StyleIsBold(record.fontStyle);
    const bool italic = style.italic || StyleIsItalic(record.fontStyle);
    if (style.bold || style.italic)
        record.fontStyle = bold && italic ? TR_STYLE_BOLD_ITALIC : bold ? TR_STYLE_BOLD : TR_STYLE_ITALIC;
    if (style.color) record.textColor = *style.color;
}

}  // namespace textraster::tool
