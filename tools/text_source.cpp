#include "text_source.h"

#include "files.h"

namespace textraster::tool {

bool LoadText(const Options& options, Text& text, std::string& error) {
    const bool fromArgument = options.textFile.empty() && options.positional.at(0) != "-";
    Decoded decoded;
    if (fromArgument) {
        decoded = Utf8ToUtf16(options.positional[0]);
    } else {
        const std::string path = options.textFile.empty() ? "-" : options.textFile;
        std::vector<uint8_t> bytes;
        if (!ReadWholeFile(path, bytes, error)) return false;
        decoded = DecodeTextFile(bytes);
        Text& t = decoded.text;
        if (!t.empty() && t.back() == '\n') t.pop_back();
        if (!t.empty() && t.back() == '\r') t.pop_back();
    }
    if (!decoded.error.empty()) {
        error = "the text is not valid: " + decoded.error;
        return false;
    }
    const size_t nul = decoded.text.find(TextChar(0));
    if (nul != Text::npos) {
        error = "the text holds a NUL character at code unit " + std::to_string(nul);
        return false;
    }
    text = std::move(decoded.text);
    return true;
}

}  // namespace textraster::tool
