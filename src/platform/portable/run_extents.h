// Extents of runs of text and of their prefixes, from one shaping of a longer
// run. Line layout measures a line from its start one character longer each
// time; shaping each of those runs anew costs the square of the line's
// length. Once a longer run has been measured, the extent of a prefix is
// read from its shaping wherever the shaping proves that cutting there
// changes nothing; elsewhere only the part after the last such place is
// shaped again. Every answer equals a fresh measurement of the prefix.
//
// A prefix is set in the items the run is set in, cut at its end, except
// where its own bidi levels or scripts differ: its levels may differ after
// the last place where the run's are settled, and its scripts where it ends
// before the run's first character with a script of its own. Fonts never
// differ: fallback looks only at a character and those before it.
#pragma once

#include <hb.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/portable/font_fallback.h"
#include "platform/portable/itemization.h"
#include "platform/portable/line_setting.h"

namespace textraster::portable {

class RunExtents {
   public:
    RunExtents();
    ~RunExtents();
    RunExtents(const RunExtents&) = delete;
    RunExtents& operator=(const RunExtents&) = delete;

    // The extent of the `count` units from `text` set with `fonts`, as
    // ShapeText(fonts, text, false).advance gives it. Takes the fonts' locks
    // while shaping; the caller makes sure that one thread at a time uses
    // this and `fonts`. Sets lines in `scratch`.
    int Extent(FallbackFonts& fonts, const char16_t* text, size_t count, LineScratch& scratch = ThreadLineScratch());
    // The extents of the prefixes of those units, each as Extent gives it
    // for that many units: extents[k - 1] for k units, from 1 up to `count`
    // or to the first longer than `limit`. Returns how many were written.
    size_t PrefixExtents(FallbackFonts& fonts, const char16_t* text, size_t count, int limit, int* extents,
                         LineScratch& scratch = ThreadLineScratch());

    // How the answers were found, for tests.
    struct Counts {
        size_t measuredRuns = 0;         // runs shaped whole, to answer their prefixes later
        size_t fromShaping = 0;          // prefixes read off a longer run's shaping
        size_t reshapedParts = 0;        // prefixes whose end was shaped again
        size_t freshPrefixes = 0;        // prefixes measured afresh, as nothing could be reused
        size_t rememberedStretches = 0;  // word stretches whose parts the sized font remembered
        size_t windows = 0;              // Arabic prefixes whose end was shaped in a window
    };
    const Counts& counts() const { return counts_; }

   private:
    struct Run;

    // Runs that font objects let go of, kept for the next runs measured on
    // this thread: a run is some fifteen arrays, and taking their memory
    // again costs less than allocating it for every run. At most kKeptRuns,
    // of kKeptScratchUnits units in all (see kept_scratch.h).
    static std::vector<std::unique_ptr<Run>>& SpareRuns();
    void LetGo(std::unique_ptr<Run> run);

    Run* Find(const char16_t* text, size_t count);
    Run& Measure(FallbackFonts& fonts, const char16_t* text, size_t count);
    int PrefixExtent(FallbackFonts& fonts, Run& run, size_t units);
    uint32_t PartAdvance(FallbackFonts& fonts, Run& run, size_t partStart, size_t partEnd, FriBidiLevel level,
                         size_t prefixEnd);
    void ShapeTails(SizedFont& font, Run& run, const Item& item);
    int ArabicWindow(SizedFont& font, const Run& run, const Item& whole, size_t cut, size_t prefixEnd,
                     FriBidiLevel level);
    int ShapedPart(SizedFont& font, const Run& run, const Item& part, size_t prefixEnd);
    int ItemAdvance(SizedFont& font, const FriBidiChar* text, size_t length, const Item& item,
                    bool* joinsAtStart = nullptr);
    int JoinedTail(SizedFont& font, const Run& run, const Item& tail);
    int JoinedAdvance(SizedFont& font, Run& run, const Item& part, size_t prefixEnd, bool afterCut);
    int TailAdvance(SizedFont& font, Run& run, const Item& tail, bool joinable);
    int FreshExtent(FallbackFonts& fonts, const char16_t* text, size_t count);

    // The part JoinedAdvance shaped last, [start, end): per place from its
    // start, the advances before it and the marks of the glyphs that start there.
    struct Joined {
        uint64_t serial = 0;  // of its run; 0 for none
        Item item{};
        std::vector<uint32_t> before;
        std::vector<uint8_t> marks;
    };

    // The last window ArabicWindow shaped, per place from its start as in Joined.
    struct Window {
        std::vector<uint32_t> before;
        std::vector<uint8_t> marks;
    };

    std::vector<std::unique_ptr<Run>> runs_;  // most recently used first
    LineScratch* scratch_ = nullptr;          // the calling thread's, during a call
    std::u32string key_;
    Joined joined_;
    Window window_;
    uint64_t serials_ = 0;
    Counts counts_;
};

}  // namespace textraster::portable
