// The subtitle buffers that wait for their time, in running time, and which
// one a video frame shows.
//
// A buffer is shown from its start to its end. One without a duration is
// shown until the next buffer or gap begins, and one without a timestamp
// from the next frame on, in place of everything queued: neither ever holds
// the video up. Several buffers may be queued for a frame that is still to
// come; the text pad waits when the queue is full (Full()), until frames
// have used some of it.
#pragma once

#include <gst/gst.h>

#include <cstddef>
#include <deque>
#include <string>

namespace textraster::gst {

class SubtitleQueue {
   public:
    // Buffers taken ahead of the video before the text pad waits: a few
    // frames' worth of subtitle changes, so that the two threads do not
    // hand over at every buffer, while memory stays bounded whatever the
    // stream sends.
    static constexpr size_t kCapacity = 8;

    struct Entry {
        GstClockTime start = 0, end = GST_CLOCK_TIME_NONE;  // end NONE: until the next one
        std::string text;                                   // the buffer's bytes
    };

    // A buffer at `start` (NONE: at once) for `duration` (NONE: until the next).
    void Push(GstClockTime start, GstClockTime duration, std::string text);
    // Nothing is shown from `start` for `duration`: ends a buffer shown until the next.
    void Gap(GstClockTime start, GstClockTime duration);
    // Drops what ended by the frame's start and returns what the frame
    // [start, end) shows, or null; `dropped` tells whether anything went.
    const Entry* Select(GstClockTime start, GstClockTime end, bool& dropped);
    // Whether the stream has said what shows at `time` (for wait-text): a
    // buffer or gap reaches past it, or a buffer shows until the next.
    bool Reached(GstClockTime time) const;
    bool Full() const { return entries_.size() >= kCapacity; }
    void Clear();

   private:
    void EndOpenEntry(GstClockTime at);

    std::deque<Entry> entries_;
    GstClockTime reached_ = 0;  // the latest end of a buffer or gap: what shows is known up to there
};

}  // namespace textraster::gst
