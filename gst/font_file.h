// A font file registered privately with AddFont while the element holds it,
// and removed with RemoveFont when it lets go (another file set, or the
// element finalised).
#pragma once

#include <memory>
#include <string>

#include "utf.h"

namespace textraster::gst {

class FontFile {
   public:
    // The file registered, or null with the reason in `error`. A file whose
    // full name cannot be read stays registered with an empty name and the
    // reason in `error`: its faces are then found by the names they carry.
    static std::unique_ptr<FontFile> Register(const std::string& path, std::string& error);
    FontFile(const FontFile&) = delete;
    FontFile& operator=(const FontFile&) = delete;
    ~FontFile();

    const std::string& fullName() const { return fullName_; }

   private:
    explicit FontFile(tool::Text path) : path_(std::move(path)) {}
    tool::Text path_;
    std::string fullName_;  // UTF-8
};

}  // namespace textraster::gst
