// textraster render: one text to one PNG.
#include "buffer_limits.h"
#include "commands.h"
#include "face_choice.h"
#include "messages.h"
#include "outline.h"
#include "png_writer.h"
#include "region_fit.h"
#include "rendering.h"
#include "result_codes.h"
#include "text_source.h"

namespace textraster::tool {

int RunRender(const Options& options) {
    std::string error;
    Text text;
    FaceChoice face;
    PrivateFonts fonts;
    if (!LoadText(options, text, error) || !ChooseFace(options, fonts, face, error)) return Fail(error);

    TextLayoutParams record = options.record;
    std::string warning;
    if (options.fit && !FitRegion(text, record, face.name, options.regionGiven ? LineLength::Kept : LineLength::Free,
                                  uint16_t(options.margin + options.outline), error, warning))
        return Fail(error);
    if (!warning.empty()) Warn(warning);
    error = CheckBuffer(record);
    if (!error.empty()) return Fail(error);

    Rendering r = Render(text, record, face.name);
    if (r.code != TR_OK) return Fail(DescribeFailure("RenderText", r.code));
    if (options.outline) DrawOutline(r.image, options.outline, options.outlineColor);

    const std::string path = options.output.empty() ? DefaultOutput(Command::Render) : options.output;
    if (!WritePngFile(path, r.image, options.preview, error)) return Fail(error);
    Status(options,
           Format("Wrote %s (%ux%u, %s): ascent %u, line pitch %u, last line extent %u",
                  path == "-" ? "the PNG to standard output" : path.c_str(), r.image.width, r.image.height,
                  Describe(face).c_str(), unsigned(r.ascent), unsigned(r.usedLinePitch), unsigned(r.lastLineExtent)));
    return kExitDone;
}

}  // namespace textraster::tool
