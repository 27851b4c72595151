// The drawing and measuring entry points end to end, on the platform layer,
// with arbitrary records and texts on small regions.
//
// Input: region width and height (uint8 each); buffer width and height as
// signed offsets from the region's (int8 each); destX, destY (uint8 each);
// bufferSize as a signed offset from width x height x 4 (int8); topDown;
// backColor, textColor (uint32 each); the face (uint8: null, one of a few
// names, or a name of that many units taken from the input); fontHeight;
// fontStyle, spaceMode, newlineMode, preserveSpaces, wordWrap,
// leadingSpaceMode (int8 each); blockStartOffset (int16); linePitch;
// firstLineIndent (int16); writingMode, alignment (int8 each); a size
// offset and a byte of null pointers; then the text as UTF-16LE.
//
// Checks, beyond memory safety (the pixel buffer is exactly bufferSize
// bytes): each entry point returns the code its argument checks ask for;
// refusals write nothing; a drawing writes only the clipped region, and every
// byte it writes is a mix of the background, the text colour and zero (but
// for the colours of emoji, where the text may hold one); both layout entry
// points report the same ascent.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "fuzz/load_fontconfig.h"
#include "platform/portable/emoji_properties.h"
#include "textraster.h"

using namespace textraster;

namespace {

const char16_t* const kFaces[] = {
    u"DejaVu Sans",
    u"Liberation Serif",
    u"WenQuanYi Micro Hei",
    u"IPAGothic",
    u"No Such Face",
    u"",
    u"0123456789012345678901234567890",   // 31 units: the longest that fits
    u"01234567890123456789012345678901",  // 32 units: cut
};
constexpr uint8_t kFaceCount = sizeof kFaces / sizeof kFaces[0];

uint16_t Clamp16(int32_t v) {
    return uint16_t(std::clamp(v, 0, 65535));
}

// What the argument checks of RenderText decide, in their order; 0 when the call goes on.
int32_t RenderRefusal(const TextChar* text, const TextLayoutParams* p, const void* pixels) {
    if (!text || !text[0] || !p || !pixels) return TR_INVALID_ARGUMENT;
    if (p->bufferWidth < p->regionWidth || p->bufferHeight < p->regionHeight) return TR_INVALID_ARGUMENT;
    if (p->size != int16_t(sizeof(TextLayoutParams))) return TR_BAD_RECORD_SIZE;
    if (p->bufferSize < uint64_t(p->bufferWidth) * p->bufferHeight * 4) return TR_BUFFER_TOO_SMALL;
    return TR_OK;
}

int32_t MeasureRefusal(const TextChar* text, const TextLayoutParams* p, const void* width, const void* height) {
    if (!text || !text[0] || !width || !height || !p) return TR_INVALID_ARGUMENT;
    const bool horizontal = p->writingMode == 1 || p->writingMode == 2;
    if (p->fontHeight == 0 || (horizontal && p->regionWidth == 0) || (p->writingMode == 3 && p->regionHeight == 0) ||
        p->linePitch == 0)
        return TR_INVALID_ARGUMENT;
    if (p->size != int16_t(sizeof(TextLayoutParams))) return TR_BAD_RECORD_SIZE;
    return TR_OK;
}

// The largest value of each byte of a pixel that mixes zero, the background
// and the text colour (0xAABBGGRR colours; pixels are 0xAARRGGBB).
uint32_t PixelBound(uint32_t back, uint32_t text) {
    auto pixel = [](uint32_t c) { return (c & 0xFF00FF00u) | (c & 0xFF) << 16 | (c >> 16 & 0xFF); };
    const uint32_t a = pixel(back), b = pixel(text);
    uint32_t bound = 0;
    for (int shift = 0; shift < 32; shift += 8) bound |= std::max(a >> shift & 0xFF, b >> shift & 0xFF) << shift;
    return bound;
}

constexpr uint8_t kFill = 0xA5;

// Whether a colour face may draw a character of `text` in its own colours:
// a pictograph, a character drawn as an emoji by default, a keycap or
// selector that makes one, or anything beyond the first plane (where the
// emoji face also has flags' tags and private pictures).
bool MayHoldEmoji(const TextChar* text) {
    using namespace textraster::portable;
    for (; *text; ++text) {
        const char32_t c = *text;
        if ((c >= 0xD800 && c < 0xE000) || c == 0x20E3 || c == kEmojiPresentationSelector ||
            (EmojiProperties(c) & (kEmojiPresentation | kExtendedPictographic)))
            return true;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    return fuzz::LoadFontconfig();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::FuzzInput input(data, size);
    TextLayoutParams p{};
    p.regionWidth = input.U8();
    p.regionHeight = input.U8();
    p.bufferWidth = Clamp16(p.regionWidth + input.I8());
    p.bufferHeight = Clamp16(p.regionHeight + input.I8());
    p.destX = input.U8();
    p.destY = input.U8();
    p.bufferSize = uint32_t(std::max<int64_t>(0, int64_t(p.bufferWidth) * p.bufferHeight * 4 + input.I8()));
    p.topDown = input.U8();
    p.backColor = input.U32();
    p.textColor = input.U32();
    const uint8_t face = input.U8();
    p.fontHeight = input.U8();
    p.fontStyle = input.I8();
    p.spaceMode = input.I8();
    p.newlineMode = input.I8();
    p.preserveSpaces = input.I8();
    p.wordWrap = input.I8();
    p.leadingSpaceMode = input.I8();
    p.blockStartOffset = input.I16();
    p.linePitch = input.U8();
    p.firstLineIndent = input.I16();
    p.writingMode = input.I8();
    p.alignment = input.I8();
    const int8_t sizeOffset = input.I8();
    p.size = int16_t(sizeof p + (sizeOffset % 8 == 0 ? sizeOffset / 8 : 0));
    const uint8_t nulls = input.U8();
    // Faces past the fixed list are named by the input: that many units.
    std::unique_ptr<fuzz::HeapText> faceName;
    if (face > kFaceCount) faceName = std::make_unique<fuzz::HeapText>(input.Units(face - kFaceCount));
    const fuzz::HeapText text(input.RestAsUnits());
    if (face > kFaceCount)
        p.faceName = faceName->get();
    else if (face > 0)
        p.faceName = reinterpret_cast<const TextChar*>(kFaces[face - 1]);

    const TextChar* textArg = nulls & 1 ? nullptr : text.get();
    const TextLayoutParams* params = nulls & 2 ? nullptr : &p;

    // RenderText into a buffer of exactly bufferSize bytes.
    std::vector<uint8_t> buffer(p.bufferSize + 1, kFill);
    uint8_t* pixels = nulls & 4 ? nullptr : buffer.data();
    uint16_t ascent = 0x5555, extent = 0x5555;
    uint8_t pitch = 0x55;
    const int32_t rendered =
        RenderText(textArg, params, reinterpret_cast<uint32_t*>(pixels), nulls & 8 ? nullptr : &ascent,
                   nulls & 16 ? nullptr : &pitch, nulls & 32 ? nullptr : &extent);
    const int32_t refusal = RenderRefusal(textArg, params, pixels);
    FUZZ_CHECK(rendered == refusal);
    FUZZ_CHECK(buffer.back() == kFill);
    if (rendered != TR_OK) {
        FUZZ_CHECK(ascent == 0x5555 && pitch == 0x55 && extent == 0x5555);
        for (uint8_t byte : buffer) FUZZ_CHECK(byte == kFill);
    } else {
        FUZZ_CHECK(pitch == 0x55 || pitch == p.linePitch || pitch == p.fontHeight);
        // Only the region, clipped to the buffer, is written.
        const int32_t rows = std::min(int32_t(p.bufferHeight) - p.destY, int32_t(p.regionHeight));
        const int32_t columns = std::min(int32_t(p.bufferWidth) - p.destX, int32_t(p.regionWidth));
        // Emoji keep their colours; their opacities are the text's.
        const uint32_t bound = PixelBound(p.backColor, p.textColor) | (MayHoldEmoji(text.get()) ? 0xFFFFFFu : 0);
        for (int32_t y = 0; y < p.bufferHeight; ++y)
            for (int32_t x = 0; x < p.bufferWidth; ++x) {
                const uint8_t* px = &buffer[(size_t(y) * p.bufferWidth + size_t(x)) * 4];
                const bool written = y >= p.destY && y < p.destY + rows && x >= p.destX && x < p.destX + columns;
                for (int k = 0; k < 4; ++k) FUZZ_CHECK(written ? px[k] <= (bound >> (8 * k) & 0xFF) : px[k] == kFill);
            }
    }

    uint16_t measuredAscent = 0x5555, width = 0x5555, height = 0x5555, lastExtent = 0x5555;
    const int32_t measured =
        ComputeTextRegionSize(textArg, params, nulls & 8 ? nullptr : &measuredAscent, nulls & 64 ? nullptr : &width,
                              nulls & 64 ? nullptr : &height, nulls & 32 ? nullptr : &lastExtent);
    FUZZ_CHECK(measured ==
               MeasureRefusal(textArg, params, nulls & 64 ? nullptr : &width, nulls & 64 ? nullptr : &height));
    if (measured != TR_OK) FUZZ_CHECK(measuredAscent == 0x5555 && width == 0x5555 && height == 0x5555);
    if (measured == TR_OK && rendered == TR_OK && !(nulls & 8)) FUZZ_CHECK(measuredAscent == ascent);

    uint8_t cell = 0x55;
    const int32_t cellResult = GetFontCharacterCellHeight(
        p.faceName, int32_t(uint32_t(p.fontStyle) << 8 | p.fontHeight), p.fontStyle, nulls & 128 ? nullptr : &cell);
    FUZZ_CHECK(cellResult == (p.fontHeight == 0 || nulls & 128 ? TR_INVALID_ARGUMENT : TR_OK));
    return 0;
}
