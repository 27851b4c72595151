// Reads back the PNG files the tool writes, as an Image of 0xAARRGGBB pixels.
// Natively through libpng; for the Windows builds, whose writer stores the
// data in uncompressed deflate blocks, by a reader of exactly that form.
#pragma once

#include <string>
#include <vector>

#include "files.h"
#include "image.h"

#ifdef TOOL_TEST_LIBPNG
#include <png.h>
#endif

namespace textraster::tool::test {

#ifdef TOOL_TEST_LIBPNG

inline bool ReadPng(const std::string& path, Image& image) {
    png_image description{};
    description.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&description, path.c_str())) return false;
    description.format = PNG_FORMAT_BGRA;
    image = Image(description.width, description.height);
    return png_image_finish_read(&description, nullptr, image.pixels.data(), 0, nullptr) != 0;
}

#else

inline uint32_t Big32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3];
}

inline bool ReadPng(const std::string& path, Image& image) {
    std::vector<uint8_t> file, z;
    std::string error;
    if (!ReadWholeFile(path, file, error) || file.size() < 33 ||
        Big32(file.data() + 12) != Big32((const uint8_t*)"IHDR"))
        return false;
    const uint32_t width = Big32(file.data() + 16), height = Big32(file.data() + 20);
    if (file[24] != 8 || file[25] != 6) return false;  // 8-bit RGBA only
    for (size_t at = 8; at + 12 <= file.size();) {
        const uint32_t length = Big32(file.data() + at);
        if (std::string(file.begin() + long(at) + 4, file.begin() + long(at) + 8) == "IDAT")
            z.insert(z.end(), file.begin() + long(at) + 8, file.begin() + long(at + 8 + length));
        at += 12 + size_t(length);
    }
    std::vector<uint8_t> raw;
    for (size_t at = 2; at + 5 <= z.size();) {  // after the zlib header: stored blocks only
        if ((z[at] & 6) != 0) return false;
        const size_t n = z[at + 1] | z[at + 2] << 8;
        raw.insert(raw.end(), z.begin() + long(at) + 5, z.begin() + long(at + 5 + n));
        if (z[at] & 1) break;
        at += 5 + n;
    }
    if (raw.size() != size_t(height) * (size_t(width) * 4 + 1)) return false;
    image = Image(width, height);
    for (uint32_t y = 0; y < height; ++y) {
        const uint8_t* row = raw.data() + size_t(y) * (size_t(width) * 4 + 1);
        if (row[0] != 0) return false;  // the writer uses no filter
        for (uint32_t x = 0; x < width; ++x) {
            const uint8_t* p = row + 1 + size_t(x) * 4;
            image.row(y)[x] = uint32_t(p[3]) << 24 | uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
        }
    }
    return true;
}

#endif

}  // namespace textraster::tool::test
