// The benchmark job, shared by every contender: one line of real UI text,
// drawn centred and wrapped into a 1280 x 160 frame of straight-alpha BGRA
// pixels with a 32-pixel cell, the whole frame delivered per call.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "textraster.h"

namespace textraster::bench {

using Text = std::basic_string<TextChar>;

constexpr int kFrameWidth = 1280;
constexpr int kFrameHeight = 160;
constexpr int kCellHeight = 32;

struct Language {
    const char* code;    // the corpus file's name
    const char* family;  // the face the language is set in
    bool rightToLeft;    // drawn with right-to-left reading
};

inline const std::vector<Language>& Languages() {
    static const std::vector<Language> languages = {
        {"de", "DejaVu Sans", false},
        {"ru", "DejaVu Sans", false},
        {"el", "DejaVu Sans", false},
        {"he", "DejaVu Sans", true},
        {"ar", "DejaVu Sans", true},
        {"ja", "IPAGothic", false},
        {"zh_CN", "WenQuanYi Micro Hei", false},
    };
    return languages;
}

// UTF-8 to UTF-16 code units of the platform's text type.
inline Text FromUtf8(const std::string& in) {
    Text out;
    for (size_t i = 0; i < in.size();) {
        const auto lead = static_cast<unsigned char>(in[i++]);
        const int extra = lead < 0x80 ? 0 : lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : 1;
        char32_t c = extra == 0 ? lead : lead & (0x3F >> extra);
        for (int k = 0; k < extra && i < in.size(); ++k) c = (c << 6) | (static_cast<unsigned char>(in[i++]) & 0x3F);
        if (c >= 0x10000) {
            out += TextChar(0xD800 + ((c - 0x10000) >> 10));
            out += TextChar(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += TextChar(c);
        }
    }
    return out;
}

// Where the corpus lies: TEXTRASTER_CORPUS in the environment, else the
// source tree's copy.
inline std::string CorpusDir() {
    const char* dir = std::getenv("TEXTRASTER_CORPUS");
    return dir ? dir : TEXTRASTER_CORPUS_DIR;
}

// The corpus lines of one language in UTF-8; exits when the file is
// missing, as no figure would mean anything without it.
inline std::vector<std::string> CorpusUtf8(const std::string& code) {
    const std::string path = CorpusDir() + "/" + code + ".txt";
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        std::fprintf(stderr, "cannot read %s (set TEXTRASTER_CORPUS)\n", path.c_str());
        std::exit(2);
    }
    std::string bytes;
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, got);
    std::fclose(file);
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.size();
        if (end > start) lines.push_back(bytes.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

inline std::vector<Text> Corpus(const std::string& code) {
    std::vector<Text> lines;
    for (const std::string& line : CorpusUtf8(code)) lines.push_back(FromUtf8(line));
    return lines;
}

// Corpus lines joined by spaces into one line of `length` units: the first
// kLongLineBlock units of the corpus, then that block again as often as
// needed, so that lines of every length hold the same mix of text and the
// cost per character compares (the corpus's own lines differ by twice in
// what a character costs to measure).
constexpr size_t kLongLineBlock = 1000;

inline Text LongLine(const std::vector<Text>& lines, size_t length) {
    Text block;
    for (size_t i = 0; block.size() < kLongLineBlock; ++i) {
        if (!block.empty()) block += TextChar(' ');
        block += lines[i % lines.size()];
    }
    block.resize(kLongLineBlock);
    // Never split a surrogate pair.
    if (block.back() >= 0xD800 && block.back() < 0xDC00) block.back() = TextChar(' ');
    Text line;
    while (line.size() < length) line += block;
    line.resize(length);
    return line;
}

// The job's request for a language: white opaque text on a half-transparent
// black cell background, the buffer exactly the frame.
inline TextLayoutParams Request(const Language& language, const Text& face, int width = kFrameWidth,
                                int height = kFrameHeight) {
    TextLayoutParams p{};
    p.size = int16_t(sizeof(TextLayoutParams));
    p.regionWidth = p.bufferWidth = uint16_t(width);
    p.regionHeight = p.bufferHeight = uint16_t(height);
    p.bufferSize = uint32_t(width) * uint32_t(height) * 4;
    p.topDown = 1;
    p.textColor = 0xFFFFFFFF;
    p.backColor = 0x80000000;
    p.faceName = face.c_str();
    p.fontHeight = kCellHeight;
    p.spaceMode = 2;
    p.newlineMode = 2;
    p.preserveSpaces = 1;
    p.wordWrap = 1;
    p.linePitch = kCellHeight;
    p.writingMode = language.rightToLeft ? 2 : 1;
    p.alignment = 2;
    return p;
}

}  // namespace textraster::bench
