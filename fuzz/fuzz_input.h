// Reads a fuzz input front to back as little-endian fields, then as UTF-16
// text. Missing bytes read as zero, so every input, however short, is a
// complete request; the seed writer (make_seeds.py) uses the same layout.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "textraster.h"

// Ends the run with the condition that failed, for the fuzzer to report.
#define FUZZ_CHECK(condition)                                                                   \
    do {                                                                                        \
        if (!(condition)) {                                                                     \
            std::fprintf(stderr, "check failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
            std::abort();                                                                       \
        }                                                                                       \
    } while (false)

namespace textraster::fuzz {

class FuzzInput {
   public:
    FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    uint8_t U8() { return at_ < size_ ? data_[at_++] : 0; }
    int8_t I8() { return int8_t(U8()); }
    uint16_t U16() { return uint16_t(U8() | U8() << 8); }
    int16_t I16() { return int16_t(U16()); }
    uint32_t U32() {
        const uint32_t low = U16();
        return low | uint32_t(U16()) << 16;
    }
    int32_t I32() { return int32_t(U32()); }

    // `count` UTF-16 units (fewer when the input ends), zeros included.
    std::vector<TextChar> Units(size_t count) {
        std::vector<TextChar> units;
        while (units.size() < count && at_ + 1 < size_) units.push_back(TextChar(U16()));
        return units;
    }
    // The rest of the input as UTF-16 units, an odd last byte dropped.
    std::vector<TextChar> RestAsUnits() { return Units(size_); }

   private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

// A NUL-terminated text in a heap block of exactly its length plus the
// terminator, so that reading past the terminator is caught. The units up to
// the first zero are the text.
class HeapText {
   public:
    explicit HeapText(const std::vector<TextChar>& units) {
        while (length_ < units.size() && units[length_] != 0) ++length_;
        units_.reset(new TextChar[length_ + 1]);
        std::copy(units.begin(), units.begin() + std::ptrdiff_t(length_), units_.get());
        units_[length_] = 0;
    }
    const TextChar* get() const { return units_.get(); }
    const TextChar* end() const { return units_.get() + length_; }
    size_t length() const { return length_; }

   private:
    std::unique_ptr<TextChar[]> units_;
    size_t length_ = 0;
};

}  // namespace textraster::fuzz
