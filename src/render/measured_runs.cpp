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

MeasuredRuns::Runs& MeasuredRuns::RunsMadeFrom(const TextChar* start) {
    Runs* runs = RunsFrom(start);
    if (!runs) {
        runs = &byStart_[start];
        lastStart_ = start;
        last_ = runs;
    }
    return *runs;
}

void MeasuredRuns::MakeRoom(Runs& runs, uint32_t count) {
    // The extents first: `known` never reaches past them, even when memory
    // runs out between the two.
    if (count >= runs.known.size()) {
        runs.extents.resize(size_t(count) + 1, 0);
        runs.known.resize(size_t(count) + 1, false);
    }
}

void MeasuredRuns::Remember(const TextChar* start, uint32_t count, int32_t extent) noexcept {
    try {
        Runs& runs = RunsMadeFrom(start);
        MakeRoom(runs, count);
        runs.known[count] = true;
        runs.extents[count] = extent;
    } catch (const std::bad_alloc&) {
        // Measured again when asked again.
    }
}

void MeasuredRuns::RememberPrefixes(const TextChar* start, const int32_t* extents, uint32_t count) noexcept {
    try {
        Runs& runs = RunsMadeFrom(start);
        MakeRoom(runs, count);
        for (uint32_t k = 1; k <= count; ++k) {
            runs.known[k] = true;
            runs.extents[k] = extents[k - 1];
        }
    } catch (const std::bad_alloc&) {
        // Measured one by one when asked.
    }
}

}  // namespace textraster
