// Runs the text corpus (bench/corpus) through the library's exported
// functions and writes down everything they answer, so that the Linux build
// and the Windows build under Wine can be compared request by request
// (compare_corpus.py does that).
//
//   corpus_probe <corpus folder> <families file> <output prefix> [lines per language]
//
// writes <prefix>.tsv: one tab-separated record per request, in a fixed
// order:
//   measure  language face cellHeight regionWidth line | result ascent neededWidth neededHeight lastLineExtent
//   render   language face line                        | result ascent usedLinePitch lastLineExtent
//   colour   language face line textColor backColor    | result ascent usedLinePitch lastLineExtent
//   font     family style height                       | result cellHeight result ascent
// and <prefix>.planes: the pixels drawn, as planes of one byte per pixel:
// "TRPLANE1", width and height (32 bits each, little endian), then per
// plane the first row that is not all zero, the number of rows from there
// (32 bits each) and those rows; rows outside that band are zero. A render
// record has one plane, its opacity; a colour record four, its blue, green,
// red and opacity bytes.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/corpus.h"
#include "tests/support/request.h"
#include "textraster.h"

namespace {

using textraster::bench::FromUtf8;
using textraster::bench::Language;
using textraster::bench::ReadLines;
using textraster::bench::Text;

// Right-to-left scripts read from the right edge.
int32_t WritingMode(const Language& language) {
    return language.rightToLeft ? 2 : 1;
}

// Lines are counted and measured at two cell heights, wrapped into a narrow
// and a wide region; they are drawn centred, wrapped, with a 32-pixel cell.
const uint8_t kMeasureHeights[] = {16, 32};
const uint16_t kMeasureWidths[] = {400, 1280};
constexpr uint16_t kRenderWidth = 1280, kRenderHeight = 160;
constexpr uint8_t kRenderCell = 32;

// The first line of each language is also drawn in these colours (0xAABBGGRR,
// text on background), so that blending is compared where text and
// background are neither white nor black nor transparent.
const uint32_t kColours[][2] = {
    {0xFF000000, 0xFFFFFFFF},  // black on white
    {0xFF00FFFF, 0x80402010},  // yellow on a half-transparent dark box
    {0xC0E0E0E0, 0x00000000},  // translucent light grey, no box
    {0x40203040, 0xC0F0C080},  // faint text on a heavier light box
};

// Every family is asked for at these heights, in these styles; and so is a
// family that no machine has, to show what each platform substitutes.
constexpr char kNoSuchFamily[] = "No Such Family Anywhere";
constexpr int kFirstHeight = 8, kLastHeight = 72;
const int32_t kStyles[] = {0, 1, 2};

TextLayoutParams Request(const Text& face, uint8_t cell, uint16_t width, uint16_t height, int32_t writingMode) {
    TextLayoutParams p = textraster::test::ValidRequest(face.c_str(), cell, width, height);
    p.writingMode = writingMode;
    p.alignment = 2;
    return p;
}

void Put32(std::FILE* file, uint32_t v) {
    const unsigned char bytes[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                                    static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
    std::fwrite(bytes, 1, 4, file);
}

// One byte of every pixel (shift 0: blue ... 24: opacity), as a plane of the
// .planes file.
void WritePlane(std::FILE* file, const std::vector<uint32_t>& pixels, int shift) {
    std::vector<unsigned char> plane(pixels.size());
    for (size_t i = 0; i < pixels.size(); ++i) plane[i] = static_cast<unsigned char>(pixels[i] >> shift);
    size_t top = kRenderHeight, bottom = 0;
    for (size_t row = 0; row < kRenderHeight; ++row) {
        const auto first = plane.begin() + long(row * kRenderWidth);
        if (std::all_of(first, first + kRenderWidth, [](unsigned char v) { return v == 0; })) continue;
        top = std::min(top, row);
        bottom = row + 1;
    }
    if (bottom == 0) top = 0;
    Put32(file, uint32_t(top));
    Put32(file, uint32_t(bottom - top));
    std::fwrite(plane.data() + top * kRenderWidth, 1, (bottom - top) * kRenderWidth, file);
}

struct Rendering {
    int32_t result = -1;
    uint16_t ascent = 0, extent = 0;
    uint8_t pitch = 0;
    std::vector<uint32_t> pixels;
};

Rendering Render(const Text& text, const TextLayoutParams& p) {
    Rendering r;
    r.pixels.assign(size_t(kRenderWidth) * kRenderHeight, 0u);
    r.result = RenderText(text.c_str(), &p, r.pixels.data(), &r.ascent, &r.pitch, &r.extent);
    return r;
}

void ProbeLanguage(const Language& language, const std::vector<std::string>& lines, std::FILE* records,
                   std::FILE* planes) {
    const Text face = FromUtf8(language.family);
    for (uint8_t cell : kMeasureHeights)
        for (uint16_t width : kMeasureWidths)
            for (size_t i = 0; i < lines.size(); ++i) {
                const Text text = FromUtf8(lines[i]);
                const TextLayoutParams p = Request(face, cell, width, 1, WritingMode(language));
                uint16_t ascent = 0, neededWidth = 0, neededHeight = 0, extent = 0;
                const int32_t result =
                    ComputeTextRegionSize(text.c_str(), &p, &ascent, &neededWidth, &neededHeight, &extent);
                std::fprintf(records, "measure\t%s\t%s\t%u\t%u\t%u\t%d\t%u\t%u\t%u\t%u\n", language.code,
                             language.family, unsigned(cell), unsigned(width), unsigned(i), int(result),
                             unsigned(ascent), unsigned(neededWidth), unsigned(neededHeight), unsigned(extent));
            }
    for (size_t i = 0; i < lines.size(); ++i) {
        const TextLayoutParams p = Request(face, kRenderCell, kRenderWidth, kRenderHeight, WritingMode(language));
        const Rendering r = Render(FromUtf8(lines[i]), p);
        std::fprintf(records, "render\t%s\t%s\t%u\t%d\t%u\t%u\t%u\n", language.code, language.family, unsigned(i),
                     int(r.result), unsigned(r.ascent), unsigned(r.pitch), unsigned(r.extent));
        WritePlane(planes, r.pixels, 24);
    }
    for (const auto& colours : kColours) {
        TextLayoutParams p = Request(face, kRenderCell, kRenderWidth, kRenderHeight, WritingMode(language));
        p.textColor = colours[0];
        p.backColor = colours[1];
        const Rendering r = Render(FromUtf8(lines[0]), p);
        std::fprintf(records, "colour\t%s\t%s\t0\t%08X\t%08X\t%d\t%u\t%u\t%u\n", language.code, language.family,
                     unsigned(colours[0]), unsigned(colours[1]), int(r.result), unsigned(r.ascent), unsigned(r.pitch),
                     unsigned(r.extent));
        for (int shift = 0; shift <= 24; shift += 8) WritePlane(planes, r.pixels, shift);
    }
}

void ProbeFamily(const std::string& family, std::FILE* records) {
    const Text face = FromUtf8(family);
    const Text sample = FromUtf8("x");
    for (int32_t style : kStyles)
        for (int height = kFirstHeight; height <= kLastHeight; ++height) {
            uint8_t cell = 0;
            const int32_t cellResult = GetFontCharacterCellHeight(face.c_str(), height, style, &cell);
            TextLayoutParams p = Request(face, uint8_t(height), 400, 1, 1);
            p.fontStyle = style;
            uint16_t ascent = 0, neededWidth = 0, neededHeight = 0;
            const int32_t ascentResult =
                ComputeTextRegionSize(sample.c_str(), &p, &ascent, &neededWidth, &neededHeight, nullptr);
            std::fprintf(records, "font\t%s\t%d\t%d\t%d\t%u\t%d\t%u\n", family.c_str(), int(style), height,
                         int(cellResult), unsigned(cell), int(ascentResult), unsigned(ascent));
        }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s <corpus folder> <families file> <output prefix> [lines per language]\n",
                     argv[0]);
        return 2;
    }
    const std::string corpus = argv[1], prefix = argv[3];
    const size_t limit = argc > 4 ? std::strtoul(argv[4], nullptr, 10) : size_t(-1);
    std::FILE* records = std::fopen((prefix + ".tsv").c_str(), "wb");
    std::FILE* planes = std::fopen((prefix + ".planes").c_str(), "wb");
    if (!records || !planes) {
        std::fprintf(stderr, "cannot write %s.tsv and %s.planes\n", prefix.c_str(), prefix.c_str());
        return 1;
    }
    std::fwrite("TRPLANE1", 1, 8, planes);
    Put32(planes, kRenderWidth);
    Put32(planes, kRenderHeight);

    for (const Language& language : textraster::bench::Languages()) {
        std::vector<std::string> lines = ReadLines(corpus + "/" + language.code + ".txt");
        if (lines.empty()) {
            std::fprintf(stderr, "no lines in %s/%s.txt\n", corpus.c_str(), language.code);
            return 1;
        }
        if (lines.size() > limit) lines.resize(limit);
        ProbeLanguage(language, lines, records, planes);
    }
    for (const std::string& family : ReadLines(argv[2]))
        if (!family.empty()) ProbeFamily(family, records);
    ProbeFamily(kNoSuchFamily, records);

    const bool written = std::fclose(records) == 0;
    return std::fclose(planes) == 0 && written ? 0 : 1;
}
