// textraster with no arguments (or textraster sample): several scripts and
// writing modes drawn by the library into one shared buffer, each at its own
// destination, and written as one PNG.
#include "commands.h"
#include "files.h"
#include "messages.h"
#include "png_writer.h"
#include "rendering.h"
#include "result_codes.h"

namespace textraster::tool {
namespace {

// The record's colour (0xAABBGGRR) from the usual 0xRRGGBBAA notation.
constexpr uint32_t Rgba(uint32_t rgba) {
    return (rgba & 0xFF) << 24 | (rgba >> 8 & 0xFF) << 16 | (rgba >> 16 & 0xFF) << 8 | rgba >> 24;
}

struct Panel {
    const char* caption;
    const char* text;  // UTF-8
    const char* face;
    uint8_t fontHeight, linePitch;
    int32_t writingMode, alignment;
    uint16_t x, y, width, height;
    uint32_t textColor, backColor;
};

constexpr uint16_t kWidth = 1000, kHeight = 380;

const Panel kPanels[] = {
    {"Latin, wrapped, start",
     "Text in, pixels with an opacity channel out: the quick brown fox jumps over the lazy "
     "dog. Größe, naïve café, œuvre.",
     "DejaVu Sans", 28, 32, 1, 1, 20, 36, 680, 100, Rgba(0xFFFFFFFF), Rgba(0x1E3A8AC0)},
    {"Cyrillic, centred", "Съешь же ещё этих мягких французских булок, да выпей чаю.", "DejaVu Serif", 28, 32, 1, 2, 20,
     170, 680, 70, Rgba(0xFFD54FFF), Rgba(0x00000080)},
    {"Hebrew, right to left", "שלום עולם! טקסט מימין לשמאל, עם המספר 2024.", "DejaVu Sans", 28, 32, 2, 1, 20, 276, 680,
     80, Rgba(0x000000FF), Rgba(0xFFFFFFB0)},
    {"Japanese, vertical", "縦書きの日本語。\n東京は晴れ、気温二十度。", "IPAGothic", 36, 46, 3, 1, 730, 36, 250, 320,
     Rgba(0xB71C1CFF), Rgba(0xFFFFFFB0)},
};

TextLayoutParams Record(uint16_t x, uint16_t y, uint16_t width, uint16_t height) {
    TextLayoutParams r{};
    r.size = int16_t(sizeof(TextLayoutParams));
    r.destX = x, r.destY = y, r.regionWidth = width, r.regionHeight = height;
    r.topDown = 1;
    r.bufferWidth = kWidth, r.bufferHeight = kHeight, r.bufferSize = uint32_t(kWidth) * kHeight * 4;
    r.spaceMode = 0, r.newlineMode = 2, r.wordWrap = 1;
    return r;
}

}  // namespace

int RunSample(const Options& options) {
    Image canvas(kWidth, kHeight);
    for (const Panel& p : kPanels) {
        TextLayoutParams caption = Record(p.x, uint16_t(p.y - 24), p.width, 20);
        caption.fontHeight = caption.linePitch = 16;
        caption.writingMode = TR_WRITING_HORIZONTAL, caption.alignment = TR_ALIGN_START;
        caption.textColor = Rgba(0xFFFFFFFF), caption.backColor = Rgba(0x404040C0);
        Rendering r =
            RenderOnto(std::move(canvas), Utf8ToUtf16(p.caption).text, caption, Utf8ToUtf16("DejaVu Sans").text);
        if (r.code == TR_OK) {
            TextLayoutParams body = Record(p.x, p.y, p.width, p.height);
            body.fontHeight = p.fontHeight, body.linePitch = p.linePitch;
            body.writingMode = p.writingMode, body.alignment = p.alignment;
            body.textColor = p.textColor, body.backColor = p.backColor;
            r = RenderOnto(std::move(r.image), Utf8ToUtf16(p.text).text, body, Utf8ToUtf16(p.face).text);
        }
        if (r.code != TR_OK) return Fail(std::string(p.caption) + ": " + DescribeFailure("RenderText", r.code));
        canvas = std::move(r.image);
    }
    const std::string path = options.output.empty() ? DefaultOutput(Command::Sample) : options.output;
    std::string error;
    if (!WritePngFile(path, canvas, options.preview, error)) return Fail(error);
    Status(options,
           Format("Wrote the sample to %s (%ux%u): Latin, Cyrillic, Hebrew right to left, Japanese in "
                  "vertical columns.\nTry: textraster render \"Hello\" -o hello.png --fit --preview   "
                  "(textraster --help for more)",
                  path == "-" ? "standard output" : AbsolutePath(path).c_str(), unsigned(kWidth), unsigned(kHeight)));
    return kExitDone;
}

}  // namespace textraster::tool
