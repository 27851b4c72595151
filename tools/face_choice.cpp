#include "face_choice.h"

#include "files.h"
#include "font_catalog.h"
#include "messages.h"

namespace textraster::tool {
namespace {

// A face name the library can hold: it cuts longer ones to this many code
// units, as the platform's font description does.
constexpr size_t kFaceNameCapacity = 31;

bool LooksLikeFontFile(const std::string& name) {
    if (name.find('/') != std::string::npos || name.find('\\') != std::string::npos) return true;
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos) return false;
    std::string extension = name.substr(dot + 1);
    for (char& c : extension) c = char(c | 0x20);
    return extension == "ttf" || extension == "otf" || extension == "ttc" || extension == "otc";
}

}  // namespace

bool ChooseFace(const Options& options, PrivateFonts& fonts, FaceChoice& face, std::string& error) {
    std::vector<std::string> files = options.fontFiles;
    bool faceGiven = options.faceGiven;
    // A path given to --font: people hand the file to the option that names the font.
    if (faceGiven && (IsFile(options.face) || LooksLikeFontFile(options.face))) {
        files.insert(files.begin(), options.face);
        faceGiven = false;
    }
    const bool nameFromFile = !faceGiven && !files.empty();
    if (!fonts.AddAll(files, nameFromFile ? &face.name : nullptr, error)) return false;
    if (!nameFromFile) {
        const Decoded decoded = Utf8ToUtf16(options.face);
        if (!decoded.error.empty()) {
            error = "the font name is not valid: " + decoded.error;
            return false;
        }
        face.name = decoded.text;
    }
    face.asked = Utf16ToUtf8(face.name.c_str());
    if (face.name.size() > kFaceNameCapacity) {
        face.name.resize(kFaceNameCapacity);
        Warn("the face name \"" + face.asked + "\" is longer than the " + std::to_string(kFaceNameCapacity) +
             " characters a face name holds; it is cut to \"" + Utf16ToUtf8(face.name.c_str()) + "\"");
        face.asked = Utf16ToUtf8(face.name.c_str());
    }

    bool exact = true;
    const std::string used = FaceUsed(face.asked, options.record.fontStyle, files, exact);
    face.replaced = !exact;
    face.used = face.replaced || face.asked.empty() ? used : face.asked;
    if (face.replaced) {
        const std::string what = "the font \"" + face.asked + "\" is not available; \"" + face.used +
                                 "\" is drawn in its place (textraster fonts lists the families)";
        if (options.strictFont) {
            error = what + ", and --strict-font was given";
            return false;
        }
        Warn(what);
    }
    return true;
}

std::string Describe(const FaceChoice& face) {
    std::string text = "font \"" + face.used + "\"";
    if (face.replaced) text += " instead of \"" + face.asked + "\"";
    return text;
}

}  // namespace textraster::tool
