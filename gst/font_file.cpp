#include "font_file.h"

#include "result_codes.h"

namespace textraster::gst {

std::unique_ptr<FontFile> FontFile::Register(const std::string& path, std::string& error) {
    const tool::Decoded name = tool::Utf8ToUtf16(path);
    if (!name.error.empty() || name.text.empty()) {
        error = "the font file's name '" + path + "' is not UTF-8 text";
        return nullptr;
    }
    TextChar fullName[TEXTRASTER_FULL_NAME_CAPACITY] = {};
    const int32_t code = AddFont(name.text.c_str(), fullName);
    if (code != TR_OK && code != TR_FONT_NAME_UNREADABLE) {
        error = tool::DescribeFailure("AddFont", code) + " ('" + path + "')";
        return nullptr;
    }
    std::unique_ptr<FontFile> file(new FontFile(name.text));
    if (code == TR_FONT_NAME_UNREADABLE) {
        error = tool::DescribeFailure("AddFont", code) + " ('" + path + "')";
    } else {
        file->fullName_ = tool::Utf16ToUtf8(fullName);
    }
    return file;
}

FontFile::~FontFile() {
    RemoveFont(path_.c_str());
}

}  // namespace textraster::gst
