// What the end-to-end tests of the tool share: a fresh folder per test, files
// written and read back, the ink of an image, numbers out of JSON.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "files.h"
#include "image.h"
#include "png_reader.h"
#include "tool_runner.h"

namespace textraster::tool::test {

// A fresh folder per test under the test output folder.
inline std::string Folder(const std::string& name) {
    const char* root = std::getenv("TEXTRASTER_TOOL_TEST_OUTPUT");
    const std::string folder = JoinPath(root ? root : "tool-test-output", name);
    std::filesystem::remove_all(std::filesystem::u8path(folder));
    std::string error;
    EXPECT_TRUE(MakeFolder(folder, error)) << error;
    return folder;
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
    std::string error;
    ASSERT_TRUE(WriteWholeFile(path, std::vector<uint8_t>(bytes.begin(), bytes.end()), error)) << error;
}

inline Image Png(const std::string& path) {
    Image image;
    EXPECT_TRUE(ReadPng(path, image)) << path;
    return image;
}

struct Ink {
    uint32_t left = ~0u, top = ~0u, right = 0, bottom = 0;  // inclusive bounds of opacity > 0
    size_t opaque = 0, transparent = 0, pixels = 0;         // opacity 255, opacity 0, others
    uint64_t total = 0;                                     // the opacities summed
};

inline Ink InkOf(const Image& image) {
    Ink ink;
    for (uint32_t y = 0; y < image.height; ++y) {
        for (uint32_t x = 0; x < image.width; ++x) {
            const uint32_t alpha = image.row(y)[x] >> 24;
            ink.opaque += alpha == 255, ink.transparent += alpha == 0, ink.total += alpha;
            if (!alpha) continue;
            ++ink.pixels;
            ink.left = std::min(ink.left, x), ink.right = std::max(ink.right, x);
            ink.top = std::min(ink.top, y), ink.bottom = std::max(ink.bottom, y);
        }
    }
    return ink;
}

// The number after "key": in JSON, or -1.
inline long JsonNumber(const std::string& json, const std::string& key) {
    const size_t at = json.find("\"" + key + "\":");
    return at == std::string::npos ? -1 : std::strtol(json.c_str() + at + key.size() + 3, nullptr, 10);
}

// The arguments with more appended.
inline std::vector<std::string> Plus(std::vector<std::string> args, const std::vector<std::string>& more) {
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

}  // namespace textraster::tool::test
