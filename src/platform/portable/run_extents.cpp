#include "platform/portable/run_extents.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <mutex>
#include <string>

#include "platform/portable/script_runs.h"
#include "platform/portable/unicode_classes.h"
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
// many code points (a word's end), up to this many parts, the distinct word
// ends of a long text, at under 256 bytes each (1 MiB a font at most).
constexpr size_t kRememberedPart = 16;
constexpr size_t kRememberedParts = 4096;
// Stretches of Arabic words whose parts' advances are remembered (see
// ShapeTails): the distinct words of a long text.
constexpr size_t kRememberedStretches = 4096;
// The parts of a stretch shaped together reach this many code points into
// it at most: a word that joins all along would cost the square of its
// length. Prefixes ending further in are shaped in a window (ArabicWindow).
constexpr size_t kTailsReach = 64;
// A window holds at least this many code points before the prefix's end.
constexpr size_t kWindow = 16;

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
// Of a place x: an item starts there because a pile of marks is full (see
// PileCuts), in the whole and in every prefix that holds x.
constexpr uint8_t kPileCut = 32;

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
// indexed by place from `origin`. An item that starts with a mark is never
// cut inside: the mark has no letter to sit on, and HarfBuzz may give it an
// advance or none depending on characters anywhere in the item, without
// saying that cutting the item changes anything.
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

// With explicit codes, a place x is stable too when the code point before it
// is strong and everything opened before it is closed: the explicit rules
// then stand at x as at a paragraph's start, every isolate opened before x
// closes before it, and the rules that resolve weak and neutral types look
// past x only from after that strong code point. Brackets pair within
// isolating run sequences, which these places would cut: a line with any
// bracket gets none. Openings are followed as the explicit rules take them
// while they stay shallow enough never to overflow the deepest level (each
// opening raises it by 2 at most); deeper, no place is stable until the
// paragraph ends.
void MarkClosedPlaces(const std::vector<FriBidiCharType>& types, const std::vector<FriBidiBracketType>& brackets,
                      std::vector<uint8_t>& marks) {
    if (std::any_of(brackets.begin(), brackets.end(), [](FriBidiBracketType b) { return b != FRIBIDI_NO_BRACKET; }))
        return;
    constexpr size_t kShallow = FRIBIDI_BIDI_MAX_EXPLICIT_LEVEL / 2 - 2;
    std::vector<bool> open;  // per opening in force: an isolate
    bool deep = false;
    for (size_t i = 0; i < types.size(); ++i) {
        const FriBidiCharType type = types[i];
        if (type == FRIBIDI_TYPE_BS) {
            open.clear();
            deep = false;
        } else if (FRIBIDI_IS_ISOLATE(type) && type != FRIBIDI_TYPE_PDI) {
            open.push_back(true);
        } else if (type == FRIBIDI_TYPE_PDI) {
            // Closes the last isolate open and every embedding opened in it;
            // without one open, nothing.
            const auto isolate = std::find(open.rbegin(), open.rend(), true);
            if (isolate != open.rend()) open.erase(std::next(isolate).base(), open.end());
        } else if (type == FRIBIDI_TYPE_PDF) {
            // Closes the last embedding, unless an isolate was opened after it.
            if (!open.empty() && !open.back()) open.pop_back();
        } else if (FRIBIDI_IS_EXPLICIT(type)) {
            open.push_back(false);
        }
        deep = deep || open.size() > kShallow;
        if (!deep && open.empty() && IsStrong(type)) marks[i + 1] |= kStable;
    }
}

}  // namespace

// One measured run of text: its shaping, reduced to what the extents of its
// prefixes need.
struct RunExtents::Run {
    uint64_t serial = 0;  // tells runs apart, though one may take a gone one's memory
    std::u16string text;
    // Its code points with their levels, scripts and fonts, and its items.
    ItemizedLine line;
    std::vector<uint32_t> codePointsBefore;  // per unit count: the code points they hold
    std::vector<uint32_t> itemOf;            // per code point: its item's index
    // The first code point with a script of its own, or the run's length.
    size_t firstScript = 0;
    // Left to right as a whole and in every prefix: every level 0.
    bool leftToRight = true;
    // Per code point, when not leftToRight: its bidi type and bracket.
    std::vector<FriBidiCharType> types;
    std::vector<FriBidiBracketType> brackets;
    // Per place x between code points (0 to n): the advances of the glyphs of
    // the code points before x, and the marks above.
    std::vector<uint32_t> before;
    std::vector<uint8_t> marks;
    // Per place x: the advance of the part of a prefix ending at x that is
    // shaped again (see ShapeTails), once known; per code point: whether the
    // item starting there had them shaped.
    std::vector<int32_t> tails;
    std::vector<bool> tailsShaped;

    size_t size() const { return line.codePoints.size(); }
    const FriBidiChar* codePoints() const { return line.codePoints.data(); }
    const Item& ItemAt(size_t x) const { return line.items[itemOf[x]]; }
    // Empty, as a new run, keeping the memory.
    void Clear() {
        text.clear();
        codePointsBefore.clear();
        itemOf.clear();
        leftToRight = true;
        types.clear();
        brackets.clear();
        before.clear();
        marks.clear();
        tails.clear();
        tailsShaped.clear();
    }
    // The glyphs of code points [a, b) are those of the shaping cut at a and
    // b: each is the start or end of its item, or a place where a cluster
    // starts that HarfBuzz says is safe to cut.
    bool Cuttable(size_t x, const Item& item) const {
        return x == item.start || x == item.end || (marks[x] & (kClusterStart | kUnsafe)) == kClusterStart;
    }
    uint32_t Between(size_t a, size_t b) const { return before[b] - before[a]; }
    // Whether a part ending at `partEnd`, shaped within the prefix of
    // `prefixEnd` code points, sees the same characters after it as within
    // the whole: HarfBuzz reads kContext of them. Arabic reads them only to
    // join the last letter, and only up to the first one that is not
    // transparent to joining: when the prefix holds that one, what lies
    // beyond it changes nothing.
    bool SeesSameAfter(size_t partEnd, size_t prefixEnd, hb_script_t script) const {
        if (partEnd + kContext <= prefixEnd) return true;
        if (script != HB_SCRIPT_ARABIC) return false;
        for (size_t x = partEnd; x < prefixEnd; ++x)
            if (DecidesJoining(line.codePoints[x])) return true;
        return false;
    }
    // The end of the run of one level that holds code point x.
    size_t LevelRunEnd(size_t x) const {
        const std::vector<FriBidiLevel>& levels = line.levels;
        while (x + 1 < levels.size() && levels[x + 1] == levels[x]) ++x;
        return x + 1;
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

// Never allocates (it runs in the destructor): Measure makes the room. The
// spare runs hold kKeptScratchUnits units at most in all; a run beyond
// that goes back to the heap.
void RunExtents::LetGo(std::unique_ptr<Run> run) {
    std::vector<std::unique_ptr<Run>>& spare = SpareRuns();
    size_t units = run->text.capacity();
    for (const std::unique_ptr<Run>& kept : spare) units += kept->text.capacity();
    if (spare.size() < spare.capacity() && units <= kKeptScratchUnits) spare.push_back(std::move(run));
}

int RunExtents::Extent(FallbackFonts& fonts, const char16_t* text, size_t count, LineScratch& scratch) {
    if (count == 0) return 0;
    scratch_ = &scratch;
    // Each prefix is asked for once: the walks of one call remember what
    // they measured (render/measured_runs.h), so nothing here does.
    Run* run = Find(text, count);
    if (!run) run = &Measure(fonts, text, count);
    return count == run->text.size() ? Unwrap(run->before[run->size()]) : PrefixExtent(fonts, *run, count);
}

size_t RunExtents::PrefixExtents(FallbackFonts& fonts, const char16_t* text, size_t count, int limit, int* extents,
                                 LineScratch& scratch) {
    if (count == 0) return 0;
    scratch_ = &scratch;
    Run* run = Find(text, count);
    if (!run) run = &Measure(fonts, text, count);
    for (size_t k = 1; k <= count; ++k) {
        extents[k - 1] = k == run->text.size() ? Unwrap(run->before[run->size()]) : PrefixExtent(fonts, *run, k);
        if (extents[k - 1] > limit) return k;
    }
    return count;
}

RunExtents::Run* RunExtents::Find(const char16_t* text, size_t count) {
    for (auto it = runs_.begin(); it != runs_.end(); ++it) {
        Run& run = **it;
        if (count > run.text.size() || std::memcmp(run.text.data(), text, count * sizeof(char16_t)) != 0) continue;
        std::rotate(runs_.begin(), it, it + 1);
        return runs_.front().get();
    }
    return nullptr;
}

int RunExtents::ItemAdvance(SizedFont& font, const FriBidiChar* text, size_t length, const Item& item,
                            bool* joinsAtStart) {
    std::lock_guard<std::mutex> guard(font.lock);
    hb_buffer_t* buffer = scratch_->buffer;
    ShapeItem(font, text, length, item, buffer, joinsAtStart != nullptr);
    unsigned count = 0;
    const hb_glyph_info_t* infos = hb_buffer_get_glyph_infos(buffer, &count);
    const hb_glyph_position_t* positions = hb_buffer_get_glyph_positions(buffer, &count);
    uint32_t advance = 0;
    if (joinsAtStart) *joinsAtStart = true;
    for (unsigned i = 0; i < count; ++i) {
        advance += Wrap(GlyphAdvance(font, positions[i]));
        if (joinsAtStart && infos[i].cluster == item.start &&
            (hb_glyph_info_get_glyph_flags(&infos[i]) & HB_GLYPH_FLAG_UNSAFE_TO_CONCAT))
            *joinsAtStart = false;
    }
    return Unwrap(advance);
}

// A tail shaped on its own after a place where the whole may be cut, its
// advance to be added to the glyphs of the whole before that place. Sound
// only where the two may be joined again: HarfBuzz says the whole may be
// joined there (no kUnsafeToConcat) and the tail, shaped with that flag
// asked for, starts clear of it too; else kUnknown. (A place where the
// whole may be cut may still not join a different text after it: a pair
// adjustment between the glyph before it and another one after it.)
int RunExtents::JoinedTail(SizedFont& font, const Run& run, const Item& tail) {
    if (run.marks[tail.start] & kUnsafeToConcat) return kUnknown;
    bool joins = false;
    const int advance = ItemAdvance(font, run.codePoints(), tail.end, tail, &joins);
    return joins ? advance : kUnknown;
}

// What ShapeText measures: every item shaped on its own.
int RunExtents::FreshExtent(FallbackFonts& fonts, const char16_t* text, size_t count) {
    ++counts_.freshPrefixes;
    ItemizedLine& fresh = scratch_->fresh;
    ItemizeLine(fonts, std::u16string_view(text, count), false, scratch_->bidi, fresh);
    uint32_t advance = 0;
    for (const Item& item : fresh.items)
        advance += Wrap(ItemAdvance(fonts.Font(item.font), fresh.codePoints.data(), fresh.codePoints.size(), item));
    return Unwrap(advance);
}

RunExtents::Run& RunExtents::Measure(FallbackFonts& fonts, const char16_t* text, size_t count) {
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
    const BidiScratch& bidi = scratch_->bidi;
    ItemizeLine(fonts, run->text, false, scratch_->bidi, run->line);
    const size_t length = run->size();
    const FriBidiChar* codePoints = run->codePoints();
    run->codePointsBefore.assign(count + 1, 0);
    for (size_t i = 0, held = 0; i < count;) {
        const size_t at = i;
        NextCodePoint(std::u16string_view(run->text), i);
        ++held;
        for (size_t k = at + 1; k <= i; ++k) run->codePointsBefore[k] = uint32_t(held);
    }
    hb_unicode_funcs_t* unicode = hb_unicode_funcs_get_default();
    run->firstScript = length;
    for (size_t x = 0; x < length && run->firstScript == length; ++x)
        if (OwnScript(hb_unicode_script(unicode, codePoints[x]))) run->firstScript = x;
    const std::vector<FriBidiLevel>& levels = run->line.levels;
    run->leftToRight =
        run->line.leftToRight || (std::none_of(bidi.types.begin(), bidi.types.end(), RaisesLevels) &&
                                  std::all_of(levels.begin(), levels.end(), [](FriBidiLevel l) { return l == 0; }));
    run->marks.assign(length + 1, 0);
    PileCuts piles;
    for (size_t x = 0; x < length; ++x)
        if (piles.CutBefore(codePoints[x])) run->marks[x] |= kPileCut;
    if (!run->leftToRight) {
        // A place x is stable when the code point before it is strong and
        // every bracket opened before it that the run pairs is closed: the
        // levels of the code points before x then follow from them alone,
        // and those after x from the code point before x onwards (no
        // embeddings, isolates or paragraph breaks anywhere, or no such place
        // is stable; but see below). Brackets pair from left to right, so a prefix pairs those
        // the run pairs that close within it; one the run leaves unpaired is
        // unpaired in every prefix, a neutral like any other.
        const bool plain = std::none_of(bidi.types.begin(), bidi.types.end(), IsExplicitCode);
        std::vector<std::pair<size_t, size_t>> pairs;
        // FriBidi stops pairing brackets here, and so do stable places.
        const size_t paired = plain ? PairBrackets(bidi.types.data(), bidi.brackets.data(), length, pairs) : 0;
        std::vector<uint8_t> pairing(length, 0);  // 1 opens a pair the run closes, 2 closes one
        for (const auto& [open, close] : pairs) pairing[open] = 1, pairing[close] = 2;
        size_t pending = 0;
        for (size_t i = 0; i < paired; ++i) {
            if (pairing[i] == 1) ++pending;
            if (pairing[i] == 2) --pending;
            if (pending == 0 && IsStrong(bidi.types[i])) run->marks[i + 1] |= kStable;
        }
        // A paragraph separator ends the paragraph and what is open in it:
        // the levels on either side never depend on the other's (the levels
        // after it follow from it onwards, where it starts a paragraph too).
        for (size_t i = 0; i < length; ++i)
            if (bidi.types[i] == FRIBIDI_TYPE_BS) run->marks[i + 1] |= kStable;
        if (!plain) MarkClosedPlaces(bidi.types, bidi.brackets, run->marks);
        for (size_t i = 0; i < length; ++i)
            if (IsTrailingNeutral(bidi.types[i])) run->marks[i] |= kTrailingNeutral;
        run->types = bidi.types;
        run->brackets = bidi.brackets;
    }

    // Each item shaped as ShapeText shapes it; glyph advances summed by the
    // code point that starts their cluster (at the place after it), then
    // into the advances before each place.
    run->itemOf.resize(length);
    run->before.assign(length + 1, 0);
    const std::vector<Item>& items = run->line.items;
    for (size_t i = 0; i < items.size(); ++i) {
        const Item& item = items[i];
        std::fill(run->itemOf.begin() + ptrdiff_t(item.start), run->itemOf.begin() + ptrdiff_t(item.end), uint32_t(i));
        SizedFont& font = fonts.Font(item.font);
        std::lock_guard<std::mutex> guard(font.lock);
        hb_buffer_t* buffer = scratch_->buffer;
        ShapeItem(font, codePoints, length, item, buffer, true);
        TakeGlyphs(font, buffer, codePoints, item.start, item.end, 0, run->before.data(), run->marks.data());
    }
    for (size_t x = 0; x < length; ++x) run->before[x + 1] += run->before[x];

    if (runs_.size() == kKeptRuns) {
        LetGo(std::move(runs_.back()));
        runs_.pop_back();
    }
    runs_.insert(runs_.begin(), std::move(run));
    return *runs_.front();
}

uint32_t RunExtents::PartAdvance(FallbackFonts& fonts, Run& run, size_t partStart, size_t partEnd, FriBidiLevel level,
                                 size_t prefixEnd) {
    // The whole's item that holds the part's start; the part has its script
    // and font (a prefix's scripts and fonts are the whole's), but its level
    // may differ.
    const Item& whole = run.ItemAt(partStart);
    const Item part{partStart, partEnd, level, whole.script, whole.font};
    SizedFont& font = fonts.Font(whole.font);
    const bool seesContext = ShapingSeesContext(whole.script);
    const bool inWholeItem = whole.level == level && run.Cuttable(partStart, whole);
    if (inWholeItem && partEnd <= whole.end) {
        // The glyphs of the part are the whole's where it may be cut at its
        // end, with the characters after that the prefix still holds.
        const bool contextKept = !seesContext || run.SeesSameAfter(partEnd, prefixEnd, whole.script);
        const bool endKept =
            partEnd < whole.end ? run.Cuttable(partEnd, whole) && (partEnd == prefixEnd || contextKept) : contextKept;
        if (endKept) {
            ++counts_.fromShaping;
            return run.Between(partStart, partEnd);
        }
        // Else the glyphs up to the last place to cut, and the rest shaped again.
        if (partEnd == prefixEnd) {
            size_t cut = std::min(prefixEnd, whole.end) - 1;
            while (cut > partStart && !run.Cuttable(cut, whole)) --cut;
            if (cut > partStart) {
                ++counts_.reshapedParts;
                if (partStart == whole.start && whole.script == HB_SCRIPT_ARABIC) {
                    if (run.tailsShaped.empty() || !run.tailsShaped[whole.start]) ShapeTails(font, run, whole);
                    if (run.tails[prefixEnd] != kUnknown)
                        return run.Between(partStart, cut) + Wrap(run.tails[prefixEnd]);
                }
            }
            // A long word: its end in a window, though the part starts inside it.
            if (whole.script == HB_SCRIPT_ARABIC) {
                const int window = ArabicWindow(font, run, whole, cut, prefixEnd, level);
                if (window != kUnknown) {
                    if (cut == partStart) ++counts_.reshapedParts;
                    return run.Between(partStart, cut) + Wrap(window);
                }
            }
            if (cut > partStart) {
                // From the last place where the whole may be cut and joined again.
                size_t joinable = cut;
                while (joinable > partStart &&
                       !(run.Cuttable(joinable, whole) && !(run.marks[joinable] & kUnsafeToConcat)))
                    --joinable;
                if (joinable > partStart) {
                    const int tail = JoinedTail(font, run, {joinable, prefixEnd, level, whole.script, whole.font});
                    if (tail != kUnknown) return run.Between(partStart, joinable) + Wrap(tail);
                }
            }
        }
    }
    if (inWholeItem && partEnd > whole.end) {
        // The prefix joins the whole's item to what follows at the same
        // level (a bracket the prefix does not close, say). The glyphs up to
        // a place before the item's end that HarfBuzz says may be joined to
        // any text after it are the whole's, if the rest shaped on its own
        // may be joined there too.
        size_t cut = whole.end - 1;
        while (cut > partStart && !(run.Cuttable(cut, whole) && !(run.marks[cut] & kUnsafeToConcat))) --cut;
        const Item rest{cut, partEnd, level, whole.script, whole.font};
        const int restAdvance = JoinedAdvance(font, run, rest, prefixEnd, cut > partStart);
        if (restAdvance != kUnknown) {
            ++counts_.reshapedParts;
            return run.Between(partStart, cut) + Wrap(restAdvance);
        }
    }
    ++counts_.reshapedParts;
    return Wrap(ShapedPart(font, run, part, prefixEnd));
}

// The part of a prefix whose level run goes on past the whole's item: shaped
// on its own within the prefix's code points. Line layout asks for it again
// with the part one further each time (every prefix inside a bracket, say).
// The part is shaped once as far as the prefixes can take it, to the end of
// the first of the whole's level runs at its level from the part's last code
// point on (no further than its script and font go), and each prefix's part
// is read off that shaping as the whole's are read off the whole: up to its
// end where it may be cut there, else up to its last place to cut and the
// rest shaped again. After a cut (`afterCut`) the part follows glyphs shaped
// apart, so its first glyph must allow joining. kUnknown when no answer.
int RunExtents::JoinedAdvance(SizedFont& font, Run& run, const Item& part, size_t prefixEnd, bool afterCut) {
    Joined& joined = joined_;
    const size_t start = part.start, partEnd = part.end, length = run.size();
    const Item& shaped = joined.item;
    if (!(joined.serial == run.serial && shaped.start == start && shaped.level == part.level &&
          shaped.script == part.script && shaped.font == part.font && partEnd <= shaped.end)) {
        const std::vector<FriBidiLevel>& levels = run.line.levels;
        size_t x = partEnd - 1;
        while (x < length && levels[x] != part.level) x = run.LevelRunEnd(x);
        size_t end = std::max<size_t>(partEnd, x < length ? run.LevelRunEnd(x) : length);
        size_t same = partEnd;
        while (same < end && run.line.scripts[same] == part.script && run.line.fonts[same] == part.font &&
               !(run.marks[same] & kPileCut))
            ++same;
        end = same;
        joined.serial = run.serial;
        joined.item = {start, end, part.level, part.script, part.font};
        joined.before.assign(end - start + 1, 0);
        joined.marks.assign(end - start + 1, 0);
        std::lock_guard<std::mutex> guard(font.lock);
        hb_buffer_t* buffer = scratch_->buffer;
        ShapeItem(font, run.codePoints(), length, joined.item, buffer, true);
        TakeGlyphs(font, buffer, run.codePoints(), start, end, start, joined.before.data(), joined.marks.data());
        for (size_t k = start; k < end; ++k) joined.before[k - start + 1] += joined.before[k - start];
    }
    if (afterCut && (joined.marks[0] & kUnsafeToConcat)) return kUnknown;
    const size_t end = joined.item.end;
    auto cuttable = [&joined, start, end](size_t place) {
        return place == start || place == end ||
               (joined.marks[place - start] & (kClusterStart | kUnsafe)) == kClusterStart;
    };
    auto between = [&joined, start](size_t a, size_t b) { return joined.before[b - start] - joined.before[a - start]; };
    const bool contextKept = !ShapingSeesContext(part.script) || run.SeesSameAfter(partEnd, prefixEnd, part.script);
    if (partEnd < end ? cuttable(partEnd) && (partEnd == prefixEnd || contextKept) : contextKept)
        return Unwrap(between(start, partEnd));
    if (partEnd != prefixEnd) return kUnknown;
    size_t cut = partEnd - 1;
    while (cut > start && !cuttable(cut)) --cut;
    if (cut == start) return kUnknown;
    const Item tail{cut, prefixEnd, part.level, part.script, part.font};
    const int tailAdvance = TailAdvance(font, run, tail, (joined.marks[cut - start] & kUnsafeToConcat) == 0);
    return tailAdvance == kUnknown ? kUnknown : Unwrap(between(start, cut) + Wrap(tailAdvance));
}

// The advance of a prefix's tail (its end, after a place where its shaping
// may be cut), shaped on its own: inside an Arabic word the whole's tails
// (see ShapeTails) hold it when they start at the same place; elsewhere the
// tail must join what is before it (`joinable`: that side allows it, and
// the tail does too), or the answer is kUnknown.
int RunExtents::TailAdvance(SizedFont& font, Run& run, const Item& tail, bool joinable) {
    const size_t prefixEnd = tail.end;
    if (tail.script == HB_SCRIPT_ARABIC && !run.leftToRight) {
        const Item& whole = run.ItemAt(prefixEnd - 1);
        size_t cut = prefixEnd - 1;
        while (cut > whole.start && !run.Cuttable(cut, whole)) --cut;
        if (cut == tail.start && cut > whole.start && whole.level == tail.level && whole.script == tail.script &&
            whole.font == tail.font && !run.Cuttable(prefixEnd, whole)) {
            if (run.tailsShaped.empty() || !run.tailsShaped[whole.start]) ShapeTails(font, run, whole);
            if (run.tails[prefixEnd] != kUnknown) return run.tails[prefixEnd];
        }
    }
    if (!joinable) return kUnknown;
    bool joins = false;
    const int advance = ItemAdvance(font, run.codePoints(), prefixEnd, tail, &joins);
    return joins ? advance : kUnknown;
}

// A line of Arabic ends inside a word wherever the next letter would join:
// every prefix ending there has its last word shaped again. Those parts,
// for every place of the item, are shaped together in one buffer, apart by
// spaces. Each part counts where HarfBuzz says the buffer may be cut on both
// sides of it: shaped on its own it is the same. (The part's own context,
// which HarfBuzz reads only for joining, ends at a place where nothing joins
// across, as the space does, and an Arabic letter after a letter that does
// not join forward takes the same form as after a space.) An advance so
// found depends on the part's characters and direction alone, which is what
// lets the item's sized font keep it for the next text.
void RunExtents::ShapeTails(SizedFont& font, Run& run, const Item& item) {
    if (run.tailsShaped.empty()) {
        run.tailsShaped.assign(run.size(), false);
        run.tails.assign(run.size() + 1, kUnknown);
    }
    run.tailsShaped[item.start] = true;
    // The stretches between two places to cut that hold places not to cut:
    // each such place x ends a part from the stretch's start to x.
    struct Stretch {
        size_t start;
        size_t end;
    };
    // A part's advance depends on its own code points alone, so a stretch
    // is cut short at kTailsReach, its key with it.
    std::vector<Stretch> stretches;
    for (size_t x = item.start + 1; x < item.end; ++x) {
        if (run.Cuttable(x, item)) continue;
        const size_t start = x - 1;
        size_t end = x + 1;
        while (end < item.end && !run.Cuttable(end, item)) ++end;
        if (start > item.start) stretches.push_back({start, std::min(end, start + kTailsReach)});
        x = end;
    }
    if (stretches.empty()) return;

    // The same words come again and again: the sized font remembers the
    // advances of a stretch's parts by its characters and direction.
    const FriBidiChar* codePoints = run.codePoints();
    std::u32string& key = key_;
    auto makeKey = [&](const Stretch& stretch) {
        key.assign(1, char32_t(item.level % 2));
        key.append(codePoints + stretch.start, codePoints + stretch.end);
    };
    std::vector<Stretch> unknown;
    {
        std::lock_guard<std::mutex> guard(font.lock);
        for (const Stretch& stretch : stretches) {
            makeKey(stretch);
            auto found = font.stretchTails.find(key);
            if (found == font.stretchTails.end()) {
                unknown.push_back(stretch);
                continue;
            }
            ++counts_.rememberedStretches;
            std::copy(found->second.begin(), found->second.end(), run.tails.begin() + ptrdiff_t(stretch.start) + 1);
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
    for (const Stretch& stretch : unknown)
        for (size_t x = stretch.start + 1; x < stretch.end; ++x) {
            if (!text.empty()) text.push_back(' ');
            parts.push_back({text.size(), x - stretch.start});
            text.insert(text.end(), codePoints + stretch.start, codePoints + x);
        }

    std::vector<int32_t> partOf(text.size(), -1), advances(parts.size(), 0);
    for (size_t i = 0; i < parts.size(); ++i)
        for (size_t k = 0; k < parts[i].count; ++k) partOf[parts[i].at + k] = int32_t(i);
    std::vector<uint8_t> edge(text.size(), 0);  // per code point: a cluster starts, safely
    std::lock_guard<std::mutex> guard(font.lock);
    hb_buffer_t* buffer = scratch_->buffer;
    ShapeItem(font, text.data(), text.size(), {0, text.size(), item.level, item.script, item.font}, buffer);
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
    for (const Stretch& stretch : unknown) {
        std::vector<int32_t> tails;
        for (size_t x = stretch.start + 1; x < stretch.end; ++x, ++part) {
            tails.push_back(safe(part->at) && safe(part->at + part->count) ? advances[size_t(part - parts.data())]
                                                                           : kUnknown);
            run.tails[x] = tails.back();
        }
        makeKey(stretch);
        font.stretchTails.emplace(key, std::move(tails));
    }
}

// The advance of the glyphs of a prefix ending at `prefixEnd` inside an
// Arabic word, from `cut`, a place where the whole's glyphs may be cut, on.
// HarfBuzz marks every place where letters join as unsafe to cut, although
// shaping with the text around as context redoes the joining: inside a word
// its flags cannot say where the prefix's glyphs are the whole's. So the
// prefix's last 2 kWindow code points are shaped in a window, the text before
// them as context, and where the window's glyphs agree with the whole's
// place by place over its first kWindow code points, what the text left out
// before the window decides has died out, and the prefix's end, kWindow
// code points on, has not reached back that far: the whole's glyphs up to
// there and the window's after it are the prefix's. kUnknown when they
// differ, or the word is too short for a window after `cut`.
int RunExtents::ArabicWindow(SizedFont& font, const Run& run, const Item& whole, size_t cut, size_t prefixEnd,
                             FriBidiLevel level) {
    if (prefixEnd < cut + 2 * kWindow) return kUnknown;
    // Both ends of the agreement at places where the whole's clusters start
    // (a letter's marks stay with it).
    size_t start = prefixEnd - 2 * kWindow, agreed = prefixEnd - kWindow;
    while (start > cut && !(run.marks[start] & kClusterStart)) --start;
    while (agreed > start + kWindow / 2 && !(run.marks[agreed] & kClusterStart)) --agreed;
    if (start <= cut || agreed <= start + kWindow / 2) return kUnknown;
    const size_t length = prefixEnd - start;
    std::vector<uint32_t>& before = window_.before;
    std::vector<uint8_t>& marks = window_.marks;
    before.assign(length + 1, 0);
    marks.assign(length + 1, 0);
    {
        std::lock_guard<std::mutex> guard(font.lock);
        hb_buffer_t* buffer = scratch_->buffer;
        ShapeItem(font, run.codePoints(), prefixEnd, {start, prefixEnd, level, whole.script, whole.font}, buffer);
        TakeGlyphs(font, buffer, run.codePoints(), start, prefixEnd, start, before.data(), marks.data());
    }
    for (size_t x = start; x <= agreed; ++x) {
        const size_t at = x - start;
        if ((marks[at] & kClusterStart) != (run.marks[x] & kClusterStart) ||
            (x < agreed && before[at + 1] != run.Between(x, x + 1)))
            return kUnknown;
    }
    ++counts_.windows;
    uint32_t rest = 0;
    for (size_t at = agreed - start + 1; at <= length; ++at) rest += before[at];
    return Unwrap(run.Between(cut, agreed) + rest);
}

int RunExtents::ShapedPart(SizedFont& font, const Run& run, const Item& part, size_t prefixEnd) {
    const FriBidiChar* codePoints = run.codePoints();
    if (part.end - part.start > kRememberedPart) return ItemAdvance(font, codePoints, prefixEnd, part);
    // Short parts (a space at the end of a line, a word of another script)
    // come again and again, in one text and in the next: their sized font
    // remembers their advances by what decides them, their characters, level
    // and script and, where shaping looks at them, the characters around them.
    std::u32string& key = key_;
    key.assign(1, char32_t(part.level % 2));
    key += char32_t(part.script);  // a tag: above every code point and context marker
    key.append(codePoints + part.start, codePoints + part.end);
    if (ShapingSeesContext(part.script)) {
        const size_t before = std::min(part.start, kContext), after = std::min(prefixEnd - part.end, kContext);
        key += char32_t(0x110000 + before);
        key.append(codePoints + part.start - before, codePoints + part.start);
        key += char32_t(0x110000 + after);
        key.append(codePoints + part.end, codePoints + part.end + after);
    }
    {
        std::lock_guard<std::mutex> guard(font.lock);
        auto found = font.shortRuns.find(key);
        if (found != font.shortRuns.end()) return found->second;
    }
    const int advance = ItemAdvance(font, codePoints, prefixEnd, part);
    std::lock_guard<std::mutex> guard(font.lock);
    if (font.shortRuns.size() >= kRememberedParts) font.shortRuns.clear();
    font.shortRuns.emplace(key, advance);
    return advance;
}

int RunExtents::PrefixExtent(FallbackFonts& fonts, Run& run, size_t units) {
    const std::u16string& text = run.text;
    // A prefix that ends inside a surrogate pair holds another code point.
    if (IsHighSurrogate(text[units - 1]) && IsLowSurrogate(text[units])) return FreshExtent(fonts, text.data(), units);
    const size_t prefixEnd = run.codePointsBefore[units];
    // Before the run's first character with a script of its own, the prefix
    // has no script of its own, where the run's start takes that character's.
    if (prefixEnd <= run.firstScript && run.firstScript < run.size()) return FreshExtent(fonts, text.data(), units);

    // Below the last stable place the prefix has the whole's levels (every
    // place is, left to right).
    size_t stable = prefixEnd;
    if (!run.leftToRight) {
        while (stable > 0 && !(run.marks[stable] & kStable)) --stable;
        if (stable == 0) return FreshExtent(fonts, text.data(), units);
    }

    // The whole's items before the one that holds the code point before the
    // stable place are the prefix's: their glyphs are the whole's, but where
    // the prefix cuts the characters around them that their shaping looked at.
    const std::vector<FriBidiLevel>& wholeLevels = run.line.levels;
    const size_t first = run.ItemAt(stable - 1).start;
    uint32_t advance = 0;
    size_t reused = first;
    while (reused > 0 && reused + kContext > prefixEnd) {
        const Item& item = run.ItemAt(reused - 1);
        advance += PartAdvance(fonts, run, item.start, reused, item.level, prefixEnd);
        reused = item.start;
    }
    advance += run.before[reused];
    if (stable == prefixEnd)
        return Unwrap(advance + PartAdvance(fonts, run, first, prefixEnd, wholeLevels[first], prefixEnd));

    // From the stable place on the prefix's own levels, resolved from the
    // strong code point before it onwards. Neutrals and separators alone
    // after it, at the end of the line, take the paragraph's level: with no
    // number among them the weak types become neutral, and neutrals between
    // a strong code point and the line's end take the paragraph's direction
    // (or the end's white space its level). Its parts are cut where the
    // levels or the whole's scripts or fonts change, and where piles are.
    std::vector<FriBidiLevel>& levels = scratch_->levels;
    size_t neutral = stable;
    while (neutral < prefixEnd && (run.marks[neutral] & kTrailingNeutral)) ++neutral;
    if (neutral == prefixEnd)
        levels.assign(prefixEnd - stable + 1, 0);
    else
        LineLevels(run.types.data() + stable - 1, run.brackets.data() + stable - 1, prefixEnd - stable + 1, false,
                   levels);
    const std::vector<hb_script_t>& scripts = run.line.scripts;
    const std::vector<uint8_t>& partFonts = run.line.fonts;
    size_t start = first;
    FriBidiLevel current = wholeLevels[first];
    for (size_t x = stable; x <= prefixEnd; ++x) {
        if (x < prefixEnd && levels[x - stable + 1] == current && scripts[x] == scripts[start] &&
            partFonts[x] == partFonts[start] && !(run.marks[x] & kPileCut))
            continue;
        advance += PartAdvance(fonts, run, start, x, current, prefixEnd);
        if (x < prefixEnd) start = x, current = levels[x - stable + 1];
    }
    return Unwrap(advance);
}

}  // namespace textraster::portable
