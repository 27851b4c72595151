#include "render/measured_runs.h"

#include <new>

namespace textraster {

MeasuredRuns::Runs* MeasuredRuns::RunsFrom(const TextChar* start) {
    if (start == lastStart_) return last_;
    auto found = byStart_.find(start);
    if (found == byStart_.end()) return nullptr;
    lastStart_ = start;
    last_ = &found->second;
    return last_;
}

bool MeasuredRuns::Find(const TextChar* start, uint32_t count, int32_t& extent) {
    const Runs* runs = RunsFrom(start);
    if (!runs || count >= runs->known.size() || !runs->known[count]) return false;
    extent = runs->extents[count];
    return true;
}

void MeasuredRuns::Remember(const TextChar* start, uint32_t count, int32_t extent) noexcept {
    try {
        Runs* runs = RunsFrom(start);
        if (!runs) {
            runs = &byStart_[start];
            lastStart_ = start;
            last_ = runs;
        }
        // The extents first: `known` never reaches past them, even when
        // memory runs out between the two.
        if (count >= runs->known.size()) {
            runs->extents.resize(count + 1, 0);
            runs->known.resize(count + 1, false);
        }
        runs->known[count] = true;
        runs->extents[count] = extent;
    } catch (const std::bad_alloc&) {
        // Measured again when asked again.
    }
}

}  // namespace textraster
