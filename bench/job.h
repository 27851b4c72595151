// The benchmark job, shared by every contender: one line of real UI text,
// drawn centred and wrapped into a 1280 x 160 frame of straight-alpha BGRA
// pixels with a 32-pixel cell, the whole frame delivered per call.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/corpus.h"
#include "tests/support/request.h"
#include "textraster.h"

namespace textraster::bench {

constexpr int kFrameWidth = 1280;
constexpr int kFrameHeight = 160;
constexpr int kCellHeight = 32;

// Corpus lines joined by spaces into one line of `length` units: the first
// kLongLineBlock units of the corpus, then that block again as often as
// needed, so that lines of every length hold the same mix of text and the
// cost per character compares (the corpus's own lines differ by twice in
// what a character costs to measure).
constexpr size_t kLongLineBlock = 1000;

inline Text LongLine(const std::vector<Text>& lines, size_t length) {
    Text block;
    for (size_t i = 0; block.size() < kLongLineBlock; ++i) {
        if (!block.empty()) block += TextChar(' ');
        block += lines[i % lines.size()];
    }
    block.resize(kLongLineBlock);
    // Never split a surrogate pair.
    if (block.back() >= 0xD800 && block.back() < 0xDC00) block.back() = TextChar(' ');
    Text line;
    while (line.size() < length) line += block;
    line.resize(length);
    return line;
}

// The job's request for a language: white opaque text on a half-transparent
// black cell background, the buffer exactly the frame.
inline TextLayoutParams Request(const Language& language, const Text& face, int width = kFrameWidth,
                                int height = kFrameHeight) {
    TextLayoutParams p = test::ValidRequest(face.c_str(), uint8_t(kCellHeight), uint16_t(width), uint16_t(height));
    p.backColor = 0x80000000;
    p.writingMode = language.rightToLeft ? 2 : 1;
    p.alignment = 2;
    return p;
}

}  // namespace textraster::bench
