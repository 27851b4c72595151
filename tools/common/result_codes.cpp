#include "result_codes.h"

#include "textraster.h"

namespace textraster::tool {

namespace {

struct Meaning {
    int32_t code;
    const char* text;
};

constexpr Meaning kMeanings[] = {
#include "result_meanings.inc"
};

}  // namespace

const char* ResultMeaning(int32_t code) {
    for (const Meaning& m : kMeanings)
        if (m.code == code) return m.text;
    return "an unknown result code";
}

std::string DescribeFailure(const char* function, int32_t code) {
    return std::string(function) + " failed with result " + std::to_string(code) + ": " + ResultMeaning(code);
}

}  // namespace textraster::tool
