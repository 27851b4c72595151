// textraster subtitles: every cue of an SRT file to its own PNG, and
// cues.json beside them.
#include <chrono>
#include <cstdio>

#include "commands.h"
#include "cue_files.h"
#include "cue_index.h"
#include "cue_picture.h"
#include "face_choice.h"
#include "files.h"
#include "messages.h"
#include "png_writer.h"
#include "srt.h"

namespace textraster::tool {

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

    FaceChoice face;
    PrivateFonts fonts;
    if (!ChooseFace(options, fonts, face, error) || !MakeFolder(folder, error)) return Fail(error);
    std::vector<std::string> names;
    for (const Cue& cue : cues) names.push_back(CueFileName(cue.number));
    if (!RemoveStaleCueFiles(folder, names, error)) return Fail(error);

    // The progress line is for a person watching; a pipe or a log gets only the summary.
    const bool progress = !options.quiet && StderrIsTerminal();
    auto failed = [&](const Cue& cue, const std::string& why) {
        if (progress) std::fprintf(stderr, "\n");
        return Fail("cue " + std::to_string(cue.number) + ": " + why);
    };
    std::vector<CueEntry> index;
    const auto start = std::chrono::steady_clock::now();
    for (size_t i = 0; i < cues.size(); ++i) {
        const Cue& cue = cues[i];
        CuePicture picture;
        if (!DrawCue(cue, options, face.name, picture, error)) return failed(cue, error);
        const Image& image = picture.image;
        CueEntry entry;
        entry.number = cue.number, entry.start = cue.start, entry.end = cue.end, entry.file = names[i];
        entry.width = image.width, entry.height = image.height, entry.alignment = cue.placement.anchor;
        if (options.frameWidth) {
            const FramePoint at = PlaceOnFrame(cue.placement, options.frameWidth, options.frameHeight, image.width,
                                               image.height, options.frameMargin, picture.linePitch);
            if (!at.fits)
                return failed(cue, Format("its picture, %u x %u, is larger than the %u x %u frame", image.width,
                                          image.height, unsigned(options.frameWidth), unsigned(options.frameHeight)));
            entry.x = at.x, entry.y = at.y;
        }
        const std::string path = JoinPath(folder, names[i]);
        if (!WritePngFile(path, options.preview ? OverCheckerboard(image) : image, error)) return failed(cue, error);
        index.push_back(entry);
        if (progress) {
            std::fprintf(stderr, "\rcue %u of %u (%u%%)", unsigned(i + 1), unsigned(cues.size()),
                         unsigned((i + 1) * 100 / cues.size()));
            std::fflush(stderr);
        }
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (progress) std::fprintf(stderr, "\n");
    const std::string json = CueIndexJson(input, index);
    if (!WriteWholeFile(JoinPath(folder, kCueIndexName), std::vector<uint8_t>(json.begin(), json.end()), error))
        return Fail(error);
    Status(options, Format("Rendered %u cues from %s into %s (%s) in %.2f s (%.1f cues per second); their times "
                           "and sizes are in %s",
                           unsigned(cues.size()), input.c_str(), folder.c_str(), Describe(face).c_str(), seconds,
                           seconds > 0 ? double(cues.size()) / seconds : 0.0, kCueIndexName));
    return kExitDone;
}

}  // namespace textraster::tool
