#include <errno.h>
#include <iconv.h>
#include <uchardet.h>

#include <algorithm>
#include <cctype>
#include <memory>

#include "code_pages.h"

namespace textraster::tool {

std::string GuessCodePage(std::string_view bytes) {
    const std::unique_ptr<std::remove_pointer_t<uchardet_t>, void (*)(uchardet_t)> detector(uchardet_new(),
                                                                                            uchardet_delete);
    std::string name;
    if (detector && uchardet_handle_data(detector.get(), bytes.data(), bytes.size()) == 0) {
        uchardet_data_end(detector.get());
        name = uchardet_get_charset(detector.get());
    }
    std::transform(name.begin(), name.end(), name.begin(), [](char c) { return char(std::tolower(uint8_t(c))); });
    // Nothing recognised, or only ASCII (never asked, since that is UTF-8):
    // the code page most subtitle files without Unicode were written in.
    if (name.empty() || name == "ascii") return "windows-1252";
    return name;
}

CodePageResult DecodeCodePage(std::string_view bytes, const std::string& name, Text& text) {
    // UTF-16 in the machine's own order, as TextChar holds it.
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    const char* target = "UTF-16BE";
#else
    const char* target = "UTF-16LE";
#endif
    const iconv_t converter = iconv_open(target, name.c_str());
    if (converter == iconv_t(-1)) return CodePageResult::UnknownName;
    // About a unit a byte; more when a code page gives more (the buffer grows).
    std::u16string out(bytes.size() + 16, u'\0');
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size(), done = 0;
    bool ok = true, flushing = false;
    for (;;) {
        char* at = reinterpret_cast<char*>(&out[done]);
        size_t outLeft = (out.size() - done) * 2;
        // The input, then the end of a stateful code page's shift sequences.
        const size_t rc = flushing ? iconv(converter, nullptr, nullptr, &at, &outLeft)
                                   : iconv(converter, &in, &inLeft, &at, &outLeft);
        done = out.size() - outLeft / 2;
        if (rc == size_t(-1) && errno == E2BIG) {
            out.resize(out.size() * 2);
        } else if (rc == size_t(-1) || flushing) {
            ok = rc != size_t(-1);
            break;
        } else {
            flushing = true;
        }
    }
    iconv_close(converter);
    if (!ok) return CodePageResult::Undecodable;
    text.assign(out.begin(), out.begin() + long(done));
    return CodePageResult::Decoded;
}

}  // namespace textraster::tool
