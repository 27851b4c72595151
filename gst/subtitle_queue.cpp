#include "subtitle_queue.h"

#include <algorithm>

namespace textraster::gst {
namespace {

constexpr GstClockTime kNone = GST_CLOCK_TIME_NONE;

}  // namespace

void SubtitleQueue::EndOpenEntry(GstClockTime at) {
    if (entries_.empty() || entries_.back().end != kNone) return;
    entries_.back().end = std::max(at, entries_.back().start);
    reached_ = std::max(reached_, entries_.back().end);
}

void SubtitleQueue::Push(GstClockTime start, GstClockTime duration, std::string text) {
    if (start == kNone) {
        // Untimed: shown now, in place of whatever was to come.
        entries_.clear();
        entries_.push_back({0, kNone, std::move(text)});
        return;
    }
    EndOpenEntry(start);
    const GstClockTime end = duration == kNone ? kNone : start + duration;
    entries_.push_back({start, end, std::move(text)});
    if (end != kNone) reached_ = std::max(reached_, end);
}

void SubtitleQueue::Gap(GstClockTime start, GstClockTime duration) {
    if (start == kNone) return;
    EndOpenEntry(start);
    reached_ = std::max(reached_, duration == kNone ? start : start + duration);
}

const SubtitleQueue::Entry* SubtitleQueue::Select(GstClockTime start, GstClockTime end, bool& dropped) {
    dropped = false;
    while (!entries_.empty() && entries_.front().end != kNone && entries_.front().end <= start) {
        entries_.pop_front();
        dropped = true;
    }
    if (entries_.empty()) return nullptr;
    const Entry& front = entries_.front();
    return front.start <= start || front.start < end ? &front : nullptr;
}

bool SubtitleQueue::Reached(GstClockTime time) const {
    return (!entries_.empty() && entries_.back().end == kNone) || reached_ > time;
}

void SubtitleQueue::Clear() {
    entries_.clear();
    reached_ = 0;
}

}  // namespace textraster::gst
