// The text corpus (bench/corpus/): real UI lines in seven languages, the face
// each is set in, and reading them as the platform's text. The benchmarks,
// the fidelity probe and the tests that check measuring on real text share it.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "text/utf.h"
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

// UTF-8 to the platform's text; exits on broken UTF-8, as the corpus and the
// face names are checked in and a figure from a mangled line would mislead.
inline Text FromUtf8(const std::string& in) {
    Decoded decoded = Utf8ToUtf16(in);
    if (!decoded.error.empty()) {
        std::fprintf(stderr, "corpus: %s\n", decoded.error.c_str());
        std::exit(2);
    }
    return std::move(decoded.text);
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
