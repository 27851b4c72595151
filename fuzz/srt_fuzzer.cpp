// The command-line renderer's SubRip and WebVTT readers over arbitrary subtitle files,
// decoded as the tool decodes them: by the rules of text_encoding.h, the
// code page guessed by libuchardet and decoded by iconv.
//
// Input: the file's bytes.
//
// Checks, beyond memory safety (the decoded text is a heap block of its own
// size): a file that does not decode yields no text and says why, with no
// NUL in a text that does; the cues come in
// order (each number above the one before); every cue has text, without a
// carriage return; times are -1 or a count of milliseconds, and a cue never
// ends before it starts; positions are keypad numbers; every warning names
// its line; reading the same text again gives the same cues, times and
// styles. The same text read as the Pango markup of a pipeline's subtitle
// stream never grows.
#include <cstdint>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "srt.h"
#include "text_encoding.h"
#include "webvtt.h"

using namespace textraster;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const tool::DecodedFile decoded = tool::DecodeText(std::vector<uint8_t>(data, data + size), "");
    if (!decoded.error.empty()) {
        FUZZ_CHECK(decoded.text.empty());
        return 0;
    }
    FUZZ_CHECK(!decoded.encoding.empty() && decoded.text.find(TextChar(0)) == tool::Text::npos);
    FUZZ_CHECK(tool::ReadMarkup(decoded.text, tool::Markup::Pango).text.size() <= decoded.text.size());
    // Each file read as SubRip and as WebVTT, whatever it holds.
    for (auto parse : {tool::ParseSrt, tool::ParseWebVtt}) {
        const tool::SubtitleFile file = parse(decoded.text);
        const std::vector<tool::Cue>& cues = file.cues;
        for (size_t i = 0; i < cues.size(); ++i) {
            const tool::Cue& cue = cues[i];
            if (i > 0) FUZZ_CHECK(cue.number > cues[i - 1].number);
            FUZZ_CHECK(!cue.text.empty());
            for (TextChar c : cue.text) FUZZ_CHECK(c != '\r');
            FUZZ_CHECK(cue.start >= -1 && cue.end >= -1);
            FUZZ_CHECK(cue.start < 0 || cue.end < 0 || cue.end >= cue.start);
            FUZZ_CHECK(cue.placement.anchor >= 1 && cue.placement.anchor <= 9);
            FUZZ_CHECK(!cue.sizePercent || (*cue.sizePercent >= 0 && *cue.sizePercent <= 100));
        }
        FUZZ_CHECK(file.overlaps < cues.size() + (cues.empty() ? 1 : 0));
        for (const std::string& warning : file.warnings) FUZZ_CHECK(warning.compare(0, 5, "line ") == 0);
        const std::vector<tool::Cue> again = parse(decoded.text).cues;
        FUZZ_CHECK(again.size() == cues.size());
        for (size_t i = 0; i < cues.size(); ++i)
            FUZZ_CHECK(again[i].number == cues[i].number && again[i].text == cues[i].text &&
                       again[i].start == cues[i].start && again[i].end == cues[i].end &&
                       again[i].style.italic == cues[i].style.italic && again[i].style.bold == cues[i].style.bold &&
                       again[i].style.color == cues[i].style.color &&
                       again[i].placement.anchor == cues[i].placement.anchor);
    }
    return 0;
}
