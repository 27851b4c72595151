// PNG encoding of an image with its opacity channel (8-bit RGBA).
//
// With libpng (TEXTRASTER_TOOL_LIBPNG, native builds) the data is compressed;
// without it (the Windows builds) a small built-in writer stores the rows in
// uncompressed deflate blocks, which every PNG reader accepts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "image.h"

namespace textraster::tool {

// The PNG file's bytes, or false with a message in `error`.
bool EncodePng(const Image& image, std::vector<uint8_t>& png, std::string& error);

// Encodes and writes the file (a UTF-8 path); false with a message in `error`.
bool WritePngFile(const std::string& path, const Image& image, std::string& error);

}  // namespace textraster::tool
