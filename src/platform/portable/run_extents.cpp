#include "platform/portable/run_extents.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <mutex>
#include <string>

#include "text/utf.h"

namespace textraster::portable {
namespace {

// Runs kept per font: the lines of a short text, or the growing measurements
// of one long line.
constexpr size_t kKeptRuns = 4;
constexpr int32_t kUnknown = INT32_MIN;
// HarfBuzz sees this many characters on either side of a run as its context.
constexpr size_t kContext = 5;
// Parts of a prefix shaped again whose advances are remembered: up to this
// many code points, up to this many parts.
constexpr size_t kRememberedPart = 16;
constexpr size_t kRememberedParts = 4096;
// Stretches of Arabic words whose parts' advances are remembered (see
// ShapeTails), and the first character of their keys, apart from the parts'.
constexpr size_t kRememberedStretches = 4096;
constexpr char32_t kTailsKey = 2;

// Marks of a place between two code points.
constexpr uint8_t kClusterStart = 1;  // a glyph cluster starts here
constexpr uint8_t kUnsafe = 2;        // HarfBuzz: cutting here may change the glyphs on either side
constexpr uint8_t kStable = 4;        // the levels before here are final whatever follows (see Measure)
// Of the code point at x: a separator or other neutral whose level is the
// paragraph's (0) when only such neutrals follow it to the end of a line
// that a strong code point comes before (see PrefixExtent).
constexpr uint8_t kTrailingNeutral = 8;
// Of a place x, when not leftToRight: HarfBuzz says the glyphs on either side
// of it may change with the text on the other side.
constexpr uint8_t kUnsafeToConcat = 16;

bool IsHighSurrogate(char16_t c) {
    return c >= 0xD800 && c < 0xDC00;
}
bool IsLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c < 0xE000;
}

// Classes that can give a character of a left-to-right paragraph a level
// other than 0. Without them every character of every prefix is at level 0.
bool RaisesLevels(FriBidiCharType type) {
    switch (type) {
        case FRIBIDI_TYPE_RTL:
        case FRIBIDI_TYPE_AL:
        case FRIBIDI_TYPE_AN: return true;
        default: return FRIBIDI_IS_EXPLICIT(type) || FRIBIDI_IS_ISOLATE(type) || type == FRIBIDI_TYPE_BS;
    }
}

bool IsTrailingNeutral(FriBidiCharType type) {
    switch (type) {
        case FRIBIDI_TYPE_WS:
        case FRIBIDI_TYPE_ON:
        case FRIBIDI_TYPE_SS:
        case FRIBIDI_TYPE_CS:
        case FRIBIDI_TYPE_ES:
        case FRIBIDI_TYPE_ET: return true;
        default: return false;
    }
}

// A character that Arabic joining does not look through: letters, digits,
// punctuation, symbols and spaces (joining type U, D, R, L or C, never T,
// which marks and format characters have).
bool DecidesJoining(char32_t c) {
    switch (hb_unicode_general_category(hb_unicode_funcs_get_default(), c)) {
        case HB_UNICODE_GENERAL_CATEGORY_CONTROL:
        case HB_UNICODE_GENERAL_CATEGORY_FORMAT:
        case HB_UNICODE_GENERAL_CATEGORY_UNASSIGNED:
        case HB_UNICODE_GENERAL_CATEGORY_PRIVATE_USE:
        case HB_UNICODE_GENERAL_CATEGORY_SURROGATE:
        case HB_UNICODE_GENERAL_CATEGORY_SPACING_MARK:
        case HB_UNICODE_GENERAL_CATEGORY_ENCLOSING_MARK:
        case HB_UNICODE_GENERAL_CATEGORY_NON_SPACING_MARK: return false;
        default: return true;
    }
}

// A mark that starts a run has no letter to sit on, and HarfBuzz may give it
// an advance or none depending on characters anywhere in the run, without
// saying that cutting the run changes anything: a run that starts with one
// is never cut.
bool IsMark(char32_t c) {
    switch (hb_unicode_general_category(hb_unicode_funcs_get_default(), c)) {
        case HB_UNICODE_GENERAL_CATEGORY_SPACING_MARK:
        case HB_UNICODE_GENERAL_CATEGORY_ENCLOSING_MARK:
        case HB_UNICODE_GENERAL_CATEGORY_NON_SPACING_MARK: return true;
        default: return false;
    }
}

bool IsStrong(FriBidiCharType type) {
    return type == FRIBIDI_TYPE_LTR || type == FRIBIDI_TYPE_RTL || type == FRIBIDI_TYPE_AL;
}

// Wrapping sums: extents are 32-bit, and a run too long for them wraps the
// same way whichever way it is added up.
uint32_t Wrap(int value) {
    return static_cast<uint32_t>(value);
}
int Unwrap(uint32_t value) {
    return static_cast<int>(static_cast<int32_t>(value));
}

// The glyphs of code points [start, end), shaped into `buffer`: their
// advances summed by the code point that starts their cluster (at the place
// after it) and HarfBuzz's marks of the places where clusters start, both
// indexed by place from `origin`. A run that starts with a mark is never
// cut inside (see IsMark).
void TakeGlyphs(const SizedFont& font, hb_buffer_t* buffer, const FriBidiChar* codePoints, size_t start, size_t end,
                size_t origin, uint32_t* before, uint8_t* marks) {
    unsigned count = 0;
    const hb_glyph_info_t* infos = hb_buffer_get_glyph_infos(buffer, &count);
    const hb_glyph_position_t* positions = hb_buffer_get_glyph_positions(buffer, &count);
    for (unsigned i = 0; i < count; ++i) {
        const size_t cluster = infos[i].cluster - origin;
        before[cluster + 1] += Wrap(GlyphAdvance(font, positions[i]));
        marks[cluster] |= kClusterStart;
        const hb_glyph_flags_t flags = hb_glyph_info_get_glyph_flags(&infos[i]);
        if (flags & HB_GLYPH_FLAG_UNSAFE_TO_BREAK) marks[cluster] |= kUnsafe;
        if (flags & HB_GLYPH_FLAG_UNSAFE_TO_CONCAT) marks[cluster] |= kUnsafeToConcat;
    }
    if (IsMark(codePoints[start]))
        for (size_t x = start + 1; x < end; ++x) marks[x - origin] |= kUnsafe;
}

}  // namespace

// One measured run of text: its shaping, reduced to what the extents of its
// prefixes need.
struct RunExtents::Run {
    uint64_t serial = 0;  // tells runs apart, though one may take a gone one's memory
    std::u16string text;
    CodePoints codePoints;
    std::vector<uint32_t> codePointsBefore;  // per unit count: the code points they hold
    // Left to right as a whole and in every prefix: one run at level 0.
    bool leftToRight = true;
    // Per code point, when not leftToRight: its level and where its level run starts and ends.
    std::vector<FriBidiLevel> levels;
    std::vector<uint32_t> levelRunStart;
    std::vector<uint32_t> levelRunEnd;
    // Per code point, when not leftToRight: its bidi type and bracket.
    std::vector<FriBidiCharType> types;
    std::vector<FriBidiBracketType> brackets;
    // Per place x between code points (0 to n): the advances of the glyphs of
    // the code points before x, and the marks above.
    std::vector<uint32_t> before;
    std::vector<uint8_t> marks;
    // Per code point x: the first code point from x on of a script of its
    // own (what a run starting at x is shaped as), or n.
    std::vector<uint32_t> nextScript;
    std::vector<hb_script_t> scripts;  // per code point: its script
    // Per unit count: the extent, once known.
    std::vector<int32_t> extents;
    // Per place x: the advance of the part of a prefix ending at x that is
    // shaped again (see ShapeTails), once known; per code point: whether the
    // level run starting there had them shaped.
    std::vector<int32_t> tails;
    std::vector<bool> tailsShaped;

    size_t size() const { return codePoints.size(); }
    // Empty, as a new run, keeping the memory.
    void Clear() {
        text.clear();
        codePoints.clear();
        codePointsBefore.clear();
        leftToRight = true;
        levels.clear();
        levelRunStart.clear();
        levelRunEnd.clear();
        types.clear();
        brackets.clear();
        before.clear();
        marks.clear();
        nextScript.clear();
        scripts.clear();
        extents.clear();
        tails.clear();
        tailsShaped.clear();
    }
    // The glyphs of code points [a, b) are those of the shaping cut at a and
    // b: each is the start or end of its level run, or a place where a
    // cluster starts that HarfBuzz says is safe to cut.
    bool Cuttable(size_t x, size_t runStart, size_t runEnd) const {
        return x == runStart || x == runEnd || (marks[x] & (kClusterStart | kUnsafe)) == kClusterStart;
    }
    uint32_t Between(size_t a, size_t b) const { return before[b] - before[a]; }
    // Whether a part ending at v, shaped within the prefix of c code points,
    // sees the same characters after it as within the whole: HarfBuzz reads
    // kContext of them. Arabic reads them only to join the last letter, and
    // only up to the first one that is not transparent to joining: when the
    // prefix holds that one, what lies beyond it changes nothing.
    bool SeesSameAfter(size_t v, size_t c, hb_script_t script) const {
        if (v + kContext <= c) return true;
        if (script != HB_SCRIPT_ARABIC) return false;
        for (size_t x = v; x < c; ++x)
            if (DecidesJoining(codePoints[x])) return true;
        return false;
    }
    // The script code points [a, b) are shaped as on their own.
    hb_script_t ScriptOf(size_t a, size_t b) const {
        return nextScript[a] < b ? scripts[nextScript[a]] : HB_SCRIPT_INVALID;
    }
};

RunExtents::RunExtents() = default;

RunExtents::~RunExtents() {
    for (std::unique_ptr<Run>& run : runs_) LetGo(std::move(run));
}

std::vector<std::unique_ptr<RunExtents::Run>>& RunExtents::SpareRuns() {
    thread_local std::vector<std::unique_ptr<Run>> spare;
    return spare;
}

// Never allocates (it runs in the destructor): Measure makes the room.
void RunExtents::LetGo(std::unique_ptr<Run> run) {
    std::vector<std::unique_ptr<Run>>& spare = SpareRuns();
    if (spare.size() < spare.capacity()) spare.push_back(std::move(run));
}

int RunExtents::Extent(SizedFont& font, const char16_t* text, size_t count) {
    if (count == 0) return 0;
    Run* run = Find(text, count);
    if (!run) run = &Measure(font, text, count);
    int32_t& extent = run->extents[count];
    if (extent == kUnknown) extent = PrefixExtent(font, *run, count);
    return extent;
}

RunExtents::Run* RunExtents::Find(const char16_t* text, size_t count) {
    for (auto it = runs_.begin(); it != runs_.end(); ++it) {
        const std::u16string& known = (*it)->text;
        if (count > known.size() || std::memcmp(known.data(), text, count * sizeof(char16_t)) != 0) continue;
        std::rotate(runs_.begin(), it, it + 1);
        return runs_.front().get();
    }
    return nullptr;
}

int RunExtents::RunAdvance(SizedFont& font, const FriBidiChar* text, size_t length, const LevelRun& run,
                           hb_script_t script) {
    std::lock_guard<std::mutex> guard(font.lock);
    hb_buffer_t* buffer = ThreadScratch().buffer;
    ShapeRun(font, text, length, run, script, buffer);
    unsigned count = 0;
    const hb_glyph_position_t* positions = hb_buffer_get_glyph_positions(buffer, &count);
    uint32_t advance = 0;
    for (unsigned i = 0; i < count; ++i) advance += Wrap(GlyphAdvance(font, positions[i]));
    return Unwrap(advance);
}

// What ShapeText measures: every level run shaped on its own.
int RunExtents::FreshExtent(SizedFont& font, const char16_t* text, size_t count) {
    ++counts_.freshPrefixes;
    CodePoints codePoints;
    AppendCodePoints(std::u16string_view(text, count), codePoints);
    ShapingScratch& scratch = ThreadScratch();
    BidiLevels(codePoints.data(), codePoints.size(), false, scratch.bidi, scratch.levels);
    const std::vector<FriBidiLevel>& levels = scratch.levels;
    uint32_t advance = 0;
    for (size_t start = 0; start < levels.size();) {
        size_t end = start;
        while (end < levels.size() && levels[end] == levels[start]) ++end;
        advance += Wrap(
            RunAdvance(font, codePoints.data(), codePoints.size(), {start, end, levels[start]}, HB_SCRIPT_INVALID));
        start = end;
    }
    return Unwrap(advance);
}

RunExtents::Run& RunExtents::Measure(SizedFont& font, const char16_t* text, size_t count) {
    ++counts_.measuredRuns;
    std::unique_ptr<Run> run;
    std::vector<std::unique_ptr<Run>>& spare = SpareRuns();
    spare.reserve(kKeptRuns);
    if (spare.empty()) {
        run = std::make_unique<Run>();
    } else {
        run = std::move(spare.back());
        spare.pop_back();
        run->Clear();
    }
    run->serial = ++serials_;
    run->text.assign(text, count);
    run->codePoints.reserve(count);
    run->codePointsBefore.assign(count + 1, 0);
    const std::u16string_view units(run->text);
    for (size_t i = 0; i < count;) {
        const size_t at = i;
        run->codePoints.push_back(NextCodePoint(units, i));
        for (size_t k = at + 1; k <= i; ++k) run->codePointsBefore[k] = uint32_t(run->codePoints.size());
    }
    const size_t n = run->size();
    const FriBidiChar* codePoints = run->codePoints.data();

    hb_unicode_funcs_t* unicode = hb_unicode_funcs_get_default();
    run->scripts.resize(n);
    for (size_t x = 0; x < n; ++x) run->scripts[x] = hb_unicode_script(unicode, codePoints[x]);
    run->nextScript.resize(n + 1);
    run->nextScript[n] = uint32_t(n);
    for (size_t x = n; x-- > 0;) run->nextScript[x] = OwnScript(run->scripts[x]) ? uint32_t(x) : run->nextScript[x + 1];
    const BidiScratch& bidi = ThreadScratch().bidi;
    BidiLevels(codePoints, n, false, ThreadScratch().bidi, run->levels);
    run->leftToRight = std::none_of(bidi.types.begin(), bidi.types.end(), RaisesLevels) &&
                       std::all_of(run->levels.begin(), run->levels.end(), [](FriBidiLevel l) { return l == 0; });
    run->marks.assign(n + 1, 0);
    if (!run->leftToRight) {
        // A place x is stable when the code point before it is strong and
        // every bracket opened before it that the run pairs is closed: the
        // levels of the code points before x then follow from them alone,
        // and those after x from the code point before x onwards (no
        // embeddings, isolates or paragraph breaks anywhere, or no place is
        // stable). Brackets pair from left to right, so a prefix pairs those
        // the run pairs that close within it; one the run leaves unpaired is
        // unpaired in every prefix, a neutral like any other.
        const bool plain = std::none_of(bidi.types.begin(), bidi.types.end(), [](FriBidiCharType type) {
            return FRIBIDI_IS_EXPLICIT(type) || FRIBIDI_IS_ISOLATE(type) || type == FRIBIDI_TYPE_BS;
        });
        std::vector<std::pair<size_t, size_t>> pairs;
        // FriBidi stops pairing brackets here, and so do stable places.
        const size_t paired = plain ? PairBrackets(bidi.types.data(), bidi.brackets.data(), n, pairs) : 0;
        std::vector<uint8_t> pairing(n, 0);  // 1 opens a pair the run closes, 2 closes one
        for (const auto& [open, close] : pairs) pairing[open] = 1, pairing[close] = 2;
        size_t pending = 0;
        for (size_t i = 0; i < paired; ++i) {
            if (pairing[i] == 1) ++pending;
            if (pairing[i] == 2) --pending;
            if (pending == 0 && IsStrong(bidi.types[i])) run->marks[i + 1] |= kStable;
        }
        for (size_t i = 0; i < n; ++i)
            if (IsTrailingNeutral(bidi.types[i])) run->marks[i] |= kTrailingNeutral;
        run->types = bidi.types;
        run->brackets = bidi.brackets;
        run->levelRunStart.resize(n);
        run->levelRunEnd.resize(n);
    }

    // Each level run shaped as ShapeText shapes it; glyph advances summed by
    // the code point that starts their cluster (at the place after it), then
    // into the advances before each place.
    run->before.assign(n + 1, 0);
    for (size_t start = 0; start < n;) {
        size_t end = start;
        while (end < n && run->levels[end] == run->levels[start]) ++end;
        if (!run->leftToRight)
            for (size_t i = start; i < end; ++i)
                run->levelRunStart[i] = uint32_t(start), run->levelRunEnd[i] = uint32_t(end);
        std::lock_guard<std::mutex> guard(font.lock);
        hb_buffer_t* buffer = ThreadScratch().buffer;
        ShapeRun(font, codePoints, n, {start, end, run->levels[start]}, HB_SCRIPT_INVALID, buffer, !run->leftToRight);
        TakeGlyphs(font, buffer, codePoints, start, end, 0, run->before.data(), run->marks.data());
        start = end;
    }
    for (size_t x = 0; x < n; ++x) run->before[x + 1] += run->before[x];

    run->extents.assign(count + 1, kUnknown);
    run->extents[count] = Unwrap(run->before[n]);
    if (runs_.size() == kKeptRuns) {
        LetGo(std::move(runs_.back()));
        runs_.pop_back();
    }
    runs_.insert(runs_.begin(), std::move(run));
    return *runs_.front();
}

uint32_t RunExtents::PartAdvance(SizedFont& font, Run& run, size_t u, size_t v, FriBidiLevel level, size_t c) {
    const FriBidiChar* codePoints = run.codePoints.data();
    // The whole's level run [a, e) that holds u.
    const size_t a = run.leftToRight ? 0 : run.levelRunStart[u];
    const size_t e = run.leftToRight ? run.size() : run.levelRunEnd[u];
    const FriBidiLevel wholeLevel = run.leftToRight ? 0 : run.levels[u];
    // Shaped on their own, [u, v) and [a, e) take the scripts of their own
    // characters, and letters that join look at the characters around them.
    const hb_script_t script = run.ScriptOf(u, v);
    const bool seesContext = ShapingSeesContext(script);
    // The part starts where the whole's level run [a, e) may be cut, at its level and in its script.
    const bool inWholeRun = wholeLevel == level && script == run.ScriptOf(a, e) && run.Cuttable(u, a, e);
    if (inWholeRun && v <= e) {
        // The glyphs of [u, v) are the whole's where it may be cut at v,
        // with the characters after v that the prefix still holds.
        const bool contextKept = !seesContext || run.SeesSameAfter(v, c, script);
        const bool endKept = v < e ? run.Cuttable(v, a, e) && (v == c || contextKept) : contextKept;
        if (endKept) {
            ++counts_.fromShaping;
            return run.Between(u, v);
        }
        // Else the glyphs up to the last place to cut, and the rest shaped again.
        if (v == c) {
            size_t j = std::min(c, e) - 1;
            while (j > u && !run.Cuttable(j, a, e)) --j;
            if (j > u) {
                ++counts_.reshapedParts;
                if (u == a && script == HB_SCRIPT_ARABIC) {
                    if (run.tailsShaped.empty() || !run.tailsShaped[a]) ShapeTails(font, run, a, e, level, script);
                    if (run.tails[c] != kUnknown) return run.Between(u, j) + Wrap(run.tails[c]);
                }
                return run.Between(u, j) + Wrap(RunAdvance(font, codePoints, c, {j, c, level}, script));
            }
        }
    }
    if (inWholeRun && v > e) {
        // The prefix joins the whole's level run to what follows (a bracket
        // the prefix does not close, say). The glyphs up to a place before e
        // that HarfBuzz says may be joined to any text after it are the
        // whole's, if the rest shaped on its own may be joined there too.
        size_t j = e - 1;
        while (j > u && !(run.Cuttable(j, a, e) && !(run.marks[j] & kUnsafeToConcat))) --j;
        const int rest = JoinedAdvance(font, run, {j, v, level}, script, c, j > u);
        if (rest != kUnknown) {
            ++counts_.reshapedParts;
            return run.Between(u, j) + Wrap(rest);
        }
    }
    ++counts_.reshapedParts;
    return Wrap(ShapedPart(font, run, u, v, level, c, seesContext));
}

// The part [j, v) of a prefix whose level run goes on past the whole's:
// shaped on its own within the prefix's c code points. Line layout asks for
// it again with v one further each time (every prefix inside a bracket, say).
// The part is shaped once as far as the prefixes can take it, to the end of
// the first of the whole's level runs at its level from v - 1 on, and each
// prefix's part is read off that shaping as the whole's are read off the
// whole: up to v where it may be cut there, else up to its last place to cut
// and the rest shaped again. With `joined` the part follows glyphs shaped
// apart, so its first glyph must allow joining. INT32_MIN when no answer.
int RunExtents::JoinedAdvance(SizedFont& font, Run& run, const LevelRun& part, hb_script_t script, size_t c,
                              bool joined) {
    Joined& g = joined_;
    const size_t j = part.start, v = part.end, n = run.size();
    if (!(g.serial == run.serial && g.start == j && g.level == part.level && g.script == script && v <= g.end)) {
        size_t x = v - 1;
        while (x < n && run.levels[x] != part.level) x = run.levelRunEnd[x];
        size_t end = std::max<size_t>(v, x < n ? run.levelRunEnd[x] : n);
        // A part without a script of its own is shaped in the script of its
        // first character that has one: the longer part must not reach one
        // that the prefix's part lacks.
        if (script == HB_SCRIPT_INVALID) end = std::min<size_t>(end, run.nextScript[j]);
        g.serial = run.serial, g.start = j, g.end = end, g.level = part.level, g.script = script;
        g.before.assign(end - j + 1, 0);
        g.marks.assign(end - j + 1, 0);
        std::lock_guard<std::mutex> guard(font.lock);
        hb_buffer_t* buffer = ThreadScratch().buffer;
        ShapeRun(font, run.codePoints.data(), n, {j, end, part.level}, script, buffer, true);
        TakeGlyphs(font, buffer, run.codePoints.data(), j, end, j, g.before.data(), g.marks.data());
        for (size_t k = j; k < end; ++k) g.before[k - j + 1] += g.before[k - j];
    }
    if (joined && (g.marks[0] & kUnsafeToConcat)) return kUnknown;
    const size_t end = g.end;
    auto cuttable = [&g, j, end](size_t x) {
        return x == j || x == end || (g.marks[x - j] & (kClusterStart | kUnsafe)) == kClusterStart;
    };
    auto between = [&g, j](size_t a, size_t b) { return g.before[b - j] - g.before[a - j]; };
    const bool contextKept = !ShapingSeesContext(script) || run.SeesSameAfter(v, c, script);
    if (v < end ? cuttable(v) && (v == c || contextKept) : contextKept) return Unwrap(between(j, v));
    if (v != c) return kUnknown;
    size_t k = v - 1;
    while (k > j && !cuttable(k)) --k;
    if (k == j) return kUnknown;
    return Unwrap(between(j, k) + Wrap(TailAdvance(font, run, k, c, part.level, script)));
}

// The advance of [k, c), the end of a prefix after a place k where its
// shaping may be cut, shaped on its own. Inside an Arabic word the whole's
// tails (see ShapeTails) hold it when they start at k too.
int RunExtents::TailAdvance(SizedFont& font, Run& run, size_t k, size_t c, FriBidiLevel level, hb_script_t script) {
    if (script == HB_SCRIPT_ARABIC && !run.leftToRight) {
        const size_t a = run.levelRunStart[c - 1], e = run.levelRunEnd[c - 1];
        size_t j = c - 1;
        while (j > a && !run.Cuttable(j, a, e)) --j;
        if (j == k && j > a && run.levels[a] == level && run.ScriptOf(a, e) == script && !run.Cuttable(c, a, e)) {
            if (run.tailsShaped.empty() || !run.tailsShaped[a]) ShapeTails(font, run, a, e, level, script);
            if (run.tails[c] != kUnknown) return run.tails[c];
        }
    }
    return RunAdvance(font, run.codePoints.data(), c, {k, c, level}, script);
}

// A line of Arabic ends inside a word wherever the next letter would join:
// every prefix ending there has its last word shaped again. Those parts,
// for every place of the level run [a, e), are shaped together in one
// buffer, apart by spaces. Each part counts where HarfBuzz says the buffer
// may be cut on both sides of it: shaped on its own it is the same. (The
// part's own context, which HarfBuzz reads only for joining, ends at a place
// where nothing joins across, as the space does, and an Arabic letter after
// a letter that does not join forward takes the same form as after a space.)
// An advance so found depends on the part's characters and direction alone,
// which is what lets the sized font keep it for the next text.
void RunExtents::ShapeTails(SizedFont& font, Run& run, size_t a, size_t e, FriBidiLevel level, hb_script_t script) {
    if (run.tailsShaped.empty()) {
        run.tailsShaped.assign(run.size(), false);
        run.tails.assign(run.size() + 1, kUnknown);
    }
    run.tailsShaped[a] = true;
    // The stretches [j, w) between two places to cut that hold places not
    // to cut: each such place x ends a part [j, x).
    struct Stretch {
        size_t start;
        size_t end;
    };
    std::vector<Stretch> stretches;
    for (size_t x = a + 1; x < e; ++x) {
        if (run.Cuttable(x, a, e)) continue;
        const size_t j = x - 1;
        size_t w = x + 1;
        while (w < e && !run.Cuttable(w, a, e)) ++w;
        if (j > a) stretches.push_back({j, w});
        x = w;
    }
    if (stretches.empty()) return;

    // The same words come again and again: the sized font remembers the
    // advances of a stretch's parts by its characters and direction.
    const FriBidiChar* codePoints = run.codePoints.data();
    std::u32string& key = key_;
    auto makeKey = [&](const Stretch& s) {
        key.assign(1, char32_t(kTailsKey + level % 2));
        key.append(codePoints + s.start, codePoints + s.end);
    };
    std::vector<Stretch> unknown;
    {
        std::lock_guard<std::mutex> guard(font.lock);
        for (const Stretch& s : stretches) {
            makeKey(s);
            auto found = font.stretchTails.find(key);
            if (found == font.stretchTails.end()) {
                unknown.push_back(s);
                continue;
            }
            ++counts_.rememberedStretches;
            std::copy(found->second.begin(), found->second.end(), run.tails.begin() + s.start + 1);
        }
    }
    if (unknown.empty()) return;

    // The parts of the stretches not remembered, shaped together in one
    // buffer, apart by spaces.
    struct Part {
        size_t at;     // in the buffer
        size_t count;  // code points
    };
    std::vector<Part> parts;
    CodePoints text;
    for (const Stretch& s : unknown)
        for (size_t x = s.start + 1; x < s.end; ++x) {
            if (!text.empty()) text.push_back(' ');
            parts.push_back({text.size(), x - s.start});
            text.insert(text.end(), codePoints + s.start, codePoints + x);
        }

    std::vector<int32_t> partOf(text.size(), -1), advances(parts.size(), 0);
    for (size_t i = 0; i < parts.size(); ++i)
        for (size_t k = 0; k < parts[i].count; ++k) partOf[parts[i].at + k] = int32_t(i);
    std::vector<uint8_t> edge(text.size(), 0);  // per code point: a cluster starts, safely
    std::lock_guard<std::mutex> guard(font.lock);
    hb_buffer_t* buffer = ThreadScratch().buffer;
    ShapeRun(font, text.data(), text.size(), {0, text.size(), level}, script, buffer);
    unsigned glyphs = 0;
    const hb_glyph_info_t* infos = hb_buffer_get_glyph_infos(buffer, &glyphs);
    const hb_glyph_position_t* positions = hb_buffer_get_glyph_positions(buffer, &glyphs);
    for (unsigned g = 0; g < glyphs; ++g) {
        const uint32_t cluster = infos[g].cluster;
        edge[cluster] |= kClusterStart;
        if (hb_glyph_info_get_glyph_flags(&infos[g]) & HB_GLYPH_FLAG_UNSAFE_TO_BREAK) edge[cluster] |= kUnsafe;
        if (partOf[cluster] >= 0) advances[size_t(partOf[cluster])] += GlyphAdvance(font, positions[g]);
    }
    auto safe = [&edge, &text](size_t x) {
        return x == text.size() || (edge[x] & (kClusterStart | kUnsafe)) == kClusterStart;
    };
    // A part the buffer cannot answer for stays unknown, and is shaped on
    // its own when asked for.
    if (font.stretchTails.size() >= kRememberedStretches) font.stretchTails.clear();
    const Part* part = parts.data();
    for (const Stretch& s : unknown) {
        std::vector<int32_t> tails;
        for (size_t x = s.start + 1; x < s.end; ++x, ++part) {
            tails.push_back(safe(part->at) && safe(part->at + part->count) ? advances[size_t(part - parts.data())]
                                                                           : kUnknown);
            run.tails[x] = tails.back();
        }
        makeKey(s);
        font.stretchTails.emplace(key, std::move(tails));
    }
}

int RunExtents::ShapedPart(SizedFont& font, const Run& run, size_t u, size_t v, FriBidiLevel level, size_t c,
                           bool seesContext) {
    const FriBidiChar* codePoints = run.codePoints.data();
    if (v - u > kRememberedPart) return RunAdvance(font, codePoints, c, {u, v, level}, HB_SCRIPT_INVALID);
    // Short parts (a space at the end of a line, a word of another script)
    // come again and again, in one text and in the next: the sized font
    // remembers their advances by what decides them, their characters and
    // level and, where shaping looks at them, the characters around them.
    std::u32string& key = key_;
    key.assign(1, char32_t(level % 2));
    key.append(codePoints + u, codePoints + v);
    if (seesContext) {
        const size_t before = std::min(u, kContext), after = std::min(c - v, kContext);
        key += char32_t(0x110000 + before);
        key.append(codePoints + u - before, codePoints + u);
        key += char32_t(0x110000 + after);
        key.append(codePoints + v, codePoints + v + after);
    }
    {
        std::lock_guard<std::mutex> guard(font.lock);
        auto found = font.shortRuns.find(key);
        if (found != font.shortRuns.end()) return found->second;
    }
    const int advance = RunAdvance(font, codePoints, c, {u, v, level}, HB_SCRIPT_INVALID);
    std::lock_guard<std::mutex> guard(font.lock);
    if (font.shortRuns.size() >= kRememberedParts) font.shortRuns.clear();
    font.shortRuns.emplace(key, advance);
    return advance;
}

int RunExtents::PrefixExtent(SizedFont& font, Run& run, size_t units) {
    const std::u16string& text = run.text;
    // A prefix that ends inside a surrogate pair holds another code point.
    if (IsHighSurrogate(text[units - 1]) && IsLowSurrogate(text[units])) return FreshExtent(font, text.data(), units);
    const size_t c = run.codePointsBefore[units];
    if (run.leftToRight) return Unwrap(PartAdvance(font, run, 0, c, 0, c));

    // Below the last stable place s the prefix has the whole's levels.
    size_t s = c;
    while (s > 0 && !(run.marks[s] & kStable)) --s;
    if (s == 0) return FreshExtent(font, text.data(), units);

    // The whole's level runs before the one that holds s - 1 are the
    // prefix's: their glyphs are the whole's, but where the prefix cuts the
    // characters around them that their shaping looked at.
    const size_t a = run.levelRunStart[s - 1];
    uint32_t advance = 0;
    size_t reused = a;
    while (reused > 0 && reused + kContext > c) {
        const size_t start = run.levelRunStart[reused - 1];
        advance += PartAdvance(font, run, start, reused, run.levels[start], c);
        reused = start;
    }
    advance += run.before[reused];
    if (s == c) return Unwrap(advance + PartAdvance(font, run, a, c, run.levels[a], c));

    // From s on the prefix's own levels, resolved from the strong code point
    // before s onwards. Neutrals and separators alone after it, at the end
    // of the line, take the paragraph's level: with no number among them the
    // weak types become neutral, and neutrals between a strong code point and
    // the line's end take the paragraph's direction (or the end's white space
    // its level).
    ShapingScratch& scratch = ThreadScratch();
    std::vector<FriBidiLevel>& levels = scratch.levels;
    size_t neutral = s;
    while (neutral < c && (run.marks[neutral] & kTrailingNeutral)) ++neutral;
    if (neutral == c)
        levels.assign(c - s + 1, 0);
    else
        LineLevels(run.types.data() + s - 1, run.brackets.data() + s - 1, c - s + 1, false, levels);
    size_t start = a;
    FriBidiLevel current = run.levels[a];
    for (size_t x = s; x <= c; ++x) {
        if (x < c && levels[x - s + 1] == current) continue;
        advance += PartAdvance(font, run, start, x, current, c);
        if (x < c) start = x, current = levels[x - s + 1];
    }
    return Unwrap(advance);
}

}  // namespace textraster::portable
