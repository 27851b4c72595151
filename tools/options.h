// The command line: commands, options with their defaults, and the usage text.
//
// Every field of the request record has an option named after it; the
// defaults shown by --help are the very values the parser starts from.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "textraster.h"
#include "timecode.h"

namespace textraster::tool {

enum class Command { Sample, Render, Measure, Subtitles, Fonts, Help, Version };

struct Options {
    Command command = Command::Sample;
    std::vector<std::string> positional;  // TEXT or "-" (render, measure); input.srt (subtitles)
    std::string textFile;                 // --text-file
    std::string output;                   // -o; empty: the command's default
    std::vector<std::string> fontFiles;   // --font-file, in order
    bool preview = false;
    bool json = false;
    bool quiet = false;                  // -q: no status lines
    bool strictFont = false;             // a face replaced by another is a failure
    bool fit = false;                    // the region sized to the text
    uint16_t margin = 0;                 // around a fitted region
    uint16_t outline = 0;                // the outline's width in pixels, 0: none
    uint32_t outlineColor = 0xFF000000;  // 0xAABBGGRR, as the record's colours

    // subtitles: the video frame the cues are placed on (0 x 0: none given)
    // and the pixels kept between a cue and the frame's sides.
    uint16_t frameWidth = 0, frameHeight = 0, frameMargin = 0;
    bool frameMarginGiven = false;
    std::string encoding;  // --encoding; empty: found by the rules of text_encoding.h
    bool strict = false;   // a warning about the subtitle file is a failure
    // --index bdn: bdn.xml beside the PNGs, its timecodes at --fps, counted
    // with dropped frames under --drop-frame.
    bool bdn = false, rateGiven = false, dropFrame = false;
    FrameRate rate;

    // The request record as far as options fill it. faceName is left null:
    // the face (below) is converted when the record is used.
    TextLayoutParams record{};
    std::string face;        // --font, UTF-8
    bool faceGiven = false;  // else the first --font-file's full name, when there is one
    // Defaults that follow from other options: the buffer just holds the
    // region at its destination, the buffer size is what that buffer needs,
    // the line pitch is the font height.
    bool bufferGiven = false, bufferSizeGiven = false, linePitchGiven = false;
    // Given on the command line rather than defaults: --fit keeps a given
    // line length (a frame gives one too), and subtitles choose each line's
    // direction unless told.
    bool regionGiven = false, lineLengthFromFrame = false, destGiven = false, writingModeGiven = false;
};

// Parses argv[1..]; on failure returns nothing and sets `error`.
std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& error);

// The short list of commands, shown after a bad command line.
std::string Synopsis();

// The whole --help text.
std::string Usage();

// The file name the command writes when -o is not given.
std::string DefaultOutput(Command command);

}  // namespace textraster::tool
