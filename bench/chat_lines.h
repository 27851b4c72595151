// Chat text as people send it, emoji in every line (single ones, skin
// tones, joined families and professions, keycaps, flags, hearts asked for
// in colour), and the same lines with every character beyond ASCII a Latin
// letter: the cost of drawing emoji, read as a ratio to text of the same
// length in code points.
#pragma once

#include <string>
#include <vector>

#include "bench/corpus.h"

namespace textraster::bench {

inline const std::vector<std::string>& ChatLines() {
    static const std::vector<std::string> lines = {
        "happy birthday!! \xF0\x9F\x8E\x89\xF0\x9F\x8E\x82\xF0\x9F\xA5\xB3 love you \xE2\x9D\xA4\xEF\xB8\x8F",
        "running late \xF0\x9F\x8F\x83\xE2\x80\x8D\xE2\x99\x80\xEF\xB8\x8F traffic \xF0\x9F\x9A\x97\xF0\x9F\x9A\x97 "
        "sorry "
        "\xF0\x9F\x99\x8F\xF0\x9F\x8F\xBD",
        "family dinner tonight \xF0\x9F\x91\xA8\xE2\x80\x8D\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x91\xA7 bring "
        "\xF0\x9F\x8D\x95?",
        "GG \xF0\x9F\x94\xA5\xF0\x9F\x94\xA5 next round at 9\xEF\xB8\x8F\xE2\x83\xA3 \xF0\x9F\x92\xAA\xF0\x9F\x8F\xBE",
        "match tonight \xF0\x9F\x87\xA9\xF0\x9F\x87\xAA vs \xF0\x9F\x87\xAB\xF0\x9F\x87\xB7 \xE2\x9A\xBD who wins? "
        "\xF0\x9F\x98\x82",
        "lol \xF0\x9F\x98\x82\xF0\x9F\x98\x82\xF0\x9F\x98\x82 that was the best \xF0\x9F\x91\x8D\xF0\x9F\x91\x8D "
        "see you \xF0\x9F\x91\x8B",
        "new job!! \xF0\x9F\x91\xA9\xF0\x9F\x8F\xBB\xE2\x80\x8D\xF0\x9F\x92\xBB starting monday \xF0\x9F\x98\x85 "
        "wish me luck \xF0\x9F\x8D\x80",
        "it's raining again \xE2\x98\x94 staying in with tea \xE2\x98\x95 and a book \xF0\x9F\x93\x9A",
    };
    return lines;
}

// The line in the platform's text, or the same number of code points in
// Latin letters.
inline Text ChatLine(size_t index, bool emoji) {
    const Text line = FromUtf8(ChatLines()[index % ChatLines().size()]);
    if (emoji) return line;
    Text latin;
    for (size_t i = 0; i < line.size(); ++i) {
        const bool pair = line[i] >= 0xD800 && line[i] < 0xDC00 && i + 1 < line.size();
        latin += line[i] < 0x80 ? line[i] : TextChar('a' + latin.size() % 26);
        i += pair ? 1 : 0;
    }
    return latin;
}

}  // namespace textraster::bench
