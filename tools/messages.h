// What the tool tells a person. All of it goes to standard error, so that
// standard output carries only what a script asks for: a PNG (-o -), the
// measurements, the list of fonts.
#pragma once

#include <string>

#include "options.h"

namespace textraster::tool {

// printf into a string.
std::string Format(const char* format, ...);

// A line saying what was done; left out with -q.
void Status(const Options& options, const std::string& line);

// Prints "textraster: warning: <message>", also with -q.
void Warn(const std::string& message);

// Prints "textraster: <message>"; returns 1, the exit status of a failed command.
int Fail(const std::string& message);

}  // namespace textraster::tool
