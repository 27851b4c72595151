// PNG encoding of an image with its opacity channel (8-bit RGBA), compressed
// by zlib in every build (the Windows builds link it statically, so the tool
// still imports only system DLLs).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "image.h"

namespace textraster::tool {

// The PNG file's bytes, or false with a message in `error`.
bool EncodePng(const Image& image, std::vector<uint8_t>& png, std::string& error);

// Encodes and writes the file (a UTF-8 path; "-" is standard output), laid
// over a checkerboard with `preview` (OverCheckerboard); false with a message
// in `error`.
bool WritePngFile(const std::string& path, const Image& image, bool preview, std::string& error);

}  // namespace textraster::tool
