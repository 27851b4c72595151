#include "png_writer.h"

#include "files.h"

#ifdef TEXTRASTER_TOOL_LIBPNG
#include <png.h>
#else
#include <algorithm>
#include <initializer_list>
#endif

namespace textraster::tool {

#ifdef TEXTRASTER_TOOL_LIBPNG

namespace {

void Append(png_structp png, png_bytep data, size_t length) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void Flush(png_structp) {}

// The libpng calls, apart from EncodePng's C++ objects, since libpng reports
// errors by longjmp.
const char* Encode(const Image& image, std::vector<uint8_t>& out) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return "libpng: out of memory";
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return "libpng could not encode the image";
    }
    png_set_write_fn(png, &out, Append, Flush);
    png_set_IHDR(png, info, image.width, image.height, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    // Rendered text is mostly runs of equal pixels: the fastest settings
    // compress it nearly as well as the slowest, at several times the speed.
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_set_compression_level(png, 1);
    png_write_info(png, info);
    png_set_bgr(png);  // the pixels' bytes in memory are blue, green, red, opacity
    for (uint32_t y = 0; y < image.height; ++y) png_write_row(png, reinterpret_cast<png_const_bytep>(image.row(y)));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return nullptr;
}

}  // namespace

bool EncodePng(const Image& image, std::vector<uint8_t>& png, std::string& error) {
    png.clear();
    if (image.width == 0 || image.height == 0) {
        error = "a PNG image needs a width and a height of at least 1";
        return false;
    }
    const char* failure = Encode(image, png);
    if (failure) error = failure;
    return !failure;
}

#else

namespace {

uint32_t Crc32(const uint8_t* data, size_t n, uint32_t crc = 0) {
    crc = ~crc;
    for (size_t i = 0; i < n; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    out.insert(out.end(), {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)});
}

void Chunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
    Put32(out, uint32_t(data.size()));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    Put32(out, Crc32(out.data() + start, out.size() - start));
}

// A zlib stream of stored (uncompressed) deflate blocks of at most 65535 bytes.
std::vector<uint8_t> StoredZlib(const std::vector<uint8_t>& raw) {
    std::vector<uint8_t> z = {0x78, 0x01};
    uint32_t a = 1, b = 0;
    size_t at = 0;
    do {
        const size_t n = std::min<size_t>(65535, raw.size() - at);
        const bool last = at + n == raw.size();
        z.insert(z.end(), {uint8_t(last), uint8_t(n), uint8_t(n >> 8), uint8_t(~n), uint8_t(~n >> 8)});
        z.insert(z.end(), raw.begin() + long(at), raw.begin() + long(at + n));
        for (size_t i = at; i < at + n; ++i) a = (a + raw[i]) % 65521, b = (b + a) % 65521;
        at += n;
    } while (at < raw.size());
    Put32(z, b << 16 | a);
    return z;
}

}  // namespace

bool EncodePng(const Image& image, std::vector<uint8_t>& png, std::string& error) {
    if (image.width == 0 || image.height == 0 || image.width > (1u << 24) || image.height > (1u << 24)) {
        error = "a PNG image needs a width and height from 1 to 16777216";
        return false;
    }
    // Each row: filter type 0 (none), then red, green, blue, opacity per pixel.
    std::vector<uint8_t> raw;
    raw.reserve(size_t(image.height) * (size_t(image.width) * 4 + 1));
    for (uint32_t y = 0; y < image.height; ++y) {
        raw.push_back(0);
        for (uint32_t x = 0; x < image.width; ++x) {
            const uint32_t p = image.row(y)[x];
            raw.insert(raw.end(), {uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p), uint8_t(p >> 24)});
        }
    }
    std::vector<uint8_t> header;
    Put32(header, image.width);
    Put32(header, image.height);
    header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, adaptive filters, no interlace
    png.assign({0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'});
    Chunk(png, "IHDR", header);
    Chunk(png, "IDAT", StoredZlib(raw));
    Chunk(png, "IEND", {});
    return true;
}

#endif

bool WritePngFile(const std::string& path, const Image& image, std::string& error) {
    std::vector<uint8_t> png;
    return EncodePng(image, png, error) && WriteWholeFile(path, png, error);
}

}  // namespace textraster::tool
