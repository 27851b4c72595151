// What a subtitle buffer's bytes, or the text property, show: the text and
// the style of tags that cover all of it.
#pragma once

#include <string>

#include "cue_markup.h"

namespace textraster::gst {

// `bytes` as UTF-8, a broken sequence shown as U+FFFD and a NUL ending the
// text; CR LF and CR as line feeds, line ends at the end dropped; with
// `pangoMarkup` (subparse's format, and the text property's) the markup
// read as the tool reads a cue's.
tool::CueText ReadStreamText(const std::string& bytes, bool pangoMarkup);

}  // namespace textraster::gst
