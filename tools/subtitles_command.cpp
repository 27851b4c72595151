// textraster subtitles: every cue of an SRT file to its own PNG.
#include <chrono>
#include <cstdio>

#include "commands.h"
#include "face_choice.h"
#include "files.h"
#include "png_writer.h"
#include "rendering.h"
#include "result_codes.h"
#include "srt.h"

namespace textraster::tool {
namespace {

std::string CueFileName(int number) {
    char name[32];
    std::snprintf(name, sizeof name, "cue-%04d.png", number);
    return name;
}

}  // namespace

int RunSubtitles(const Options& options) {
    const std::string& input = options.positional.at(0);
    const std::string folder = options.output.empty() ? DefaultOutput(Command::Subtitles) : options.output;
    std::string error;
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(input, bytes, error)) return Fail(error);
    const Decoded srt = DecodeTextFile(bytes);
    if (!srt.error.empty()) return Fail("'" + input + "' is not valid: " + srt.error);
    const std::vector<Cue> cues = ParseSrt(srt.text);
    if (cues.empty()) return Fail("no cues with text in '" + input + "'");

    Text face;
    PrivateFonts fonts;
    if (!ChooseFace(options, fonts, face, error) || !MakeFolder(folder, error)) return Fail(error);

    // The progress line is for a person watching; a pipe or a log gets only the summary.
    const bool progress = StdoutIsTerminal();
    const auto start = std::chrono::steady_clock::now();
    for (size_t i = 0; i < cues.size(); ++i) {
        const Cue& cue = cues[i];
        const Rendering r = Render(cue.text, options.record, face);
        if (r.code != TR_OK) {
            if (progress) std::printf("\n");
            return Fail("cue " + std::to_string(cue.number) + ": " + DescribeFailure("RenderText", r.code));
        }
        const std::string path = JoinPath(folder, CueFileName(cue.number));
        if (!WritePngFile(path, options.preview ? OverCheckerboard(r.image) : r.image, error)) {
            if (progress) std::printf("\n");
            return Fail(error);
        }
        if (progress) {
            std::printf("\rcue %u of %u (%u%%)", unsigned(i + 1), unsigned(cues.size()),
                        unsigned((i + 1) * 100 / cues.size()));
            std::fflush(stdout);
        }
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (progress) std::printf("\n");
    std::printf("Rendered %u cues from %s into %s in %.2f s (%.1f cues per second)\n", unsigned(cues.size()),
                input.c_str(), folder.c_str(), seconds, seconds > 0 ? double(cues.size()) / seconds : 0.0);
    return kExitDone;
}

}  // namespace textraster::tool
