// Helpers for tests that drive the library through its exported functions.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/request.h"
#include "support/test_text.h"
#include "textraster.h"

#ifdef TEXTRASTER_TEST_SAMPLES
#include "png_writer.h"
#endif

namespace textraster::test {

// Face names as the record wants them; kept alive for the whole test run.
inline const TextChar* Face(std::u16string_view name) {
    static std::vector<Text>* names = new std::vector<Text>();
    names->reserve(64);
    for (const Text& n : *names)
        if (n == T(name)) return n.c_str();
    names->push_back(T(name));
    return names->back().c_str();
}

// A valid request: one region filling a buffer of the same size, white opaque
// text on a transparent background, DejaVu Sans with a 24 px cell.
inline TextLayoutParams Request(uint16_t width = 200, uint16_t height = 50) {
    return ValidRequest(Face(u"DejaVu Sans"), 24, width, height);
}

struct Rendering {
    int32_t code = -1;
    std::vector<uint32_t> pixels;  // the whole buffer
    uint16_t ascent = 0xAAAA;
    uint8_t usedLinePitch = 0xAA;
    uint16_t lastLineExtent = 0xAAAA;
};

// Renders into a buffer filled with `fill`.
inline Rendering Render(const Text& text, const TextLayoutParams& p, uint32_t fill = 0) {
    Rendering r;
    r.pixels.assign(size_t(p.bufferWidth) * p.bufferHeight + 1, fill);
    r.code = RenderText(text.c_str(), &p, r.pixels.data(), &r.ascent, &r.usedLinePitch, &r.lastLineExtent);
    r.pixels.pop_back();
    return r;
}

struct Box {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;  // inclusive; right < 0 when empty
    bool empty() const { return right < 0; }
    int width() const { return empty() ? 0 : right - left + 1; }
    int height() const { return empty() ? 0 : bottom - top + 1; }
    int centreX() const { return (left + right) / 2; }
};

// The bounding box of pixels whose opacity exceeds `threshold`, in a top-down buffer.
inline Box InkBox(const std::vector<uint32_t>& pixels, int width, uint8_t threshold = 0) {
    Box b;
    for (size_t i = 0; i < pixels.size(); ++i) {
        if ((pixels[i] >> 24) <= threshold) continue;
        const int x = int(i % size_t(width)), y = int(i / size_t(width));
        b.left = std::min(b.left, x), b.right = std::max(b.right, x);
        b.top = std::min(b.top, y), b.bottom = std::max(b.bottom, y);
    }
    return b;
}

// Writes a top-down rendering to the test output folder, for a person to look
// at (with the command-line renderer's PNG writer, when it is built).
inline void SaveSample(const std::string& name, const std::vector<uint32_t>& pixels, uint32_t width, uint32_t height) {
#ifdef TEXTRASTER_TEST_SAMPLES
    const char* dir = std::getenv("TEXTRASTER_TEST_OUTPUT");
    if (!dir) return;
    tool::Image image(width, height);
    image.pixels = pixels;
    std::string error;
    EXPECT_TRUE(tool::WritePngFile(std::string(dir) + "/" + name + ".png", image, false, error)) << error;
#else
    (void)name, (void)pixels, (void)width, (void)height;
#endif
}

}  // namespace textraster::test
