#include "face_choice.h"

namespace textraster::tool {

bool ChooseFace(const Options& options, PrivateFonts& fonts, Text& face, std::string& error) {
    Text fullName;
    const bool nameFromFile = !options.faceGiven && !options.fontFiles.empty();
    if (!fonts.AddAll(options.fontFiles, nameFromFile ? &fullName : nullptr, error)) return false;
    if (nameFromFile) {
        face = fullName;
        return true;
    }
    const Decoded decoded = Utf8ToUtf16(options.face);
    if (!decoded.error.empty()) {
        error = "the font name is not valid: " + decoded.error;
        return false;
    }
    face = decoded.text;
    return true;
}

}  // namespace textraster::tool
