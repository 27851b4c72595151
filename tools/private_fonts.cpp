#include "private_fonts.h"

#include "result_codes.h"

namespace textraster::tool {

PrivateFonts::~PrivateFonts() {
    for (const Text& path : registered_) RemoveFont(path.c_str());
}

bool PrivateFonts::AddAll(const std::vector<std::string>& paths, Text* firstFullName, std::string& error) {
    for (const std::string& path : paths) {
        const Decoded name = Utf8ToUtf16(path);
        if (!name.error.empty()) {
            error = "font file name '" + path + "': " + name.error;
            return false;
        }
        TextChar fullName[TEXTRASTER_FULL_NAME_CAPACITY] = {};
        const int32_t code = AddFont(name.text.c_str(), fullName);
        if (code == TR_OK || code == TR_FONT_NAME_UNREADABLE) registered_.push_back(name.text);
        if (code != TR_OK && !(code == TR_FONT_NAME_UNREADABLE && !firstFullName)) {
            error = "font file '" + path + "': " + DescribeFailure("AddFont", code);
            return false;
        }
        if (firstFullName && firstFullName->empty()) *firstFullName = fullName;
    }
    return true;
}

}  // namespace textraster::tool
