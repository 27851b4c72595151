#include "timecode.h"

#include <cstdio>

namespace textraster::tool {
namespace {

const FrameRate kRates[] = {
    {"23.976", 24000, 1001, 24}, {"24", 24, 1, 24}, {"25", 25, 1, 25},          {"29.97", 30000, 1001, 30},
    {"30", 30, 1, 30},           {"50", 50, 1, 50}, {"59.94", 60000, 1001, 60}, {"60", 60, 1, 60},
};

}  // namespace

bool ParseFrameRate(const std::string& text, FrameRate& rate) {
    for (const FrameRate& r : kRates) {
        const std::string fraction = std::to_string(r.numerator) + "/" + std::to_string(r.denominator);
        if (text == r.name || (r.denominator != 1 && text == fraction)) {
            rate = r;
            return true;
        }
    }
    return false;
}

bool HasDropFrame(const FrameRate& rate) {
    return rate.denominator == 1001 && rate.nominal % 30 == 0;
}

int64_t FrameAt(int64_t milliseconds, const FrameRate& rate) {
    const int64_t scale = int64_t(rate.denominator) * 1000;
    return (milliseconds * rate.numerator + scale / 2) / scale;
}

std::string Timecode(int64_t frame, const FrameRate& rate, bool dropFrame) {
    const int64_t nominal = rate.nominal;
    if (dropFrame && HasDropFrame(rate)) {
        // The first two frame numbers of every minute (four at 59.94) are
        // skipped, except in every tenth minute.
        const int64_t dropped = nominal / 15, perMinute = nominal * 60 - dropped,
                      perTenMinutes = nominal * 600 - 9 * dropped;
        const int64_t tens = frame / perTenMinutes, rest = frame % perTenMinutes;
        frame += 9 * dropped * tens + (rest > dropped ? dropped * ((rest - dropped) / perMinute) : 0);
    }
    char text[32];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld:%02lld", (long long)(frame / (nominal * 3600)),
                  (long long)(frame / (nominal * 60) % 60), (long long)(frame / nominal % 60),
                  (long long)(frame % nominal));
    return text;
}

}  // namespace textraster::tool
