// The fast paths give what the straightforward ones give, on the text
// corpus in all its languages: every prefix extent the canvas answers from
// one call or from what it remembered equals that prefix measured alone, and
// RenderText and ComputeTextRegionSize give the same pixels and figures
// whether they measure each run once and read back only the drawn rows, or
// measure every run on every context as layout asks and read every row.
// Natively the fast paths are those of the portable layer; under Wine those
// of the real GDI.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bench/corpus.h"
#include "platform/gdi.h"
#include "render/call_paths.h"
#include "render/context_free_text.h"
#include "render/dc_canvas.h"
#include "render/gdi_handles.h"
#include "render/log_font.h"
#include "support/request.h"
#include "support/test_text.h"

namespace textraster {
namespace {

using bench::Text;

struct Case {
    bench::Language language;
    int32_t style;
    bool vertical;
};

// Every language in its face, and the styles and the vertical font where
// they change what the platform measures.
std::vector<Case> Cases() {
    std::vector<Case> cases;
    for (const bench::Language& language : bench::Languages()) {
        cases.push_back({language, 0, false});
        const std::string code = language.code;
        if (code == "de" || code == "el") cases.push_back({language, 3, false});  // bold italic, synthesised
        if (code == "ja" || code == "zh_CN") cases.push_back({language, 0, true});
    }
    return cases;
}

std::string Name(const Case& c) {
    return std::string(c.language.code) + (c.style ? " bold italic" : "") + (c.vertical ? " vertical" : "");
}

// Where layout starts lines: the text's start and every word's.
std::vector<size_t> LineStarts(const Text& line) {
    std::vector<size_t> starts = {0};
    for (size_t i = 1; i < line.size(); ++i)
        if (line[i - 1] == ' ' && line[i] != ' ') starts.push_back(i);
    return starts;
}

TEST(FastPaths, EveryPrefixExtentIsThatOfThePrefixMeasuredAlone) {
    ScreenDc screen;
    MemoryDc memory(screen.get());
    for (const Case& c : Cases()) {
        SCOPED_TRACE(Name(c));
        const Text face = bench::FromUtf8(c.language.family);
        const LOGFONTW description = BuildLogFont(32, face.c_str(), c.style, c.vertical);
        GdiObject<HFONT> font(CreateFontIndirectW(&description));
        for (HDC dc : {screen.get(), memory.get()}) {
            Selection selected(dc, font.get());
            int differences = 0;
            for (const Text& line : bench::Corpus(c.language.code)) {
                for (size_t start : LineStarts(line)) {
                    // As layout asks: from a line start, one character longer each time.
                    MeasuredRuns measured;
                    DcCanvas canvas(dc, &measured);
                    for (uint32_t count = 1; start + count <= line.size(); ++count) {
                        SIZE alone{};
                        ASSERT_TRUE(GetTextExtentPoint32W(dc, line.c_str() + start, int(count), &alone));
                        if (canvas.Extent(line.c_str() + start, count) != alone.cx && ++differences <= 5)
                            ADD_FAILURE()
                                << "extent of " << count << " characters from " << start << " of " << test::Show(line);
                    }
                }
            }
            EXPECT_EQ(differences, 0);
        }
    }
}

// What one call gives back: the code, the whole buffer and every output.
struct Result {
    int32_t code = -1;
    std::vector<uint32_t> pixels;
    uint16_t ascent = 0xAAAA, extent = 0xAAAA, width = 0xAAAA, height = 0xAAAA;
    uint8_t pitch = 0xAA;

    bool operator==(const Result& o) const {
        return code == o.code && pixels == o.pixels && ascent == o.ascent && extent == o.extent && width == o.width &&
               height == o.height && pitch == o.pitch;
    }
};

Result Render(const CallPaths& paths, const Text& text, const TextLayoutParams& p) {
    Result r;
    r.pixels.assign(size_t(p.bufferWidth) * p.bufferHeight, 0x5A5A5A5A);  // what the host had there
    r.code = RenderTextUsing(paths, text.c_str(), &p, r.pixels.data(), &r.ascent, &r.pitch, &r.extent);
    return r;
}

Result Measure(const CallPaths& paths, const Text& text, const TextLayoutParams& p) {
    Result r;
    r.code = ComputeTextRegionSizeUsing(paths, text.c_str(), &p, &r.ascent, &r.width, &r.height, &r.extent);
    return r;
}

// Requests that take the paths through their turns: the benchmark's frame
// (one centred line, most rows never drawn), lines wrapped in a narrow
// region that cuts off the last ones, into a larger bottom-up buffer at an
// offset, and vertical columns.
std::vector<TextLayoutParams> Requests(const Case& c, const TextChar* face) {
    TextLayoutParams frame = test::ValidRequest(face, 32, 1280, 160);
    frame.backColor = 0x80102030;
    frame.textColor = 0xFFE0C0A0;
    frame.writingMode = c.language.rightToLeft ? 2 : 1;
    frame.alignment = 2;
    frame.fontStyle = c.style;
    if (c.vertical) {
        TextLayoutParams columns = frame;
        columns.writingMode = 3;
        columns.regionWidth = columns.bufferWidth = 160;
        columns.regionHeight = columns.bufferHeight = 300;
        columns.bufferSize = 160 * 300 * 4;
        columns.alignment = 1;
        columns.firstLineIndent = 5;
        return {columns};
    }
    TextLayoutParams narrow = frame;
    narrow.regionWidth = 230;
    narrow.regionHeight = 90;
    narrow.bufferWidth = 260;
    narrow.bufferHeight = 120;
    narrow.bufferSize = 260 * 120 * 4;
    narrow.destX = 7;
    narrow.destY = 11;
    narrow.topDown = 0;
    narrow.alignment = 1;
    narrow.firstLineIndent = 13;
    narrow.blockStartOffset = 3;
    narrow.linePitch = 27;
    return {frame, narrow};
}

TEST(FastPaths, DrawAndMeasureAsTheStraightforwardPaths) {
    const CallPaths fast, straightforward = CallPaths::Straightforward();
    for (const Case& c : Cases()) {
        SCOPED_TRACE(Name(c));
        const Text face = bench::FromUtf8(c.language.family);
        int differences = 0;
        const std::vector<Text> lines = bench::Corpus(c.language.code);
        const std::vector<TextLayoutParams> requests = Requests(c, face.c_str());
        for (size_t r = 0; r < requests.size(); ++r) {
            const TextLayoutParams& p = requests[r];
            // Every line in the benchmark's frame; every third in the others.
            for (size_t i = 0; i < lines.size(); i += r == 0 ? 1 : 3) {
                const Text& line = lines[i];
                const Result drawn = Render(fast, line, p);
                const Result measured = Measure(fast, line, p);
                EXPECT_EQ(drawn.code, TR_OK);
                EXPECT_EQ(measured.code, TR_OK);
                const bool same =
                    drawn == Render(straightforward, line, p) && measured == Measure(straightforward, line, p);
                if (!same && ++differences <= 5)
                    ADD_FAILURE() << "region " << p.regionWidth << "x" << p.regionHeight << ", " << test::Show(line);
            }
        }
        EXPECT_EQ(differences, 0);
    }
}

// The class holds no character that is shaped, reordered or joined in
// context: the edges of every block it takes in or leaves out.
TEST(FastPaths, ContextFreeCharacters) {
    const struct {
        char16_t c;
        bool free;
    } cases[] = {
        {u'\t', false},  {u' ', true},    {u'~', true},    {0x7F, false},   {0x9F, false},   {0xA0, true},
        {0xAD, false},   {0x2FF, true},   {0x300, false},  {0x36F, false},  {0x370, true},   {0x482, true},
        {0x483, false},  {0x489, false},  {0x48A, true},   {0x52F, true},   {0x530, false},  {0x5D0, false},
        {0x627, false},  {0x900, false},  {0xE01, false},  {0x1100, false}, {0x1DFF, false}, {0x1E00, true},
        {0x1FFF, true},  {0x2000, true},  {0x200A, true},  {0x200B, false}, {0x200D, false}, {0x200F, false},
        {0x2010, true},  {0x2027, true},  {0x2028, false}, {0x202E, false}, {0x2030, true},  {0x205E, true},
        {0x205F, false}, {0x2066, false}, {0x20A0, true},  {0x20CF, true},  {0x20D0, false}, {0x2E7F, false},
        {0x2E80, true},  {0x3000, true},  {0x3029, true},  {0x302A, false}, {0x302F, false}, {0x3042, true},
        {0x3099, false}, {0x309A, false}, {0x30FC, true},  {0x3130, false}, {0x318F, false}, {0x3190, true},
        {0x4E00, true},  {0x9FFF, true},  {0xA000, false}, {0xAC00, false}, {0xD800, false}, {0xDC00, false},
        {0xE000, false}, {0xF900, true},  {0xFAFF, true},  {0xFB1D, false}, {0xFB50, false}, {0xFE00, false},
        {0xFE0F, false}, {0xFE10, true},  {0xFE30, true},  {0xFE4F, true},  {0xFE70, false}, {0xFEFF, false},
        {0xFF01, true},  {0xFF9F, true},  {0xFFA0, false}, {0xFFDC, false}, {0xFFE0, true},  {0xFFEE, true},
        {0xFFF9, false}, {0xFFFC, false},
    };
    for (const auto& k : cases) EXPECT_EQ(IsContextFree(k.c), k.free) << std::hex << unsigned(k.c);
}

}  // namespace
}  // namespace textraster
