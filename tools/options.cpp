#include "options.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <limits>
#include <sstream>

#include "bdn_index.h"
#include "color.h"

namespace textraster::tool {
namespace {

// Which commands an option applies to.
enum : unsigned {
    kSample = 1u << int(Command::Sample),
    kRender = 1u << int(Command::Render),
    kMeasure = 1u << int(Command::Measure),
    kSubtitles = 1u << int(Command::Subtitles),
    kFonts = 1u << int(Command::Fonts),
    kLayout = kRender | kMeasure | kSubtitles,
    kPictures = kRender | kSubtitles,
};

const char* CommandName(Command c) {
    switch (c) {
        case Command::Sample: return "sample";
        case Command::Render: return "render";
        case Command::Measure: return "measure";
        case Command::Subtitles: return "subtitles";
        case Command::Fonts: return "fonts";
        case Command::Help: return "help";
        case Command::Version: return "version";
    }
    return "";
}

// ---- values ---------------------------------------------------------------

bool ParseInteger(const std::string& s, long long min, long long max, long long& out, std::string& error) {
    errno = 0;
    char* end = nullptr;
    const long long v = s.empty() ? 0 : std::strtoll(s.c_str(), &end, 10);
    if (s.empty() || *end != '\0' || errno == ERANGE || v < min || v > max) {
        error =
            "expected a whole number from " + std::to_string(min) + " to " + std::to_string(max) + ", got '" + s + "'";
        return false;
    }
    out = v;
    return true;
}

template <typename T>
bool ParseNumber(const std::string& s, T& out, std::string& error) {
    long long v;
    if (!ParseInteger(s, std::numeric_limits<T>::min(), std::numeric_limits<T>::max(), v, error)) return false;
    out = T(v);
    return true;
}

// Two numbers joined by `separator`: "1280x160", "10,20".
bool ParsePair(const std::string& s, char separator, uint16_t& a, uint16_t& b, std::string& error) {
    const size_t at = s.find(separator);
    std::string ignored;
    if (at == std::string::npos || !ParseNumber(s.substr(0, at), a, ignored) ||
        !ParseNumber(s.substr(at + 1), b, ignored)) {
        error = std::string("expected two numbers from 0 to 65535 as A") + separator + "B, got '" + s + "'";
        return false;
    }
    return true;
}

struct Name {
    const char* name;
    int32_t value;
};

// A named value, or any 32-bit number (passed to the library as it is).
template <size_t N>
bool ParseNamed(const std::string& s, const Name (&names)[N], int32_t& out, std::string& error) {
    std::string lower = s;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) { return char(std::tolower(c)); });
    for (const Name& n : names) {
        if (lower == n.name) {
            out = n.value;
            return true;
        }
    }
    if (ParseNumber(s, out, error)) return true;
    error = "expected ";
    for (const Name& n : names) error += std::string(n.name) + "|";
    error += "a number, got '" + s + "'";
    return false;
}

const Name kStyles[] = {{"regular", TR_STYLE_REGULAR},
                        {"bold", TR_STYLE_BOLD},
                        {"italic", TR_STYLE_ITALIC},
                        {"bold-italic", TR_STYLE_BOLD_ITALIC}};
const Name kAlignments[] = {
    {"start", TR_ALIGN_START}, {"centre", TR_ALIGN_CENTRE}, {"center", TR_ALIGN_CENTRE}, {"end", TR_ALIGN_END}};
const Name kWritingModes[] = {
    {"horizontal", TR_WRITING_HORIZONTAL}, {"rtl", TR_WRITING_RIGHT_TO_LEFT}, {"vertical", TR_WRITING_VERTICAL}};
const Name kSpaceModes[] = {
    {"trim", 0}, {"remove", 1}, {"to-space", 2}, {"trim-line-ends", 3}, {"trim-line-starts", 4}};
const Name kNewlineModes[] = {{"space", 0}, {"remove", 1}, {"keep", 2}, {"zero-width-space", 3}};
const Name kLeadingSpaceModes[] = {{"drop", 0}, {"keep", 1}, {"trim", 2}};

// ---- the option table -----------------------------------------------------

// A flag's whole effect: one assignment.
template <typename T, typename V>
bool Set(T& field, V value) {
    field = T(value);
    return true;
}

using Apply = bool (*)(Options&, const std::string& value, std::string& error);

struct Option {
    const char* name;
    const char* alias;    // another name, or null
    const char* value;    // the value's placeholder, or null for a flag
    const char* initial;  // applied before the command line; null: none, or derived (said in `help`)
    unsigned applies;
    const char* help;
    Apply apply;
};

const Option kRecordOptions[] = {
    {"--region", nullptr, "WxH", "1280x160", kLayout,
     "regionWidth x regionHeight: the text region; lines run along the width (down the height when vertical)",
     [](Options& o, const std::string& v, std::string& e) {
         return ParsePair(v, 'x', o.record.regionWidth, o.record.regionHeight, e) && Set(o.regionGiven, true);
     }},
    {"--dest", nullptr, "X,Y", "0,0", kLayout, "destX,destY: where the region's first pixel lands in the buffer",
     [](Options& o, const std::string& v, std::string& e) {
         return ParsePair(v, ',', o.record.destX, o.record.destY, e) && Set(o.destGiven, true);
     }},
    {"--buffer", nullptr, "WxH", nullptr, kLayout,
     "bufferWidth x bufferHeight: the image written [just big enough for the region at --dest]",
     [](Options& o, const std::string& v, std::string& e) {
         return ParsePair(v, 'x', o.record.bufferWidth, o.record.bufferHeight, e) && Set(o.bufferGiven, true);
     }},
    {"--buffer-size", nullptr, "BYTES", nullptr, kLayout,
     "bufferSize: the bytes the library may write [4 x bufferWidth x bufferHeight]",
     [](Options& o, const std::string& v, std::string& e) {
         return ParseNumber(v, o.record.bufferSize, e) && Set(o.bufferSizeGiven, true);
     }},
    {"--top-down", nullptr, nullptr, "", kLayout, "topDown 1: the buffer's first row is the top one [default]",
     [](Options& o, const std::string&, std::string&) { return Set(o.record.topDown, 1); }},
    {"--bottom-up", nullptr, nullptr, nullptr, kLayout,
     "topDown 0: the buffer's first row is the bottom one (the PNG is turned upright)",
     [](Options& o, const std::string&, std::string&) { return Set(o.record.topDown, 0); }},
    {"--text-color", nullptr, "COLOR", "#FFFFFFFF", kLayout,
     "textColor: #RRGGBBAA with AA the opacity, #RRGGBB (opaque), #RGB, or a CSS colour name (white, navy, ...)",
     [](Options& o, const std::string& v, std::string& e) { return ParseColor(v, o.record.textColor, e); }},
    {"--back-color", nullptr, "COLOR", "#00000000", kLayout,
     "backColor: behind the glyphs, in each line's cells; as --text-color, or transparent",
     [](Options& o, const std::string& v, std::string& e) { return ParseColor(v, o.record.backColor, e); }},
    {"--font", "--face-name", "NAME", "DejaVu Sans", kLayout,
     "faceName: the font's face name (a family or full name); the path of a font file is taken as --font-file",
     [](Options& o, const std::string& v, std::string&) {
         o.face = v;
         return Set(o.faceGiven, true);
     }},
    {"--font-height", nullptr, "N", "32", kLayout, "fontHeight: the cell height in pixels, 0-255",
     [](Options& o, const std::string& v, std::string& e) { return ParseNumber(v, o.record.fontHeight, e); }},
    {"--style", "--font-style", "STYLE", "regular", kLayout, "fontStyle: regular|bold|italic|bold-italic or a number",
     [](Options& o, const std::string& v, std::string& e) { return ParseNamed(v, kStyles, o.record.fontStyle, e); }},
    {"--space-mode", nullptr, "MODE", "trim", kLayout,
     "spaceMode, for white space other than line feeds: trim (at line starts and before line feeds), remove, to-space "
     "(each becomes a space), trim-line-ends, trim-line-starts, or a number",
     [](Options& o, const std::string& v, std::string& e) {
         return ParseNamed(v, kSpaceModes, o.record.spaceMode, e);
     }},
    {"--newline-mode", nullptr, "MODE", "keep", kLayout,
     "newlineMode, for line feeds: space|remove|keep|zero-width-space or a number",
     [](Options& o, const std::string& v, std::string& e) {
         return ParseNamed(v, kNewlineModes, o.record.newlineMode, e);
     }},
    {"--preserve-spaces", nullptr, nullptr, nullptr, kLayout, "preserveSpaces 1: keep runs of white space",
     [](Options& o, const std::string&, std::string&) { return Set(o.record.preserveSpaces, 1); }},
    {"--collapse-spaces", nullptr, nullptr, "", kLayout, "preserveSpaces 0: collapse them [default]",
     [](Options& o, const std::string&, std::string&) { return Set(o.record.preserveSpaces, 0); }},
    {"--wrap", "--word-wrap", nullptr, "", kLayout, "wordWrap 1: break lines that reach the line length [default]",
     [](Options& o, const std::string&, std::string&) { return Set(o.record.wordWrap, 1); }},
    {"--no-wrap", "--no-word-wrap", nullptr, nullptr, kLayout, "wordWrap 0: break only at line feeds",
     [](Options& o, const std::string&, std::string&) { return Set(o.record.wordWrap, 0); }},
    {"--leading-space-mode", nullptr, "MODE", "drop", kLayout,
     "leadingSpaceMode, for white space at the start of the text: drop, keep, trim (removed by the space modes trim "
     "and trim-line-starts), or a number",
     [](Options& o, const std::string& v, std::string& e) {
         return ParseNamed(v, kLeadingSpaceModes, o.record.leadingSpaceMode, e);
     }},
    {"--block-start-offset", nullptr, "N", "0", kLayout,
     "blockStartOffset: the first line's distance from the top (from the right when vertical)",
     [](Options& o, const std::string& v, std::string& e) { return ParseNumber(v, o.record.blockStartOffset, e); }},
    {"--line-pitch", nullptr, "N", nullptr, kLayout, "linePitch: the distance between lines, 0-255 [the font height]",
     [](Options& o, const std::string& v, std::string& e) {
         return ParseNumber(v, o.record.linePitch, e) && Set(o.linePitchGiven, true);
     }},
    {"--first-line-indent", nullptr, "N", "0", kLayout, "firstLineIndent: extra offset of the first line (align start)",
     [](Options& o, const std::string& v, std::string& e) { return ParseNumber(v, o.record.firstLineIndent, e); }},
    {"--writing-mode", nullptr, "MODE", "horizontal", kLayout,
     "writingMode: horizontal|rtl (right to left)|vertical (columns right to left) or a number; subtitles "
     "without it take each cue's direction from its first letter",
     [](Options& o, const std::string& v, std::string& e) {
         if (!ParseNamed(v, kWritingModes, o.record.writingMode, e)) return false;
         // The library takes any number, and draws nothing in any other mode.
         if (o.record.writingMode < TR_WRITING_HORIZONTAL || o.record.writingMode > TR_WRITING_VERTICAL)
             e = "expected horizontal|rtl|vertical or 1 to 3, got '" + v + "': the library draws nothing in another";
         return e.empty() && Set(o.writingModeGiven, true);
     }},
    {"--align", "--alignment", "ALIGN", "centre", kLayout, "alignment: start|centre|center|end or a number",
     [](Options& o, const std::string& v, std::string& e) {
         return ParseNamed(v, kAlignments, o.record.alignment, e);
     }},
};

const Option kToolOptions[] = {
    {"--text-file", nullptr, "PATH", nullptr, kRender | kMeasure,
     "the text from a file, UTF-8 or UTF-16 with a byte-order mark (instead of TEXT)",
     [](Options& o, const std::string& v, std::string&) {
         o.textFile = v;
         return true;
     }},
    {"--font-file", nullptr, "PATH", nullptr, kLayout | kFonts,
     "register a font file privately for this run (AddFont); may be repeated; without --font the first file's full "
     "name is the face",
     [](Options& o, const std::string& v, std::string&) {
         o.fontFiles.push_back(v);
         return true;
     }},
    {"--strict-font", nullptr, nullptr, nullptr, kLayout,
     "fail (exit 1) when the face asked for is not available and another would be drawn instead",
     [](Options& o, const std::string&, std::string&) { return Set(o.strictFont, true); }},
    {"--fit", nullptr, nullptr, nullptr, kPictures,
     "size the region to the text as ComputeTextRegionSize measures it: with --region, its line length stays and "
     "the other side is fitted; without, lines break only where the text breaks them and the region is as long as "
     "the longest",
     [](Options& o, const std::string&, std::string&) { return Set(o.fit, true); }},
    {"--margin", nullptr, "N", "0", kPictures, "transparent pixels around a fitted region (with --fit)",
     [](Options& o, const std::string& v, std::string& e) { return ParseNumber(v, o.margin, e); }},
    {"--outline", nullptr, "N", "0", kPictures,
     "draw an outline N pixels wide around the text, under it, as subtitles show text over video (0-32)",
     [](Options& o, const std::string& v, std::string& e) {
         long long n;
         if (!ParseInteger(v, 0, 32, n, e)) return false;
         o.outline = uint16_t(n);
         return true;
     }},
    {"--outline-color", nullptr, "COLOR", "black", kPictures, "the outline's colour, as --text-color",
     [](Options& o, const std::string& v, std::string& e) { return ParseColor(v, o.outlineColor, e); }},
    {"-o", "--output", "PATH", nullptr, kSample | kRender | kSubtitles,
     "where to write: a PNG file, - for standard output (sample, render), or a folder (subtitles) "
     "[textraster-sample.png, textraster.png, cues]",
     [](Options& o, const std::string& v, std::string&) {
         o.output = v;
         return true;
     }},
    {"--preview", nullptr, nullptr, nullptr, kSample | kRender | kSubtitles,
     "lay the image over a checkerboard, as image editors show transparency (the PNG is then opaque)",
     [](Options& o, const std::string&, std::string&) { return Set(o.preview, true); }},
    {"--json", nullptr, nullptr, nullptr, kMeasure, "print the measurements as one JSON object",
     [](Options& o, const std::string&, std::string&) { return Set(o.json, true); }},
    {"-q", "--quiet", nullptr, nullptr, kSample | kLayout | kFonts,
     "no status lines on standard error (warnings and failures still)",
     [](Options& o, const std::string&, std::string&) { return Set(o.quiet, true); }},
};

const Option kSubtitleOptions[] = {
    {"--encoding", nullptr, "NAME", nullptr, kSubtitles,
     "the file's encoding: UTF-8, UTF-16LE, UTF-16BE, or a code page (windows-1251, iso-8859-2, koi8-r, shift_jis, "
     "cp1250, ...) [found: a byte-order mark, NUL bytes as UTF-16 has them, valid UTF-8, else a guess of the code "
     "page]",
     [](Options& o, const std::string& v, std::string&) {
         o.encoding = v;
         return true;
     }},
    {"--strict", nullptr, nullptr, nullptr, kSubtitles,
     "fail (exit 1, nothing written) when the file has anything to warn of: a block skipped or repaired, a cue "
     "without text or ending before it starts",
     [](Options& o, const std::string&, std::string&) { return Set(o.strict, true); }},
    {"--frame", nullptr, "WxH", nullptr, kSubtitles,
     "the video frame's size: each cue is placed on it (cues.json gains x and y), at the bottom centre unless the "
     "cue says ({\\an8}, WebVTT's line and position); without --region, lines wrap at the frame's width less the "
     "margins",
     [](Options& o, const std::string& v, std::string& e) {
         return ParsePair(v, 'x', o.frameWidth, o.frameHeight, e);
     }},
    {"--frame-margin", nullptr, "N", nullptr, kSubtitles,
     "pixels between a cue and the frame's sides [a twentieth of the frame's height]",
     [](Options& o, const std::string& v, std::string& e) {
         return ParseNumber(v, o.frameMargin, e) && Set(o.frameMarginGiven, true);
     }},
    {"--index", nullptr, "bdn", nullptr, kSubtitles,
     "also write bdn.xml, the BDN XML index of the PNGs that Blu-ray authoring and PGS (.sup) converters read "
     "(with --frame and --fps)",
     [](Options& o, const std::string& v, std::string& e) {
         if (v != "bdn") e = "expected bdn, got '" + v + "'";
         return v == "bdn" && Set(o.bdn, true);
     }},
    {"--fps", nullptr, "RATE", nullptr, kSubtitles,
     "the video's frame rate for bdn.xml's timecodes: 23.976, 24, 25, 29.97, 30, 50, 59.94 or 60",
     [](Options& o, const std::string& v, std::string& e) {
         if (!ParseFrameRate(v, o.rate)) e = "expected 23.976, 24, 25, 29.97, 30, 50, 59.94 or 60, got '" + v + "'";
         return e.empty() && Set(o.rateGiven, true);
     }},
    {"--drop-frame", nullptr, nullptr, nullptr, kSubtitles,
     "drop-frame timecodes in bdn.xml (with --fps 29.97 or 59.94)",
     [](Options& o, const std::string&, std::string&) { return Set(o.dropFrame, true); }},
};

template <typename F>
void ForEachOption(F f) {
    for (const Option& o : kRecordOptions) f(o);
    for (const Option& o : kToolOptions) f(o);
    for (const Option& o : kSubtitleOptions) f(o);
}

const Option* Find(const std::string& name) {
    const Option* found = nullptr;
    ForEachOption([&](const Option& o) {
        if (name == o.name || (o.alias && name == o.alias)) found = &o;
    });
    return found;
}

std::string CheckPositional(const Options& o) {
    const size_t n = o.positional.size();
    switch (o.command) {
        case Command::Sample:
            return n ? "the sample takes no TEXT; did you mean: textraster render \"" + o.positional[0] + "\"" : "";
        case Command::Render:
        case Command::Measure:
            if (n > 1) return "give the text as one argument (quote it); found " + std::to_string(n) + " arguments";
            if (n == 1 && !o.textFile.empty()) return "give either TEXT or --text-file, not both";
            if (n == 0 && o.textFile.empty())
                return std::string(CommandName(o.command)) + " needs a TEXT, - (standard input) or --text-file PATH";
            return "";
        case Command::Subtitles: return n == 1 ? "" : "subtitles needs exactly one input .srt or .vtt file";
        case Command::Fonts: return n ? "fonts takes no arguments" : "";
        case Command::Help:
        case Command::Version: return "";
    }
    return "";
}

// Options that cannot be used together, or only together.
std::string CheckCombinations(const Options& o) {
    if (o.fit && (o.destGiven || o.bufferGiven || o.bufferSizeGiven))
        return "--fit makes the buffer just hold the region: leave out --dest, --buffer and --buffer-size";
    if (o.margin && !o.fit) return "--margin goes with --fit";
    if (o.fit && (o.linePitchGiven ? o.record.linePitch : o.record.fontHeight) == 0)
        return "--fit stacks lines at the line pitch, and a pitch of 0 gives a region no line fits in: give "
               "--line-pitch N";
    if ((o.frameWidth == 0) != (o.frameHeight == 0)) return "--frame needs a width and a height of at least 1";
    if (o.frameMarginGiven && !o.frameWidth) return "--frame-margin goes with --frame";
    if (o.bdn && (!o.frameWidth || !o.rateGiven))
        return "--index bdn needs the video's --frame WxH and --fps RATE: its timecodes count frames";
    if (o.bdn && !BdnVideoFormat(o.frameWidth, o.frameHeight))
        return "BDN knows the frames 1920x1080, 1280x720, 720x576, 720x480 and 3840x2160, not " +
               std::to_string(o.frameWidth) + "x" + std::to_string(o.frameHeight);
    if ((o.rateGiven || o.dropFrame) && !o.bdn) return "--fps and --drop-frame go with --index bdn";
    if (o.dropFrame && !HasDropFrame(o.rate)) return "--drop-frame goes with --fps 29.97 or 59.94";
    if (o.command == Command::Subtitles && o.output == "-")
        return "subtitles write a folder of PNGs; -o - (standard output) is for render and sample";
    return "";
}

void ApplyDerivedDefaults(Options& o) {
    TextLayoutParams& r = o.record;
    r.size = int16_t(sizeof(TextLayoutParams));
    // A twentieth of the height: 54 pixels on a 1080-line frame, about where
    // players keep subtitles from the edge.
    if (o.frameWidth && !o.frameMarginGiven) o.frameMargin = uint16_t(o.frameHeight / 20);
    if (o.frameWidth && !o.regionGiven) {
        // Cues wrap where they would leave the frame's margins.
        r.regionWidth = uint16_t(std::max(int(o.frameWidth) - 2 * o.frameMargin, 1));
        o.lineLengthFromFrame = true;
    }
    if (!o.bufferGiven) {
        r.bufferWidth = uint16_t(std::min<uint32_t>(uint32_t(r.destX) + r.regionWidth, 65535));
        r.bufferHeight = uint16_t(std::min<uint32_t>(uint32_t(r.destY) + r.regionHeight, 65535));
    }
    if (!o.bufferSizeGiven) {
        const uint64_t bytes = uint64_t(r.bufferWidth) * r.bufferHeight * 4;
        r.bufferSize = uint32_t(std::min<uint64_t>(bytes, std::numeric_limits<uint32_t>::max()));
    }
    if (!o.linePitchGiven) r.linePitch = r.fontHeight;
}

// `text` broken at spaces into lines of at most `width` columns, each indented.
std::string Wrapped(const std::string& text, size_t indent, size_t width) {
    std::string out, line;
    std::istringstream words(text);
    for (std::string word; words >> word;) {
        if (!line.empty() && indent + line.size() + 1 + word.size() > width) {
            out += std::string(indent, ' ') + line + "\n";
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
    }
    return out + std::string(indent, ' ') + line + "\n";
}

}  // namespace

std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& error) {
    Options o;
    ForEachOption([&](const Option& opt) {
        std::string ignored;
        if (opt.initial) opt.apply(o, opt.initial, ignored);
    });
    // The defaults went through the options' own code: nothing was given yet.
    o.faceGiven = o.regionGiven = o.destGiven = o.writingModeGiven = false;

    size_t i = 0;
    if (!args.empty()) {
        const std::string& first = args[0];
        const Command commands[] = {Command::Sample,    Command::Render, Command::Measure,
                                    Command::Subtitles, Command::Fonts,  Command::Help};
        bool known = false;
        for (Command c : commands) {
            if (first == CommandName(c)) o.command = c, known = true;
        }
        if (known) {
            i = 1;
        } else if (first.empty() || first[0] != '-' || first == "-") {
            error = "unknown command '" + first + "'";
            return std::nullopt;
        }
    }

    bool optionsEnded = false;
    for (; i < args.size() && o.command != Command::Help && o.command != Command::Version; ++i) {
        const std::string& a = args[i];
        if (!optionsEnded && a == "--") {
            optionsEnded = true;
            continue;
        }
        if (optionsEnded || a.size() < 2 || a[0] != '-') {
            o.positional.push_back(a);
            continue;
        }
        if (a == "-h" || a == "--help") {
            o.command = Command::Help;
            break;
        }
        if (a == "--version") {
            o.command = Command::Version;
            break;
        }
        const size_t equals = a.rfind("--", 0) == 0 ? a.find('=') : std::string::npos;
        const std::string name = a.substr(0, equals);
        const Option* opt = Find(name);
        if (!opt) {
            error = "unknown option '" + name + "'";
            return std::nullopt;
        }
        if (!(opt->applies & (1u << int(o.command)))) {
            error = "option " + name + " does not apply to the " + CommandName(o.command) + " command";
            return std::nullopt;
        }
        std::string value;
        if (opt->value && equals != std::string::npos) {
            value = a.substr(equals + 1);
        } else if (opt->value && i + 1 < args.size()) {
            value = args[++i];
        } else if (opt->value) {
            error = "option " + name + " needs a value (" + opt->value + ")";
            return std::nullopt;
        } else if (equals != std::string::npos) {
            error = "option " + name + " takes no value";
            return std::nullopt;
        }
        std::string problem;
        if (!opt->apply(o, value, problem)) {
            error = "option " + name + ": " + problem;
            return std::nullopt;
        }
    }
    if (o.command == Command::Help || o.command == Command::Version) return o;
    error = CheckPositional(o);
    if (error.empty()) error = CheckCombinations(o);
    if (!error.empty()) return std::nullopt;
    ApplyDerivedDefaults(o);
    return o;
}

std::string DefaultOutput(Command command) {
    switch (command) {
        case Command::Sample: return "textraster-sample.png";
        case Command::Subtitles: return "cues";
        default: return "textraster.png";
    }
}

std::string Synopsis() {
    return "Usage:\n"
           "  textraster                          write a multi-script sample to textraster-sample.png\n"
           "  textraster sample [-o PNG|-] [--preview]\n"
           "  textraster render TEXT [--fit] [options] [-o PNG|-]\n"
           "  textraster render - [options]       the text from standard input\n"
           "  textraster render --text-file PATH [options]\n"
           "  textraster measure TEXT|-|--text-file PATH [options] [--json]\n"
           "                                      what ComputeTextRegionSize and GetFontCharacterCellHeight report\n"
           "  textraster subtitles INPUT.srt|INPUT.vtt [options] [-o FOLDER]\n"
           "                                      every cue to its own PNG, FOLDER/cue-0001.png and so on,\n"
           "                                      and FOLDER/cues.json: each cue's times, file, size and place\n"
           "  textraster fonts [--font-file PATH]  the font families the library can use\n"
           "  textraster --help | --version\n";
}

std::string Usage() {
    std::ostringstream out;
    out << "textraster: text in, PNG with an opacity channel out, drawn by the textraster library.\n\n"
        << Synopsis()
        << "\n"
           "TEXT is UTF-8; a TEXT that starts with '-' follows '--'. A text file or standard input is UTF-8 or\n"
           "UTF-16 with a byte-order mark, and its one final line end is dropped. Values may also be given as\n"
           "--option=VALUE.\n";
    auto section = [&](const char* title, const Option* begin, const Option* end) {
        out << "\n" << title << "\n";
        for (const Option* o = begin; o != end; ++o) {
            std::string names = std::string(o->name) + (o->alias ? std::string(", ") + o->alias : "");
            if (o->value) names += std::string(" ") + o->value;
            std::string help = o->help;
            if (o->initial && o->value) help += std::string(" [") + o->initial + "]";
            out << "  " << names << "\n" << Wrapped(help, 6, 80);
        }
    };
    section("The request record, one option per field (render, measure, subtitles):", std::begin(kRecordOptions),
            std::end(kRecordOptions));
    section("Other options:", std::begin(kToolOptions), std::end(kToolOptions));
    section("Subtitles:", std::begin(kSubtitleOptions), std::end(kSubtitleOptions));
    out << "\nThe PNG goes to the file named by -o, or to standard output with -o -; every status line, warning\n"
           "and failure goes to standard error.\n"
           "\nExit status: 0 done; 1 the library or a file operation failed (the message gives the library's\n"
           "result code and its meaning), or a buffer too large to describe or allocate, or with --strict-font\n"
           "a face replaced by another, or with --strict a warning about the subtitle file; 2 a bad command\n"
           "line; 3 subtitles wrote some cues but not others (each is named; cues.json lists those written).\n";
    return out.str();
}

}  // namespace textraster::tool
