#include "stream_text.h"

#include <glib.h>

#include <cstring>

namespace textraster::gst {

tool::CueText ReadStreamText(const std::string& bytes, bool pangoMarkup) {
    const size_t length = strnlen(bytes.data(), bytes.size());
    gchar* valid = g_utf8_make_valid(bytes.data(), gssize(length));
    tool::Text text = tool::Utf8ToUtf16(valid).text;
    g_free(valid);

    tool::Text lines;
    lines.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r') {
            lines.push_back(text[i]);
        } else if (i + 1 == text.size() || text[i + 1] != '\n') {
            lines.push_back('\n');
        }
    }
    tool::CueText read = pangoMarkup ? tool::ReadMarkup(lines, tool::Markup::Pango) : tool::CueText{lines, {}};
    while (!read.text.empty() && read.text.back() == '\n') read.text.pop_back();
    return read;
}

}  // namespace textraster::gst
