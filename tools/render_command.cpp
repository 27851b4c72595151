// textraster render: one text to one PNG.
#include <cstdio>

#include "commands.h"
#include "face_choice.h"
#include "png_writer.h"
#include "rendering.h"
#include "result_codes.h"
#include "text_source.h"

namespace textraster::tool {

int RunRender(const Options& options) {
    std::string error;
    Text text, face;
    PrivateFonts fonts;
    if (!LoadText(options, text, error) || !ChooseFace(options, fonts, face, error)) return Fail(error);

    const Rendering r = Render(text, options.record, face);
    if (r.code != TR_OK) return Fail(DescribeFailure("RenderText", r.code));

    const std::string path = options.output.empty() ? DefaultOutput(Command::Render) : options.output;
    if (!WritePngFile(path, options.preview ? OverCheckerboard(r.image) : r.image, error)) return Fail(error);
    std::printf("Wrote %s (%ux%u, font \"%s\"): ascent %u, line pitch %u, last line extent %u\n", path.c_str(),
                r.image.width, r.image.height, Utf16ToUtf8(face.c_str()).c_str(), unsigned(r.ascent),
                unsigned(r.usedLinePitch), unsigned(r.lastLineExtent));
    return kExitDone;
}

}  // namespace textraster::tool
