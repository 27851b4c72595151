// Font files registered for this run with AddFont, removed again at the end.
#pragma once

#include <string>
#include <vector>

#include "utf.h"

namespace textraster::tool {

class PrivateFonts {
   public:
    PrivateFonts() = default;
    PrivateFonts(const PrivateFonts&) = delete;
    PrivateFonts& operator=(const PrivateFonts&) = delete;
    ~PrivateFonts();

    // Registers every file in turn; stops at the first failure with a message
    // in `error`. When `firstFullName` is given it receives the first file's
    // full name, and a file whose name cannot be read is a failure; otherwise
    // such a file (a font collection, say) is registered and used by the name
    // the caller knows.
    bool AddAll(const std::vector<std::string>& paths, Text* firstFullName, std::string& error);

   private:
    std::vector<Text> registered_;
};

}  // namespace textraster::tool
