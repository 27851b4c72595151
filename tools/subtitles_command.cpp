// textraster subtitles: every cue of a SubRip or WebVTT file to its own PNG,
// and cues.json beside them.
#include <chrono>
#include <cstdio>

#include "bdn_index.h"
#include "commands.h"
#include "cue_files.h"
#include "cue_index.h"
#include "cue_picture.h"
#include "face_choice.h"
#include "files.h"
#include "messages.h"
#include "png_writer.h"
#include "srt.h"
#include "text_encoding.h"
#include "webvtt.h"

namespace textraster::tool {
namespace {

// The cue drawn, placed on the frame and written; false with a message.
bool WriteCue(const Cue& cue, const Options& options, const Text& face, const std::string& path, CueEntry& entry,
              std::string& error) {
    CuePicture picture;
    std::string warning;
    if (!DrawCue(cue, options, face, picture, error, warning)) return false;
    if (!warning.empty()) Warn("cue " + std::to_string(cue.number) + ": " + warning);
    const Image& image = picture.image;
    entry.number = cue.number, entry.start = cue.start, entry.end = cue.end;
    entry.width = image.width, entry.height = image.height, entry.alignment = cue.placement.anchor;
    if (options.frameWidth) {
        const FramePoint at = PlaceOnFrame(cue.placement, options.frameWidth, options.frameHeight, image.width,
                                           image.height, options.frameMargin, picture.linePitch);
        if (!at.fits) {
            error = Format("its picture, %u x %u, is larger than the %u x %u frame", image.width, image.height,
                           unsigned(options.frameWidth), unsigned(options.frameHeight));
            return false;
        }
        entry.x = at.x, entry.y = at.y;
    }
    return WritePngFile(path, image, options.preview, error);
}

}  // namespace

int RunSubtitles(const Options& options) {
    const std::string& input = options.positional.at(0);
    const std::string folder = options.output.empty() ? DefaultOutput(Command::Subtitles) : options.output;
    std::string error;
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(input, bytes, error)) return Fail(error);
    const DecodedFile decoded = DecodeText(bytes, options.encoding);
    const std::string encoding = decoded.encoding.empty() ? "" : decoded.encoding + ", " + decoded.how;
    if (!decoded.error.empty())
        return Fail("'" + input + "'" + (encoding.empty() ? "" : " read as " + encoding) + ": " + decoded.error +
                    "; --encoding NAME names its encoding");
    // WebVTT by its header, or by its name when the header is missing.
    const bool vtt =
        HasWebVttHeader(decoded.text) || (input.size() > 4 && (input.compare(input.size() - 4, 4, ".vtt") == 0 ||
                                                               input.compare(input.size() - 4, 4, ".VTT") == 0));
    const SubtitleFile file = vtt ? ParseWebVtt(decoded.text) : ParseSrt(decoded.text);
    for (const std::string& warning : file.warnings) Warn(input + " " + warning);
    if (options.strict && !file.warnings.empty())
        return Fail(Format("%u warning%s about '%s' and --strict: nothing is written", unsigned(file.warnings.size()),
                           file.warnings.size() == 1 ? "" : "s", input.c_str()));
    const std::vector<Cue>& cues = file.cues;
    if (cues.empty()) return Fail("no cues with text in '" + input + "'");

    FaceChoice face;
    PrivateFonts fonts;
    if (!ChooseFace(options, fonts, face, error) || !MakeFolder(folder, error)) return Fail(error);
    std::vector<std::string> names;
    for (const Cue& cue : cues) names.push_back(CueFileName(cue.number));
    if (!RemoveStaleCueFiles(folder, names, error)) return Fail(error);

    // The progress line is for a person watching; a pipe or a log gets only the summary.
    const bool progress = !options.quiet && StderrIsTerminal();
    std::vector<CueEntry> index;
    std::vector<int> failed;
    const auto start = std::chrono::steady_clock::now();
    for (size_t i = 0; i < cues.size(); ++i) {
        const std::string path = JoinPath(folder, names[i]);
        CueEntry entry;
        entry.file = names[i];
        if (WriteCue(cues[i], options, face.name, path, entry, error)) {
            index.push_back(entry);
        } else {
            // Said, and the run goes on; no picture of an earlier run stays in its place.
            if (progress) std::fprintf(stderr, "\n");
            Warn("cue " + std::to_string(cues[i].number) + " is not written: " + error);
            std::string ignored;
            RemoveFile(path, ignored);
            failed.push_back(cues[i].number);
        }
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
    if (options.bdn) {
        // An event needs its times; the PNG and cues.json are there all the same.
        for (const CueEntry& c : index)
            if (c.start < 0 || c.end < 0) Warn("cue " + std::to_string(c.number) + " has no times: not in bdn.xml");
        const std::string title = input.substr(input.find_last_of("/\\") + 1);
        const std::string xml = BdnXml(title.substr(0, title.rfind('.')), index, options.frameWidth,
                                       options.frameHeight, options.rate, options.dropFrame);
        if (!WriteWholeFile(JoinPath(folder, kBdnIndexName), std::vector<uint8_t>(xml.begin(), xml.end()), error))
            return Fail(error);
    }
    std::string notes;
    const size_t warnings = file.warnings.size(), overlaps = file.overlaps;
    if (warnings) notes += Format("; %u warning%s about the file", unsigned(warnings), warnings == 1 ? "" : "s");
    if (overlaps)
        notes += Format("; %u %s the one before", unsigned(overlaps), overlaps == 1 ? "cue overlaps" : "cues overlap");
    Status(options,
           Format("Rendered %u cues from %s (%s) into %s (%s) in %.2f s (%.1f cues per second); their "
                  "times and sizes are in %s%s",
                  unsigned(index.size()), input.c_str(), encoding.c_str(), folder.c_str(), Describe(face).c_str(),
                  seconds, seconds > 0 ? double(index.size()) / seconds : 0.0, kCueIndexName, notes.c_str()));
    if (failed.empty()) return kExitDone;
    std::string list;
    for (int n : failed) list += (list.empty() ? "" : ", ") + std::to_string(n);
    Fail(Format("%u of %u cues could not be drawn (%s); %s lists the %u written", unsigned(failed.size()),
                unsigned(cues.size()), list.c_str(), kCueIndexName, unsigned(index.size())));
    return index.empty() ? kExitFailed : kExitSomeFailed;
}

}  // namespace textraster::tool
