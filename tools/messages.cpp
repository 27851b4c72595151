#include "messages.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

#include "commands.h"

namespace textraster::tool {

std::string Format(const char* format, ...) {
    va_list args, again;
    va_start(args, format);
    va_copy(again, args);
    const int n = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::vector<char> text(size_t(n > 0 ? n : 0) + 1);
    std::vsnprintf(text.data(), text.size(), format, again);
    va_end(again);
    return text.data();
}

void Status(const Options& options, const std::string& line) {
    if (!options.quiet) std::fprintf(stderr, "%s\n", line.c_str());
}

void Warn(const std::string& message) {
    std::fprintf(stderr, "textraster: warning: %s\n", message.c_str());
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "textraster: %s\n", message.c_str());
    return kExitFailed;
}

}  // namespace textraster::tool
