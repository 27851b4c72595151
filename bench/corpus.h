// The text corpus (bench/corpus/): real UI lines in seven languages, the face
// each is set in, and reading them as the platform's text. The benchmarks,
// the fidelity probe and the tests that check measuring on real text share it.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "textraster.h"

namespace textraster::bench {

using Text = std::basic_string<TextChar>;

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

// UTF-8 to UTF-16 code units of the platform's text type; a malformed
// sequence becomes U+FFFD.
inline Text FromUtf8(const std::string& in) {
    Text out;
    for (size_t i = 0; i < in.size();) {
        const unsigned char lead = static_cast<unsigned char>(in[i]);
        const int length = lead < 0x80 ? 1 : lead >> 5 == 6 ? 2 : lead >> 4 == 14 ? 3 : lead >> 3 == 30 ? 4 : 0;
        char32_t c = length == 1 ? lead : length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
        bool valid = length > 0 && i + length <= in.size();
        for (int k = 1; valid && k < length; ++k) {
            const unsigned char next = static_cast<unsigned char>(in[i + k]);
            valid = next >> 6 == 2;
            c = c << 6 | (next & 0x3F);
        }
        i += valid ? length : 1;
        if (!valid || c > 0x10FFFF) c = 0xFFFD;
        if (c >= 0x10000) {
            out += TextChar(0xD800 + ((c - 0x10000) >> 10));
            out += TextChar(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += TextChar(c);
        }
    }
    return out;
}

// The file's lines that hold anything, without their line ends; an
// unreadable file has none.
inline std::vector<std::string> ReadLines(const std::string& path) {
    std::vector<std::string> lines;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return lines;
    std::string line;
    for (int c; (c = std::fgetc(file)) != EOF;) {
        if (c == '\n') {
            if (!line.empty()) lines.push_back(line);
            line.clear();
        } else if (c != '\r') {
            line += char(c);
        }
    }
    if (!line.empty()) lines.push_back(line);
    std::fclose(file);
    return lines;
}

// Where the corpus lies: TEXTRASTER_CORPUS in the environment, else the
// source tree's copy.
inline std::string CorpusDir() {
    const char* dir = std::getenv("TEXTRASTER_CORPUS");
    return dir ? dir : TEXTRASTER_CORPUS_DIR;
}

// The corpus lines of one language in UTF-8; exits when there are none, as
// no figure would mean anything without them.
inline std::vector<std::string> CorpusUtf8(const std::string& code) {
    const std::string path = CorpusDir() + "/" + code + ".txt";
    std::vector<std::string> lines = ReadLines(path);
    if (lines.empty()) {
        std::fprintf(stderr, "no lines in %s (set TEXTRASTER_CORPUS)\n", path.c_str());
        std::exit(2);
    }
    return lines;
}

inline std::vector<Text> Corpus(const std::string& code) {
    std::vector<Text> lines;
    for (const std::string& line : CorpusUtf8(code)) lines.push_back(FromUtf8(line));
    return lines;
}

}  // namespace textraster::bench
