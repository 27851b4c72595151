// Extents of runs of text and of their prefixes, from one shaping of a longer
// run. Line layout measures a line from its start one character longer each
// time; shaping each of those runs anew costs the square of the line's
// length. Once a longer run has been measured, the extent of a prefix is
// read from its shaping wherever the shaping proves that cutting there
// changes nothing; elsewhere only the part after the last such place is
// shaped again. Every answer equals a fresh measurement of the prefix.
#pragma once

#include <hb.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/portable/shaping.h"
#include "platform/portable/sized_font.h"

namespace textraster::portable {

class RunExtents {
   public:
    RunExtents();
    ~RunExtents();
    RunExtents(const RunExtents&) = delete;
    RunExtents& operator=(const RunExtents&) = delete;

    // The extent of the `count` units from `text` set with `font`, as
    // ShapeText(font, text, false).advance gives it. Takes font.lock while
    // shaping; the caller makes sure that one thread at a time uses this.
    int Extent(SizedFont& font, const char16_t* text, size_t count);

    // How the answers were found, for tests.
    struct Counts {
        size_t measuredRuns = 0;         // runs shaped whole, to answer their prefixes later
        size_t fromShaping = 0;          // prefixes read off a longer run's shaping
        size_t reshapedParts = 0;        // prefixes whose end was shaped again
        size_t freshPrefixes = 0;        // prefixes measured afresh, as nothing could be reused
        size_t rememberedStretches = 0;  // word stretches whose parts the sized font remembered
    };
    const Counts& counts() const { return counts_; }

   private:
    struct Run;

    // Runs that font objects let go of, kept for the next runs measured on
    // this thread: a run is some fifteen arrays, and taking their memory
    // again costs less than allocating it for every run.
    static std::vector<std::unique_ptr<Run>>& SpareRuns();
    void LetGo(std::unique_ptr<Run> run);

    Run* Find(const char16_t* text, size_t count);
    Run& Measure(SizedFont& font, const char16_t* text, size_t count);
    int PrefixExtent(SizedFont& font, Run& run, size_t units);
    uint32_t PartAdvance(SizedFont& font, Run& run, size_t u, size_t v, FriBidiLevel level, size_t c);
    void ShapeTails(SizedFont& font, Run& run, size_t a, size_t e, FriBidiLevel level, hb_script_t script);
    int ShapedPart(SizedFont& font, const Run& run, size_t u, size_t v, FriBidiLevel level, size_t c, bool seesContext);
    int RunAdvance(SizedFont& font, const FriBidiChar* text, size_t length, const LevelRun& run, hb_script_t script);
    int JoinedAdvance(SizedFont& font, Run& run, const LevelRun& part, hb_script_t script, size_t c, bool joined);
    int TailAdvance(SizedFont& font, Run& run, size_t k, size_t c, FriBidiLevel level, hb_script_t script);
    int FreshExtent(SizedFont& font, const char16_t* text, size_t count);

    // The part JoinedAdvance shaped last, [start, end): per place from its
    // start, the advances before it and the marks of the glyphs that start there.
    struct Joined {
        uint64_t serial = 0;  // of its run; 0 for none
        size_t start = 0;
        size_t end = 0;
        FriBidiLevel level = 0;
        hb_script_t script = HB_SCRIPT_INVALID;
        std::vector<uint32_t> before;
        std::vector<uint8_t> marks;
    };

    std::vector<std::unique_ptr<Run>> runs_;  // most recently used first
    std::u32string key_;
    Joined joined_;
    uint64_t serials_ = 0;
    Counts counts_;
};

}  // namespace textraster::portable
