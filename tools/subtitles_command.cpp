// textraster subtitles: every cue of an SRT file to its own PNG, and
// cues.json beside them.
#include <chrono>
#include <cstdio>

#include "buffer_limits.h"
#include "commands.h"
#include "cue_files.h"
#include "cue_index.h"
#include "cue_markup.h"
#include "face_choice.h"
#include "files.h"
#include "messages.h"
#include "outline.h"
#include "png_writer.h"
#include "reading_direction.h"
#include "region_fit.h"
#include "rendering.h"
#include "result_codes.h"
#include "srt.h"

namespace textraster::tool {
namespace {

// The record for one cue: the style and colour its tags give, and its own
// reading direction unless --writing-mode says.
TextLayoutParams CueRecord(const Options& options, const Cue& cue) {
    TextLayoutParams r = options.record;
    ApplyCueStyle(cue.style, r);
    if (!options.writingModeGiven) r.writingMode = FirstStrongDirection(cue.text) == Direction::RightToLeft ? 2 : 1;
    return r;
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
        TextLayoutParams record = CueRecord(options, cue);
        if (options.fit && !FitRegion(cue.text, record, face.name, options.regionGiven,
                                      uint16_t(options.margin + options.outline), error))
            return failed(cue, error);
        error = CheckBuffer(record);
        if (!error.empty()) return failed(cue, error);
        Rendering r = Render(cue.text, record, face.name);
        if (r.code != TR_OK) return failed(cue, DescribeFailure("RenderText", r.code));
        if (options.outline) DrawOutline(r.image, options.outline, options.outlineColor);
        const std::string path = JoinPath(folder, names[i]);
        if (!WritePngFile(path, options.preview ? OverCheckerboard(r.image) : r.image, error))
            return failed(cue, error);
        index.push_back({cue.number, cue.start, cue.end, names[i], r.image.width, r.image.height});
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
