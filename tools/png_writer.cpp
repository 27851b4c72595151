#include "png_writer.h"

#include <zlib.h>

#include "files.h"

namespace textraster::tool {
namespace {

// Rendered text is mostly runs of equal pixels: the fastest level compresses
// it nearly as well as the slowest, at several times the speed.
constexpr int kLevel = 1;
// Each IDAT chunk holds at most this much of the zlib stream.
constexpr size_t kChunkBytes = 1 << 16;

// A pixel 0xAARRGGBB as the word whose bytes in memory are red, green, blue,
// opacity.
inline uint32_t RgbaBytes(uint32_t p) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    return p << 8 | p >> 24;  // R G B A from A R G B
#else
    return (p & 0xFF00FF00u) | (p >> 16 & 0xFFu) | (p & 0xFFu) << 16;  // red and blue swapped
#endif
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    out.insert(out.end(), {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)});
}

void Chunk(std::vector<uint8_t>& out, const char* type, const uint8_t* data, size_t size) {
    Put32(out, uint32_t(size));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data, data + size);
    Put32(out, uint32_t(crc32(0, out.data() + start, uInt(out.size() - start))));
}

// Feeds `in` to the stream and moves every full chunk of output into IDAT
// chunks; at `finish`, the rest too.
bool Deflate(z_stream& z, std::vector<uint8_t>& png, const uint8_t* in, size_t size, bool finish) {
    uint8_t out[kChunkBytes];
    z.next_in = const_cast<Bytef*>(in);
    z.avail_in = uInt(size);
    for (;;) {
        z.next_out = out;
        z.avail_out = sizeof out;
        const int rc = deflate(&z, finish ? Z_FINISH : Z_NO_FLUSH);
        if (rc == Z_STREAM_ERROR) return false;
        const size_t produced = sizeof out - z.avail_out;
        if (produced) Chunk(png, "IDAT", out, produced);
        if (finish ? rc == Z_STREAM_END : z.avail_in == 0 && z.avail_out != 0) return true;
    }
}

}  // namespace

bool EncodePng(const Image& image, std::vector<uint8_t>& png, std::string& error) {
    png.clear();
    if (image.width == 0 || image.height == 0 || image.width > 0x7FFFFFFFu / 4) {
        error = "a PNG image needs a width and a height of at least 1";
        return false;
    }
    std::vector<uint8_t> header;
    Put32(header, image.width);
    Put32(header, image.height);
    header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, adaptive filters, no interlace
    png.assign({0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'});
    Chunk(png, "IHDR", header.data(), header.size());

    z_stream z{};
    if (deflateInit(&z, kLevel) != Z_OK) {
        error = "zlib: out of memory";
        return false;
    }
    // Each row: filter type 0 (none), then red, green, blue, opacity per pixel.
    const uint8_t filter = 0;
    std::vector<uint32_t> row(image.width);
    bool ok = true;
    for (uint32_t y = 0; ok && y < image.height; ++y) {
        const uint32_t* in = image.row(y);
        for (uint32_t x = 0; x < image.width; ++x) row[x] = RgbaBytes(in[x]);
        ok = Deflate(z, png, &filter, 1, false) &&
             Deflate(z, png, reinterpret_cast<const uint8_t*>(row.data()), row.size() * 4, false);
    }
    ok = ok && Deflate(z, png, nullptr, 0, true);
    deflateEnd(&z);
    if (!ok) {
        error = "zlib could not compress the image";
        return false;
    }
    Chunk(png, "IEND", nullptr, 0);
    return true;
}

bool WritePngFile(const std::string& path, const Image& image, bool preview, std::string& error) {
    // The image itself unless it is laid over the checkerboard: a copy of a
    // cue's picture per PNG cost a tenth of a subtitle run.
    std::vector<uint8_t> png;
    return EncodePng(preview ? OverCheckerboard(image) : image, png, error) && WriteWholeFile(path, png, error);
}

}  // namespace textraster::tool
