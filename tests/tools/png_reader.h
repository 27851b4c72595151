// Reads back the PNG files the tool writes, as an Image of 0xAARRGGBB pixels.
// Natively through libpng, a reader apart from the tool's own writer; for the
// Windows builds, which have no libpng, by a small reader on zlib.
#pragma once

#include <string>
#include <vector>

#include "files.h"
#include "image.h"

#ifdef TOOL_TEST_LIBPNG
#include <png.h>
#else
#include <zlib.h>

#include <cstdlib>
#include <cstring>
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
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

// The Paeth predictor of the PNG format.
inline uint8_t Paeth(int a, int b, int c) {
    const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return uint8_t(pa <= pb && pa <= pc ? a : pb <= pc ? b : c);
}

// 8-bit RGBA, not interlaced, every chunk's CRC checked, every row filter undone.
inline bool ReadPng(const std::string& path, Image& image) {
    std::vector<uint8_t> file, z;
    std::string error;
    if (!ReadWholeFile(path, file, error) || file.size() < 33 || std::memcmp(file.data(), "\x89PNG\r\n\x1A\n", 8) != 0)
        return false;
    uint32_t width = 0, height = 0;
    bool ended = false;
    for (size_t at = 8; !ended && at + 12 <= file.size();) {
        const uint32_t length = Big32(file.data() + at);
        if (at + 12 + length > file.size()) return false;
        const uint8_t* type = file.data() + at + 4;
        const uint8_t* data = type + 4;
        if (crc32(0, type, length + 4) != Big32(data + length)) return false;
        if (std::memcmp(type, "IHDR", 4) == 0) {
            width = Big32(data), height = Big32(data + 4);
            if (data[8] != 8 || data[9] != 6 || data[12] != 0) return false;
        }
        if (std::memcmp(type, "IDAT", 4) == 0) z.insert(z.end(), data, data + length);
        ended = std::memcmp(type, "IEND", 4) == 0;
        at += 12 + size_t(length);
    }
    const size_t stride = size_t(width) * 4;
    std::vector<uint8_t> raw(size_t(height) * (stride + 1));
    uLongf size = uLongf(raw.size());
    if (!ended || !width || !height || uncompress(raw.data(), &size, z.data(), uLong(z.size())) != Z_OK ||
        size != raw.size())
        return false;
    image = Image(width, height);
    std::vector<uint8_t> previous(stride), row(stride);
    for (uint32_t y = 0; y < height; ++y) {
        const uint8_t* in = raw.data() + size_t(y) * (stride + 1);
        for (size_t x = 0; x < stride; ++x) {
            const int a = x >= 4 ? row[x - 4] : 0, b = previous[x], c = x >= 4 ? previous[x - 4] : 0;
            const int predicted = in[0] == 1   ? a
                                  : in[0] == 2 ? b
                                  : in[0] == 3 ? (a + b) / 2
                                  : in[0] == 4 ? Paeth(a, b, c)
                                               : 0;
            row[x] = uint8_t(in[1 + x] + predicted);
        }
        if (in[0] > 4) return false;
        for (uint32_t x = 0; x < width; ++x) {
            const uint8_t* p = row.data() + size_t(x) * 4;
            image.row(y)[x] = uint32_t(p[3]) << 24 | uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
        }
        previous.swap(row);
        row.assign(stride, 0);
    }
    return true;
}

#endif

}  // namespace textraster::tool::test
